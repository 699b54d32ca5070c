#include "CKivXmlLite.h"
#include <shlwapi.h>
#include <cwchar>

namespace {

// xmllite.h declares the factories, but mingw ships no import library for them.
typedef HRESULT(WINAPI* XmlFactory)(REFIID riid, void** object, IMalloc* malloc);

const IID kIidXmlReader = {0x7279FC81, 0x709D, 0x4095, {0xB6, 0x3D, 0x69, 0xFE, 0x4B, 0x0D, 0x90, 0x30}};
const IID kIidXmlWriter = {0x7279FC88, 0x709D, 0x4095, {0xB6, 0x3D, 0x69, 0xFE, 0x4B, 0x0D, 0x90, 0x30}};

// Taken from the system folder by full path: a bare name would let a DLL of
// that name in the host's folder or current directory be loaded instead.
HMODULE LoadSystemXmlLite()
{
    wchar_t path[MAX_PATH];
    const wchar_t kName[] = L"\\xmllite.dll";
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + wcslen(kName) >= MAX_PATH)
        return nullptr;
    wcscpy_s(path + length, MAX_PATH - length, kName);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The DLL stays loaded for the life of the process: objects created from it may
// outlive any one holder.
HMODULE XmlLiteModule()
{
    static HMODULE module = LoadSystemXmlLite();
    return module;
}

template <typename T>
T* CreateFromFactory(const char* name, const IID& iid)
{
    HMODULE module = XmlLiteModule();
    if (module == nullptr)
        return nullptr;
    XmlFactory factory = reinterpret_cast<XmlFactory>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (factory == nullptr)
        return nullptr;
    void* object = nullptr;
    if (FAILED(factory(iid, &object, nullptr)))
        return nullptr;
    return static_cast<T*>(object);
}

}  // namespace

CKivXmlLite::CKivXmlLite()
{
    m_reader.Reset(CreateFromFactory<IXmlReader>("CreateXmlReader", kIidXmlReader));
    m_writer.Reset(CreateFromFactory<IXmlWriter>("CreateXmlWriter", kIidXmlWriter));
    if (m_reader)
    {
        // Failures are ignored on purpose: older XmlLite builds lack some
        // properties, and the readers that walk documents bound depth themselves.
        m_reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
        m_reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxElementDepth);
        m_reader->SetProperty(XmlReaderProperty_MaxEntityExpansion, kMaxEntityExpansion);
    }
}

CKivXmlLite::~CKivXmlLite()
{
    ReleaseStream();
    m_writer.Reset();
    m_reader.Reset();
}

void CKivXmlLite::DetachStream()
{
    if (m_writer)
        m_writer->SetOutput(nullptr);
    if (m_reader)
        m_reader->SetInput(nullptr);
}

void CKivXmlLite::SetStream(IStream* stream)
{
    if (stream)
        stream->AddRef();
    DetachStream();
    m_stream.Reset(stream);
}

void CKivXmlLite::ReleaseStream()
{
    SetStream(nullptr);
    m_filePath[0] = L'\0';
}

bool CKivXmlLite::CreateMemoryStream()
{
    CKivComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive())) || !stream)
        return false;
    SetStream(stream);
    m_filePath[0] = L'\0';
    return true;
}

bool CKivXmlLite::SetReaderInput()
{
    return m_reader && m_stream && SUCCEEDED(m_reader->SetInput(m_stream));
}

bool CKivXmlLite::SetWriterOutput()
{
    return m_writer && m_stream && SUCCEEDED(m_writer->SetOutput(m_stream));
}

bool CKivXmlLite::OpenFileStream(const wchar_t* path, bool write)
{
    if (path == nullptr || wcslen(path) >= MAX_PATH)
        return false;
    const DWORD mode = write ? (STGM_CREATE | STGM_WRITE | STGM_SHARE_DENY_WRITE)
                             : (STGM_READ | STGM_SHARE_DENY_NONE);
    CKivComPtr<IStream> stream;
    if (FAILED(SHCreateStreamOnFileW(path, mode, stream.Receive())) || !stream)
        return false;
    SetStream(stream);
    wcscpy_s(m_filePath, MAX_PATH, path);
    return true;
}
