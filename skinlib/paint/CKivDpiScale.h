#pragma once
#include <windows.h>

// The scale a window is drawn at: its DPI over the 96 the skin is designed
// for. Skin metrics pass through Scale; at 96 DPI every value stays exactly
// what the skin says.
class CKivDpiScale
{
public:
    static const int kBaseDpi = 96;

    // A DPI of 0 or below means the base DPI.
    explicit CKivDpiScale(int dpi = kBaseDpi);

    int Dpi() const { return m_dpi; }
    bool IsUnit() const { return m_dpi == kBaseDpi; }
    // value * DPI / 96, rounded half away from zero as MulDiv rounds.
    int Scale(int value) const;
    RECT Scale(const RECT& rect) const;
    bool operator==(const CKivDpiScale& other) const { return m_dpi == other.m_dpi; }
    bool operator!=(const CKivDpiScale& other) const { return m_dpi != other.m_dpi; }

    // The DPI of a window's monitor where the system tells it (per-monitor
    // aware process), else the system DPI.
    static int DpiOfWindow(HWND window);
    // The scale a window is drawn at now.
    static CKivDpiScale OfWindow(HWND window) { return CKivDpiScale(DpiOfWindow(window)); }
    // The DPI of the screen's device context (what LogPixels set for the session).
    static int SystemDpi();
    // A system metric at a DPI: the system's own value where it offers one per
    // DPI, else the system-DPI value scaled over.
    static int SystemMetric(int index, int dpi);
    // What AdjustWindowRectEx adds around an empty client rectangle (no menu)
    // at a DPI, by the same rule: the system's own answer at the system DPI or
    // where it offers one per DPI, else the system-DPI answer scaled over.
    static RECT FrameAround(DWORD style, DWORD exStyle, int dpi);

private:
    int m_dpi;
};
