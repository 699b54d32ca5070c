#pragma once
#include "CKivGdiObject.h"
#include "CKivPaneBase.h"
#include <functional>
#include <string>
#include <vector>

// The right pane: the properties of the selected element as rows of name and
// value, edited in place: numbers in an inline edit box, pictures through the
// open-file dialog, colours through the colour dialog. A changed value is
// posted to the parent as message 1244 with the row index and the generation
// of the rows; clearing the rows commits an open edit first, synchronously,
// so its value lands in the project it was typed for. A picture row shows a
// thumbnail and the picture's size, or that its file is missing; a switch
// row (a key the library reads as 0 or 1) takes only 0 or 1. Enter, Space
// or F2 on the keyboard row edits it as a click does.
class CKivMultiListCtrl : public CKivPaneBase
{
public:
    enum : int
    {
        kNameWidth = 180,
        kButtonWidth = 20,
        kSwatchWidth = 25,
        kSwatchHeight = 15,
        kThumbWidth = 36,
        kThumbHeight = 19,
        kMaxValue = MAX_PATH - 1,
    };
    enum : COLORREF
    {
        kHeaderCell = 10526880,  // 160, 160, 160: header cells, button cells, pressed value
        kPropertyCell = 14737632,  // 224, 224, 224
        kPressedButton = 5263440,
        kMissingText = 0x0000C0,  // red: a picture whose file is not there
    };
    enum RowKind
    {
        kHeader = 0,
        kProperty = 1,
    };
    struct Row
    {
        int kind = kProperty;
        std::wstring name;
        int type = 1;  // 1 text, 2 picture file, 3 colour
        std::wstring value;
        std::wstring key;
        // Edited here and not yet taken into the project.
        bool changed = false;
        // The key is a switch of the skin: its value is 0 or 1.
        bool isSwitch = false;
    };
    using PictureResolver = std::function<std::wstring(const std::wstring&)>;

    // The inline editor: an "Edit" window subclassed to accept only a decimal
    // that fits 32 bits, typed or pasted. Enter hands the focus back to the
    // list, Escape restores the text it started with; losing the focus commits.
    class CKivEditBox : public CKivWndImpl
    {
    public:
        explicit CKivEditBox(CKivMultiListCtrl& owner);
        bool Create(HWND list);
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        // Whether replacing the selection of current with inserted leaves an
        // acceptable value: a decimal that fits 32 bits, or for a switch
        // nothing, 0 or 1.
        static bool Accepts(const std::wstring& current, DWORD selStart, DWORD selEnd, const std::wstring& inserted,
                            bool isSwitch = false);
        void Begin(const std::wstring& text);

    private:
        LRESULT OnChar(WPARAM character, LPARAM lParam);
        LRESULT OnPaste();
        LRESULT OnKeyDown(WPARAM key, LPARAM lParam);
        LRESULT OnKeyUp(WPARAM key, LPARAM lParam);
        LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
        std::wstring CurrentText() const;
        bool EditsSwitch() const;

        CKivMultiListCtrl& m_owner;
        std::wstring m_original;
        // Enter or Escape pressed while editing: only its own release ends
        // the edit, not the release of the Enter that started it.
        WPARAM m_pressed = 0;
    };

    CKivMultiListCtrl();
    ~CKivMultiListCtrl() override;

    bool Create(int x, int y, int width, int height, HWND parent);
    void AddRow(int kind, const std::wstring& name, int type, const std::wstring& value, const std::wstring& key);
    // Commits an open edit (1244 sent, not posted), then empties the list and
    // starts a new generation.
    void ClearRows();

    // An open edit becomes its row's value now (1244 sent, not posted).
    void CommitEdit();
    // Shows a value the project holds, without reporting it as a change.
    void ShowValue(size_t row, const std::wstring& value);
    // Where picture rows look for their files: the project's folder (where
    // the picture dialog opens) and how a stored value becomes a file path
    // (empty when no file is there).
    void SetPictures(const std::wstring& folder, PictureResolver resolve);
    // The size of the picture a row shows; false when its file is missing
    // or cannot be loaded.
    bool PictureSize(size_t row, SIZE* size) const;
    // The folder the picture dialog of a row opens in: the folder of its
    // current picture, else the project's folder.
    std::wstring PictureFolder(size_t row) const;
    // The row's change has been taken into the project.
    void MarkStored(size_t row);
    const std::vector<Row>& Rows() const { return m_rows; }
    DWORD Generation() const { return m_generation; }
    // The row a 1244 message names, when its generation is still current.
    const Row* RowOf(WPARAM index, LPARAM generation) const;
    int TotalRows() const override { return static_cast<int>(m_rows.size()); }
    int RowAt(POINT point) const;
    // What a colour value looks like in its cell: "r, g, b".
    static std::wstring ColourText(const std::wstring& value);
    // The text a value cell of the given width shows: the whole value, or
    // "..." and as much of its end as fits.
    static std::wstring FittedText(HDC dc, const std::wstring& value, int cellWidth);
    HWND EditorWindow() const { return m_editor.Window(); }
    bool IsEditing() const;
    // The editor's row, or -1.
    int EditingRow() const { return m_editRow; }
    // Starts the editor of a row as a click does.
    void Activate(int row);

protected:
    void PaintRows(HDC dc, int width, int height) override;
    LRESULT OnPaneMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CanHoldCursor(int row) const override;
    void OnKey(UINT key) override;
    // The choices behind picture and colour rows; true when a value was chosen.
    virtual bool ChoosePicture(const std::wstring& folder, std::wstring* path);
    virtual bool ChooseColour(COLORREF* colour);

private:
    struct Cells
    {
        RECT name;
        RECT value;
        RECT button;  // empty for text rows
    };
    // What a picture row shows: a small copy of the picture and its size.
    struct Picture
    {
        CKivBitmap thumbnail;
        SIZE size = {0, 0};
        SIZE shown = {0, 0};  // the thumbnail's own size
        bool found = false;
    };
    void LoadPicture(size_t row);
    void PaintPicture(HDC dc, size_t row, const RECT& cell);
    Cells CellsOf(int row) const;
    LRESULT OnButtonDown(POINT point);
    LRESULT OnButtonUp(POINT point);
    LRESULT OnWheel(int delta);
    LRESULT OnChanged(WPARAM index, LPARAM generation);
    void HideEditor();
    // The editor's text becomes its row's value; sent synchronously when
    // the rows are about to go, otherwise posted.
    void CommitEditor(const std::wstring& text, bool synchronous);
    void SetValue(int row, const std::wstring& value, bool synchronous);

    std::vector<Row> m_rows;
    std::vector<Picture> m_pictures;  // one per row; empty for other rows
    std::wstring m_pictureFolder;
    PictureResolver m_resolve;
    CKivEditBox m_editor;
    int m_editRow = -1;
    int m_pressedRow = -1;
    DWORD m_generation = 1;
    COLORREF m_customColours[16] = {};
};
