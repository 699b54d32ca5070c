#include "CKivBuildJob.h"
#include "CKivAtomicFile.h"
#include "KivBuilderMessages.h"
#include "KivSkinFile.h"
#include <process.h>

CKivBuildJob::~CKivBuildJob()
{
    Join();
}

bool CKivBuildJob::Running() const
{
    return m_thread != nullptr && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT;
}

void CKivBuildJob::Join()
{
    if (m_thread == nullptr)
        return;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_snapshot.reset();
}

bool CKivBuildJob::Start(HWND notify, const CKivFileBuilder& project)
{
    if (Running())
        return false;
    Join();
    if (project.ProjectFolder().empty())
        return false;
    std::unique_ptr<CKivFileBuilder> copy(new CKivFileBuilder);
    copy->CopyFrom(project);
    m_skinPath = project.ProjectFilePath(L"kiv");
    m_snapshot = std::move(copy);
    m_notify = notify;
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CKivBuildJob::Main, this, 0, nullptr);
    m_thread = reinterpret_cast<HANDLE>(thread);
    if (m_thread == nullptr)
        m_snapshot.reset();
    return m_thread != nullptr;
}

int CKivBuildJob::Build(CKivFileBuilder& project, const std::wstring& skinPath)
{
    // The compiler's temporary files go with it; nothing of the designer's is touched.
    if (skinPath.empty() || !project.Compile())
        return kCompileFailed;
    CKivAtomicFile skin(skinPath);
    if (skin.TempPath().empty() ||
        !PackSkinFile(skin.TempPath().c_str(), project.CompiledSettingsPath().c_str(),
                      project.CompiledAtlasPath().c_str()) ||
        !skin.Commit())
        return kPackFailed;
    return kSucceeded;
}

unsigned __stdcall CKivBuildJob::Main(void* self)
{
    auto* job = static_cast<CKivBuildJob*>(self);
    const bool saved = job->m_snapshot->SaveProject();
    const int result = Build(*job->m_snapshot, job->m_skinPath);
    PostMessageW(job->m_notify, WM_KIV_BUILD_DONE, static_cast<WPARAM>(result), saved ? 1 : 0);
    return 0;
}
