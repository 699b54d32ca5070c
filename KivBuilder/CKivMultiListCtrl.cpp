#include "CKivMultiListCtrl.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include "CKivSkinSchema.h"
#include "KivBuilderMessages.h"
#include <commdlg.h>
#include <windowsx.h>
#include <algorithm>
#include <cwchar>

namespace {

// The clipboard, open for as long as this lives.
class ClipboardText
{
public:
    explicit ClipboardText(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~ClipboardText()
    {
        if (m_open)
            CloseClipboard();
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
    bool Get(std::wstring* text) const
    {
        HANDLE data = m_open ? GetClipboardData(CF_UNICODETEXT) : nullptr;
        const wchar_t* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
        if (locked == nullptr)
            return false;
        // The block may lack its terminator: never read beyond its size.
        const size_t chars = GlobalSize(data) / sizeof(wchar_t);
        size_t length = 0;
        while (length < chars && locked[length] != 0)
            ++length;
        text->assign(locked, length);
        GlobalUnlock(data);
        return true;
    }

private:
    bool m_open;
};

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

// ---- the inline editor ----

CKivMultiListCtrl::CKivEditBox::CKivEditBox(CKivMultiListCtrl& owner) : m_owner(owner)
{
    m_className = L"Edit";
}

bool CKivMultiListCtrl::CKivEditBox::Create(HWND list)
{
    return CreateEx(L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 100, 20, list, nullptr, nullptr, TRUE) != FALSE;
}

bool CKivMultiListCtrl::CKivEditBox::Accepts(const std::wstring& current, DWORD selStart, DWORD selEnd,
                                             const std::wstring& inserted, bool isSwitch)
{
    if (selStart > selEnd || selEnd > current.size())
        return false;
    const std::wstring result = current.substr(0, selStart) + inserted + current.substr(selEnd);
    if (isSwitch)
        return result.empty() || result == L"0" || result == L"1";
    if (result.size() > 10)
        return false;
    unsigned long long value = 0;
    for (wchar_t c : result)
    {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value <= 0x7FFFFFFFull;
}

void CKivMultiListCtrl::CKivEditBox::Begin(const std::wstring& text)
{
    m_original = text;
    m_pressed = 0;
    SetWindowTextW(m_hwnd, text.c_str());
    SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
}

bool CKivMultiListCtrl::CKivEditBox::EditsSwitch() const
{
    const int row = m_owner.m_editRow;
    return row >= 0 && row < m_owner.TotalRows() && m_owner.m_rows[static_cast<size_t>(row)].isSwitch;
}

std::wstring CKivMultiListCtrl::CKivEditBox::CurrentText() const
{
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(m_hwnd, text, MAX_PATH);
    return text;
}

LRESULT CKivMultiListCtrl::CKivEditBox::OnChar(WPARAM character, LPARAM lParam)
{
    if (character == 0x16)  // Ctrl+V pastes through the same filter
        return OnPaste();
    // Enter and Escape act on key release; their characters would only beep.
    if (character == L'\r' || character == 0x1B || character == L'\n')
        return 0;
    if (character == VK_BACK || character < 0x20)
        return CallDefault(m_hwnd, WM_CHAR, character, lParam);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (!Accepts(CurrentText(), start, end, std::wstring(1, static_cast<wchar_t>(character)), EditsSwitch()))
        return 0;
    return CallDefault(m_hwnd, WM_CHAR, character, lParam);
}

LRESULT CKivMultiListCtrl::CKivEditBox::OnPaste()
{
    std::wstring text;
    if (!ClipboardText(m_hwnd).Get(&text))
        return 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (Accepts(CurrentText(), start, end, text, EditsSwitch()))
        SendMessageW(m_hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

LRESULT CKivMultiListCtrl::CKivEditBox::OnKeyDown(WPARAM key, LPARAM lParam)
{
    if (key == VK_RETURN || key == VK_ESCAPE)
        m_pressed = key;
    return CallDefault(m_hwnd, WM_KEYDOWN, key, lParam);
}

LRESULT CKivMultiListCtrl::CKivEditBox::OnKeyUp(WPARAM key, LPARAM lParam)
{
    if ((key == VK_RETURN || key == VK_ESCAPE) && key == m_pressed)
    {
        m_pressed = 0;
        if (key == VK_ESCAPE)
            SetWindowTextW(m_hwnd, m_original.c_str());
        SetFocus(m_owner.Window());
        return 0;
    }
    return CallDefault(m_hwnd, WM_KEYUP, key, lParam);
}

LRESULT CKivMultiListCtrl::CKivEditBox::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const HWND window = m_hwnd;
    if (m_owner.m_editRow >= 0)
        m_owner.CommitEditor(CurrentText(), false);
    ShowWindow(window, SW_HIDE);
    return CallDefault(window, WM_KILLFOCUS, wParam, lParam);
}

LRESULT CKivMultiListCtrl::CKivEditBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_GETDLGCODE: return CallDefault(m_hwnd, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_CHAR: return OnChar(wParam, lParam);
    case WM_PASTE: return OnPaste();
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_KEYUP: return OnKeyUp(wParam, lParam);
    case WM_KILLFOCUS: return OnKillFocus(wParam, lParam);
    default: return CKivWndImpl::WindowProc(message, wParam, lParam);
    }
}

// ---- the list ----

CKivMultiListCtrl::CKivMultiListCtrl() : CKivPaneBase(L"KivMultiListCtrl"), m_editor(*this)
{
    SetTitle(L"参数");
}

CKivMultiListCtrl::~CKivMultiListCtrl()
{
    // The editor is a child: it must let go before the list window goes.
    m_editor.Destroy();
}

bool CKivMultiListCtrl::Create(int x, int y, int width, int height, HWND parent)
{
    if (!CKivPaneBase::Create(x, y, width, height, parent) || !m_editor.Create(m_hwnd))
        return false;
    SendMessageW(m_editor.Window(), WM_SETFONT, reinterpret_cast<WPARAM>(CKivGraphics::GetSkinFont(0)), FALSE);
    return true;
}

void CKivMultiListCtrl::AddRow(int kind, const std::wstring& name, int type, const std::wstring& value,
                               const std::wstring& key)
{
    Row row;
    row.kind = kind;
    row.name = name.substr(0, 127);
    row.type = type;
    row.value = value.substr(0, kMaxValue);
    row.key = key;
    const KivSchemaEntry* entry = CKivSkinSchema::Find(key.c_str());
    row.isSwitch = kind == kProperty && type == 1 && entry != nullptr && entry->kind == kKivKindFlag;
    m_rows.push_back(row);
    m_pictures.emplace_back();
    LoadPicture(m_rows.size() - 1);
    UpdateScrollBar();
    Repaint();
}

void CKivMultiListCtrl::SetPictures(const std::wstring& folder, PictureResolver resolve)
{
    m_pictureFolder = folder;
    m_resolve = std::move(resolve);
    for (size_t row = 0; row < m_rows.size(); ++row)
        LoadPicture(row);
    Repaint();
}

void CKivMultiListCtrl::LoadPicture(size_t row)
{
    if (row >= m_pictures.size())
        return;
    Picture& picture = m_pictures[row];
    picture = Picture();
    const Row& source = m_rows[row];
    if (source.kind != kProperty || source.type != 2 || !m_resolve || source.value.empty())
        return;
    const std::wstring path = m_resolve(source.value);
    CKivBitmap full(path.empty() ? nullptr
                                 : static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    BITMAP description = {};
    if (!full || GetObjectW(full, sizeof(description), &description) != sizeof(description) ||
        description.bmWidth <= 0 || description.bmHeight == 0)
        return;
    picture.found = true;
    picture.size = {description.bmWidth, description.bmHeight < 0 ? -description.bmHeight : description.bmHeight};
    // Only a small copy is kept: a full-screen background need not stay in memory.
    const double scale = std::min(static_cast<double>(kThumbWidth) / picture.size.cx,
                                  static_cast<double>(kThumbHeight) / picture.size.cy);
    picture.shown = {std::max(1L, std::min<LONG>(picture.size.cx, static_cast<LONG>(picture.size.cx * scale + 0.5))),
                     std::max(1L, std::min<LONG>(picture.size.cy, static_cast<LONG>(picture.size.cy * scale + 0.5)))};
    CKivClientDC screen(nullptr);
    CKivCompatibleDC from(screen);
    CKivCompatibleDC to(screen);
    picture.thumbnail.Reset(CreateCompatibleBitmap(screen, picture.shown.cx, picture.shown.cy));
    if (!picture.thumbnail || !from.Get() || !to.Get())
        return;
    CKivSelectObject selectFrom(from, full);
    CKivSelectObject selectTo(to, picture.thumbnail);
    SetStretchBltMode(to, HALFTONE);
    StretchBlt(to, 0, 0, picture.shown.cx, picture.shown.cy, from, 0, 0, picture.size.cx, picture.size.cy, SRCCOPY);
}

bool CKivMultiListCtrl::PictureSize(size_t row, SIZE* size) const
{
    if (row >= m_pictures.size() || !m_pictures[row].found)
        return false;
    *size = m_pictures[row].size;
    return true;
}

std::wstring CKivMultiListCtrl::PictureFolder(size_t row) const
{
    const std::wstring path = row < m_rows.size() && m_resolve && !m_rows[row].value.empty()
                                  ? m_resolve(m_rows[row].value)
                                  : std::wstring();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? m_pictureFolder : path.substr(0, slash);
}

void CKivMultiListCtrl::PaintPicture(HDC dc, size_t row, const RECT& cell)
{
    const Picture& picture = m_pictures[row];
    RECT text = {cell.left + 5, cell.top, cell.right, cell.bottom};
    std::wstring prefix;
    COLORREF colour = 0;
    if (picture.found && picture.thumbnail)
    {
        CKivClientDC screen(nullptr);
        CKivCompatibleDC from(screen);
        CKivSelectObject select(from, picture.thumbnail);
        const int top = cell.top + (cell.bottom - cell.top - picture.shown.cy) / 2;
        BitBlt(dc, cell.left + 3, top, picture.shown.cx, picture.shown.cy, from, 0, 0, SRCCOPY);
        text.left = cell.left + 3 + kThumbWidth + 5;
        prefix = std::to_wstring(picture.size.cx) + L"x" + std::to_wstring(picture.size.cy) + L"  ";
    }
    else if (!m_rows[row].value.empty())
    {
        prefix = L"找不到文件  ";
        colour = kMissingText;
    }
    SIZE prefixSize = {0, 0};
    GetTextExtentPoint32W(dc, prefix.c_str(), static_cast<int>(prefix.size()), &prefixSize);
    Text(dc, prefix, text, colour);
    text.left += prefixSize.cx;
    Text(dc, FittedText(dc, m_rows[row].value, text.right - text.left), text, colour);
}

bool CKivMultiListCtrl::IsEditing() const
{
    return m_editRow >= 0 && m_editor.Window() && IsWindowVisible(m_editor.Window());
}

void CKivMultiListCtrl::CommitEdit()
{
    if (m_editRow < 0)
        return;
    CommitEditor(std::wstring(), true);
    HideEditor();
}

void CKivMultiListCtrl::ClearRows()
{
    CommitEdit();
    m_rows.clear();
    m_pictures.clear();
    m_pressedRow = -1;
    ++m_generation;
    SetFirstRow(0);
    ForgetCursor();
    UpdateScrollBar();
    Repaint();
}

const CKivMultiListCtrl::Row* CKivMultiListCtrl::RowOf(WPARAM index, LPARAM generation) const
{
    if (static_cast<DWORD>(generation) != m_generation || index >= m_rows.size())
        return nullptr;
    return &m_rows[index];
}

CKivMultiListCtrl::Cells CKivMultiListCtrl::CellsOf(int row) const
{
    const int top = kMargin + kTitleHeight + (row - FirstRow()) * kRowHeight;
    const int right = ClientWidth() - kScrollWidth - kMargin;
    Cells cells;
    cells.name = RECT{0, top + 1, kNameWidth - 1, top + kRowHeight};
    const bool button = m_rows[static_cast<size_t>(row)].kind == kProperty && m_rows[static_cast<size_t>(row)].type != 1;
    cells.value = RECT{kNameWidth, top + 1, button ? right - kButtonWidth - 1 : right, top + kRowHeight};
    cells.button = button ? RECT{right - kButtonWidth, top + 1, right, top + kRowHeight} : RECT{0, 0, 0, 0};
    return cells;
}

int CKivMultiListCtrl::RowAt(POINT point) const
{
    return RowIndexAt(point);
}

std::wstring CKivMultiListCtrl::ColourText(const std::wstring& value)
{
    const COLORREF colour = static_cast<COLORREF>(wcstoul(value.c_str(), nullptr, 10));
    wchar_t text[48];
    swprintf(text, 48, L"%d, %d, %d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

std::wstring CKivMultiListCtrl::FittedText(HDC dc, const std::wstring& value, int cellWidth)
{
    if (TextWidth(dc, value) < cellWidth)
        return value;
    const int wanted = cellWidth - 2 * TextWidth(dc, L"...");
    std::wstring tail;
    for (size_t i = value.size(); i > 0 && TextWidth(dc, tail) < wanted; --i)
        tail.insert(tail.begin(), value[i - 1]);
    return L"..." + tail;
}

void CKivMultiListCtrl::PaintRows(HDC dc, int width, int height)
{
    (void)width;
    CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    for (int i = FirstRow(); i < TotalRows(); ++i)
    {
        const Cells cells = CellsOf(i);
        if (cells.name.top >= height)
            break;
        const Row& row = m_rows[static_cast<size_t>(i)];
        const bool pressed = i == m_pressedRow;
        if (row.kind == kHeader)
        {
            Fill(dc, cells.name, kHeaderCell);
            Fill(dc, cells.value, kHeaderCell);
            Text(dc, row.name, RECT{cells.name.left + 5, cells.name.top, cells.name.right, cells.name.bottom}, 0);
            Text(dc, row.value, RECT{cells.value.left + 5, cells.value.top, cells.value.right, cells.value.bottom}, 0);
            continue;
        }
        Fill(dc, cells.name, kPropertyCell);
        Fill(dc, cells.value, pressed && row.type == 1 ? kHeaderCell : kPropertyCell);
        Text(dc, row.name, RECT{cells.name.left + 5, cells.name.top, cells.name.right, cells.name.bottom}, 0);
        RECT valueText = {cells.value.left + 5, cells.value.top, cells.value.right, cells.value.bottom};
        std::wstring shown;
        if (row.type == 3)
        {
            const COLORREF colour = static_cast<COLORREF>(wcstoul(row.value.c_str(), nullptr, 10));
            const int left = cells.value.left + 2;
            const int top = cells.value.top + 2;
            Fill(dc, RECT{left, top, left + kSwatchWidth, top + kSwatchHeight}, colour & 0x00FFFFFF);
            valueText.left = cells.value.left + 35;
            shown = ColourText(row.value);
        }
        else if (row.type == 2)
        {
            PaintPicture(dc, static_cast<size_t>(i), RECT{cells.value.left, cells.value.top, cells.value.right,
                                                          cells.value.bottom});
        }
        else
            shown = FittedText(dc, row.value, valueText.right - valueText.left);
        if (row.type != 2)
            Text(dc, shown, valueText, 0);
        if (row.type != 1)
        {
            Fill(dc, cells.button, pressed ? kPressedButton : kHeaderCell);
            Text(dc, L"...", cells.button, 0, DT_RIGHT);
        }
    }
}

void CKivMultiListCtrl::Activate(int row)
{
    if (row < 0 || row >= TotalRows() || m_rows[static_cast<size_t>(row)].kind != kProperty)
        return;
    const Row& target = m_rows[static_cast<size_t>(row)];
    if (target.type == 2)
    {
        std::wstring path;
        if (ChoosePicture(PictureFolder(static_cast<size_t>(row)), &path))
            SetValue(row, path, false);
        return;
    }
    if (target.type == 3)
    {
        COLORREF colour = static_cast<COLORREF>(wcstoul(target.value.c_str(), nullptr, 10));
        if (ChooseColour(&colour))
            SetValue(row, std::to_wstring(static_cast<long>(colour)), false);
        return;
    }
    const Cells cells = CellsOf(row);
    m_editRow = row;
    MoveWindow(m_editor.Window(), cells.value.left, cells.value.top, cells.value.right - cells.value.left,
               cells.value.bottom - cells.value.top, TRUE);
    m_editor.Begin(target.value);
    ShowWindow(m_editor.Window(), SW_SHOW);
    SetFocus(m_editor.Window());
}

bool CKivMultiListCtrl::ChoosePicture(const std::wstring& folder, std::wstring* path)
{
    // Room for more than a path may hold, so an over-long choice is seen and refused.
    wchar_t file[1024] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetAncestor(m_hwnd, GA_ROOT);
    dialog.lpstrFilter = L"*.bmp\0*.bmp\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = 1024;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog))
        return false;
    if (wcslen(file) > static_cast<size_t>(kMaxValue))
    {
        MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    *path = file;
    return true;
}

bool CKivMultiListCtrl::ChooseColour(COLORREF* colour)
{
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetAncestor(m_hwnd, GA_ROOT);
    dialog.rgbResult = *colour & 0x00FFFFFF;
    dialog.lpCustColors = m_customColours;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&dialog))
        return false;
    *colour = dialog.rgbResult;
    return true;
}

void CKivMultiListCtrl::ShowValue(size_t row, const std::wstring& value)
{
    if (row >= m_rows.size())
        return;
    m_rows[row].value = value.substr(0, kMaxValue);
    m_rows[row].changed = false;
    LoadPicture(row);
    Repaint();
}

void CKivMultiListCtrl::MarkStored(size_t row)
{
    if (row < m_rows.size())
        m_rows[row].changed = false;
}

void CKivMultiListCtrl::SetValue(int row, const std::wstring& value, bool synchronous)
{
    if (row < 0 || row >= TotalRows())
        return;
    m_rows[static_cast<size_t>(row)].value = value.substr(0, kMaxValue);
    m_rows[static_cast<size_t>(row)].changed = true;
    LoadPicture(static_cast<size_t>(row));
    Repaint();
    if (synchronous)
        SendMessageW(GetParent(m_hwnd), WM_KIV_VALUE_CHANGED, static_cast<WPARAM>(row), static_cast<LPARAM>(m_generation));
    else
        PostMessageW(m_hwnd, WM_KIV_VALUE_CHANGED, static_cast<WPARAM>(row), static_cast<LPARAM>(m_generation));
}

void CKivMultiListCtrl::CommitEditor(const std::wstring& text, bool synchronous)
{
    const int row = m_editRow;
    m_editRow = -1;
    if (row < 0)
        return;
    // When the rows are going the editor's own text is read here.
    wchar_t current[MAX_PATH] = {};
    GetWindowTextW(m_editor.Window(), current, MAX_PATH);
    SetValue(row, synchronous ? std::wstring(current) : text, synchronous);
}

void CKivMultiListCtrl::HideEditor()
{
    if (!m_editor.Window())
        return;
    if (GetFocus() == m_editor.Window())
        SetFocus(m_hwnd);  // commits through the editor's focus loss
    m_editRow = -1;
    ShowWindow(m_editor.Window(), SW_HIDE);
}

bool CKivMultiListCtrl::CanHoldCursor(int row) const
{
    return row >= 0 && row < TotalRows() && m_rows[static_cast<size_t>(row)].kind == kProperty;
}

void CKivMultiListCtrl::OnKey(UINT key)
{
    if (key == VK_RETURN || key == VK_SPACE || key == VK_F2)
        Activate(CursorRow());
}

LRESULT CKivMultiListCtrl::OnButtonDown(POINT point)
{
    SetFocus(m_hwnd);
    m_pressedRow = RowAt(point);
    SetCursorRow(m_pressedRow, false);
    if (m_pressedRow < 0)
        HideEditor();
    else
        SetCapture(m_hwnd);
    Repaint();
    return 0;
}

LRESULT CKivMultiListCtrl::OnButtonUp(POINT point)
{
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    Repaint();
    if (pressed >= 0 && RowAt(point) == pressed)
        Activate(pressed);
    return 0;
}

LRESULT CKivMultiListCtrl::OnWheel(int delta)
{
    HideEditor();
    WheelStep(delta);
    return 0;
}

LRESULT CKivMultiListCtrl::OnChanged(WPARAM index, LPARAM generation)
{
    if (RowOf(index, generation) != nullptr)
        PostMessageW(GetParent(m_hwnd), WM_KIV_VALUE_CHANGED, index, generation);
    return 0;
}

LRESULT CKivMultiListCtrl::OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN: return OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_LBUTTONUP: return OnButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_MOUSEWHEEL: return OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
    case WM_KIV_VALUE_CHANGED: return OnChanged(wParam, lParam);
    default: return CKivPaneBase::OnPaneMessage(message, wParam, lParam);
    }
}
