#pragma once
// Counts the live GDI objects of this process. Wine keeps a handle table in
// memory the process can read (GetGuiResources is a stub there); the layout
// is checked against a fresh brush first, and when it does not match the
// oracle falls back to GetGuiResources.
#include <windows.h>

namespace kivtest {

class GdiLeakOracle
{
public:
    GdiLeakOracle();

    // True when the handle table was found and its layout confirmed.
    bool ReadsHandleTable() const { return m_table != nullptr; }
    // Live (non-stock) objects; -1 when neither source works.
    long LiveObjects() const;
    // Live objects of one table type (0x10 brush, 0x05 bitmap, 0x01 DC ...); -1 without the table.
    long LiveObjects(BYTE type) const;

private:
    struct Entry;
    const BYTE* m_table = nullptr;
};

}  // namespace kivtest
