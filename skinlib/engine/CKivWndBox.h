#pragma once
#include <windows.h>
#include <map>
#include <memory>
#include <set>
#include <string>

class CKivWnd;
struct KivSkinSettings;

// Which skin object a new window gets. Filtered and Excluded mean the window
// stays with the system because of an identifier or caption filter.
enum class KivSkinKind
{
    None,
    Filtered,  // an ancestor is excluded or carries a filtered identifier
    Excluded,  // the window's own caption matched a caption filter
    Button,
    CheckBox,
    RadioButton,
    GroupBox,
    EditBox,
    ComboBox,
    ListBox,
    HostDrawnList,  // a list box whose host draws the rows
    PictureControl,
    Static,
    SysScrollBar,
    SliderControl,
    ProgressBar,
    ListCtrl,
    TreeCtrl,
    TabCtrl,
    ToolBar,
    ReBar,
    StatusBar,
    Header,
    ToolTip,
    UpDown,
    MdiClient,
    RichEdit,
    FrameWnd,
    WndNoCaptionBar,
};

// The window registry: decides which skin object a new window gets, creates
// it, owns it, and lets it go when its window is destroyed.
class CKivWndBox
{
public:
    static CKivWndBox& Instance();
    virtual ~CKivWndBox();

    virtual int OnWindowCreated(HWND window);
    // The same with the title the window was created with, for a window that
    // is still being created: nothing is sent to it.
    int OnWindowCreated(HWND window, const std::wstring& title);
    virtual BOOL IsFilteredByAncestor(HWND window);
    virtual std::wstring MapDotNetClassName(const std::wstring& upperName);

    // The decision alone: looks at the window and the filters, changes nothing.
    KivSkinKind ChooseSkin(HWND window);
    KivSkinKind ChooseSkin(HWND window, const std::wstring& title);
    // The title a CREATESTRUCTW carries (a resource ordinal is no title), cut
    // to the length the registry reads; empty without one. Under Wine and
    // Windows alike a Unicode call-window hook sees WM_CREATE's parameters
    // in Unicode form, whichever CreateWindowEx made the window.
    static std::wstring CreationTitle(const CREATESTRUCTW* create);
    // Creates, records and attaches the object of that kind; the attach
    // result, or 0 when the window is already registered or the kind has no
    // object (yet).
    int Create(KivSkinKind kind, HWND window);
    // Records the object under the window and attaches it: the attach result,
    // or 0 when the window is already registered or there is no object.
    int Adopt(HWND window, std::unique_ptr<CKivWnd> object);
    // A new, unattached object of that kind, or null.
    static std::unique_ptr<CKivWnd> NewSkinObject(KivSkinKind kind);

    CKivWnd* Find(HWND window) const;
    // A new skin is in the store: every live skinned window takes it
    // (CKivWnd::OnSkinChanged), in the order of their handles.
    // A window destroyed by another's change is skipped.
    void TakeNewSkin(const KivSkinSettings& settings);
    size_t Count() const { return m_windowMap.size(); }
    bool IsExcluded(HWND window) const { return m_excludedWindows.count(window) != 0; }
    size_t ExcludedCount() const { return m_excludedWindows.size(); }
    // Drops exclusions whose windows are gone; the hook did not see their end
    // while it was stopped.
    void ForgetDeadExclusions();

    // A skinned window got WM_NCDESTROY: forget it; the object is released
    // once its handlers have returned.
    void ReleaseObject(HWND window, CKivWnd* object);
    // Any window of the thread is about to be destroyed (seen by the hook).
    void OnWindowDestroyed(HWND window);
    // A window has just taken a new caption (its WM_SETTEXT was handled). A
    // remembered untitled window gets its skin now, as if titled at creation.
    // A skinned top-level window that is still hidden and took a filtered
    // caption is excluded after all, together with its skinned descendants:
    // Wine's message box, for one, is created without a caption and titled later.
    void OnCaptionSet(HWND window);
    // Whether a new caption of the window can change its skin: a remembered
    // untitled window, or a hidden skinned top-level window that a caption
    // filter may still exclude.
    bool WantsCaption(HWND window) const;
    // Top-level windows that would have had a frame skin but were created
    // without a title: the first non-empty title decides for them as if they
    // had carried it at creation. Forgotten at destruction.
    bool IsAwaitingTitle(HWND window) const { return m_untitledWindows.count(window) != 0; }
    size_t AwaitingTitleCount() const { return m_untitledWindows.size(); }

    void SetDotNet(bool on) { m_dotNet = on ? 1 : 0; }
    int DotNet() const { return m_dotNet; }

    // Upper-case class name (ASCII letters only); empty for an invalid window.
    static std::wstring UpperClassName(HWND window);
    // The class a Windows Forms class name wraps ("BUTTON" of
    // "WINDOWSFORMS10.BUTTON.APP.0.2BF8098_R6_AD1"), empty for other names.
    static std::wstring FormsWrappedClass(const std::wstring& upperName);
    // The upper-case class name the class rows compare: in .NET mode mapped.
    std::wstring ClassNameForSkin(HWND window);

private:
    CKivWndBox();
    CKivWndBox(const CKivWndBox&) = delete;
    CKivWndBox& operator=(const CKivWndBox&) = delete;

    KivSkinKind ChooseByClass(HWND window, const std::wstring& name, LONG style, const std::wstring& title,
                              bool captionedTopLevel);
    static KivSkinKind ChooseCommonControl(const std::wstring& name);
    KivSkinKind ChooseWindowKind(const std::wstring& caption, const std::wstring& name, LONG style);
    bool WouldFrameIfTitled(HWND window);
    void OnFirstTitle(HWND window);
    void RememberUntitled(HWND window);
    static bool MatchesCaptionFilter(const std::wstring& caption);
    static bool IsUnder(HWND window, HWND ancestor);
    // Takes the window's entry out of the registry and the mouse hook list;
    // the object, or null.
    CKivWnd* TakeEntry(HWND window);
    void LetGo(HWND window);
    // The entry under a handle whose window died unseen: the object is cut
    // off from the handle without touching the new window, then released.
    void DropStale(HWND window);
    static int HandOverSettings(KivSkinKind kind, CKivWnd& object, const KivSkinSettings& settings, int attached);

    int m_dotNet = 0;
    std::map<HWND, CKivWnd*> m_windowMap;
    std::set<HWND> m_excludedWindows;
    std::set<HWND> m_untitledWindows;
    static const size_t kUntitledSweepMinimum = 64;
    size_t m_untitledSweepAt = kUntitledSweepMinimum;
};
