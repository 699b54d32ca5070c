#include "CKivBuilderDlg.h"
#include "CKivBuilderAboutDlg.h"
#include "CKivBuilderInstance.h"
#include "CKivConfigFile.h"
#include "CKivHandle.h"
#include "CKivProjectTemplate.h"
#include "CKivResources.h"
#include "CKivSkinValidator.h"
#include "CKivSkinStore.h"
#include "CKivWndBox.h"
#include "KivBuilderMessages.h"
#include "KivBuilderRes.h"
#include "KivPackApi.h"
#include "KivSkinFile.h"
#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

// A library loaded for one call and unloaded on every way out.
class LoadedLibrary
{
public:
    explicit LoadedLibrary(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
    {
    }
    FARPROC Find(const char* name) const { return m_module ? GetProcAddress(m_module, name) : nullptr; }

private:
    CKivModule m_module;
};

bool EndsWithNoCase(const std::wstring& text, const wchar_t* tail)
{
    const size_t length = wcslen(tail);
    return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, tail) == 0;
}

}  // namespace

CKivBuilderDlg::CKivBuilderDlg(const std::wstring& programDir, const std::wstring& project, CKivBuilderInstance* instance)
    : CKivDialog(IDD_KIVBUILDER_DIALOG),
      m_programDir(programDir),
      m_commandLineProject(project),
      m_instance(instance),
      m_wait(programDir + L"\\media\\Wait.avi")
{
    RegisterCommands();
}

CKivBuilderDlg::~CKivBuilderDlg()
{
    m_job.Join();
}

void CKivBuilderDlg::RegisterCommands()
{
    CKivCommandMap& commands = Commands();
    commands.On(ID_BUILDER_NEW, [this](UINT) { OnNew(); });
    commands.On(ID_BUILDER_OPEN, [this](UINT) { OnOpen(); });
    commands.On(ID_BUILDER_CLOSE, [this](UINT) { OnCloseProject(); });
    commands.On(ID_BUILDER_SAVE, [this](UINT) { OnSave(); });
    commands.On(ID_BUILDER_SAVE_AS, [this](UINT) { OnSaveAs(); });
    commands.On(ID_BUILDER_PACK, [this](UINT) { OnPack(); });
    commands.On(ID_BUILDER_BUILD, [this](UINT) { OnBuild(); });
    commands.On(ID_BUILDER_EXIT, [this](UINT) { OnExit(); });
    commands.On(ID_BUILDER_PREVIEW, [this](UINT) { OnPreview(L"KivPreview.exe"); });
    commands.On(ID_BUILDER_PREVIEW_SDI, [this](UINT) { OnPreview(L"KivPreviewSDI.exe"); });
    commands.On(ID_BUILDER_PREVIEW_MDI, [this](UINT) { OnPreview(L"KivPreviewMDI.exe"); });
    commands.On(ID_BUILDER_PREVIEW_VSMDI, [this](UINT) { OnPreview(L"KivPreviewVSMDI.exe"); });
    commands.On(ID_BUILDER_HELP, [this](UINT) { OnDocument(L"\\docs\\help.htm"); });
    commands.On(ID_BUILDER_API, [this](UINT) { OnDocument(L"\\docs\\api.htm"); });
    commands.On(ID_BUILDER_UPDATE, [this](UINT) { StartProgram(L"KivUpdate.exe", std::wstring()); });
    commands.On(ID_BUILDER_ABOUT, [this](UINT) { OnAbout(); });
}

int CKivBuilderDlg::Message(const wchar_t* text, const wchar_t* caption, UINT flags)
{
    return MessageBoxW(Handle(), text, caption, flags);
}

