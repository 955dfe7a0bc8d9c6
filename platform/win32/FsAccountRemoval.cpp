// Examine walks the account folder once, opening every entry through its
// parent's handle and checking it, and keeps the first handles it checked;
// DeleteExamined deletes the entries in the reverse order of that walk, so
// that a folder always goes after what it holds, each through a checked
// handle. On Windows a deletion through a handle acts on the entry the handle
// holds, whatever happened to the names since. Under Wine it acts on the path
// that the entry had when it was opened, and links carry no link attribute:
// there every opened entry must have the real name that its folder's real
// name and its own name make, and a folder's path is checked again before the
// handles kept inside it are used.
#include "platform/win32/FsAccountRemoval.h"

#include "app/ErrorTexts.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/NtFile.h"

namespace vardelune {

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Kept handles inside one folder are used for this many entries after its
// path was last checked (under Wine).
constexpr size_t kEntriesPerRecheck = 64;

struct Listed {
    std::wstring name;
    ULONG attributes;
    LONGLONG fileId;
};

bool IsDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

// A name that the open through the parent's handle reads as exactly one entry
// of that folder.
bool IsSingleName(const std::wstring& name) {
    return !name.empty() && !IsDotEntry(name) && name.find_first_of(L"\\/") == std::wstring::npos;
}

ProgramError About(const ProgramError& error, const std::wstring& path) {
    return ProgramError(error.kind(), error.number(), error.description() + L"\r\n" + path);
}

// The numbers that the script runtime gave for the same failures, so that
// reports read as they always did.
ProgramError DeletionFailure(nt::Status status, const std::wstring& path) {
    if (status == nt::kAccessDenied || status == nt::kSharingViolation || status == nt::kCannotDelete)
        return NumberedError(error::kPermissionDenied, path);
    return About(Win32Error(nt::Ntdll().StatusToDosError(status)), path);
}

void ThrowIfFailed(nt::Status status, const std::wstring& path) {
    if (nt::Failed(status)) throw DeletionFailure(status, path);
}

// Every entry of a folder, as its handle lists it.
std::vector<Listed> ListFolder(HANDLE folder, const std::wstring& path) {
    std::vector<Listed> listed;
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    for (bool first = true;; first = false) {
        nt::IoStatusBlock io{};
        const nt::Status status = nt::Ntdll().QueryDirectoryFile(
            folder, nullptr, nullptr, nullptr, &io, buffer.data(), static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
            nt::kFileIdBothDirectoryInformation, FALSE, nullptr, first ? TRUE : FALSE);
        if (status == nt::kNoMoreFiles || (first && status == nt::kNoSuchFile)) return listed;
        ThrowIfFailed(status, path);
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (size_t offset = 0;;) {
            const auto* entry = reinterpret_cast<const nt::DirectoryEntry*>(bytes + offset);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (!IsDotEntry(name)) listed.push_back(Listed{std::move(name), entry->FileAttributes, entry->FileId.QuadPart});
            if (entry->NextEntryOffset == 0) break;
            offset += entry->NextEntryOffset;
        }
    }
}

// The entry that the folder's listing gives for exactly this name: none when
// there is none, or when what matches is another name (a case variant, or the
// entry whose short alias the name is).
bool FindExact(HANDLE folder, const std::wstring& name, Listed& found) {
    std::vector<LONGLONG> buffer(4096 / sizeof(LONGLONG));
    nt::UnicodeString mask = nt::Counted(name);
    nt::IoStatusBlock io{};
    const nt::Status status =
        nt::Ntdll().QueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
                                       static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
                                       nt::kFileIdBothDirectoryInformation, TRUE, &mask, TRUE);
    if (status == nt::kNoMoreFiles || nt::IsNotFound(status)) return false;
    ThrowIfFailed(status, name);
    const auto* entry = reinterpret_cast<const nt::DirectoryEntry*>(buffer.data());
    found.name.assign(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
    found.attributes = entry->FileAttributes;
    found.fileId = entry->FileId.QuadPart;
    return found.name == name;
}

// The name that the system gives an open entry (under Wine: its real place,
// with every link resolved).
bool RealName(HANDLE handle, std::wstring& name) {
    std::vector<ULONG> buffer(1024);
    for (;;) {
        nt::IoStatusBlock io{};
        const nt::Status status = nt::Ntdll().QueryInformationFile(
            handle, &io, buffer.data(), static_cast<ULONG>(buffer.size() * sizeof(ULONG)), nt::kFileNameInformation);
        if (status == nt::kBufferOverflow && buffer.size() < 0x10000) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (nt::Failed(status)) return false;
        const ULONG length = buffer[0];
        if (length > (buffer.size() - 1) * sizeof(ULONG)) return false;
        name.assign(reinterpret_cast<const wchar_t*>(&buffer[1]), length / sizeof(wchar_t));
        return true;
    }
}

std::wstring ChildRealName(const std::wstring& parent, const std::wstring& name) {
    if (!parent.empty() && parent.back() == L'\\') return parent + name;
    return parent + L'\\' + name;
}

DeletionTarget Found(DeletionTarget::Kind kind, const std::wstring& path = std::wstring()) {
    return DeletionTarget{kind, path};
}

}  // namespace

