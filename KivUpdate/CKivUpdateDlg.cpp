#include "CKivUpdateDlg.h"
#include "CKivResources.h"
#include "CKivUpdateDocument.h"
#include "KivUpdateRes.h"
#include <shellapi.h>

namespace {

const wchar_t kChecking[] = L"检察更新 ...";

}  // namespace

CKivUpdateDlg::CKivUpdateDlg(std::wstring folder, HINSTANCE module)
    : CKivDialog(IDD_KIVUPDATE_DIALOG, module),
      m_icon(CKivResources::Icon(IDR_MAINFRAME, 0, 0, module)),
      m_smallIcon(CKivResources::SmallIcon(IDR_MAINFRAME, module)),
      m_white(CreateSolidBrush(RGB(255, 255, 255))),
      m_checker(std::move(folder)),
      m_resources(module)
{
    Commands().On(IDC_CHECK_UPDATE, [this](UINT) { StartCheck(); });
    Commands().On(IDC_DOWNLOAD_UPDATE, [this](UINT) { OnDownload(); });
    Commands().On(IDC_CLOSE_UPDATE, [this](UINT) { OnCancel(); });
}

BOOL CKivUpdateDlg::OnInitDialog(HWND)
{
    AddAboutToSystemMenu();
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    StartCheck();
    return TRUE;
}

void CKivUpdateDlg::AddAboutToSystemMenu()
{
    HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    const std::wstring about = CKivResources::String(IDS_ABOUTBOX, m_resources);
    if (systemMenu == nullptr || about.empty())
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

bool CKivUpdateDlg::OnSysCommand(UINT command, LPARAM)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CKivDialog about(IDD_ABOUTBOX, m_resources);
    about.DoModal(Handle());
    return true;
}

void CKivUpdateDlg::StartCheck()
{
    SetItemText(IDC_UPDATE_TEXT, kChecking);
    // The old address goes, and with it the button that would open it.
    m_address.clear();
    EnableItem(IDC_DOWNLOAD_UPDATE, false);
    m_checker.Start(Handle());
}

void CKivUpdateDlg::OnDownload()
{
    if (m_address.empty())
        return;
    // The address came from the network: only a web address goes to the shell.
    if (!CKivUpdateDocument::IsWebAddress(m_address))
    {
        const std::wstring message = L"下载地址无效: " + m_address;
        MessageBoxW(Handle(), message.c_str(), L"更新", MB_OK | MB_ICONERROR);
        return;
    }
    ShellExecuteW(Handle(), L"open", m_address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool CKivUpdateDlg::OnDestroy()
{
    // Closing the connection makes a blocked worker return; what it sends
    // meanwhile is handled while waiting.
    m_checker.Stop(kCloseWaitMs);
    return false;
}

INT_PTR CKivUpdateDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case CKivUpdateChecker::kResultMessage:
        return OnCheckResult(static_cast<int>(wParam), lParam);
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnCtlColor(reinterpret_cast<HDC>(wParam));
    default:
        return CKivDialog::OnMessage(message, wParam, lParam);
    }
}

INT_PTR CKivUpdateDlg::OnCtlColor(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(m_white.Get());
}

std::wstring CKivUpdateDlg::ResultText(int code, const std::wstring& version, const std::wstring& address)
{
    switch (code)
    {
    case CKivUpdateChecker::kNewVersion:
        return L"有更新版本（" + version + L"），请手动下载.\r\n    " + address;
    case CKivUpdateChecker::kNoUpdates:
        return L"没有任何更新.";
    case CKivUpdateChecker::kListReplaced:
        return L"配置文件已更新.";
    case CKivUpdateChecker::kAboutToRead:
        // The download is under way: the check is not over.
        return std::wstring();
    default:
        return L"更新有错误. 错误：" + std::to_wstring(code);
    }
}

INT_PTR CKivUpdateDlg::OnCheckResult(int code, LPARAM lParam)
{
    EnableItem(IDC_DOWNLOAD_UPDATE, false);
    std::wstring version;
    if (code == CKivUpdateChecker::kNewVersion && lParam != 0)
    {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        version = CKivUpdateDocument::Field(text, 1);
        m_address = CKivUpdateDocument::Field(text, 3);
    }
    const std::wstring shown = ResultText(code, version, m_address);
    if (!shown.empty())
        SetItemText(IDC_UPDATE_TEXT, shown.c_str());
    if (code == CKivUpdateChecker::kNewVersion)
        EnableItem(IDC_DOWNLOAD_UPDATE, CKivUpdateDocument::IsWebAddress(m_address));
    // The default dialog handling follows.
    return FALSE;
}
