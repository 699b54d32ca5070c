#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The application object: command-line arguments, the registry key for the
// program's settings, the start-up of the skin engine and common controls,
// and the main message loop. A program derives from it and fills InitInstance.
class CKivApp
{
public:
    explicit CKivApp(const wchar_t* appName);
    virtual ~CKivApp();
    CKivApp(const CKivApp&) = delete;
    CKivApp& operator=(const CKivApp&) = delete;

    // The one application object of the process (null before it is built).
    static CKivApp* Current();

    // InitInstance, then Run when it asked for a loop; returns the exit code.
    int Main();

    const std::wstring& AppName() const { return m_appName; }
    // Arguments after the program name.
    const std::vector<std::wstring>& Arguments() const { return m_arguments; }
    void SetArguments(std::vector<std::wstring> arguments) { m_arguments = std::move(arguments); }

    // "Software\<company>\<program>" under HKEY_CURRENT_USER.
    void SetRegistryKey(const wchar_t* company);
    std::wstring ProfileKey() const;

    // GDI+ through the library's holder; then, when the first argument names
    // a skin that loads, the given caption filters and the window hook. False
    // when the program runs unskinned.
    bool StartSkinEngine(const std::vector<std::wstring>& captionFilters);
    // InitCommonControlsEx with every class the programs use.
    static bool InitCommonControls();
    // The folder of the program file, without a trailing separator; empty
    // when it cannot be read.
    static std::wstring ProgramFolder();

    static std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

protected:
    // False ends the program at once with ExitCode().
    virtual bool InitInstance() = 0;
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }
    void SetExitCode(int code) { m_exitCode = code; }
    int ExitCode() const { return m_exitCode; }

private:
    std::wstring m_appName;
    std::wstring m_registryKey;
    std::vector<std::wstring> m_arguments;
    int m_exitCode = 0;
};
