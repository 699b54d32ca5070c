#pragma once
#include <windows.h>
#include <vector>

// Points one module's imports of a function at a replacement for as long as
// the object lives, and puts them back afterwards (unless something else has
// replaced them meanwhile). Only the module's own import table changes: every
// other module still calls the original function.
class CKivImportPatch
{
public:
    CKivImportPatch(HMODULE module, FARPROC original, FARPROC replacement);
    ~CKivImportPatch();
    CKivImportPatch(const CKivImportPatch&) = delete;
    CKivImportPatch& operator=(const CKivImportPatch&) = delete;

    // How many import slots were redirected (0: the module does not import it).
    size_t Count() const { return m_slots.size(); }

    // Whether the module's import table holds the function.
    static bool Imports(HMODULE module, FARPROC function);

private:
    static std::vector<FARPROC*> FindSlots(HMODULE module, FARPROC function);
    static bool Write(FARPROC* slot, FARPROC value);

    FARPROC m_original;
    FARPROC m_replacement;
    std::vector<FARPROC*> m_slots;
};
