#pragma once
#include "KivSkinSettings.h"
#include <cstddef>

enum KivSchemaKind
{
    kKivKindFlag = 0,
    kKivKindInteger = 1,
    kKivKindLong = 2,
    kKivKindRect = 3,
};

struct KivSchemaEntry
{
    const wchar_t* key;
    size_t offset;  // of the field in KivSkinSettings
    int kind;
};

// The skin schema: one entry per key, in record order.
class CKivSkinSchema
{
public:
    static const KivSchemaEntry* Entries();
    static size_t Count();
    // Exact, case-sensitive lookup; null when the key is unknown.
    static const KivSchemaEntry* Find(const wchar_t* key);
    static int* IntField(KivSkinSettings& settings, const KivSchemaEntry& entry);
    static RECT* RectField(KivSkinSettings& settings, const KivSchemaEntry& entry);
};
