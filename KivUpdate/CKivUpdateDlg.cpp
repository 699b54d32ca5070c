#include "CKivUpdateDlg.h"
#include "CKivResources.h"
#include "CKivUpdateDocument.h"
#include "CKivUpdateList.h"
#include "CKivWebAddress.h"
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
    // The address came from the network: it is kept only in its canonical
    // form, which holds nothing a shell or a command line would read.
    if (m_address.empty())
        return;
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

std::wstring CKivUpdateDlg::ResultText(int code, const std::wstring& version, const std::wstring& address,
                                       const std::wstring& listPath)
{
    switch (code)
    {
    case CKivUpdateChecker::kNewVersion:
        return L"有更新版本（" + version + L"），请手动下载.\r\n    " + address +
               L"\r\n“下载更新”在浏览器中打开这个地址；本程序不下载也不安装任何文件.";
    case CKivUpdateChecker::kNoUpdates:
        return L"没有任何更新.\r\n已安装的就是最新版本.";
    case CKivUpdateChecker::kListReplaced:
        return L"配置文件已更新.\r\n服务器给出了新的更新列表，下次检查将使用它.";
    case CKivUpdateChecker::kAboutToRead:
        // The download is under way: the check is not over.
        return std::wstring();
    default:
        break;
    }
    std::wstring text = L"更新有错误. 错误：" + std::to_wstring(code);
    switch (code)
    {
    case CKivUpdateChecker::kListMissing:
        return text + L"\r\n没有配置更新地址：更新列表 " + listPath + L" 不存在或不足三行.";
    case CKivUpdateChecker::kRequestFailed:
        return text + L"\r\n无法连接更新服务器，或服务器没有在限定时间内正常回复.";
    case CKivUpdateChecker::kSizeUnknown:
        return text + L"\r\n服务器的回复为空、过大或不是有效的更新文档；更新列表未改动.";
    case CKivUpdateChecker::kReadFailed:
        return text + L"\r\n读取服务器的回复时连接中断或内容不完整.";
    default:
        return text;
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
        // Shown and opened only in its canonical form.
        m_address = CKivWebAddress::Canonicalise(CKivUpdateDocument::Field(text, 3));
    }
    const std::wstring shown = ResultText(code, version, m_address, CKivUpdateList::PathIn(m_checker.Folder()));
    if (!shown.empty())
        SetItemText(IDC_UPDATE_TEXT, shown.c_str());
    if (code == CKivUpdateChecker::kNewVersion)
        EnableItem(IDC_DOWNLOAD_UPDATE, !m_address.empty());
    // The default dialog handling follows.
    return FALSE;
}
