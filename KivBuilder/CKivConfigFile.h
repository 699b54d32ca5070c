#pragma once
#include "CKivXmlDocument.h"
#include <functional>
#include <string>
#include <vector>

// The builder configuration: an encrypted three-level document naming the
// editable keys. Depth 1 is a group (its first attribute the caption shown),
// depth 2 an element of the group, depth 3 a property whose "type" attribute
// picks its editor. Each walk starts afresh from the decrypted bytes, so a
// walk never depends on where the previous one stopped.
class CKivConfigFile : public CKivXmlDocument
{
public:
    enum : size_t
    {
        kMaxKey = 24,       // group and element keys are shorter than this
        kMaxName = 64,      // property names used for matching
        kMaxCaption = 128,  // captions are cut to 127 characters
    };

    struct Property
    {
        std::wstring group;
        std::wstring element;
        std::wstring name;
        std::wstring caption;
        std::wstring type;  // "SELECTFILE", "SELECTCOLOR" or "TEXT"
        // "group\element\name", the project item key.
        std::wstring Key() const { return group + L"\\" + element + L"\\" + name; }
    };
    using GroupFn = std::function<void(const std::wstring& key, const std::wstring& caption)>;
    using ElementFn =
        std::function<void(const std::wstring& group, const std::wstring& key, const std::wstring& caption)>;
    using PropertyFn = std::function<void(const Property& property)>;

    // The one configuration of the builder process.
    static CKivConfigFile& Instance();

    // Reads and decrypts the file; false when it is missing or cannot be
    // decrypted. The bytes stay until Close.
    bool Load(const wchar_t* path);
    // The same from plain bytes (tests, and documents already decrypted).
    bool LoadPlain(const std::vector<BYTE>& document);
    bool IsLoaded() const { return !m_document.empty(); }
    void Close();

    // Every depth-1 element, in document order.
    void ListGroups(const GroupFn& report);
    // The depth-2 elements of the first group named group.
    void ListElements(const std::wstring& group, const ElementFn& report);
    // The depth-3 elements of element inside the first group named group that
    // carry one of the three editor types.
    void ListProperties(const std::wstring& group, const std::wstring& element, const PropertyFn& report);

    // Item type (1 text, 2 picture file, 3 colour) of an editor type; 0 for any other text.
    static int ItemTypeOf(const std::wstring& type);

private:
    // Calls visit(depth, name) for each element; stops when visit returns false
    // or the document ends or breaks.
    void Walk(const std::function<bool(int depth, const std::wstring& name)>& visit);
    // The element's first attribute, cut to a caption.
    std::wstring FirstAttribute();

    std::vector<BYTE> m_document;
};
