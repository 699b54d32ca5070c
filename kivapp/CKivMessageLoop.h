#pragma once
#include <windows.h>
#include <vector>

// The message loop of one user-interface thread. Modeless dialogs register
// here so that Tab, Enter and Escape work in them; a frame window brings its
// accelerator table and, for a multi-document frame, its MDI client.
class CKivMessageLoop
{
public:
    // The loop of the calling thread, created on first use.
    static CKivMessageLoop& Current();

    void AddModeless(HWND dialog);
    void RemoveModeless(HWND dialog);
    bool IsModeless(HWND dialog) const;
    size_t ModelessCount() const { return m_modeless.size(); }

    void SetAccelerators(HWND target, HACCEL table);
    void SetMdiClient(HWND client) { m_mdiClient = client; }

    // Gives accelerators and dialog keys their turn; true when the message was consumed.
    bool PreTranslate(MSG& message);
    // Runs until WM_QUIT and returns its exit code.
    int Run();

private:
    CKivMessageLoop() = default;

    std::vector<HWND> m_modeless;
    HWND m_acceleratorTarget = nullptr;
    HACCEL m_accelerators = nullptr;
    HWND m_mdiClient = nullptr;
};
