#pragma once
// Builds dialog templates in memory, so tests need no resource script.
#include <windows.h>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace kivtest {

class DialogTemplate
{
public:
    DialogTemplate(DWORD style, short width, short height, const wchar_t* caption = L"")
    {
        DLGTEMPLATE header = {};
        header.style = style | DS_SETFONT;
        header.cx = width;
        header.cy = height;
        Append(&header, sizeof(header));
        Word(0);  // no menu
        Word(0);  // default class
        Text(caption);
        Word(8);
        Text(L"MS Shell Dlg");
        m_countOffset = offsetof(DLGTEMPLATE, cdit);
    }

    // classAtom: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list box.
    DialogTemplate& Add(WORD classAtom, WORD id, DWORD style, short x, short y, short width, short height,
                        const wchar_t* text = L"")
    {
        Align(4);
        DLGITEMTEMPLATE item = {};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = width;
        item.cy = height;
        item.id = id;
        Append(&item, sizeof(item));
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
        WORD count = 0;
        memcpy(&count, m_bytes.data() + m_countOffset, sizeof(count));
        ++count;
        memcpy(m_bytes.data() + m_countOffset, &count, sizeof(count));
        return *this;
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }
    // Copies into DWORD-aligned storage; call after the last Add.
    const DLGTEMPLATE* Build()
    {
        m_words.assign(m_bytes.size() / sizeof(DWORD) + 2, 0);
        memcpy(m_words.data(), m_bytes.data(), m_bytes.size());
        return Get();
    }

private:
    void Append(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    void Word(WORD value) { Append(&value, sizeof(value)); }
    void Text(const wchar_t* text) { Append(text, (wcslen(text) + 1) * sizeof(wchar_t)); }
    void Align(size_t boundary)
    {
        while (m_bytes.size() % boundary)
            m_bytes.push_back(0);
    }

    std::vector<unsigned char> m_bytes;
    std::vector<DWORD> m_words;
    size_t m_countOffset;
};

}  // namespace kivtest
