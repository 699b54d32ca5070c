#include "CKivWndBox.h"
#include <algorithm>
#include <iterator>
#include <vector>
#include "CKivEngine.h"
#include "CKivSkinClassTable.h"
#include "CKivWnd.h"
#include "CKivWindowsHookMouseHook.h"
#include "CKivSkinStore.h"

namespace {

const LONG kCaptionBits = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
const int kAncestorLevels = 6;
const int kNameLength = 260;

wchar_t UpperAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Whole-string comparison that folds ASCII letters only, as _wcsicmp does in
// the C locale.
bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

// Drops the handles of windows that no longer exist.
void EraseDeadWindows(std::set<HWND>& windows)
{
    for (auto it = windows.begin(); it != windows.end();)
        it = IsWindow(*it) ? std::next(it) : windows.erase(it);
}

// The captioned-top-level test without its condition on the text.
bool HasTopLevelCaption(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    return !(style & WS_CHILD) && (style & kCaptionBits) && !(exStyle & WS_EX_TOOLWINDOW);
}

// A document window of an MDI client with a caption: framed like a
// top-level window, title or not (its title may come later).
bool IsCaptionedMdiChild(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    return (exStyle & WS_EX_MDICHILD) && (style & kCaptionBits) == kCaptionBits;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[kNameLength] = {};
    GetWindowTextW(window, text, kNameLength);
    return text;
}

}  // namespace

CKivWndBox::CKivWndBox()
{
    // The maps our objects unregister from must outlive this registry, whose
    // destructor releases the objects still alive at process end.
    CKivWnd::SubclassMap();
    CKivWnd::ForwardMap();
    CKivWindowsHookMouseHook::Windows();
}

CKivWndBox::~CKivWndBox()
{
    // Objects still bound to live windows put their previous procedures back,
    // so the windows keep working once this code is gone.
    // An object whose handler is still on the stack (exit called from inside
    // a window procedure) goes when that handler returns, if ever.
    std::map<HWND, CKivWnd*> objects;
    objects.swap(m_windowMap);
    for (auto& entry : objects)
        entry.second->ReleaseWhenIdle();
}

CKivWndBox& CKivWndBox::Instance()
{
    static CKivWndBox registry;
    return registry;
}

std::wstring CKivWndBox::UpperClassName(HWND window)
{
    wchar_t name[kNameLength] = {};
    if (window == nullptr || GetClassNameW(window, name, kNameLength) == 0)
        return std::wstring();
    std::wstring upper(name);
    for (wchar_t& c : upper)
        c = UpperAscii(c);
    return upper;
}

BOOL CKivWndBox::IsFilteredByAncestor(HWND window)
{
    const CKivEngine& engine = CKivEngine::Instance();
    HWND current = window;
    for (int level = 0; level < kAncestorLevels; ++level)
    {
        // Above the top GetParent gives null, and null's identifier is 0.
        current = current ? GetParent(current) : nullptr;
        if (m_excludedWindows.count(current))
            return TRUE;
        if (engine.IsIdFiltered(current ? GetDlgCtrlID(current) : 0))
            return TRUE;
    }
    return FALSE;
}

std::wstring CKivWndBox::MapDotNetClassName(const std::wstring& upperName)
{
    // Windows Forms registers a class of its own for every control it makes:
    // "WINDOWSFORMS10." + the class it wraps + ".APP." + version and domain
    // parts (upper-cased here). The wrapped class is compared whole with the
    // classes below, the ones the registry gives a skin (or will), so that a
    // rich edit never becomes an edit. Anything else, the forms' own
    // "WINDOW.8" windows and classes the program registers itself included,
    // keeps its name.
    // One class a line.
    static const wchar_t* const kFormsClasses[] = {
        L"BUTTON",
        L"EDIT",
        L"COMBOBOX",
        L"LISTBOX",
        L"STATIC",
        L"SCROLLBAR",
        L"MSCTLS_TRACKBAR32",
        L"MSCTLS_PROGRESS32",
        L"SYSLISTVIEW32",
        L"SYSTREEVIEW32",
        L"SYSTABCONTROL32",
        L"TOOLBARWINDOW32",
        L"REBARWINDOW32",
        L"MSCTLS_STATUSBAR32",
        L"SYSHEADER32",
        L"TOOLTIPS_CLASS32",
        L"MSCTLS_UPDOWN32",
        L"MDICLIENT",
        L"RICHEDIT50W",
        L"RICHEDIT20W",
    };
    const std::wstring wrapped = FormsWrappedClass(upperName);
    for (const wchar_t* known : kFormsClasses)
        if (wrapped == known)
            return wrapped;
    return upperName;
}

