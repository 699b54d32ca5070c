#include "CKivSkinAuditor.h"
#include "CKivAes.h"
#include "CKivSkinLoad.h"
#include "KivSkinFile.h"
#include <cstring>
#include <cwchar>

bool CKivSkinAuditor::ReadPlainSection(const wchar_t* path, int kind, std::vector<BYTE>* plain)
{
    DWORD size = 0;
    if (!kiv::GetSectionSize(path, kind, &size) || size == 0 || size % 16 != 0)
        return false;
    std::vector<BYTE> buffer(size);
    if (!kiv::ReadSection(path, kind, buffer.data(), size))
        return false;
    CKivAes aes;
    if (!CKivAes::InitSkinCipher(aes))
        return false;
    const size_t piece = kind == kKivSectionSettings ? 64 : 4096;
    size_t done = 0;
    if (!CKivAes::DecryptWholeInPlace(aes.GetDecryptor(), buffer.data(), buffer.size(), piece, &done))
        return false;
    buffer.resize(done);
    plain->swap(buffer);
    return true;
}

bool CKivSkinAuditor::OpenSettings(const wchar_t* path, std::wstring* reason)
{
    m_keys.clear();
    m_atlas.clear();
    m_atlasWidth = m_atlasHeight = 0;
    KivSkinFileHeader header;
    if (!kiv::KivFileExists(path) || !kiv::ReadHeader(path, &header))
    {
        *reason = L"cannot read the skin file header";
        return false;
    }
    std::vector<BYTE> settings;
    if (!ReadPlainSection(path, kKivSectionSettings, &settings))
    {
        *reason = L"the settings section cannot be read or decrypted";
        return false;
    }
    return ParseSettings(settings, reason);
}

bool CKivSkinAuditor::Open(const wchar_t* path, std::wstring* reason)
{
    if (!OpenSettings(path, reason))
        return false;
    if (!ReadPlainSection(path, kKivSectionAtlas, &m_atlas))
    {
        *reason = L"the atlas section cannot be read or decrypted";
        return false;
    }
    // The library's own checks decide whether the atlas is usable.
    std::wstring refusal;
    CKivBitmap atlas(CKivSkinLoad::BuildAtlas(m_atlas.data(), m_atlas.size(), &refusal));
    BITMAP description = {};
    if (!atlas || GetObjectW(atlas, sizeof(description), &description) != sizeof(description))
    {
        *reason = L"the atlas is unusable: " + refusal;
        return false;
    }
    m_atlasWidth = description.bmWidth;
    m_atlasHeight = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
    return true;
}

bool CKivSkinAuditor::ParseSettings(const std::vector<BYTE>& document, std::wstring* reason)
{
    if (!StartReading(document))
    {
        *reason = L"the settings document is empty or XmlLite is unavailable";
        return false;
    }
    IXmlReader* reader = Reader();
    std::wstring group;
    std::wstring element;
    XmlNodeType node;
    HRESULT result;
    while ((result = reader->Read(&node)) == S_OK)
    {
        if (node != XmlNodeType_Element)
            continue;
        UINT depth = 0;
        const wchar_t* name = nullptr;
        if (FAILED(reader->GetDepth(&depth)) || FAILED(reader->GetLocalName(&name, nullptr)) || name == nullptr)
            break;
        if (depth == 1)
            group = name;
        else if (depth == 2)
            element = group + L"\\" + name;
        else if (depth >= 3)
            ReadLeaf(element + L"\\" + name);
    }
    if (FAILED(result))
    {
        *reason = L"the settings document is damaged: it is not well-formed XML from line " +
                  std::to_wstring(Line()) + L" on";
        return false;
    }
    return true;
}

void CKivSkinAuditor::ReadLeaf(const std::wstring& key)
{
    IXmlReader* reader = Reader();
    if (reader->MoveToFirstAttribute() != S_OK)
        return;
    Value value;
    const wchar_t* text = nullptr;
    if (SUCCEEDED(reader->GetValue(&text, nullptr)) && text)
        value.first = text;
    const wchar_t* sides[4] = {L"left", L"top", L"right", L"bottom"};
    value.hasRect = true;
    for (int side = 0; side < 4; ++side)
    {
        std::wstring number;
        if (!Attribute(sides[side], &number))
            value.hasRect = false;
        else
            value.rect[side] = _wtol(number.c_str());
    }
    m_keys[key] = value;
}
