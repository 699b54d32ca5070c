// KivAPI.dll loaded at run time, as a .NET or C host would reach it, and the
// engine instance behind it.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivWindowsHook.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

namespace {

struct Api
{
    HMODULE module = nullptr;
    int(WINAPI* Initialize)() = nullptr;
    BOOL(WINAPI* LoadSkin)(const wchar_t*) = nullptr;
    BOOL(WINAPI* Run)() = nullptr;
    BOOL(WINAPI* Stop)() = nullptr;
    int(WINAPI* GetClass)() = nullptr;
    void(WINAPI* AddFilterForCaption)(const wchar_t*) = nullptr;
    void(WINAPI* AddFilterForID)(int) = nullptr;
    void*(WINAPI* DotNETApp)() = nullptr;

    Api()
    {
        module = LoadLibraryW((kivtest::BinaryDir() + L"\\KivAPI.dll").c_str());
        if (!module)
            return;
        Bind(Initialize, "KivInitialize");
        Bind(LoadSkin, "KivLoadSkin");
        Bind(Run, "KivRun");
        Bind(Stop, "KivStop");
        Bind(GetClass, "KivGetClass");
        Bind(AddFilterForCaption, "KivAddFilterForCaption");
        Bind(AddFilterForID, "KivAddFilterForID");
        Bind(DotNETApp, "KivDotNETApp");
    }
    template <typename F>
    void Bind(F& function, const char* name)
    {
        function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    bool Complete() const
    {
        return module && Initialize && LoadSkin && Run && Stop && GetClass && AddFilterForCaption &&
               AddFilterForID && DotNETApp;
    }
};

Api& TheApi()
{
    static Api api;
    return api;
}

}  // namespace

TEST_CASE("the DLL exports its eight functions by undecorated name")
{
    REQUIRE(TheApi().module != nullptr);
    CHECK(TheApi().Complete());
}

TEST_CASE("hook install and removal through the DLL")
{
    Api& api = TheApi();
    REQUIRE(api.Complete());
    CHECK(api.Initialize() == 1);
    CHECK(api.GetClass() == 1);
    CHECK(api.Stop() == FALSE);
    CHECK(api.Run() != FALSE);
    CHECK(api.Run() == FALSE);
    CHECK(api.LoadSkin(L"Z:\\no\\such\\file.kiv") == FALSE);
    CHECK(api.Stop() != FALSE);  // a failed load leaves the hook alone
    CHECK(api.Run() != FALSE);
    CHECK(api.Stop() != FALSE);
    CHECK(api.Run() != FALSE);
    CHECK(api.Stop() != FALSE);
}

TEST_CASE("skin load through the DLL")
{
    Api& api = TheApi();
    REQUIRE(api.Complete());
    kivtest::TempDir dir;
    const std::wstring good = dir.File(L"good.kiv");
    const std::string xml = "<KivDescription><WindowEdge><CaptionBar><Height value=\"30\"/></CaptionBar></WindowEdge></KivDescription>";
    const std::vector<unsigned char> document(xml.begin(), xml.end());
    const std::vector<unsigned char> bmp = kivtest::Bmp32(4, 4, [](size_t i) { return static_cast<unsigned char>(i); });
    REQUIRE(kivtest::WriteFileBytes(good, kivtest::MakeSkinFile(document, bmp)));
    CHECK(api.LoadSkin(good.c_str()) != FALSE);

    SUBCASE("an atlas that is no picture fails instead of passing for a loaded skin")
    {
        const std::vector<unsigned char> junk(200, 0x42);
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"junk.kiv"), kivtest::MakeSkinFile(document, junk)));
        CHECK(api.LoadSkin(dir.File(L"junk.kiv").c_str()) == FALSE);
    }

    SUBCASE("a truncated atlas section fails")
    {
        std::vector<unsigned char> file = kivtest::ReadFileBytes(good);
        file.resize(file.size() - 1);
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"cut.kiv"), file));
        CHECK(api.LoadSkin(dir.File(L"cut.kiv").c_str()) == FALSE);
    }
    SUBCASE("a file shorter than its header fails")
    {
        REQUIRE(kivtest::WriteFileBytes(dir.File(L"short.kiv"), std::vector<unsigned char>(20, 0)));
        CHECK(api.LoadSkin(dir.File(L"short.kiv").c_str()) == FALSE);
    }
}

TEST_CASE("engine filters")
{
    CKivEngine& engine = CKivEngine::Instance();
    const size_t captionsBefore = engine.CaptionFilters().size();
    engine.AddCaptionFilter(L"Same");
    engine.AddCaptionFilter(L"Same");
    engine.AddCaptionFilter(L"");
    engine.AddCaptionFilter(nullptr);
    REQUIRE(engine.CaptionFilters().size() == captionsBefore + 3);
    CHECK(engine.CaptionFilters()[captionsBefore] == L"Same");
    CHECK(engine.CaptionFilters()[captionsBefore + 1] == L"Same");
    CHECK(engine.CaptionFilters()[captionsBefore + 2].empty());

    engine.AddIdFilter(4242);
    engine.AddIdFilter(4242);
    engine.AddIdFilter(-1);
    CHECK(engine.IdFilters().count(4242) == 1);
    CHECK(engine.IsIdFiltered(-1));
    CHECK_FALSE(engine.IsIdFiltered(4243));
}

TEST_CASE("hook object states")
{
    CKivWindowsHook hook;
    CHECK_FALSE(hook.IsInstalled());
    CHECK(hook.Uninstall() == FALSE);
    CHECK(hook.Install(WH_CALLWNDPROC, nullptr) == FALSE);
    REQUIRE(hook.Install(WH_CALLWNDPROC, &CKivWindowsHook::CallWndProc) != FALSE);
    CHECK(hook.ThreadId() == GetCurrentThreadId());
    CHECK(hook.Handle() != nullptr);
    CHECK(hook.Install(WH_CALLWNDPROC, &CKivWindowsHook::CallWndProc) == FALSE);
    CHECK(hook.Uninstall() != FALSE);
    CHECK(hook.ThreadId() == 0);
    CHECK(hook.Handle() == nullptr);
    CHECK(hook.Install(WH_CALLWNDPROC, &CKivWindowsHook::CallWndProc) != FALSE);
    // The destructor removes a hook that is still installed.
}
