#pragma once
// Activates version 6 of the common controls for this thread while it lives,
// as an application manifest does: BUTTON, STATIC and the other standard
// classes created meanwhile are comctl32's, which invalidate on state changes
// and send NM_CUSTOMDRAW, instead of user32's, which paint at once.
#include <windows.h>
#include <string>

namespace kivtest {

class CommonControls6
{
public:
    CommonControls6();
    ~CommonControls6();
    CommonControls6(const CommonControls6&) = delete;
    CommonControls6& operator=(const CommonControls6&) = delete;

    bool Active() const { return m_active; }

private:
    std::wstring m_manifest;
    HANDLE m_context = INVALID_HANDLE_VALUE;
    ULONG_PTR m_cookie = 0;
    bool m_active = false;
};

}  // namespace kivtest