BOOL CKivBuilderDlg::OnInitDialog(HWND)
{
    HMENU system = GetSystemMenu(Handle(), FALSE);
    const std::wstring about = CKivResources::String(IDS_ABOUTBOX);
    if (system && !about.empty())
    {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(CKivResources::Icon(IDR_MAINFRAME)));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(CKivResources::SmallIcon(IDR_MAINFRAME)));
    if (m_instance)
        m_instance->StoreWindow(Handle());

    const std::wstring skin = m_programDir + L"\\skin\\black.kiv";
    m_skinLoaded = CKivSkinStore::LoadSkin(skin.c_str());
    if (m_skinLoaded)
        CKivWndBox::Instance().Create(KivSkinKind::FrameWnd, Handle());

    RECT client = {};
    GetClientRect(Handle(), &client);
    m_groups.Create(kPaneMargin, kPaneMargin, kGroupWidth, std::max(0L, client.bottom - 2 * kPaneMargin), Handle());
    m_groups.SetTitle(L"窗口部件");
    m_list.Create(kListLeft, kPaneMargin, std::max(0L, client.right - kListLeft - kPaneMargin),
                  std::max(0L, client.bottom - 2 * kPaneMargin), Handle());
    m_list.SetTitle(L"参数");
    ShowWindow(m_groups.Window(), SW_HIDE);
    ShowWindow(m_list.Window(), SW_HIDE);

    m_wait.Create(Handle());
    m_examples.Load(m_programDir + L"\\example");
    m_startPage.Create(Handle(), kPaneMargin, kPaneMargin);
    m_startPage.SetExamples(m_examples.Examples());
    UpdateTitle();

    if (!m_commandLineProject.empty())
        OpenProjectFile(m_commandLineProject);
    return TRUE;
}

void CKivBuilderDlg::LayOut(int width, int height)
{
    const int paneHeight = std::max(0, height - 2 * kPaneMargin);
    if (m_groups.Window())
        MoveWindow(m_groups.Window(), kPaneMargin, kPaneMargin, kGroupWidth, paneHeight, TRUE);
    if (m_list.Window())
        MoveWindow(m_list.Window(), kListLeft, kPaneMargin, std::max(0, width - kListLeft - kPaneMargin), paneHeight,
                   TRUE);
}

bool CKivBuilderDlg::OnSize(UINT type, int width, int height)
{
    if (type != SIZE_MINIMIZED)
        LayOut(width, height);
    return false;
}

bool CKivBuilderDlg::OnSysCommand(UINT command, LPARAM)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX && command != IDM_ABOUTBOX)
        return false;
    OnAbout();
    return true;
}

void CKivBuilderDlg::OnAbout()
{
    CKivBuilderAboutDlg about(m_skinLoaded);
    about.DoModal(Handle());
}

void CKivBuilderDlg::UpdateTitle()
{
    std::wstring title = Title();
    if (m_projectOpen)
        title = m_builder.ProjectName() + (m_modified ? L"* - " : L" - ") + title;
    SetWindowTextW(Handle(), title.c_str());
}

void CKivBuilderDlg::SetModified(bool modified)
{
    m_modified = modified;
    UpdateTitle();
}

bool CKivBuilderDlg::AskFileName(bool save, std::wstring* path)
{
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"*.kivproj\0*.kivproj\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    // The builder never depends on the current folder: the dialog may keep it.
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? 0 : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return false;
    *path = file;
    return true;
}

std::wstring CKivBuilderDlg::AskProjectTarget()
{
    std::wstring chosen;
    return AskFileName(true, &chosen) ? ProjectFileFor(chosen) : std::wstring();
}

std::wstring CKivBuilderDlg::ProjectFileFor(const std::wstring& chosen)
{
    if (chosen.empty())
        return std::wstring();
    const std::wstring withExtension = EndsWithNoCase(chosen, L".kivproj") ? chosen : chosen + L".kivproj";
    CKivFileBuilder probe;
    if (!probe.SetProjectFile(withExtension.c_str()))
        return std::wstring();
    return probe.ProjectFilePath(L"kivproj");
}

