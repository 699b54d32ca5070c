#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "CKivFileBuilder.h"
#include "CKivHandle.h"

// One build on a worker thread. The worker gets its own copy of the project
// (the designer may go on looking at the live one), touches only that copy and
// the file system, and reports once by posting WM_KIV_BUILD_DONE to the main
// window: wParam 0 success, 1 compile failed, 2 packing failed; lParam 1 when
// the project file was saved. Reason() then says what went wrong, in the
// words kivtool uses. A project the shared validation refuses is not
// compiled. The skin is compiled through temporary files and replaces the
// old one only when everything worked.
class CKivBuildJob
{
public:
    enum : int
    {
        kSucceeded = 0,
        kCompileFailed = 1,
        kPackFailed = 2,
    };

    CKivBuildJob() = default;
    ~CKivBuildJob();
    CKivBuildJob(const CKivBuildJob&) = delete;
    CKivBuildJob& operator=(const CKivBuildJob&) = delete;

    // False while an earlier build still runs or the thread cannot start.
    bool Start(HWND notify, const CKivFileBuilder& project);
    bool Running() const;
    // Waits for the worker and lets its handle go.
    void Join();
    // The skin file of the last build.
    const std::wstring& SkinPath() const { return m_skinPath; }
    // Why the last build failed, one problem per line; read after Join.
    const std::wstring& Reason() const { return m_reason; }

    // The build itself, on the calling thread: one of the codes above, and
    // why it failed.
    static int Build(CKivFileBuilder& project, const std::wstring& skinPath, std::wstring* reason);

    // At most kShownProblems problems as lines "\"file\": problem", then how
    // many more there are.
    static std::wstring ProblemLines(const std::wstring& file, const std::vector<std::wstring>& problems);
    enum : size_t
    {
        kShownProblems = 8,
    };

private:
    static unsigned __stdcall Main(void* self);

    std::unique_ptr<CKivFileBuilder> m_snapshot;
    std::wstring m_skinPath;
    std::wstring m_reason;
    HWND m_notify = nullptr;
    CKivThreadHandle m_thread;
};
