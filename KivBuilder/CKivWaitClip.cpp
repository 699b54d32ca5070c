#include "CKivWaitClip.h"
#include "CKivPlainFile.h"
#include <cmath>

namespace {

const int kDots = 12;
const int kShades = 8;

void Put32(std::vector<BYTE>& out, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void PutTag(std::vector<BYTE>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(tag[i]));
}

void Patch32(std::vector<BYTE>& out, size_t at, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<BYTE>(value >> (8 * i));
}

// Opens "RIFF"/"LIST" with a type, or a plain chunk (type null); returns where
// its size goes.
size_t Open(std::vector<BYTE>& out, const char* tag, const char* type)
{
    PutTag(out, tag);
    const size_t sizeAt = out.size();
    Put32(out, 0);
    if (type)
        PutTag(out, type);
    return sizeAt;
}

void Close(std::vector<BYTE>& out, size_t sizeAt)
{
    Patch32(out, sizeAt, static_cast<DWORD>(out.size() - sizeAt - 4));
    if (out.size() % 2)
        out.push_back(0);
}

}  // namespace

BYTE CKivWaitClip::Pixel(int frame, int x, int y)
{
    const double pi = 3.14159265358979323846;
    const double centre = (kSide - 1) / 2.0;
    for (int dot = 0; dot < kDots; ++dot)
    {
        const double angle = 2 * pi * dot / kDots;
        const double dx = x - (centre + 22 * std::cos(angle));
        const double dy = y - (centre + 22 * std::sin(angle));
        if (dx * dx + dy * dy <= 16)
        {
            // The dot at the head is brightest; those behind it fade.
            const int behind = ((frame * kDots / kFrames) - dot + kDots) % kDots;
            return static_cast<BYTE>(1 + (behind < kShades ? behind : kShades - 1));
        }
    }
    return 0;
}

std::vector<BYTE> CKivWaitClip::Compose()
{
    const DWORD frameBytes = kSide * kSide;
    std::vector<BYTE> out;
    const size_t riff = Open(out, "RIFF", "AVI ");

    const size_t hdrl = Open(out, "LIST", "hdrl");
    const size_t avih = Open(out, "avih", nullptr);
    Put32(out, kFrameMilliseconds * 1000);       // microseconds per frame
    Put32(out, frameBytes * 1000 / kFrameMilliseconds);
    Put32(out, 0);                               // padding granularity
    Put32(out, 0x10);                            // AVIF_HASINDEX
    Put32(out, kFrames);
    Put32(out, 0);                               // initial frames
    Put32(out, 1);                               // streams
    Put32(out, frameBytes);
    Put32(out, kSide);
    Put32(out, kSide);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    Close(out, avih);

    const size_t strl = Open(out, "LIST", "strl");
    const size_t strh = Open(out, "strh", nullptr);
    PutTag(out, "vids");
    PutTag(out, "DIB ");
    Put32(out, 0);  // flags
    Put32(out, 0);  // priority, language
    Put32(out, 0);  // initial frames
    Put32(out, kFrameMilliseconds);
    Put32(out, 1000);
    Put32(out, 0);  // start
    Put32(out, kFrames);
    Put32(out, frameBytes);
    Put32(out, 0xFFFFFFFF);
    Put32(out, 0);  // sample size
    Put32(out, 0);  // frame rectangle: left, top
    Put32(out, static_cast<DWORD>(kSide) | (static_cast<DWORD>(kSide) << 16));
    Close(out, strh);

    const size_t strf = Open(out, "strf", nullptr);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = kSide;
    info.biHeight = kSide;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biCompression = BI_RGB;
    info.biSizeImage = frameBytes;
    info.biClrUsed = 1 + kShades;
    const BYTE* header = reinterpret_cast<const BYTE*>(&info);
    for (size_t i = 0; i < sizeof(info); ++i)
        out.push_back(header[i]);
    // Background white, then the dots from dark orange fading to light grey.
    Put32(out, 0x00FFFFFF);
    for (int shade = 0; shade < kShades; ++shade)
    {
        const int r = 255 - (255 - 224) * shade / (kShades - 1);
        const int g = 138 + (224 - 138) * shade / (kShades - 1);
        const int b = 0 + 224 * shade / (kShades - 1);
        Put32(out, static_cast<DWORD>((r << 16) | (g << 8) | b));
    }
    Close(out, strf);
    Close(out, strl);
    Close(out, hdrl);

    const size_t movi = Open(out, "LIST", "movi");
    std::vector<DWORD> offsets;
    for (int frame = 0; frame < kFrames; ++frame)
    {
        offsets.push_back(static_cast<DWORD>(out.size() - movi - 4));
        const size_t chunk = Open(out, "00db", nullptr);
        for (int row = kSide - 1; row >= 0; --row)  // bottom-up
            for (int x = 0; x < kSide; ++x)
                out.push_back(Pixel(frame, x, row));
        Close(out, chunk);
    }
    Close(out, movi);

    const size_t idx1 = Open(out, "idx1", nullptr);
    for (DWORD offset : offsets)
    {
        PutTag(out, "00db");
        Put32(out, 0x10);  // AVIIF_KEYFRAME
        Put32(out, offset);
        Put32(out, frameBytes);
    }
    Close(out, idx1);
    Close(out, riff);
    return out;
}

bool CKivWaitClip::Write(const wchar_t* path)
{
    return path != nullptr && CKivPlainFile::Write(path, Compose());
}
