// The bottom layer: the one handle owner with its traits per handle kind, and
// the BMP file reader and writer, checked against what the platform reports.
#include <doctest.h>
#include "CKivBmpFile.h"
#include "CKivComPtr.h"
#include "CKivCompatibleDC.h"
#include "CKivCryptHandle.h"
#include "CKivFileHandle.h"
#include "CKivGdiObject.h"
#include "CKivHandle.h"
#include "CKivProcess.h"
#include "CKivStdioFile.h"
#include "KivTestSupport.h"
#include <objidl.h>
#include <shlwapi.h>
#include <utility>

namespace {

// Traits that record each close, so the owner's bookkeeping shows without a
// real handle behind it. (Not counted: Receive hands out what it holds.)
struct RecordingTraits : KivHandleTraitsBase<int*>
{
    static int closes;
    static int owned;
    static void Close(Handle) { ++closes; }
    static void Owned(Handle) { ++owned; }
    static void Disowned(Handle) { --owned; }
};
int RecordingTraits::closes = 0;
int RecordingTraits::owned = 0;
using Recording = CKivHandle<RecordingTraits>;

bool IsLiveKernelHandle(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

}  // namespace

TEST_CASE("the owner closes exactly once, whatever way the handle leaves")
{
    RecordingTraits::closes = 0;
    RecordingTraits::owned = 0;
    int a = 0, b = 0;
    {
        Recording first(&a);
        CHECK(RecordingTraits::owned == 1);
        Recording second(std::move(first));  // moved, not closed
        CHECK(first.Get() == nullptr);
        CHECK(second.Get() == &a);
        CHECK(RecordingTraits::closes == 0);
        second.Reset(&b);  // the old one goes
        CHECK(RecordingTraits::closes == 1);
        Recording third;
        third = std::move(second);
        CHECK(RecordingTraits::closes == 1);
        CHECK(third.Get() == &b);
        int* given = third.Release();  // given up, never closed
        CHECK(given == &b);
        CHECK(RecordingTraits::owned == 0);
        CHECK_FALSE(third);
        third.Reset(&a);
        *third.Receive() = &b;  // Receive closes what was held first
        CHECK(RecordingTraits::closes == 2);
        CHECK(third.Get() == &b);
    }
    CHECK(RecordingTraits::closes == 3);  // and what Receive took in goes at the end
}

TEST_CASE("an owner is the size of its handle")
{
    // Owners replace raw handles inside classes whose member layout is fixed.
    CHECK(sizeof(CKivBitmap) == sizeof(HBITMAP));
    CHECK(sizeof(CKivCryptKey) == sizeof(HCRYPTKEY));
    CHECK(sizeof(CKivComPtr<IStream>) == sizeof(IStream*));
    CHECK(sizeof(CKivFileHandle) == sizeof(HANDLE));
}

TEST_CASE("handle kinds close with their own release call")
{
    SUBCASE("GDI objects are deleted and counted")
    {
        const long before = CKivGdiObjectCount::Live();
        HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
        {
            CKivBrush brush(raw);
            CHECK(CKivGdiObjectCount::Live() == before + 1);
            CHECK(GetObjectType(raw) == OBJ_BRUSH);
        }
        CHECK(CKivGdiObjectCount::Live() == before);
        CHECK(GetObjectType(raw) == 0);
    }
    SUBCASE("a memory DC is deleted, not released")
    {
        HDC raw = nullptr;
        {
            CKivCompatibleDC dc(nullptr);
            raw = dc.Get();
            REQUIRE(raw != nullptr);
            CHECK(GetObjectType(raw) == OBJ_MEMDC);
        }
        CHECK(GetObjectType(raw) == 0);
    }
    SUBCASE("menus are destroyed")
    {
        HMENU raw = CreatePopupMenu();
        {
            const CKivMenu menu(raw);
            CHECK(IsMenu(raw));
        }
        CHECK_FALSE(IsMenu(raw));
    }
    SUBCASE("kernel handles are closed; a file owner takes null for none")
    {
        HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        {
            const CKivKernelHandle event(raw);
            CHECK(IsLiveKernelHandle(raw));
        }
        CHECK_FALSE(IsLiveKernelHandle(raw));
        CKivFileHandle none(nullptr);
        CHECK_FALSE(none.IsValid());
        CHECK(none.Get() == INVALID_HANDLE_VALUE);
        kivtest::TempDir dir;
        HANDLE file = CKivFileHandle::OpenWrite(dir.File(L"x.bin").c_str());
        {
            CKivFileHandle owner(file);
            CHECK(owner.WriteExact("abc", 3));
        }
        CHECK_FALSE(IsLiveKernelHandle(file));
    }
    SUBCASE("registry keys are closed")
    {
        CKivRegKey key;
        REQUIRE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Receive()) == ERROR_SUCCESS);
        HKEY raw = key.Get();
        DWORD subkeys = 0;
        CHECK(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) == ERROR_SUCCESS);
        key.Reset();
        CHECK(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS);
    }
    SUBCASE("a module is freed")
    {
        // A DLL nothing else in this program loads.
        HMODULE raw = LoadLibraryW(L"msacm32.dll");
        REQUIRE(raw != nullptr);
        {
            const CKivModule module(raw);
            CHECK(GetModuleHandleW(L"msacm32.dll") == raw);
        }
        CHECK(GetModuleHandleW(L"msacm32.dll") == nullptr);
    }
    SUBCASE("a COM pointer gives back its one reference")
    {
        CKivComPtr<IStream> keeper(SHCreateMemStream(nullptr, 0));
        REQUIRE(keeper);
        const ULONG alone = RefCount(keeper.Get());
        {
            keeper->AddRef();
            const CKivComPtr<IStream> second(keeper.Get());
            CHECK(RefCount(keeper.Get()) == alone + 1);
        }
        CHECK(RefCount(keeper.Get()) == alone);
    }
    SUBCASE("a started process: both handles owned together, the thread's closable first")
    {
        CKivProcess process;
        REQUIRE(process.Start(L"\"" + kivtest::SystemProgram(L"cmd.exe") + L"\" /c exit 7", CREATE_NO_WINDOW));
        const HANDLE rawProcess = process.Process();
        const HANDLE rawThread = process.Thread();
        CHECK(process.IsStarted());
        CHECK(process.Id() == GetProcessId(rawProcess));
        CHECK(IsLiveKernelHandle(rawThread));
        process.CloseThread();
        CHECK_FALSE(IsLiveKernelHandle(rawThread));
        CHECK(process.Thread() == nullptr);
        REQUIRE(WaitForSingleObject(rawProcess, 10000) == WAIT_OBJECT_0);
        DWORD code = 0;
        CHECK(GetExitCodeProcess(rawProcess, &code));
        CHECK(code == 7u);
        // Starting again closes the first process's handle.
        CHECK_FALSE(process.Start(L"\"C:\\no such folder\\none.exe\""));
        CHECK_FALSE(IsLiveKernelHandle(rawProcess));
        CHECK_FALSE(process.IsStarted());
        CHECK(process.Id() == 0u);
    }
    SUBCASE("a process taken over is closed with its owner")
    {
        std::wstring line = L"\"" + kivtest::SystemProgram(L"cmd.exe") + L"\" /c exit 0";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started = {};
        REQUIRE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &started));
        {
            const CKivProcess process(started);
            CHECK(process.Id() == started.dwProcessId);
            CHECK(IsLiveKernelHandle(started.hProcess));
            WaitForSingleObject(process.Process(), 10000);
        }
        CHECK_FALSE(IsLiveKernelHandle(started.hProcess));
        CHECK_FALSE(IsLiveKernelHandle(started.hThread));
    }
    SUBCASE("a C runtime stream is closed")
    {
        kivtest::TempDir dir;
        const std::wstring path = dir.File(L"s.txt");
        {
            const CKivStdioFile file(_wfopen(path.c_str(), L"w"));
            REQUIRE(file);
            fputs("kept", file);
        }
        // Closed, hence flushed and no longer held open.
        CHECK(kivtest::ReadFileBytes(path).size() == 4u);
        CHECK(DeleteFileW(path.c_str()));
    }
    SUBCASE("a crypt provider and key")
    {
        CKivCryptProvider provider;
        REQUIRE(CryptAcquireContextW(provider.Receive(), nullptr, nullptr, 24 /* PROV_RSA_AES */,
                                     CRYPT_VERIFYCONTEXT));
        CKivCryptKey key;
        REQUIRE(CryptGenKey(provider, CALG_AES_256, 0, key.Receive()));
        CHECK(key.IsValid());
        key.Reset();
        CHECK_FALSE(key.IsValid());
    }
}

