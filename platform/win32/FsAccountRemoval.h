// The removal of one account folder by handles, never by paths: the folder is
// found in its data folder by its name, each entry is opened through its
// already-checked parent's handle without following a link, checked on that
// handle, and deleted through it.
#pragma once

#include "app/Platform.h"
#include "platform/win32/Owners.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vardelune {

class FsAccountRemoval final : public FolderDeletionObject {
public:
    ~FsAccountRemoval() override { ReleaseKeptHandles(); }
    DeletionTarget Examine(const std::wstring& folder, const std::wstring& name, const Progress& progress) override;
    void DeleteExamined(const Progress& progress) override;

    // How many entries keep the handle they were checked on from Examine to
    // their deletion, in all removals of the process together (both of an
    // account's folders are examined before either is deleted, and Wine
    // gives a process 20,000 descriptors here); the others are opened and
    // checked again then.
    static constexpr size_t kKeptHandles = 16384;
    // Under Wine, which deletes by path, a folder's path is checked again
    // after this many entries deleted in it: about 2 ms of deletion, at no
    // cost that the benchmark can measure (a check before every entry costs
    // 40 % more time).
    static constexpr size_t kEntriesPerRecheck = 16;

private:
    struct Entry {
        std::wstring name;
        size_t parent;  // index in entries_; kNone for the account folder
        bool folder;
        LONGLONG fileId;  // as the parent's listing gives it; 0 when the file system has none
        FileHandle handle;  // the checked handle, while it is open
        bool kept = false;  // the handle is the one Examine checked
        std::wstring realName;  // for folders: the name the system gives the opened folder
    };
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // How an entry is opened. The account folder shares everything: a file
    // browser may show it. Every entry inside it is opened sharing nothing,
    // so that one that another program holds open is found before anything
    // is deleted, and no other program can open it until it is deleted. A
    // look reads what the system says of an entry without being stopped by
    // the handle that this object keeps on it.
    enum class OpenMode { Shared, Exclusive, Look };

    // What an open through the parent's handle found.
    struct Opened {
        enum class Verdict { Checked, Gone, Link, Unverifiable } verdict = Verdict::Gone;
        EntryDoubt doubt = EntryDoubt::Unreadable;  // with Unverifiable
        FileHandle handle;
        std::wstring realName;
    };
    DeletionTarget Stopped(const Opened& opened, const std::wstring& path) const;
    Opened OpenChecked(HANDLE parent, const std::wstring& parentReal, const Entry& entry, OpenMode mode);
    Opened OpenChecked(const Entry& entry, OpenMode mode);  // through the parent's handle, opened again if need be
    void Check(Opened& opened, const std::wstring& parentReal, const Entry& entry, OpenMode mode) const;
    HANDLE HandleOf(size_t index);  // opens and checks again an entry whose handle was not kept
    void Recheck(size_t folder);  // its path still leads to the folder that is held
    void Settle(size_t index);  // keeps the entry's handle, or closes it once the budget is spent
    void Unkeep(Entry& entry);  // closes a kept handle, and gives its place in the budget back
    void Remove(size_t index);
    void MarkForDeletion(HANDLE handle, const std::wstring& path);
    bool MarkedAndHeldElsewhere();
    void ReleaseKeptHandles();
    std::wstring PathOf(size_t index) const;
    std::wstring PathOf(const Entry& entry) const;
    const std::wstring& RealNameOf(size_t index) const { return index == kNone ? dataReal_ : entries_[index].realName; }

    std::wstring displayRoot_;  // the account folder as the user's profile names it, for the reports
    std::wstring rootName_;  // the account folder's name on disk
    LONGLONG rootId_ = 0;
    FileHandle data_;  // the data folder that holds the account folder
    std::wstring dataReal_;
    std::vector<Entry> entries_;  // in walk order: every folder before what it holds
    size_t kept_ = 0;
    bool keeping_ = true;
    bool examining_ = false;  // nothing is deleted yet: a refusal says so
    bool examined_ = false;  // the last Examine found a folder that may be deleted
    bool posixDelete_ = true;  // until the system says it has no POSIX delete
    size_t recheckedFolder_ = kNone;
    size_t sinceRecheck_ = 0;
};

}  // namespace vardelune
