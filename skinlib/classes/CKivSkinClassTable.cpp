// The one place that knows every concrete skin class. It sits above the
// controls so that the registry below sees only CKivWnd.
#include "CKivSkinClassTable.h"
#include "CKivFrameWnd.h"
#include "CKivWndNoCaptionBar.h"
#include "CKivButton.h"
#include "CKivCheckBox.h"
#include "CKivGroupBox.h"
#include "CKivListCtrl.h"
#include "CKivTabCtrl.h"
#include "CKivTreeCtrl.h"
#include "CKivRadioButton.h"
#include "CKivStatic.h"
#include "CKivPictureControl.h"
#include "CKivSliderControl.h"
#include "CKivProgressBar.h"
#include "CKivEditBox.h"
#include "CKivComboBox.h"
#include "CKivHostDrawnList.h"
#include "CKivListBox.h"
#include "CKivSysScrollBar.h"
#include "CKivToolBarCtrl.h"
#include "CKivReBarCtrl.h"
#include "CKivStatusBarCtrl.h"
#include "CKivHeaderCtrl.h"
#include "CKivToolTipCtrl.h"
#include "CKivUpDownCtrl.h"
#include "CKivMdiClient.h"
#include "CKivRichEditCtrl.h"

std::unique_ptr<CKivWnd> CKivSkinClassTable::NewSkinObject(KivSkinKind kind)
{
    // One line per skin class:  case KivSkinKind::X: return std::make_unique<CKivX>();
    // (plus its #include above). A kind without a case leaves its windows to
    // the system. Settings copies go into HandOverSettings below.
    switch (kind)
    {
    case KivSkinKind::FrameWnd: return std::make_unique<CKivFrameWnd>();
    case KivSkinKind::WndNoCaptionBar: return std::make_unique<CKivWndNoCaptionBar>();
    case KivSkinKind::Button: return std::make_unique<CKivButton>();
    case KivSkinKind::CheckBox: return std::make_unique<CKivCheckBox>();
    case KivSkinKind::RadioButton: return std::make_unique<CKivRadioButton>();
    case KivSkinKind::GroupBox: return std::make_unique<CKivGroupBox>();
    case KivSkinKind::ListCtrl: return std::make_unique<CKivListCtrl>();
    case KivSkinKind::TreeCtrl: return std::make_unique<CKivTreeCtrl>();
    case KivSkinKind::TabCtrl: return std::make_unique<CKivTabCtrl>();
    case KivSkinKind::Static: return std::make_unique<CKivStatic>();
    case KivSkinKind::PictureControl: return std::make_unique<CKivPictureControl>();
    case KivSkinKind::SliderControl: return std::make_unique<CKivSliderControl>();
    case KivSkinKind::ProgressBar: return std::make_unique<CKivProgressBar>();
    case KivSkinKind::EditBox: return std::make_unique<CKivEditBox>();
    case KivSkinKind::ComboBox: return std::make_unique<CKivComboBox>();
    case KivSkinKind::ListBox: return std::make_unique<CKivListBox>();
    case KivSkinKind::HostDrawnList: return std::make_unique<CKivHostDrawnList>();
    case KivSkinKind::SysScrollBar: return std::make_unique<CKivSysScrollBar>();
    case KivSkinKind::ToolBar: return std::make_unique<CKivToolBarCtrl>();
    case KivSkinKind::ReBar: return std::make_unique<CKivReBarCtrl>();
    case KivSkinKind::StatusBar: return std::make_unique<CKivStatusBarCtrl>();
    case KivSkinKind::Header: return std::make_unique<CKivHeaderCtrl>();
    case KivSkinKind::ToolTip: return std::make_unique<CKivToolTipCtrl>();
    case KivSkinKind::UpDown: return std::make_unique<CKivUpDownCtrl>();
    case KivSkinKind::MdiClient: return std::make_unique<CKivMdiClient>();
    case KivSkinKind::RichEdit: return std::make_unique<CKivRichEditCtrl>();
    default: return nullptr;
    }
}

int CKivSkinClassTable::HandOverSettings(KivSkinKind kind, CKivWnd& object, const KivSkinSettings& settings, int attached)
{
    // Runs only after a successful attach. A control that keeps a copy of its
    // settings group takes it here from the record as it is now, and its
    // answer becomes the creation result, e.g.
    //   case KivSkinKind::ComboBox:
    //       return static_cast<CKivComboBox&>(object).Setup(settings) ? 1 : 0;
    switch (kind)
    {
    case KivSkinKind::ListCtrl: return static_cast<CKivListCtrl&>(object).Setup(settings);
    case KivSkinKind::TreeCtrl: return static_cast<CKivTreeCtrl&>(object).Setup(settings);
    case KivSkinKind::TabCtrl: return static_cast<CKivTabCtrl&>(object).Setup(settings);
    case KivSkinKind::SliderControl: return static_cast<CKivSliderControl&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::ProgressBar: return static_cast<CKivProgressBar&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::EditBox: return static_cast<CKivEditBox&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::ComboBox: return static_cast<CKivComboBox&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::ListBox: return static_cast<CKivListBox&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::HostDrawnList: return static_cast<CKivHostDrawnList&>(object).Setup(settings) ? 1 : 0;
    case KivSkinKind::SysScrollBar: return static_cast<CKivSysScrollBar&>(object).Setup(settings) ? 1 : 0;
    default: return attached;
    }
}

void CKivSkinClassTable::AttachedWhileShown(KivSkinKind kind, CKivWnd& object)
{
    if (kind == KivSkinKind::FrameWnd)
        static_cast<CKivFrameWnd&>(object).OnAttachedWhileShown();
}

KivSkinKind CKivSkinClassTable::ListBoxKind(LONG style)
{
    return CKivHostDrawnList::Takes(style) ? KivSkinKind::HostDrawnList : KivSkinKind::ListBox;
}
