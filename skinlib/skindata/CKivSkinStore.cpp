#include "CKivSkinStore.h"
#include "CKivSkinLoad.h"
#include <cstring>

namespace {

struct SkinStore
{
    KivSkinSettings settings;
    HBITMAP atlas;
};

SkinStore g_store = {};
unsigned g_generation = 0;

// Deletes the atlas at process end.
struct AtlasCleanup
{
    ~AtlasCleanup()
    {
        if (g_store.atlas && DeleteObject(g_store.atlas))
            g_store.atlas = nullptr;
    }
} g_atlasCleanup;

}  // namespace

KivSkinSettings& CKivSkinStore::Settings()
{
    return g_store.settings;
}

HBITMAP CKivSkinStore::Atlas()
{
    return g_store.atlas;
}

unsigned CKivSkinStore::Generation()
{
    return g_generation;
}

bool CKivSkinStore::HasSkin()
{
    if (g_store.atlas != nullptr)
        return true;
    static const KivSkinSettings empty = {};
    return memcmp(&g_store.settings, &empty, sizeof(empty)) != 0;
}

void CKivSkinStore::DeleteAtlas()
{
    if (g_store.atlas && DeleteObject(g_store.atlas))
        g_store.atlas = nullptr;
    ++g_generation;
}

HBITMAP CKivSkinStore::CreateAtlas(const BYTE* image, size_t length)
{
    if (g_store.atlas != nullptr)
        return nullptr;
    g_store.atlas = CKivSkinLoad::BuildAtlas(image, length, nullptr);
    if (g_store.atlas != nullptr)
        ++g_generation;
    return g_store.atlas;
}

bool CKivSkinStore::LoadSkin(const wchar_t* path)
{
    CKivSkinLoad load(g_store.settings);
    if (!load.Run(path))
        return false;
    // Both parts are good: only now does the live skin change, in one step.
    const HBITMAP old = g_store.atlas;
    g_store.settings = load.Settings();
    g_store.atlas = load.ReleaseAtlas();
    ++g_generation;
    if (old)
        DeleteObject(old);
    return true;
}
