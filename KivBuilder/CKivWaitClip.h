#pragma once
#include <windows.h>
#include <vector>

// The wait screen's animation: an uncompressed 8-bit AVI of a ring of dots
// going round, which the animation control plays without any codec. The
// build writes it as media\Wait.avi.
class CKivWaitClip
{
public:
    enum : int
    {
        kSide = 64,
        kFrames = 24,
        kFrameMilliseconds = 60,
    };

    // The whole RIFF file image.
    static std::vector<BYTE> Compose();
    static bool Write(const wchar_t* path);

private:
    // Palette index of pixel (x, y) in frame; index 0 is the background.
    static BYTE Pixel(int frame, int x, int y);
};
