#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "CKivFileBuilder.h"
#include "CKivSkinSchema.h"

// Takes the picture of one skin key: changes only that key of a skin project
// (colours become magenta, pictures a magenta probe picture, flags flip,
// sizes grow), compiles and loads the probe skin with the real engine, shows
// the probe scene and compares it with the scene under the unchanged skin.
// The picture keeps the changed pixels and fades the rest.
class CKivKeyProbe
{
public:
    struct Result
    {
        bool ok = false;
        long changedPixels = 0;
        RECT changed = {0, 0, 0, 0};  // bounding box in the picture, empty when nothing changed
        std::wstring switches;        // "key=value;..." set for reference and probe alike
    };

    CKivKeyProbe(HINSTANCE instance, const std::wstring& projectPath, const std::wstring& workDir);
    // Compiles the unchanged skin and takes the reference picture.
    bool Start();
    // Measures one key; saves its picture unless picturePath is empty.
    Result Probe(const KivSchemaEntry& entry, const std::wstring& picturePath);
    const std::wstring& LastError() const { return m_error; }

private:
    using Pixels = std::vector<DWORD>;

    // Opens the project with the switches the key needs to show at all
    // (border keys need EnableSizeCtl off, the dialog picture needs
    // EnableBackground on, ...) applied.
    bool OpenProject(const KivSchemaEntry* entry, CKivFileBuilder* project);
    bool Capture(const CKivFileBuilder& project, Pixels* pixels);
    bool ProbeValue(const KivSchemaEntry& entry, CKivFileBuilder* project);
    std::wstring ProbePicture(const std::wstring& original);
    static bool SavePng(const Pixels& pixels, int width, int height, const std::wstring& path);

    HINSTANCE m_instance;
    std::wstring m_projectPath;
    std::wstring m_workDir;
    std::wstring m_error;
    Pixels m_reference;         // the unchanged skin
    Pixels m_switchedReference;  // the unchanged skin with the switches of m_switchedFor
    std::wstring m_switchedFor;
    int m_width = 0;
    int m_height = 0;
};
