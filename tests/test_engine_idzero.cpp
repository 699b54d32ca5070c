// An identifier filter of 0 reaches much further than it looks: the null
// parent above every top-level window reports identifier 0. Kept in its own
// process because filters cannot be removed once added.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivWndBox.h"
#include "KivEngineTestWindows.h"
#include "KivTestSkin.h"

using namespace kivengine;

TEST_CASE("identifier filter 0 excludes every window less than seven levels deep")
{
    CKivEngine::Instance().AddIdFilter(0);
    CKivWndBox& registry = CKivWndBox::Instance();

    HWND host = MakeTopLevel(L"Host");
    CHECK(registry.IsFilteredByAncestor(host));
    std::vector<HWND> chain;
    HWND parent = host;
    for (int level = 1; level <= 7; ++level)
    {
        parent = MakeChild(parent, L"#32770", 0, level, L"pane");
        chain.push_back(parent);
    }
    for (int level = 1; level <= 6; ++level)
    {
        INFO("level " << level);
        CHECK(registry.ChooseSkin(chain[level - 1]) == KivSkinKind::Filtered);
    }
    // Six ancestors with non-zero identifiers: the walk never reaches the top.
    CHECK(registry.ChooseSkin(chain[6]) == KivSkinKind::WndNoCaptionBar);
    // One ancestor with identifier 0 in the six is enough.
    HWND zero = MakeChild(chain[6], L"#32770", 0, 0, L"pane");
    HWND belowZero = MakeChild(zero, L"#32770", 0, 8, L"pane");
    CHECK(registry.ChooseSkin(belowZero) == KivSkinKind::Filtered);

    // Through the hook a top-level window without a menu is filtered by its
    // own identifier, which is its menu handle. The hook skins only with a skin.
    kivtest::skin::Install();
    REQUIRE(CKivEngine::Instance().Run());
    HWND dialog = MakeWindow(L"#32770", L"Dialog", WS_POPUP | WS_CAPTION);
    HWND deep = MakeChild(chain[6], L"#32770", 0, 9, L"pane");
    CKivEngine::Instance().Stop();
    CHECK(registry.Find(dialog) == nullptr);
    CHECK(registry.Find(deep) != nullptr);
    DestroyWindow(dialog);
    DestroyWindow(host);
    CHECK(registry.Find(deep) == nullptr);
}