// What an entry that is not plainly where it was listed stops the examination with.
DeletionTarget FsAccountRemoval::Stopped(Opened::Verdict verdict, const std::wstring& path) {
    return Found(verdict == Opened::Verdict::Link ? DeletionTarget::Kind::ContainsLink
                                                  : DeletionTarget::Kind::Unverifiable,
                 path);
}

FsAccountRemoval::Opened FsAccountRemoval::OpenChecked(HANDLE parent, const std::wstring& parentReal,
                                                       const Entry& entry) {
    const nt::Functions& ntdll = nt::Ntdll();
    Opened opened;
    nt::UnicodeString name = nt::Counted(entry.name);
    // No OBJ_CASE_INSENSITIVE: where the system honours it, the name must
    // match in case too.
    nt::ObjectAttributes attributes{sizeof attributes, parent, &name, 0, nullptr, nullptr};
    const ACCESS_MASK access = DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | (entry.folder ? FILE_LIST_DIRECTORY : 0);
    const ULONG options = nt::kSynchronousIo | nt::kOpenForBackupIntent | nt::kOpenReparsePoint |
                          (entry.folder ? nt::kDirectoryFile : nt::kNonDirectoryFile);
    HANDLE handle = nullptr;
    nt::IoStatusBlock io{};
    nt::Status status = ntdll.OpenFile(&handle, access, &attributes, &io, kShareAll, options);
    if (status == nt::kTooManyOpenedFiles && kept_ > 0) {
        ReleaseKeptHandles();
        status = ntdll.OpenFile(&handle, access, &attributes, &io, kShareAll, options);
    }
    if (nt::IsNotFound(status)) return opened;  // gone meanwhile: nothing there to protect or delete
    if (status == nt::kNotADirectory || status == nt::kFileIsADirectory) {
        opened.verdict = Opened::Verdict::Unverifiable;  // replaced by another kind of entry since it was listed
        return opened;
    }
    // What is in use or forbidden cannot be deleted; what cannot be opened
    // for another reason (a socket, a device) cannot be judged.
    if (status == nt::kAccessDenied || status == nt::kSharingViolation) throw DeletionFailure(status, PathOf(entry));
    if (nt::Failed(status)) {
        opened.verdict = Opened::Verdict::Unverifiable;
        return opened;
    }
    opened.handle = FileHandle(handle);

    if (underWine_) {
        if (!RealName(handle, opened.realName)) {
            opened.verdict = Opened::Verdict::Unverifiable;
        } else {
            // Case included: on a case-sensitive file system a link may
            // differ from its target by case alone.
            opened.verdict = opened.realName == ChildRealName(parentReal, entry.name) ? Opened::Verdict::Checked
                                                                                      : Opened::Verdict::Link;
        }
        if (!entry.folder) opened.realName.clear();
        return opened;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) {
        opened.verdict = Opened::Verdict::Unverifiable;
    } else if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        opened.verdict = Opened::Verdict::Link;
    } else {
        const LONGLONG id =
            static_cast<LONGLONG>((static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow);
        // Another entry than the one listed took the name in between.
        opened.verdict = entry.fileId == 0 || entry.fileId == id ? Opened::Verdict::Checked : Opened::Verdict::Unverifiable;
    }
    return opened;
}

