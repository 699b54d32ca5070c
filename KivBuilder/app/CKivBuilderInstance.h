#pragma once
#include <windows.h>
#include "CKivHandle.h"

// Keeps a second KivBuilder from starting: a named mutex says whether one runs,
// a named mapping holds its main window. The window is shown only when it
// still belongs to a process whose program file is KivBuilder.exe.
class CKivBuilderInstance
{
public:
    CKivBuilderInstance() = default;
    ~CKivBuilderInstance();
    CKivBuilderInstance(const CKivBuilderInstance&) = delete;
    CKivBuilderInstance& operator=(const CKivBuilderInstance&) = delete;

    // True when this process is the first instance; it then owns the names
    // until it ends.
    bool Acquire();
    void StoreWindow(HWND window);
    // Brings the first instance's window to the front; false when there is none
    // to show (still starting, or the stored handle is not a builder's).
    static bool ActivateFirst();
    // Whether window belongs to a running KivBuilder.exe.
    static bool IsBuilderWindow(HWND window);

private:
    struct Shared
    {
        ULONGLONG window;
        LONG running;
    };
    CKivKernelHandle m_mutex;
    CKivKernelHandle m_mapping;  // closed before the mutex
    Shared* m_shared = nullptr;
};