std::wstring CKivWndBox::FormsWrappedClass(const std::wstring& upperName)
{
    static const wchar_t kPrefix[] = L"WINDOWSFORMS";
    static const wchar_t kApp[] = L".APP.";
    if (upperName.compare(0, wcslen(kPrefix), kPrefix) != 0)
        return std::wstring();
    size_t start = wcslen(kPrefix);
    while (start < upperName.size() && upperName[start] >= L'0' && upperName[start] <= L'9')
        ++start;
    if (start >= upperName.size() || upperName[start] != L'.')
        return std::wstring();
    ++start;
    const size_t end = upperName.find(kApp, start);
    if (end == std::wstring::npos || end == start)
        return std::wstring();
    return upperName.substr(start, end - start);
}

std::wstring CKivWndBox::ClassNameForSkin(HWND window)
{
    std::wstring name = UpperClassName(window);
    return m_dotNet == 1 ? MapDotNetClassName(name) : name;
}

std::wstring CKivWndBox::CreationTitle(const CREATESTRUCTW* create)
{
    if (create == nullptr || IS_INTRESOURCE(create->lpszName) || create->lpszName[0] == 0xFFFF)
        return std::wstring();
    size_t length = 0;
    while (length < kNameLength - 1 && create->lpszName[length] != L'\0')
        ++length;
    return std::wstring(create->lpszName, length);
}

KivSkinKind CKivWndBox::ChooseSkin(HWND window)
{
    return ChooseSkin(window, WindowText(window));
}

KivSkinKind CKivWndBox::ChooseSkin(HWND window, const std::wstring& title)
{
    if (IsFilteredByAncestor(window))
        return KivSkinKind::Filtered;
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE));
    const bool captionedTopLevel = (HasTopLevelCaption(window) && !title.empty()) || IsCaptionedMdiChild(window);
    std::wstring name = UpperClassName(window);
    if (m_dotNet == 1)
    {
        name = MapDotNetClassName(name);
        if (name.empty())
            return KivSkinKind::None;
    }
    return ChooseByClass(window, name, style, title, captionedTopLevel);
}

KivSkinKind CKivWndBox::ChooseByClass(HWND window, const std::wstring& name, LONG style, const std::wstring& title,
                                      bool captionedTopLevel)
{
    if (name == L"BUTTON")
    {
        switch (style & 0xF)
        {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return KivSkinKind::Button;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return KivSkinKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return KivSkinKind::RadioButton;
        case BS_GROUPBOX: return KivSkinKind::GroupBox;
        default: return KivSkinKind::None;
        }
    }
    if (name == L"EDIT")  // the edit inside a combo box is drawn by the combo box skin
        return ClassNameForSkin(GetParent(window)) == L"COMBOBOX" ? KivSkinKind::None : KivSkinKind::EditBox;
    if (name == L"COMBOBOX")
        return KivSkinKind::ComboBox;
    if (name == L"LISTBOX")
        return CKivSkinClassTable::ListBoxKind(style);
    if (name == L"STATIC")
    {
        const LONG type = style & 0x1F;
        return (type == SS_ICON || type == SS_BITMAP) ? KivSkinKind::PictureControl : KivSkinKind::Static;
    }
    if (name == L"SCROLLBAR")
        return KivSkinKind::SysScrollBar;
    if (name == L"MSCTLS_TRACKBAR32")
        return KivSkinKind::SliderControl;
    if (name == L"MSCTLS_PROGRESS32")
        return KivSkinKind::ProgressBar;
    if (name == L"SYSLISTVIEW32")
        return KivSkinKind::ListCtrl;
    if (name == L"SYSTREEVIEW32")
        return KivSkinKind::TreeCtrl;
    if (name == L"SYSTABCONTROL32")
        return KivSkinKind::TabCtrl;
    const KivSkinKind bar = ChooseCommonControl(name);
    if (bar != KivSkinKind::None)
        return bar;
    if (name == L"#32770" || captionedTopLevel)
        return ChooseWindowKind(title, name, style);
    return KivSkinKind::None;
}

KivSkinKind CKivWndBox::ChooseCommonControl(const std::wstring& name)
{
    // The bars, headers, tips and spin buttons real programs are made of, the
    // MDI client's background and rich edit controls of every version.
    static const struct
    {
        const wchar_t* name;
        KivSkinKind kind;
    } kClasses[] = {
        {L"TOOLBARWINDOW32", KivSkinKind::ToolBar},   {L"REBARWINDOW32", KivSkinKind::ReBar},
        {L"MSCTLS_STATUSBAR32", KivSkinKind::StatusBar}, {L"SYSHEADER32", KivSkinKind::Header},
        {L"TOOLTIPS_CLASS32", KivSkinKind::ToolTip},  {L"MSCTLS_UPDOWN32", KivSkinKind::UpDown},
        {L"MDICLIENT", KivSkinKind::MdiClient},
    };
    for (const auto& entry : kClasses)
        if (name == entry.name)
            return entry.kind;
    if (name.compare(0, 8, L"RICHEDIT") == 0)
        return KivSkinKind::RichEdit;
    return KivSkinKind::None;
}