FsAccountRemoval::Opened FsAccountRemoval::OpenChecked(const Entry& entry) {
    const HANDLE parent = entry.parent == kNone ? data_.Get() : HandleOf(entry.parent);
    return OpenChecked(parent, RealNameOf(entry.parent), entry);
}

DeletionTarget FsAccountRemoval::Examine(const std::wstring& folder, const std::wstring& name,
                                         const Progress& progress) {
    ReleaseKeptHandles();
    entries_.clear();
    data_.Close();
    keeping_ = true;
    examined_ = false;
    name_ = name;
    displayRoot_ = ChildRealName(folder, name);
    if (!nt::Ntdll().Complete()) throw Win32Error(ERROR_PROC_NOT_FOUND);
    underWine_ = nt::RunningUnderWine();
    if (!IsSingleName(name) || name.find_first_of(L"*?<>\"") != std::wstring::npos)
        throw NumberedError(error::kBadFileName, displayRoot_);

    data_ = OpenFolderForListing(folder);
    if (!data_) return Found(DeletionTarget::Kind::Absent);
    dataReal_.clear();
    if (underWine_ && !RealName(data_.Get(), dataReal_))
        return Found(DeletionTarget::Kind::Unverifiable, displayRoot_);

    Listed account;
    if (!FindExact(data_.Get(), name, account)) return Found(DeletionTarget::Kind::Absent);
    if (account.attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Found(DeletionTarget::Kind::ContainsLink, displayRoot_);
    if (!(account.attributes & FILE_ATTRIBUTE_DIRECTORY)) return Found(DeletionTarget::Kind::File);

    struct Frame {
        size_t index;
        std::vector<Listed> children;
        size_t next;
    };
    std::vector<Frame> frames;
    auto enter = [&](Entry entry, Opened& opened) {
        entry.handle = std::move(opened.handle);
        entry.realName = std::move(opened.realName);
        entries_.push_back(std::move(entry));
        const size_t index = entries_.size() - 1;
        if (entries_[index].folder)
            frames.push_back(Frame{index, ListFolder(entries_[index].handle.Get(), PathOf(index)), 0});
        else
            Settle(index);
    };

    Entry root{name, kNone, true, account.fileId, FileHandle(), false, std::wstring()};
    Opened opened = OpenChecked(data_.Get(), dataReal_, root);
    if (opened.verdict == Opened::Verdict::Gone) return Found(DeletionTarget::Kind::Absent);
    if (opened.verdict != Opened::Verdict::Checked) return Stopped(opened.verdict, displayRoot_);
    enter(std::move(root), opened);

    while (!frames.empty()) {
        Frame& top = frames.back();
        if (top.next == top.children.size()) {
            const size_t done = top.index;
            frames.pop_back();
            Settle(done);
            continue;
        }
        const Listed child = std::move(top.children[top.next++]);
        const size_t parent = top.index;
        if (progress) progress();
        Entry entry{child.name, parent, (child.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, child.fileId, FileHandle(), false,
                    std::wstring()};
        if (!IsSingleName(child.name)) return Found(DeletionTarget::Kind::Unverifiable, PathOf(entry));
        if (child.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return Found(DeletionTarget::Kind::ContainsLink, PathOf(entry));
        opened = OpenChecked(entries_[parent].handle.Get(), entries_[parent].realName, entry);
        if (opened.verdict == Opened::Verdict::Gone) continue;  // gone meanwhile: nothing to protect
        if (opened.verdict != Opened::Verdict::Checked) return Stopped(opened.verdict, PathOf(entry));
        enter(std::move(entry), opened);
    }
    examined_ = true;
    return Found(DeletionTarget::Kind::Folder);
}

void FsAccountRemoval::Settle(size_t index) {
    if (keeping_ && kept_ < kKeptHandles) {
        ++kept_;
        entries_[index].kept = true;
    } else {
        entries_[index].handle.Close();
    }
}

void FsAccountRemoval::ReleaseKeptHandles() {
    keeping_ = false;
    for (Entry& entry : entries_)
        if (entry.kept) {
            entry.handle.Close();
            entry.kept = false;
        }
    kept_ = 0;
}

HANDLE FsAccountRemoval::HandleOf(size_t index) {
    Entry& entry = entries_[index];
    if (entry.handle) return entry.handle.Get();
    Opened opened = OpenChecked(entry);
    if (opened.verdict != Opened::Verdict::Checked) throw ChangedDuringDeletion(PathOf(index), displayRoot_);
    entry.handle = std::move(opened.handle);
    return entry.handle.Get();
}

void FsAccountRemoval::Recheck(size_t folder) {
    if (folder == recheckedFolder_ && sinceRecheck_ < kEntriesPerRecheck) {
        ++sinceRecheck_;
        return;
    }
    const Opened fresh = OpenChecked(entries_[folder]);
    if (fresh.verdict != Opened::Verdict::Checked || fresh.realName != entries_[folder].realName)
        throw ChangedDuringDeletion(PathOf(folder), displayRoot_);
    recheckedFolder_ = folder;
    sinceRecheck_ = 1;
}

void FsAccountRemoval::Remove(size_t index) {
    Entry& entry = entries_[index];
    if (entry.kept) {
        // Under Wine a kept handle deletes by the path it was opened by:
        // that path must still lead where it did.
        if (underWine_ && entry.parent != kNone) Recheck(entry.parent);
    } else if (!entry.handle) {
        Opened opened = OpenChecked(entry);
        if (opened.verdict == Opened::Verdict::Gone) return;  // already gone: nothing left to delete
        if (opened.verdict != Opened::Verdict::Checked) throw ChangedDuringDeletion(PathOf(index), displayRoot_);
        entry.handle = std::move(opened.handle);
    }
    BOOLEAN deleteFile = TRUE;
    nt::IoStatusBlock io{};
    const nt::Status status = nt::Ntdll().SetInformationFile(entry.handle.Get(), &io, &deleteFile, sizeof deleteFile,
                                                             nt::kFileDispositionInformation);
    ThrowIfFailed(status, PathOf(index));
    entry.handle.Close();  // the entry goes with its last handle
    entry.kept = false;
}

void FsAccountRemoval::DeleteExamined(const Progress& progress) {
    if (!examined_) return;
    examined_ = false;
    recheckedFolder_ = kNone;
    for (size_t index = entries_.size(); index-- > 0;) {
        if (progress) progress();
        Remove(index);
    }
    entries_.clear();
    // A deletion that the file system ignored, or content that appeared
    // meanwhile, leaves the folder there: that is a failure, never a success.
    Listed left;
    if (FindExact(data_.Get(), name_, left)) throw About(Win32Error(ERROR_DIR_NOT_EMPTY), displayRoot_);
}

std::wstring FsAccountRemoval::PathOf(size_t index) const {
    return index == kNone ? displayRoot_ : PathOf(entries_[index]);
}

std::wstring FsAccountRemoval::PathOf(const Entry& entry) const {
    return entry.parent == kNone ? displayRoot_ : PathOf(entry.parent) + L"\\" + entry.name;
}

}  // namespace vardelune
