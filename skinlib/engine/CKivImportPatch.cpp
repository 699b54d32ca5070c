#include "CKivImportPatch.h"

CKivImportPatch::CKivImportPatch(HMODULE module, FARPROC original, FARPROC replacement)
    : m_original(original), m_replacement(replacement)
{
    if (original == nullptr || replacement == nullptr)
        return;
    for (FARPROC* slot : FindSlots(module, original))
        if (Write(slot, replacement))
            m_slots.push_back(slot);
}

CKivImportPatch::~CKivImportPatch()
{
    for (FARPROC* slot : m_slots)
        if (*slot == m_replacement)
            Write(slot, m_original);
}

bool CKivImportPatch::Imports(HMODULE module, FARPROC function)
{
    return function != nullptr && !FindSlots(module, function).empty();
}

std::vector<FARPROC*> CKivImportPatch::FindSlots(HMODULE module, FARPROC function)
{
    std::vector<FARPROC*> slots;
    if (module == nullptr || function == nullptr)
        return slots;
    BYTE* const base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0)
        return slots;
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC ||
        nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
        return slots;
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0)
        return slots;
    const IMAGE_IMPORT_DESCRIPTOR* import =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name != 0 && import->FirstThunk != 0; ++import)
    {
        IMAGE_THUNK_DATA* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; thunk->u1.Function != 0; ++thunk)
        {
            FARPROC* slot = reinterpret_cast<FARPROC*>(&thunk->u1.Function);
            if (*slot == function)
                slots.push_back(slot);
        }
    }
    return slots;
}

bool CKivImportPatch::Write(FARPROC* slot, FARPROC value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
        return false;
    *slot = value;
    DWORD unused = 0;
    VirtualProtect(slot, sizeof(*slot), protection, &unused);
    return true;
}