bool CKivWndBox::MatchesCaptionFilter(const std::wstring& caption)
{
    for (const std::wstring& filter : CKivEngine::Instance().CaptionFilters())
        if (EqualsIgnoringAsciiCase(caption, filter))
            return true;
    return false;
}

KivSkinKind CKivWndBox::ChooseWindowKind(const std::wstring& caption, const std::wstring& name, LONG style)
{
    if (MatchesCaptionFilter(caption))
        return KivSkinKind::Excluded;
    if (style & kCaptionBits)
        return KivSkinKind::FrameWnd;
    if (name == L"#32770")
        return KivSkinKind::WndNoCaptionBar;
    return KivSkinKind::None;
}

int CKivWndBox::OnWindowCreated(HWND window)
{
    return OnWindowCreated(window, WindowText(window));
}

int CKivWndBox::OnWindowCreated(HWND window, const std::wstring& title)
{
    // A window is created once: anything still held under its handle belongs
    // to an earlier window that died without us seeing its WM_NCDESTROY.
    DropStale(window);
    m_excludedWindows.erase(window);
    const KivSkinKind kind = ChooseSkin(window, title);
    switch (kind)
    {
    case KivSkinKind::Excluded: m_excludedWindows.insert(window); return 0;
    case KivSkinKind::None:
        if (title.empty() && WouldFrameIfTitled(window))
            RememberUntitled(window);
        return 0;
    case KivSkinKind::Filtered: return 0;
    default: return Create(kind, window);
    }
}

std::unique_ptr<CKivWnd> CKivWndBox::NewSkinObject(KivSkinKind kind)
{
    return CKivSkinClassTable::NewSkinObject(kind);
}

int CKivWndBox::HandOverSettings(KivSkinKind kind, CKivWnd& object, const KivSkinSettings& settings, int attached)
{
    return CKivSkinClassTable::HandOverSettings(kind, object, settings, attached);
}

int CKivWndBox::Create(KivSkinKind kind, HWND window)
{
    if (window == nullptr || m_windowMap.count(window))
        return 0;
    std::unique_ptr<CKivWnd> object = NewSkinObject(kind);
    CKivWnd* raw = object.get();
    if (!Adopt(window, std::move(object)))
        return 0;
    return HandOverSettings(kind, *raw, CKivSkinStore::Settings(), 1);
}

int CKivWndBox::Adopt(HWND window, std::unique_ptr<CKivWnd> object)
{
    if (window == nullptr || !object || m_windowMap.count(window))
        return 0;
    CKivWnd* raw = object.get();
    m_windowMap[window] = object.release();
    raw->SetOwner(this);
    // Attach may run host code (the window's procedure sees messages), which
    // can destroy the window and with it the object.
    const int attached = raw->Attach(window) ? 1 : 0;
    return (attached && Find(window) == raw) ? 1 : 0;
}

CKivWnd* CKivWndBox::Find(HWND window) const
{
    auto found = m_windowMap.find(window);
    return found == m_windowMap.end() ? nullptr : found->second;
}

void CKivWndBox::TakeNewSkin(const KivSkinSettings& settings)
{
    // A change may run host code (a frame that keeps its client size is
    // moved), which can destroy windows and with them their entries.
    std::vector<std::pair<HWND, CKivWnd*>> entries(m_windowMap.begin(), m_windowMap.end());
    for (const auto& entry : entries)
    {
        if (Find(entry.first) == entry.second && IsWindow(entry.first))
            entry.second->OnSkinChanged(settings);
    }
}

void CKivWndBox::ReleaseObject(HWND window, CKivWnd* object)
{
    auto found = m_windowMap.find(window);
    if (found == m_windowMap.end() || found->second != object)
        return;
    m_windowMap.erase(found);
    CKivWindowsHookMouseHook::RemoveWindow(window);
    object->ReleaseWhenIdle();
}

bool CKivWndBox::IsUnder(HWND window, HWND ancestor)
{
    // The same six levels the ancestor filter walks.
    HWND level = window;
    for (int i = 0; i < 6 && level != nullptr; ++i)
    {
        level = GetParent(level);
        if (level == ancestor)
            return true;
    }
    return false;
}

