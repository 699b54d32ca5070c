#pragma once
#include <windows.h>
#include <objidl.h>
#include <xmllite.h>
#include "CKivComPtr.h"

// Owner of one XmlLite reader, one XmlLite writer and the COM stream they work
// on. XmlLite is reached through xmllite.dll at run time, so a missing DLL only
// leaves the reader and writer null. Readers get bounded settings: the input
// comes from files downloaded from anywhere.
class CKivXmlLite
{
public:
    // Bounds applied to every reader this class hands out.
    static const UINT kMaxElementDepth = 256;
    static const UINT kMaxEntityExpansion = 4096;

    CKivXmlLite();
    virtual ~CKivXmlLite();
    CKivXmlLite(const CKivXmlLite&) = delete;
    CKivXmlLite& operator=(const CKivXmlLite&) = delete;

    // Not AddRef'ed; valid while this object lives. Null when creation failed.
    IXmlReader* Reader() const { return m_reader; }
    IXmlWriter* Writer() const { return m_writer; }
    IStream* Stream() const { return m_stream; }

    // Takes one reference on the stream (may be null) and releases the old one.
    // Reader and writer are detached from the old stream first.
    void SetStream(IStream* stream);
    // A new growable in-memory stream (global memory) becomes the current stream.
    bool CreateMemoryStream();
    // Points the reader at the current stream, from its current position.
    bool SetReaderInput();
    // Points the writer at the current stream.
    bool SetWriterOutput();
    // Drops the stream from reader and writer and releases it.
    void ReleaseStream();

    // Path of a plain XML file opened as the stream ("" when none).
    const wchar_t* FilePath() const { return m_filePath; }
    // Opens a plain file as the stream: for reading, or created/truncated for writing.
    bool OpenFileStream(const wchar_t* path, bool write);

protected:
    void DetachStream();

    wchar_t m_filePath[MAX_PATH] = {};
    CKivComPtr<IStream> m_stream;
    CKivComPtr<IXmlReader> m_reader;
    CKivComPtr<IXmlWriter> m_writer;
};
