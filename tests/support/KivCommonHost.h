#pragma once
// A top-level window for the tests of the common control skins (tool bars,
// rebars, status bars, headers, tooltips, up-downs, rich edits). It writes one
// line for every notification, owner-draw request and command its children
// send (custom draw with its stage and item), answers custom draw as the test
// tells it to, and is skinned itself when made skinned, so the engine's hook
// also skins the controls made on it.
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

namespace kivtest {

// How the host answers its children's custom draw.
struct CustomDrawAnswers
{
    LRESULT prepaint = CDRF_DODEFAULT;
    LRESULT itemPrepaint = CDRF_DODEFAULT;
    // At an item stage: a text colour the host sets in the DC (and, for tool
    // bars, in the notification's own text colour), or CLR_NONE.
    COLORREF itemText = CLR_NONE;
};

class CommonHost
{
public:
    // skinned: the engine's hook runs while the host and each control are made.
    explicit CommonHost(bool skinned, int width = 520, int height = 380, bool unicode = true);
    ~CommonHost();
    CommonHost(const CommonHost&) = delete;
    CommonHost& operator=(const CommonHost&) = delete;

    HWND Window() const { return m_window; }
    bool Skinned() const { return m_skinned; }
    // A child of the host (or of parent), made while the hook runs for a skinned host.
    HWND Control(const wchar_t* className, DWORD style, int x, int y, int width, int height, int id,
                 HWND parent = nullptr, DWORD exStyle = 0, const wchar_t* text = L"", void* param = nullptr);

    // A plain child window without a skin (made without the hook), whose
    // children's notifications are heard and answered as the host's own.
    HWND Panel(int x, int y, int width, int height);

    // Everything heard since the last Clear.
    static std::vector<std::string>& Heard();
    static void Clear() { Heard().clear(); }
    static CustomDrawAnswers& Answers();

private:
    // The host's procedure, in a character set.
    template <bool Unicode>
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    HWND m_window = nullptr;
    bool m_skinned = false;
};

// One step of a script: sends something to the control, returns its answer
// and may describe what it read in text.
struct ScriptStep
{
    const char* name;
    std::function<LRESULT(HWND control, std::string& text)> run;
};
using StepRun = std::function<LRESULT(HWND control, std::string& text)>;
// A step that sends one message and answers its result.
StepRun SendStep(UINT message, WPARAM wParam, LPARAM lParam);
// A step that sends a message filling a RECT at lParam (for item wParam) and
// writes the rectangle as its text.
StepRun RectStep(UINT message, WPARAM item);
// The RECT such a message fills, for the tests' own use.
RECT AskRect(HWND control, UINT message, WPARAM item);
// How many lines of a play hold a piece of text.
int CountLines(const std::vector<std::string>& lines, const std::string& part);
// Repaints a few times, then checks that many more repaints leave the
// number of live GDI objects (ours and the process's) where it was.
void CheckRepaintsHoldNoGdi(const std::function<void()>& repaint, int rounds = 60);

// Plays the steps on the control, letting it paint after each, and gives one
// line per step ("name -> answer text") followed by what the host heard
// during that step.
std::vector<std::string> PlayScript(HWND control, const std::vector<ScriptStep>& steps);
// Compares two plays line by line (as doctest checks) and says whether they agree.
bool SamePlay(const std::vector<std::string>& plain, const std::vector<std::string>& skinned);

// Seven buttons with the system's small images, commands firstCommand on:
// New, Open, Save (checked), a separator, Cut, Copy (disabled), Find (drop-down).
void AddToolButtons(HWND bar, bool withText, int firstCommand);
// Three report columns: Name (wider), Size and the third title given.
void AddReportColumns(HWND list, const wchar_t* third, int firstWidth);

// Loads a shipped skin (default.kiv, dark.kiv) from the folder of the tests.
bool LoadShippedSkin(const wchar_t* fileName);

// The colour the screen shows at a client point of a window.
COLORREF ScreenPixel(HWND window, int x, int y);
// Paints every pending change of a window and its children now.
void Settle(HWND window);

// Contrast ratio of two colours (WCAG relative luminance).
double Contrast(COLORREF a, COLORREF b);
// The highest contrast any pixel of the box reaches against the colour (how
// well the text drawn in the box reads on that background).
double BestContrastIn(HWND window, const RECT& box, COLORREF background);
// The folder for the documentation's pictures: KIV_SCREENSHOTS, else the tests' folder.
std::wstring ScreenshotFolder();
// Saves what the screen shows of a window's rectangle as a BMP file.
bool SaveScreenOf(HWND window, const std::wstring& file);
// Pixels of a client box of a window as the screen shows them now.
std::vector<COLORREF> ScreenBox(HWND window, const RECT& box);

}  // namespace kivtest
