#include "CKivBuildJob.h"
#include "CKivAtomicFile.h"
#include "CKivSkinValidator.h"
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
    m_thread.Reset();
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
    m_reason.clear();
    m_snapshot = std::move(copy);
    m_notify = notify;
    const uintptr_t thread = _beginthreadex(nullptr, 0, &CKivBuildJob::Main, this, 0, nullptr);
    m_thread.Reset(reinterpret_cast<HANDLE>(thread));
    if (m_thread == nullptr)
        m_snapshot.reset();
    return m_thread != nullptr;
}

int CKivBuildJob::Build(CKivFileBuilder& project, const std::wstring& skinPath, std::wstring* reason)
{
    // Whatever kivtool check refuses is not built here either.
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(project);
    if (!problems.empty())
    {
        *reason = ProblemLines(project.ProjectFile(), problems);
        return kCompileFailed;
    }
    // The compiler's temporary files go with it; nothing of the designer's is touched.
    if (skinPath.empty() || !project.Compile())
    {
        *reason = CKivSkinValidator::Describe(project.ProjectFile(), project.LastError());
        return kCompileFailed;
    }
    const std::wstring early = CKivAtomicFile::Precheck(skinPath);
    if (!early.empty())
    {
        *reason = early;
        return kPackFailed;
    }
    CKivAtomicFile skin(skinPath);
    if (skin.TempPath().empty() ||
        !kiv::PackSkinFile(skin.TempPath().c_str(), project.CompiledSettingsPath().c_str(),
                      project.CompiledAtlasPath().c_str()) ||
        !skin.Commit())
    {
        *reason = L"cannot write the skin file \"" + skinPath + L"\": " + CKivAtomicFile::Problem(skinPath);
        return kPackFailed;
    }
    return kSucceeded;
}

std::wstring CKivBuildJob::ProblemLines(const std::wstring& file, const std::vector<std::wstring>& problems)
{
    std::wstring text;
    for (size_t i = 0; i < problems.size() && i < kShownProblems; ++i)
        text += (i ? L"\r\n" : L"") + CKivSkinValidator::Describe(file, problems[i]);
    if (problems.size() > kShownProblems)
        text += L"\r\n……另有 " + std::to_wstring(problems.size() - kShownProblems) + L" 个问题";
    return text;
}

unsigned __stdcall CKivBuildJob::Main(void* self)
{
    auto* job = static_cast<CKivBuildJob*>(self);
    const bool saved = job->m_snapshot->SaveProject();
    std::wstring reason;
    const int result = Build(*job->m_snapshot, job->m_skinPath, &reason);
    job->m_reason = reason;
    PostMessageW(job->m_notify, WM_KIV_BUILD_DONE, static_cast<WPARAM>(result), saved ? 1 : 0);
    return 0;
}
