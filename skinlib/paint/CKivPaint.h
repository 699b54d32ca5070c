#pragma once
#include <windows.h>
#include "CKivGraphics.h"

// Base of the paint strategies: the window painted and the context drawn on.
// A context the strategy obtains itself is taken on first use and released by
// the strategy; a context handed in by the caller stays the caller's.
class CKivPaint : public CKivGraphics
{
public:
    enum ContextKind
    {
        WindowContext,  // GetWindowDC, or GetDC when that fails
        ClientContext   // GetDC
    };

    CKivPaint(HWND window, HDC given, ContextKind kind);
    ~CKivPaint() override;
    CKivPaint(const CKivPaint&) = delete;
    CKivPaint& operator=(const CKivPaint&) = delete;

    virtual int IsAvailable() { return 1; }

    HWND Window() const { return m_hwnd; }
    // The DPI the strategy draws text at (96 unless told otherwise).
    void SetDpi(int dpi) { m_dpi = CKivDpiScale(dpi).Dpi(); }
    int Dpi() const { return m_dpi; }
    // The skin font at that DPI.
    HFONT SkinFont(int index) const { return GetSkinFontForDpi(index, m_dpi); }
    HDC Context();
    // Gives back a context the strategy obtained itself (before its window goes).
    void ReleaseContext();

private:
    HDC m_hdc = nullptr;
    HWND m_hwnd = nullptr;
    ContextKind m_kind;
    bool m_owned = false;
    int m_dpi = CKivDpiScale::kBaseDpi;
};
