#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Whole files read and written as plain bytes, bounded on reading like the
// cipher files; writing goes through a sibling so the old file survives a
// failure.
class CKivPlainFile
{
public:
    static bool Read(const std::wstring& path, std::vector<BYTE>* bytes);
    static bool Write(const std::wstring& path, const std::vector<BYTE>& bytes);
};
