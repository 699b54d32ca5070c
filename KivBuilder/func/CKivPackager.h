#pragma once
#include "KivPackApi.h"
#include <string>

// Writes a distributable copy of a project beside it: the folder
// "<name>_package" holding the project (pictures renamed to plain file names
// inside the folder), each picture once, and the skin compiled from that copy,
// so the folder can be moved anywhere and still builds.
class CKivPackager
{
public:
    static bool Pack(const KivPackProject& project);
    // The package folder of a project, with its trailing backslash.
    static std::wstring PackageFolder(const KivPackProject& project);
};