CKivWnd* CKivWndBox::TakeEntry(HWND window)
{
    auto found = m_windowMap.find(window);
    if (found == m_windowMap.end())
        return nullptr;
    CKivWnd* object = found->second;
    m_windowMap.erase(found);
    CKivWindowsHookMouseHook::RemoveWindow(window);
    return object;
}

void CKivWndBox::LetGo(HWND window)
{
    CKivWnd* object = TakeEntry(window);
    if (object == nullptr)
        return;
    object->Detach();
    object->ReleaseWhenIdle();
}

bool CKivWndBox::WouldFrameIfTitled(HWND window)
{
    // Fails the captioned-top-level test for its text alone, and with a title
    // it would reach the caption filter rather than a control row.
    if (!HasTopLevelCaption(window))
        return false;
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE));
    std::wstring name = UpperClassName(window);
    if (m_dotNet == 1)
        name = MapDotNetClassName(name);
    // The text only matters for the caption filter, which never answers None.
    return !name.empty() && ChooseByClass(window, name, style, std::wstring(), false) == KivSkinKind::None &&
           ChooseByClass(window, name, style, std::wstring(), true) != KivSkinKind::None;
}

void CKivWndBox::RememberUntitled(HWND window)
{
    // Entries normally go at WM_NCDESTROY; windows destroyed while the hook
    // was off are swept out here, so the set stays within twice the number of
    // live untitled windows.
    if (m_untitledWindows.size() >= m_untitledSweepAt)
    {
        EraseDeadWindows(m_untitledWindows);
        m_untitledSweepAt = std::max<size_t>(kUntitledSweepMinimum, 2 * m_untitledWindows.size());
    }
    m_untitledWindows.insert(window);
}

void CKivWndBox::OnFirstTitle(HWND window)
{
    const std::wstring caption = WindowText(window);
    if (caption.empty())
        return;
    m_untitledWindows.erase(window);
    if (Find(window) != nullptr || IsFilteredByAncestor(window) || !WouldFrameIfTitled(window))
        return;
    const KivSkinKind kind =
        ChooseWindowKind(caption, UpperClassName(window), static_cast<LONG>(GetWindowLongPtrW(window, GWL_STYLE)));
    if (kind == KivSkinKind::Excluded)
    {
        m_excludedWindows.insert(window);
        return;
    }
    const bool shown = IsWindowVisible(window) != FALSE;
    // A window already on screen has had its WM_SHOWWINDOW: the frame takes
    // over the shown state now, as it would have then.
    CKivWnd* object = Create(kind, window) ? Find(window) : nullptr;
    if (object != nullptr && shown)
        CKivSkinClassTable::AttachedWhileShown(kind, *object);
}

bool CKivWndBox::WantsCaption(HWND window) const
{
    if (m_untitledWindows.count(window))
        return true;
    return Find(window) != nullptr && !IsWindowVisible(window) &&
           !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
}

void CKivWndBox::OnCaptionSet(HWND window)
{
    if (m_untitledWindows.count(window))
    {
        OnFirstTitle(window);
        return;
    }
    if (!WantsCaption(window) || !MatchesCaptionFilter(WindowText(window)))
        return;
    std::vector<HWND> skinned;
    for (const auto& entry : m_windowMap)
        if (entry.first == window || IsUnder(entry.first, window))
            skinned.push_back(entry.first);
    for (HWND each : skinned)
    {
        LetGo(each);
        if (each != window)
            InvalidateRect(each, nullptr, TRUE);
    }
    m_excludedWindows.insert(window);
    // The frame was measured by the skin: let the system measure it again.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CKivWndBox::OnWindowDestroyed(HWND window)
{
    m_excludedWindows.erase(window);
    m_untitledWindows.erase(window);
    // An attached object goes later, after its own WM_NCDESTROY; one whose
    // attach failed never sees that message.
    auto found = m_windowMap.find(window);
    if (found != m_windowMap.end() && found->second->Window() != window)
    {
        CKivWnd* object = found->second;
        m_windowMap.erase(found);
        object->ReleaseWhenIdle();
    }
}

void CKivWndBox::DropStale(HWND window)
{
    // The procedure chain under this handle is the new window's own: nothing
    // of the dead one may be put back into it or forwarded to.
    CKivWnd::ForwardMap().erase(window);
    CKivWnd* object = TakeEntry(window);
    if (object == nullptr)
        return;
    auto& subclassed = CKivWnd::SubclassMap();
    auto bound = subclassed.find(window);
    if (bound != subclassed.end() && bound->second == object)
        subclassed.erase(bound);
    object->ReleaseWhenIdle();
}

void CKivWndBox::ForgetDeadExclusions()
{
    EraseDeadWindows(m_excludedWindows);
}
