// KivKeyProbe PROJECT.kivxml OUT_DIR [KEY_PART] [--expect-change] [--table-only]
//
// Takes one picture per skin key (OUT_DIR\<Group>_<Element>_<Property>.png)
// with the real engine, and writes OUT_DIR\keys.tsv: key, kind, changed
// pixel count, the changed area (left top right bottom), the picture's name
// and the switches set so that the key shows at all. KEY_PART limits the run
// to keys that contain it; --table-only writes the table without pictures.
// Exit 0 when every key was measured (and, with --expect-change, every key
// changed pixels).
#include "CKivStdioFile.h"
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <cstdio>
#include <string>
#include <vector>
#include "CKivEngine.h"
#include "CKivInitialize.h"
#include "CKivKeyProbe.h"
#include "CKivSkinSchema.h"

namespace {

std::wstring PictureName(const wchar_t* key)
{
    std::wstring name(key);
    for (wchar_t& c : name)
        if (c == L'\\')
            c = L'_';
    return name + L".png";
}

std::wstring TempFolder()
{
    wchar_t base[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"kivkeyprobe" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> positional;
    bool expectChange = false;
    bool tableOnly = false;
    for (int i = 1; argv && i < argc; ++i)
    {
        if (std::wstring(argv[i]) == L"--expect-change")
            expectChange = true;
        else if (std::wstring(argv[i]) == L"--table-only")
            tableOnly = true;
        else
            positional.push_back(argv[i]);
    }
    LocalFree(argv);
    if (positional.size() < 2 || positional.size() > 3)
    {
        fwprintf(stderr, L"usage: KivKeyProbe PROJECT.kivxml OUT_DIR [KEY_PART] [--expect-change] [--table-only]\n");
        return 2;
    }
    const std::wstring project = positional[0], out = positional[1];
    const std::wstring part = positional.size() > 2 ? positional[2] : L"";
    CreateDirectoryW(out.c_str(), nullptr);

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CKivInitialize::Instance();
    CKivEngine::Instance().Run();
    const std::wstring work = TempFolder();
    CKivKeyProbe probe(GetModuleHandleW(nullptr), project, work);
    int failures = 0;
    if (!probe.Start())
    {
        fwprintf(stderr, L"KivKeyProbe: %ls\n", probe.LastError().c_str());
        failures = 1;
    }
    const CKivStdioFile table(failures ? nullptr : _wfopen((out + L"\\keys.tsv").c_str(), L"w"));
    for (size_t i = 0; table && i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        if (!part.empty() && std::wstring(entry.key).find(part) == std::wstring::npos)
            continue;
        const std::wstring picture = PictureName(entry.key);
        const CKivKeyProbe::Result result = probe.Probe(entry, tableOnly ? std::wstring() : out + L"\\" + picture);
        if (!result.ok)
        {
            fwprintf(stderr, L"KivKeyProbe: no picture for %ls %ls\n", entry.key, probe.LastError().c_str());
            ++failures;
            continue;
        }
        if (expectChange && result.changedPixels == 0)
        {
            fwprintf(stderr, L"KivKeyProbe: %ls changed nothing\n", entry.key);
            ++failures;
        }
        fwprintf(table, L"%ls\t%d\t%ld\t%ld %ld %ld %ld\t%ls\t%ls\n", entry.key, entry.kind,
                 result.changedPixels, result.changed.left, result.changed.top, result.changed.right,
                 result.changed.bottom, picture.c_str(), result.switches.c_str());
    }
    if (!table && !failures)
        failures = 1;
    RemoveFolder(work);
    return failures == 0 ? 0 : 1;
}
