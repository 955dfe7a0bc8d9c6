// The operating-system and shell services that the program's logic calls,
// behind one interface so that the logic can run against a substitute.
// Portable: no Windows header here; the Win32 implementation lives in win32/.
// Every operation reports a failure by throwing the program's numbered error
// (ProgramError, app/Errors.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vardelune {

// What lies at a path that is about to be deleted, as seen without following
// any link.
struct DeletionTarget {
    enum class Kind {
        Absent,       // nothing at all at the path
        File,         // a file (not a folder) at the path
        Folder,       // a folder, and no link anywhere inside it
        ContainsLink,  // the folder is, or holds, a symbolic link, junction or other reparse point
        Unverifiable   // an entry whose real place could not be read: it may be a link
    };
    Kind kind = Kind::Absent;
    std::wstring linkPath;  // with ContainsLink or Unverifiable: the first such entry found
};

// Opaque native window handle, passed through to the shell untouched.
using NativeWindowHandle = std::uintptr_t;

class FolderDeletionObject {
public:
    virtual ~FolderDeletionObject() = default;
    // Removes the folder and everything in it; throws on failure.
    virtual void DeleteFolder(const std::wstring& path) = 0;
};

class ShellObject {
public:
    virtual ~ShellObject() = default;
    // Opens a file browser window on the folder and returns without waiting.
    virtual void Explore(const std::wstring& path) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // The value of an environment variable; empty when it is not set.
    virtual std::wstring GetEnvironmentText(const std::wstring& name) = 0;

    // Directory enumeration: the first matching entry's bare name, then one
    // further name per FindNextEntry(); the empty string once exhausted, when
    // nothing matches or the folder is missing. Other failures throw.
    virtual std::wstring FindFirstEntry(const std::wstring& expression, unsigned attributes) = 0;
    virtual std::wstring FindNextEntry() = 0;

    // Looks at what lies at a path before it is deleted (never follows links).
    virtual DeletionTarget ProbeDeletionTarget(const std::wstring& path) = 0;

    // A new folder-deletion object (the script runtime's file system object);
    // it is released when the returned pointer goes.
    virtual std::unique_ptr<FolderDeletionObject> CreateFolderDeletionObject() = 0;

    // A new shell automation object; released when the returned pointer goes.
    virtual std::unique_ptr<ShellObject> CreateShellObject() = 0;

    // The shell's ShellExecuteA (empty strings are passed as null pointers);
    // its result is returned but callers ignore it.
    virtual std::intptr_t ShellExecuteA(NativeWindowHandle window, const std::string& operation,
                                        const std::string& file, const std::string& parameters,
                                        const std::string& directory, int show) = 0;

    // Ends the process at once; no further event is handled.
    [[noreturn]] virtual void EndProgram() = 0;
};

}  // namespace vardelune
