#pragma once
#include "CKivXmlLite.h"
#include <string>
#include <vector>

// An XmlLite holder whose documents live in memory: the writer composes into
// a growable stream whose bytes are taken out at the end, the reader walks a
// copy of bytes already in memory.
class CKivXmlDocument : public CKivXmlLite
{
public:
    // Points the writer at a fresh memory stream, indenting, and writes the
    // XML declaration.
    bool StartWriting();
    // Ends the document, flushes and copies the stream's bytes out.
    bool FinishWriting(std::vector<BYTE>* bytes);
    // Makes a copy of bytes the reader's input.
    bool StartReading(const std::vector<BYTE>& bytes);

    // Writes an attribute on the current element, escaping markup characters.
    bool WriteAttribute(const wchar_t* name, const wchar_t* value);

    // Value of the named attribute of the current element; false when absent.
    bool Attribute(const wchar_t* name, std::wstring* value);
    // Line of the reader's position, for reasons given to the user.
    UINT Line();
};