TEST_CASE("BMP files: what the writer writes, the platform reads back")
{
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12; asymmetric colours so
    // a flipped or shifted row shows.
    const int width = 3, height = 2;
    CHECK(CKivBmpFile::RowBytes(width, 24) == 12);
    CHECK(CKivBmpFile::RowBytes(5, 1) == 4);
    CHECK(CKivBmpFile::RowBytes(33, 1) == 8);
    CHECK(CKivBmpFile::RowBytes(0, 32) == 0);
    const BITMAPINFOHEADER info = CKivBmpFile::InfoHeader(width, height, 24);
    CHECK(info.biSizeImage == 24);
    CHECK(CKivBmpFile::InfoHeader(width, -height, 32).biSizeImage == 24);
    const COLORREF pixels[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                                   {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90)}};  // top row first
    BYTE rows[24] = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            BYTE* p = rows + (height - 1 - y) * 12 + x * 3;  // bottom-up
            p[0] = GetBValue(pixels[y][x]);
            p[1] = GetGValue(pixels[y][x]);
            p[2] = GetRValue(pixels[y][x]);
        }
    kivtest::TempDir dir;
    const std::wstring path = dir.File(L"three.bmp");
    REQUIRE(CKivBmpFile::Write(path.c_str(), info, rows, sizeof(rows)));
    CHECK(kivtest::ReadFileBytes(path).size() == 54 + 24);

    CKivBitmap loaded(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    REQUIRE(loaded);
    CKivCompatibleDC dc(nullptr);
    const HGDIOBJ previous = SelectObject(dc, loaded);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            CHECK(GetPixel(dc, x, y) == pixels[y][x]);
    SelectObject(dc, previous);

    SUBCASE("headers read back; spare bytes lie outside the file size")
    {
        const std::vector<BYTE> image = CKivBmpFile::Compose(info, rows, sizeof(rows), 2, 16);
        CHECK(image.size() == 54 + 8 + 24 + 16);
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER back = {};
        REQUIRE(CKivBmpFile::ReadHeaders(image.data(), image.size(), &file, &back));
        CHECK(file.bfSize == 54 + 8 + 24);
        CHECK(file.bfOffBits == 54 + 8);
        CHECK(back.biWidth == width);
        CHECK(back.biHeight == height);
        CHECK(image[54] == 0);  // the colour table is zeroed
        CHECK(image[62] == rows[0]);
    }
    SUBCASE("short or foreign images are refused")
    {
        std::vector<BYTE> image = CKivBmpFile::Compose(info, rows, sizeof(rows));
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER back;
        CHECK_FALSE(CKivBmpFile::ReadHeaders(image.data(), 53, &file, &back));
        CHECK_FALSE(CKivBmpFile::ReadHeaders(nullptr, image.size(), &file, &back));
        image[0] = 'X';
        CHECK_FALSE(CKivBmpFile::ReadHeaders(image.data(), image.size(), &file, &back));
        CHECK_FALSE(CKivBmpFile::Write(dir.File(L"no\\such\\folder.bmp").c_str(), info, rows, sizeof(rows)));
    }
}
