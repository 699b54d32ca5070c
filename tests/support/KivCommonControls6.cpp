#include "KivCommonControls6.h"
#include "CKivFileHandle.h"
#include <commctrl.h>

namespace kivtest {

namespace {

#if defined(_M_X64) || defined(__x86_64__)
#define KIV_MANIFEST_ARCH "amd64"
#else
#define KIV_MANIFEST_ARCH "x86"
#endif

const char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "<assemblyIdentity type=\"win32\" name=\"Kiv.Tests\" version=\"1.0.0.0\" processorArchitecture=\"" KIV_MANIFEST_ARCH
    "\"/>\n"
    "<dependency><dependentAssembly>\n"
    "<assemblyIdentity type=\"win32\" name=\"microsoft.windows.common-controls\" version=\"6.0.0.0\"\n"
    " processorArchitecture=\"" KIV_MANIFEST_ARCH "\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
    "</dependentAssembly></dependency>\n"
    "</assembly>\n";

}  // namespace

CommonControls6::CommonControls6()
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"kcc", 0, path) == 0)
        return;
    m_manifest = path;
    {
        const CKivFileHandle file(CKivFileHandle::OpenWrite(path));
        if (!file.WriteExact(kManifest, sizeof(kManifest) - 1))
            return;
    }
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.lpSource = path;
    m_context = CreateActCtxW(&context);
    if (m_context == INVALID_HANDLE_VALUE)
        return;
    if (!ActivateActCtx(m_context, &m_cookie))
        return;
    // The version 6 library registers its classes when it is loaded inside
    // the context.
    LoadLibraryW(L"comctl32.dll");
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    m_active = true;
}

CommonControls6::~CommonControls6()
{
    if (m_cookie != 0)
        DeactivateActCtx(0, m_cookie);
    if (m_context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(m_context);
    if (!m_manifest.empty())
        DeleteFileW(m_manifest.c_str());
}

}  // namespace kivtest