bool CKivBuilderDlg::PrepareProject()
{
    CKivConfigFile& config = CKivConfigFile::Instance();
    const std::wstring file = m_programDir + L"\\config\\KivConfig.xml";
    if (!config.IsLoaded() && !config.Load(file.c_str()))
    {
        Message((L"无法读取配置文件：\r\n" + file).c_str(), L"错误", MB_OK | MB_ICONSTOP);
        return false;
    }
    m_groups.Clear();
    m_list.ClearRows();
    m_list.SetTitle(L"参数");
    std::vector<std::wstring> groups;
    config.ListGroups([&](const std::wstring& key, const std::wstring& caption) {
        m_groups.AddGroup(caption, key);
        groups.push_back(key);
    });
    for (const std::wstring& group : groups)
        config.ListElements(group, [&](const std::wstring& g, const std::wstring& key, const std::wstring& caption) {
            m_groups.AddElement(g, caption, key);
        });
    m_groups.SetNotify(true);
    ShowWindow(m_startPage.Window(), SW_HIDE);
    ShowWindow(m_groups.Window(), SW_SHOW);
    ShowWindow(m_list.Window(), SW_SHOW);
    return true;
}

void CKivBuilderDlg::CloseProject()
{
    // An open edit lands in the project it was typed for, before the rows go.
    m_list.ClearRows();
    m_groups.Clear();
    m_groups.SetNotify(false);
    m_list.SetTitle(L"参数");
    m_builder.ClearItems();
    m_projectOpen = false;
    m_modified = false;
    m_buildRequested = false;
    ShowWindow(m_groups.Window(), SW_HIDE);
    ShowWindow(m_list.Window(), SW_HIDE);
    ShowWindow(m_startPage.Window(), SW_SHOW);
    UpdateTitle();
}

bool CKivBuilderDlg::ConfirmDiscard()
{
    CommitRows();
    if (!m_projectOpen || !m_modified)
        return true;
    const std::wstring question = CKivResources::String(IDS_ASK_SAVE);
    const int answer = Message(question.c_str(), Title(), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES && !m_builder.SaveProject())
    {
        Message((L"保存失败。\r\n" + m_builder.LastError()).c_str(), Title(), MB_OK);
        return false;
    }
    return true;
}

void CKivBuilderDlg::OnNew()
{
    if (Busy() || !ConfirmDiscard())
        return;
    const std::wstring target = AskProjectTarget();
    if (target.empty())
        return;
    // Exactly the file that will be written is checked.
    if (kiv::KivFileExists(target.c_str()))
    {
        Message(L"文件已存在.", Title(), MB_OK);
        return;
    }
    CloseProject();
    if (!PrepareProject())
        return CloseProject();
    m_builder.SetProjectFile(target.c_str());
    // A new project starts as a complete skin that builds at once.
    const std::wstring templateFile = m_programDir + L"\\template\\project.kivxml";
    std::wstring reason;
    if (!CKivProjectTemplate::Fill(templateFile, m_builder, &reason))
        Message((L"找不到项目模板，新项目的值都是空的：\r\n" + reason).c_str(), L"警告", MB_OK | MB_ICONEXCLAMATION);
    if (!m_builder.SaveProject())
    {
        Message((L"保存失败。\r\n" + m_builder.LastError()).c_str(), Title(), MB_OK);
        return CloseProject();
    }
    m_projectOpen = true;
    SetModified(false);
    FocusPanes();
}

