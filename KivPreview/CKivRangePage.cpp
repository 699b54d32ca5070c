#include "CKivRangePage.h"
#include "KivPreviewRes.h"
#include <commctrl.h>

namespace {
void SetBar(HWND bar, int minimum, int maximum, UINT page)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = 0;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}
}  // namespace

CKivRangePage::CKivRangePage() : CKivSamplePage(IDD_PAGE_RANGES)
{
    Commands().On(IDC_STEP_HORZ, [this](UINT) { OnStep(IDC_PROGRESS_HORZ); });
    Commands().On(IDC_STEP_VERT, [this](UINT) { OnStep(IDC_PROGRESS_VERT); });
}

void CKivRangePage::OnPageShown(bool)
{
    SetBar(Item(IDC_SCROLL_HORZ), 0, 1000, 250);
    SetBar(Item(IDC_SCROLL_VERT), 50, 600, 250);
    SendMessageW(Item(IDC_PROGRESS_HORZ), PBM_SETRANGE32, 10, 100);
    SendMessageW(Item(IDC_PROGRESS_HORZ), PBM_SETSTEP, 50, 0);
    SendMessageW(Item(IDC_PROGRESS_VERT), PBM_SETRANGE32, 1, 10);
    SendMessageW(Item(IDC_PROGRESS_VERT), PBM_SETSTEP, 3, 0);
}

bool CKivRangePage::OnHScroll(HWND bar, UINT, int position)
{
    return ReportScroll(bar, position);
}

bool CKivRangePage::OnVScroll(HWND bar, UINT, int position)
{
    return ReportScroll(bar, position);
}

bool CKivRangePage::ReportScroll(HWND bar, int position)
{
    if (bar != Item(IDC_SCROLL_HORZ) && bar != Item(IDC_SCROLL_VERT))
        return false;
    // The page only reports; the bar keeps its position.
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(bar, SB_CTL, &info);
    wchar_t text[128];
    wsprintfW(text, L"min=%d, max=%d, page=%d, pos=%d", info.nMin, info.nMax, static_cast<int>(info.nPage), position);
    SetItemText(IDC_RANGE_OUTPUT, text);
    return true;
}

void CKivRangePage::OnStep(int progressId)
{
    HWND progress = Item(progressId);
    SendMessageW(progress, PBM_STEPIT, 0, 0);
    PBRANGE range = {};
    SendMessageW(progress, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    const int position = static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0));
    wchar_t text[128];
    wsprintfW(text, L"pos=%d min=%d max=%d", position, range.iLow, range.iHigh);
    SetItemText(IDC_RANGE_OUTPUT, text);
}
