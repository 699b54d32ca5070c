#include "KivGdiLeakOracle.h"
#include <cstdint>
#include <cstring>
#include <winternl.h>

namespace kivtest {

// One handle table entry as Wine lays it out.
struct GdiLeakOracle::Entry
{
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};

namespace {
const size_t kEntries = 65536;
const uint16_t kStockBit = 0x80;
const uint8_t kBrushType = 0x10;
static_assert(sizeof(uint64_t) * 3 == 24, "entry size");

const BYTE* TablePointer()
{
    using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const QueryProcess query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
        return nullptr;
    const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    if (peb == nullptr)
        return nullptr;
#ifdef _WIN64
    const size_t offset = 0xF8;
#else
    const size_t offset = 0x94;
#endif
    const BYTE* table = nullptr;
    memcpy(&table, peb + offset, sizeof(table));
    return table;
}
}  // namespace

GdiLeakOracle::GdiLeakOracle()
{
    static_assert(sizeof(Entry) == 24, "Wine's handle table entries are 24 bytes");
    const BYTE* table = TablePointer();
    if (table == nullptr || IsBadReadPtr(table, kEntries * sizeof(Entry)))
        return;
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    if (probe == nullptr)
        return;
    const uintptr_t value = reinterpret_cast<uintptr_t>(probe);
    const Entry* entry = reinterpret_cast<const Entry*>(table) + (value & 0xFFFF);
    const bool matches = entry->type == kBrushType && entry->unique == static_cast<uint16_t>((value >> 16) & 0xFFFF);
    DeleteObject(probe);
    if (matches)
        m_table = table;
}

long GdiLeakOracle::LiveObjects() const
{
    if (m_table == nullptr)
    {
        const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        return count ? static_cast<long>(count) : -1;
    }
    const Entry* entries = reinterpret_cast<const Entry*>(m_table);
    long live = 0;
    for (size_t i = 0; i < kEntries; ++i)
        if (entries[i].type != 0 && (entries[i].unique & kStockBit) == 0)
            ++live;
    return live;
}

long GdiLeakOracle::LiveObjects(BYTE type) const
{
    if (m_table == nullptr)
        return -1;
    const Entry* entries = reinterpret_cast<const Entry*>(m_table);
    long live = 0;
    for (size_t i = 0; i < kEntries; ++i)
        if (entries[i].type == type && (entries[i].unique & kStockBit) == 0)
            ++live;
    return live;
}

}  // namespace kivtest