bool CKivBuilderDlg::OpenProjectFile(const std::wstring& path)
{
    if (path.empty() || path.size() >= MAX_PATH)
    {
        Message((L"无法打开项目：\r\n" + path + L"\r\n路径超过 259 个字符。").c_str(), L"错误", MB_OK | MB_ICONSTOP);
        return false;
    }
    CloseProject();
    if (!PrepareProject())
    {
        CloseProject();
        return false;
    }
    if (!m_builder.OpenProject(path.c_str()))
    {
        const std::wstring reason = m_builder.LastError();
        CloseProject();
        Message((L"无法打开项目：\r\n" + reason).c_str(), L"错误", MB_OK | MB_ICONSTOP);
        return false;
    }
    m_projectOpen = true;
    SetModified(false);
    FocusPanes();
    // What a build would refuse is said now, while there is time to mend it.
    const std::vector<std::wstring> problems = CKivSkinValidator::CheckProject(m_builder);
    if (!problems.empty())
        Message((L"这个项目还不能生成，请先修正：\r\n" + CKivBuildJob::ProblemLines(m_builder.ProjectFile(), problems))
                    .c_str(),
                L"警告", MB_OK | MB_ICONEXCLAMATION);
    return true;
}

void CKivBuilderDlg::FocusPanes()
{
    AttachPictures();
    SetFocus(m_groups.Window());
}

void CKivBuilderDlg::AttachPictures()
{
    // Picture rows look for their files where this project keeps them.
    m_list.SetPictures(m_builder.ProjectFolder(),
                       [this](const std::wstring& stored) { return m_builder.ResolvePicturePath(stored); });
}

void CKivBuilderDlg::OnOpen()
{
    if (Busy() || !ConfirmDiscard())
        return;
    std::wstring path;
    if (AskFileName(false, &path))
        OpenProjectFile(path);
}

void CKivBuilderDlg::OnCloseProject()
{
    if (Busy() || !ConfirmDiscard())
        return;
    CloseProject();
}

void CKivBuilderDlg::OnSave()
{
    if (Busy())
        return;
    CommitRows();
    if (!m_projectOpen)
    {
        Message(L"保存失败。", Title(), MB_OK);
        return;
    }
    if (!m_builder.SaveProject())
    {
        Message((L"保存失败。\r\n" + m_builder.LastError()).c_str(), Title(), MB_OK);
        return;
    }
    SetModified(false);
}

void CKivBuilderDlg::OnSaveAs()
{
    if (Busy() || !m_projectOpen)
        return;
    CommitRows();
    const std::wstring target = AskProjectTarget();
    if (target.empty())
        return;
    if (kiv::KivFileExists(target.c_str()) && _wcsicmp(target.c_str(), m_builder.ProjectFile().c_str()) != 0)
    {
        Message(L"文件已存在.", Title(), MB_OK);
        return;
    }
    // Pictures named relative to the old folder keep naming the same files.
    std::vector<std::pair<std::wstring, std::wstring>> moved;
    for (const auto& item : m_builder.Items())
    {
        if (item.second.type != kKivItemPicture || CKivFileBuilder::IsAbsolutePath(item.second.value))
            continue;
        const std::wstring absolute = m_builder.ResolvePicturePath(item.second.value);
        if (!absolute.empty() && absolute.size() <= CKivFileBuilder::kMaxValue)
            moved.emplace_back(item.first, absolute);
    }
    CKivFileBuilder before;
    before.CopyFrom(m_builder);
    m_builder.SetProjectFile(target.c_str());
    for (const auto& item : moved)
        m_builder.SetItem(item.first, item.second, kKivItemPicture);
    if (!m_builder.SaveProject())
    {
        const std::wstring reason = m_builder.LastError();
        m_builder.CopyFrom(before);
        Message((L"保存失败。\r\n" + reason).c_str(), Title(), MB_OK);
        return;
    }
    // The rows on screen show what the project now holds.
    ShowProjectValues();
    AttachPictures();
    SetModified(false);
}

