#pragma once
#include <windows.h>
#include <map>
#include <memory>
#include <string>
#include "CKivAtlasLayout.h"
#include "CKivAtomicFile.h"
#include "CKivProjectPath.h"
#include "KivProjectItem.h"
#include <vector>

// The builder's model of one skin project and the compiler that turns it into
// a .kiv file: the items (one value per key), the project's folder and name,
// and the pictures packed into the atlas.
class CKivFileBuilder
{
public:
    enum : size_t
    {
        kMaxPath = MAX_PATH,
        kMaxValue = MAX_PATH - 1,
    };
    using ItemMap = std::map<std::wstring, KivProjectItem>;

    CKivFileBuilder();
    ~CKivFileBuilder();
    CKivFileBuilder(const CKivFileBuilder&) = delete;
    CKivFileBuilder& operator=(const CKivFileBuilder&) = delete;

    // Folder (a trailing backslash is added when missing) and name without
    // extension; a relative folder is made absolute. False when either does
    // not fit in 260 characters.
    bool SetProjectPath(const wchar_t* folder, const wchar_t* name);
    // Splits a project file path into folder and name (up to the first dot).
    bool SetProjectFile(const wchar_t* path);
    const std::wstring& ProjectFolder() const { return m_path.Folder(); }
    const std::wstring& ProjectName() const { return m_path.Name(); }
    // "%s%s.%s" of folder, name and extension; empty when it would not fit.
    std::wstring ProjectFilePath(const wchar_t* extension) const;
    // The file SaveProject writes: the one OpenProject read (my.skin.kivproj
    // stays my.skin.kivproj, though its name is my), else folder, name and
    // ".kivproj". Saving never lands on another project's file.
    const std::wstring& ProjectFile() const { return m_path.File(); }
    // Folder, name, project file and items of another project.
    void CopyFrom(const CKivFileBuilder& other);

    // Values longer than 259 characters are cut.
    void SetItem(const std::wstring& key, const std::wstring& value, int type);
    const KivProjectItem* FindItem(const std::wstring& key) const;
    void RemoveItem(const std::wstring& key);
    void ClearItems();
    const ItemMap& Items() const { return m_items; }

    // The project file "<folder><name>.kivproj", encrypted XML. The old file is
    // replaced only once the new one is completely written.
    bool SaveProject();
    // Replaces items, folder and name; the items are left alone on failure.
    bool OpenProject(const wchar_t* path);
    // The same document unencrypted, at any path; picture values as they stand.
    bool SavePlainProject(const wchar_t* path) const;
    // Reads a plain project; the project folder becomes the file's folder.
    bool OpenPlainProject(const wchar_t* path);

    // Writes the encrypted settings document and atlas to two new, uniquely
    // named files beside the project (CompiledSettingsPath, CompiledAtlasPath).
    // The builder owns them: they go at the next compile or with the builder.
    // No file of the designer's is written or deleted.
    bool Compile();
    // The same to the given files, each replaced only when the whole compile
    // succeeded; a failed compile leaves both as they were.
    bool Compile(const std::wstring& settingsPath, const std::wstring& atlasPath);
    const std::wstring& CompiledSettingsPath() const;
    const std::wstring& CompiledAtlasPath() const;
    // Compile to unique temporary files beside outputPath, pack them, and move
    // the result over outputPath. Leaves no temporary file and, on failure,
    // whatever was at outputPath before.
    bool BuildSkin(const std::wstring& outputPath);

    // Writes the atlas assembled in dc, cropped to the placed pictures, as an
    // encrypted BMP file image. size and flag are unused.
    bool SaveBmpByDC(HDC dc, const wchar_t* path, SIZE* size, int flag);

    // Absolute paths are used as stored, others are taken from the project
    // folder; empty when no file exists there.
    std::wstring ResolvePicturePath(const std::wstring& stored) const;
    // A drive letter or a UNC prefix; anything else is taken from the project folder.
    static bool IsAbsolutePath(const std::wstring& stored);
    bool QueryPictureSize(const std::wstring& path, SIZE* size) const;
    // Why the picture stored for key cannot go into the atlas, as
    // "KEY: ..." naming the file; empty (and its size set) when it can.
    std::wstring CheckPicture(const std::wstring& key, const std::wstring& stored, SIZE* size) const;
    // Lays the project's pictures out as a compile would, without drawing;
    // false with the reason when they cannot make one atlas.
    bool PlanAtlas(std::wstring* problem) const;
    // Largest width and height over all atlas entries, taken independently.
    bool LargestPictureSize(SIZE* size) const;
    const KivAtlasEntry* FindImage(const std::wstring& key) const;
    const std::vector<KivAtlasEntry>& Images() const { return m_images; }

    // Why the last failed operation failed, naming the key and the file.
    const std::wstring& LastError() const { return m_error; }

private:
    // Compiles into files this call created; deletes nothing.
    bool CompileTo(const std::wstring& settingsPath, const std::wstring& atlasPath);
    void CollectImages();
    std::vector<KivAtlasEntry> PictureEntries() const;
    // Places the pictures (CKivAtlasLayout) and records their rectangles and
    // the laid-out size; the canvas is then allocated at exactly that size.
    bool LayOut(SIZE* canvas);
    CKivAtlasLayout Layout() const { return CKivAtlasLayout(m_deviceWindow, m_path); }
    bool BuildAtlas(const std::wstring& atlasPath);
    bool WriteSettings(const std::wstring& settingsPath);
    bool Fail(const std::wstring& reason);
    // Reads a project document opened from path into the items and takes
    // path as the project's; the items are left alone on failure.
    bool TakeDocument(const wchar_t* path, const std::vector<BYTE>& document);

    HWND m_deviceWindow;
    ItemMap m_items;
    std::vector<KivAtlasEntry> m_images;
    CKivProjectPath m_path;  // folder, name and file of the project
    std::wstring m_error;
    std::unique_ptr<CKivAtomicFile> m_compiledSettings;
    std::unique_ptr<CKivAtomicFile> m_compiledAtlas;
};
