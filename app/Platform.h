// The operating-system and shell services that the program's logic calls,
// behind one interface so that the logic can run against a substitute.
// Portable: no Windows header here; the Win32 implementation lives in
// platform/win32/.
// Every operation reports a failure by throwing the program's numbered error
// (ProgramError, app/Errors.h).
#pragma once

#include "app/ErrorTexts.h"

#include <cstdint>
#include <functional>
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
        Unverifiable,  // an entry that cannot be judged (see doubt): it may be a link
        OnlyCaseVariant  // where case matters, only a folder whose name differs in case
    };
    Kind kind = Kind::Absent;
    std::wstring entryPath;  // with ContainsLink, Unverifiable or OnlyCaseVariant: the entry found
    EntryDoubt doubt = EntryDoubt::Unreadable;  // with Unverifiable
};

// Opaque native window handle, passed through to the shell untouched.
using NativeWindowHandle = std::uintptr_t;

// Called between two entries of a long file operation, so that the caller
// can keep its windows painted.
using Progress = std::function<void()>;

// The deletion of one account folder, in two steps so that both of an
// account's folders are judged before either is touched. It never follows a
// link: each entry is checked on the handle through which it is then deleted,
// and each child is reached through its checked parent's handle.
class FolderDeletionObject {
public:
    virtual ~FolderDeletionObject() = default;
    // Looks, changing nothing, at the entry `name` directly inside the folder
    // `folder` (a path that may end with a separator): absent (also when
    // `name` is only another entry's short alias), a file, a folder with no
    // link inside, or the first link or unverifiable entry found. Where the
    // folder ignores case, an entry whose name differs in case only is the
    // one; where case matters and only such an entry exists, it is named.
    // What would stop the deletion midway throws before anything is deleted:
    // read-only content, and content that another program holds open.
    virtual DeletionTarget Examine(const std::wstring& folder, const std::wstring& name, const Progress& progress) = 0;
    // Deletes the folder that the last Examine found, its content first; no
    // force: read-only content stops it. A link met now stops it too, and
    // nothing outside is touched. A folder that another program shows (held
    // open, shared for deletion) is left marked for deletion: it goes when
    // that program lets it go. Throws on failure.
    virtual void DeleteExamined(const Progress& progress) = 0;
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

    // A new folder-deletion object; it is released when the returned pointer goes.
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