void CKivBuilderDlg::OnPack()
{
    if (Busy() || !m_projectOpen)
        return;
    CommitRows();
    LoadedLibrary plugin(m_programDir + L"\\func\\pack.dll");
    const auto pack = reinterpret_cast<KivPackFunction>(reinterpret_cast<void*>(plugin.Find("KivPack")));
    if (pack == nullptr)
    {
        Message(L"缺少动态链接库或加载失败.", L"错误", MB_OK | MB_ICONSTOP);
        return;
    }
    std::vector<KivPackItem> items;
    for (const auto& item : m_builder.Items())
        items.push_back(KivPackItem{item.first.c_str(), item.second.value.c_str(), item.second.type});
    KivPackProject project = {sizeof(KivPackProject), m_builder.ProjectFolder().c_str(),
                              m_builder.ProjectName().c_str(), items.size(), items.data()};
    if (pack(&project) != 0)
        Message(L"已在当前kivproj同一目录下创建成功.", L"提示", MB_OK | MB_ICONINFORMATION);
    else
        Message(L"操作失败.错误：3", L"警告", MB_OK | MB_ICONEXCLAMATION);
}

void CKivBuilderDlg::StartWork()
{
    CommitRows();
    if (!m_job.Start(Handle(), m_builder))
    {
        m_previewRequested = false;
        m_buildRequested = false;
        return;
    }
    m_waiting = true;
    m_wait.ShowOver(Handle());
}

void CKivBuilderDlg::OnBuild()
{
    if (Busy() || !m_projectOpen)
        return;
    wchar_t text[MAX_PATH + 32];
    swprintf(text, MAX_PATH + 32, L"生成到以下位置：\r\n%ls", m_builder.ProjectFilePath(L"kiv").c_str());
    if (Message(text, L"生成.KIV文件", MB_YESNO | MB_ICONQUESTION) == IDYES)
    {
        m_buildRequested = true;
        StartWork();
    }
}

void CKivBuilderDlg::OnPreview(const wchar_t* program)
{
    if (Busy() || !m_projectOpen)
        return;
    m_previewProgram = program;
    m_previewRequested = true;
    StartWork();
}

