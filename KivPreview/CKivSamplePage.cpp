#include "CKivSamplePage.h"

bool CKivSamplePage::OnShowWindow(bool show)
{
    if (!show)
        return false;
    const bool firstTime = !m_shownBefore;
    m_shownBefore = true;
    OnPageShown(firstTime);
    return false;
}
