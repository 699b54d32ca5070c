#pragma once
#include "CKivWnd.h"

// Rich edit skin (every version's class): the skin's edit background behind
// the document and the colour that reads on it for text that carries no
// colour of its own (automatic colour). Text, runs and backgrounds the
// document colours itself keep their colours, and nothing of the document
// changes: the control reads the system's window colours through the skin
// only while it erases and paints. A host that sets its own background
// (EM_SETBKGNDCOLOR) keeps the system's text colour with it.
class CKivRichEditCtrl : public CKivWnd
{
public:
    CKivRichEditCtrl() = default;
    ~CKivRichEditCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Whether the control reads its colours through the skin (false: the
    // skin's document colours are the system's, the host chose a background,
    // or the control's code could not be reached).
    bool Recolours();

private:
    LRESULT PassRecoloured(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetBackground(WPARAM wParam, LPARAM lParam);
    // The module whose code draws the control (it imports GetSysColor).
    HMODULE DrawingModule();

    bool m_hostBackground = false;
    HMODULE m_module = nullptr;
    bool m_moduleKnown = false;
};
