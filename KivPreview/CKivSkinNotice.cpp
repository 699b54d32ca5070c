#include "CKivSkinNotice.h"
#include "CKivSkinLoad.h"
#include "CKivSkinStore.h"
#include <windows.h>

void CKivSkinNotice::Show(const std::wstring& path, bool atStart)
{
    CKivSkinLoad load(CKivSkinStore::Settings());
    if (load.Run(path.c_str()))
        return;  // the skin loads: whatever failed was not the file
    std::wstring text = L"无法加载皮肤文件：\r\n" + path + L"\r\n" + load.Refusal();
    if (atStart)
        text += L"\r\n\r\n将以系统外观显示。";
    MessageBoxW(nullptr, text.c_str(), L"警告", MB_OK | MB_ICONEXCLAMATION);
}