INT_PTR CKivBuilderDlg::OnBuildDone(int result, bool saved)
{
    m_job.Join();
    m_waiting = false;
    m_wait.Hide();
    if (saved)
        SetModified(false);
    const bool built = m_buildRequested;
    m_buildRequested = false;
    if (result != CKivBuildJob::kSucceeded)
    {
        m_previewRequested = false;
        // The numbered message comes first, then what the compiler found.
        wchar_t text[64];
        swprintf(text, 64, L"操作失败，错误:%d", result);
        const std::wstring reason = m_job.Reason();
        Message((reason.empty() ? std::wstring(text) : text + (L"\r\n" + reason)).c_str(), L"错误",
                MB_OK | MB_ICONSTOP);
        return TRUE;
    }
    if (m_previewRequested)
    {
        m_previewRequested = false;
        StartProgram(m_previewProgram, L"\"" + m_job.SkinPath() + L"\"");
    }
    else if (built)
        Message((L"生成成功：\r\n" + m_job.SkinPath()).c_str(), L"提示", MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

void CKivBuilderDlg::StartProgram(const std::wstring& name, const std::wstring& parameters)
{
    const std::wstring path = m_programDir + L"\\" + name;
    if (!kiv::KivFileExists(path.c_str()))
    {
        Message(L"文件不存在.", L"错误", MB_OK | MB_ICONSTOP);
        return;
    }
    ShellExecuteW(Handle(), L"open", path.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                  m_programDir.c_str(), SW_SHOW);
}

void CKivBuilderDlg::OnDocument(const wchar_t* relative)
{
    const std::wstring path = m_programDir + relative;
    if (!kiv::KivFileExists(path.c_str()))
    {
        Message(L"文件不存在.", L"错误", MB_OK | MB_ICONSTOP);
        return;
    }
    ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void CKivBuilderDlg::OnExit()
{
    PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

INT_PTR CKivBuilderDlg::OnClose()
{
    // A build in progress finishes first; the builder then closes normally.
    if (Busy() || !ConfirmDiscard())
        return TRUE;
    CloseProject();
    EndDialog(IDOK);
    return TRUE;
}

INT_PTR CKivBuilderDlg::OnElementSelected(WPARAM place, LPARAM generation)
{
    const CKivGroupItemBox::Group* group = nullptr;
    const CKivGroupItemBox::Element* element = m_groups.ElementOf(place, generation, &group);
    if (element == nullptr || !m_projectOpen)
        return TRUE;
    const std::wstring groupKey = group->key;
    const std::wstring elementKey = element->key;
    const std::wstring caption = element->caption;
    m_list.ClearRows();
    m_list.AddRow(CKivMultiListCtrl::kHeader, L"名称", 0, L"值", std::wstring());
    CKivConfigFile::Instance().ListProperties(groupKey, elementKey, [&](const CKivConfigFile::Property& property) {
        const std::wstring key = property.Key();
        const int type = CKivConfigFile::ItemTypeOf(property.type);
        const KivProjectItem* item = m_builder.FindItem(key);
        if (item == nullptr)
        {
            m_builder.SetItem(key, std::wstring(), type);
            item = m_builder.FindItem(key);
        }
        m_list.AddRow(CKivMultiListCtrl::kProperty, property.caption, type, item->value, key);
    });
    m_list.SetTitle(L"[" + caption + L"]属性");
    return TRUE;
}

void CKivBuilderDlg::StoreRow(size_t index)
{
    const std::vector<CKivMultiListCtrl::Row>& rows = m_list.Rows();
    if (!m_projectOpen || index >= rows.size() || rows[index].kind != CKivMultiListCtrl::kProperty ||
        !rows[index].changed)
        return;
    const CKivMultiListCtrl::Row& row = rows[index];
    const KivProjectItem* item = m_builder.FindItem(row.key);
    if (item == nullptr || item->value != row.value || item->type != row.type)
    {
        m_builder.SetItem(row.key, row.value, row.type);
        SetModified(true);
    }
    m_list.MarkStored(index);
}

void CKivBuilderDlg::CommitRows()
{
    // A change whose 1244 is still on its way (a command posted right behind
    // the edit) is taken from the rows now, so nothing waits on the queue.
    // Only rows the designer changed are taken: a row never writes back a
    // value the project no longer holds.
    m_list.CommitEdit();
    for (size_t i = 0; i < m_list.Rows().size(); ++i)
        StoreRow(i);
}

void CKivBuilderDlg::ShowProjectValues()
{
    const std::vector<CKivMultiListCtrl::Row>& rows = m_list.Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].kind == CKivMultiListCtrl::kProperty)
        {
            const KivProjectItem* item = m_builder.FindItem(rows[i].key);
            m_list.ShowValue(i, item ? item->value : std::wstring());
        }
}

INT_PTR CKivBuilderDlg::OnValueChanged(WPARAM index, LPARAM generation)
{
    if (m_list.RowOf(index, generation) != nullptr)
        StoreRow(index);
    return TRUE;
}

INT_PTR CKivBuilderDlg::OnExampleCommand(UINT command, WPARAM index, LPARAM generation)
{
    const KivExample* example = m_startPage.ExampleOf(index, generation);
    if (example == nullptr || Busy())
        return TRUE;
    if (command == ID_EXAMPLE_PREVIEW)
        StartProgram(L"KivPreview.exe", L"\"" + example->skin + L"\"");
    else if (ConfirmDiscard())
        OpenProjectFile(example->project);
    return TRUE;
}

INT_PTR CKivBuilderDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CLOSE: return OnClose();
    case WM_KIV_ELEMENT_SELECTED: return OnElementSelected(wParam, lParam);
    case WM_KIV_VALUE_CHANGED: return OnValueChanged(wParam, lParam);
    case WM_KIV_BUILD_DONE: return OnBuildDone(static_cast<int>(wParam), lParam != 0);
    case WM_KIV_EXAMPLE_COMMAND: return OnExampleCommand(LOWORD(wParam), HIWORD(wParam), lParam);
    default: return FALSE;
    }
}
