#include "KivTestSupport.h"
#include "CKivFileHandle.h"
#include "CKivAes.h"
#include "CKivBmpFile.h"
#include "CKivSkinSchema.h"
#include "KivSkinFile.h"
#include <cstring>
#include <string>

namespace kivtest {

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;)
    {
        PumpPending();
        if (condition())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 10 ? end - now : 10),
                                  QS_ALLINPUT);
    }
}

namespace {

// Deletes a folder with everything below it.
void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

const wchar_t* RegisterTestClass(const wchar_t* name, WNDPROC proc, HBRUSH background)
{
    WNDCLASSW w = {};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), name, &w))
    {
        w.lpfnWndProc = proc;
        w.hInstance = GetModuleHandleW(nullptr);
        w.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        w.hbrBackground = background;
        w.lpszClassName = name;
        RegisterClassW(&w);
    }
    return name;
}

TempDir::TempDir()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    // A run that takes pictures for the documents (tools/docs.sh sets
    // KIV_SCREENSHOTS) names its folders without the process id: a picture
    // that shows a path is then the same every run.
    const bool forDocuments = GetEnvironmentVariableW(L"KIV_SCREENSHOTS", nullptr, 0) > 0;
    for (;;)
    {
        wchar_t name[MAX_PATH];
        if (forDocuments)
        {
            // Whatever an earlier run left under the name goes first.
            wsprintfW(name, L"%skivdocs_%u", base, ++counter);
            RemoveTree(name);
        }
        else
        {
            wsprintfW(name, L"%skivtest_%lu_%u", base, GetCurrentProcessId(), ++counter);
        }
        if (CreateDirectoryW(name, nullptr))
        {
            m_path = name;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempDir::~TempDir()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size)
{
    const CKivFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    DWORD written = 0;
    const BOOL ok = size == 0 || WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    return ok && written == size;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    const CKivFileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid())
        return bytes;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0)
    {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            got = 0;
        bytes.resize(got);
    }
    return bytes;
}

std::vector<unsigned char> EncryptSkinPayload(const std::vector<unsigned char>& plain, size_t pieceSize)
{
    CKivAes aes;
    CKivAes::InitSkinCipher(aes);
    IKivCryptTransform* encryptor = aes.GetEncryptor();
    std::vector<unsigned char> out;
    size_t position = 0;
    for (;;)
    {
        const bool last = pieceSize >= plain.size() - position;
        const size_t length = last ? plain.size() - position : pieceSize;
        std::vector<BYTE> work(length + 16);
        if (length)
            memcpy(work.data(), plain.data() + position, length);
        DWORD produced = static_cast<DWORD>(length);
        if (!encryptor->TransformInPlace(work.data(), &produced, last))
            return {};
        out.insert(out.end(), work.begin(), work.begin() + produced);
        if (last)
            break;
        position += pieceSize;
    }
    return out;
}

std::vector<unsigned char> MakeSkinFile(const std::vector<unsigned char>& settingsXml,
                                        const std::vector<unsigned char>& atlasBmp)
{
    const std::vector<unsigned char> settings = EncryptSkinPayload(settingsXml, 64);
    const std::vector<unsigned char> atlas = EncryptSkinPayload(atlasBmp, 4096);
    KivSkinFileHeader header;
    header.settingsOffset = 32;
    header.settingsSize = static_cast<int64_t>(settings.size());
    header.atlasOffset = 32 + header.settingsSize;
    header.atlasSize = static_cast<int64_t>(atlas.size());
    std::vector<unsigned char> file(sizeof(header));
    memcpy(file.data(), &header, sizeof(header));
    file.insert(file.end(), settings.begin(), settings.end());
    file.insert(file.end(), atlas.begin(), atlas.end());
    return file;
}

std::vector<unsigned char> Bmp32(int width, int height, const std::function<unsigned char(size_t)>& byteAt)
{
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    std::vector<unsigned char> image =
        CKivBmpFile::Compose(CKivBmpFile::InfoHeader(width, height, 32), nullptr, pixels);
    for (size_t i = 0; i < pixels; ++i)
        image[54 + i] = byteAt(i);
    return image;
}

std::vector<unsigned char> Bmp32FromRows(int width, int height, const std::vector<DWORD>& topDownPixels)
{
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    return Bmp32(width, height, [&](size_t i) {
        // BMP rows are stored bottom-up.
        const size_t y = static_cast<size_t>(height) - 1 - i / rowBytes;
        const size_t x = (i % rowBytes) / 4;
        return static_cast<unsigned char>(topDownPixels[y * width + x] >> (8 * (i % 4)));
    });
}

std::string SchemaDocument(const std::function<std::string(size_t index, bool isRect)>& attributes)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KivDescription>\r\n";
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        const std::wstring key(entry.key);
        const size_t first = key.find(L'\\');
        const size_t second = key.find(L'\\', first + 1);
        const std::string group(key.begin(), key.begin() + first);
        const std::string element(key.begin() + first + 1, key.begin() + second);
        const std::string property(key.begin() + second + 1, key.end());
        xml += "<" + group + "><" + element + "><" + property + " " + attributes(i, entry.kind == kKivKindRect) +
               "/></" + element + "></" + group + ">\r\n";
    }
    xml += "</KivDescription>\r\n";
    return xml;
}

static std::wstring EnvPath(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return std::wstring();
    std::wstring path(value);
    // ctest hands over Unix paths; under Wine they live on drive Z:.
    if (!path.empty() && path[0] == L'/')
        path = L"Z:" + path;
    return path;
}

std::wstring BinaryDir()
{
    std::wstring dir = EnvPath(L"KIV_BINARY_DIR");
    if (dir.empty())
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        dir = self;
        dir = dir.substr(0, dir.find_last_of(L"\\/"));
        return dir;
    }
    return dir + L"/bin";
}

std::wstring SourceDir()
{
    return EnvPath(L"KIV_SOURCE_DIR");
}

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    std::wstring path = std::wstring(folder) + L"\\" + name;
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    GetWindowsDirectoryW(folder, MAX_PATH);
    path = std::wstring(folder) + L"\\" + name;
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    // wordpad lives with the accessories.
    wchar_t programs[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ProgramFiles", programs, MAX_PATH);
    const std::wstring accessory = std::wstring(programs, length < MAX_PATH ? length : 0) +
                                   L"\\Windows NT\\Accessories\\" + name;
    return GetFileAttributesW(accessory.c_str()) != INVALID_FILE_ATTRIBUTES ? accessory : path;
}

}  // namespace kivtest
