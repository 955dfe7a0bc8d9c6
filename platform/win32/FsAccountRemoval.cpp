// Examine walks the account folder once, opening every entry through its
// parent's handle and checking it, and keeps the first handles it checked;
// DeleteExamined deletes the entries in the reverse order of that walk, so
// that a folder always goes after what it holds, each through a checked
// handle. Every system gets every check, so that the same code runs on
// Windows and under Wine: an entry must carry no link attribute (Windows
// marks links so), must be the entry that the listing gave (its id), and must
// have the real name that its folder's real name and its own name make (Wine
// follows a link on open and shows a link to a file as a plain file). On
// Windows a deletion through a handle acts on the entry the handle holds,
// whatever happened to the names since. Under Wine it acts on the path that
// the entry had when it was opened: a folder's path is checked again while
// the handles kept inside it are used.
#include "platform/win32/FsAccountRemoval.h"

#include "app/EntryNames.h"
#include "app/ErrorTexts.h"
#include "platform/win32/DirectoryRecords.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/NtFile.h"

#include <winioctl.h>

namespace vardelune {

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The handles that all removals of the process keep (one thread only).
size_t keptInProcess = 0;

struct Listed {
    std::wstring name;
    ULONG attributes;
    LONGLONG fileId;
};

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

// Every entry of a folder, as its handle lists it; with a mask, those that
// the file system matches to it (ignoring case, and by short alias too).
std::vector<Listed> ListFolder(HANDLE folder, const std::wstring& path, const std::wstring* mask = nullptr) {
    std::vector<Listed> listed;
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    const ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(LONGLONG));
    nt::UnicodeString counted = mask ? nt::Counted(*mask) : nt::UnicodeString{};
    for (bool first = true;; first = false) {
        nt::IoStatusBlock io{};
        const nt::Status status = nt::Ntdll().QueryDirectoryFile(
            folder, nullptr, nullptr, nullptr, &io, buffer.data(), bytes, nt::kFileIdBothDirectoryInformation, FALSE,
            first && mask ? &counted : nullptr, first ? TRUE : FALSE);
        if (status == nt::kNoMoreFiles || (first && nt::IsNotFound(status))) return listed;
        ThrowIfFailed(status, path);
        DirectoryRecords records(nt::kFileIdBothDirectoryInformation, buffer.data(),
                                 io.information < bytes ? io.information : bytes);
        for (DirectoryRecord record; records.Next(record);) {
            std::wstring name(record.name, record.nameLength);
            if (name != L"." && name != L"..") listed.push_back(Listed{std::move(name), record.attributes, record.fileId});
        }
    }
}

// Opens the entry of that name inside the open folder, never following a
// link where the system can help it. Without nt::kCaseInsensitive in
// `objectFlags` the name must match in case too, where the system honours it.
nt::Status OpenInFolder(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                        HANDLE& handle, ULONG objectFlags = 0) {
    nt::UnicodeString counted = nt::Counted(name);
    nt::ObjectAttributes attributes{sizeof attributes, folder, &counted, objectFlags, nullptr, nullptr};
    nt::IoStatusBlock io{};
    handle = nullptr;
    return nt::Ntdll().OpenFile(&handle, access, &attributes, &io, share,
                                options | nt::kSynchronousIo | nt::kOpenForBackupIntent | nt::kOpenReparsePoint);
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    nt::UnicodeString first = nt::Counted(a), second = nt::Counted(b);
    return nt::Ntdll().EqualUnicodeString(&first, &second, TRUE) != FALSE;
}

// The id that the system gives an open entry (on NTFS its file reference,
// under Wine its inode), as the folder's listing gives it too.
bool InternalId(HANDLE handle, LONGLONG& id) {
    nt::IoStatusBlock io{};
    LARGE_INTEGER internal{};
    if (nt::Failed(nt::Ntdll().QueryInformationFile(handle, &io, &internal, sizeof internal,
                                                    nt::kFileInternalInformation)))
        return false;
    id = internal.QuadPart;
    return true;
}

// The name that the system gives an open entry (under Wine: its real place,
// with every link resolved), in one request to the system.
bool RealName(HANDLE handle, std::wstring& name) {
    std::vector<ULONGLONG> buffer(512);
    for (;;) {
        const ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
        ULONG needed = 0;
        const nt::Status status = nt::Ntdll().QueryObject(handle, nt::kObjectNameInformation, buffer.data(), bytes, &needed);
        if (nt::Failed(status) && needed > bytes && buffer.size() < 0x8000) {
            buffer.resize(needed / sizeof(ULONGLONG) + 1);
            continue;
        }
        if (nt::Failed(status)) return false;
        const auto* counted = reinterpret_cast<const nt::UnicodeString*>(buffer.data());
        const auto* end = reinterpret_cast<const unsigned char*>(buffer.data()) + bytes;
        const auto* text = reinterpret_cast<const unsigned char*>(counted->Buffer);
        if (counted->Length > 0 && (text < reinterpret_cast<const unsigned char*>(counted + 1) || text > end ||
                                    static_cast<size_t>(end - text) < counted->Length))
            return false;
        name.assign(counted->Buffer ? counted->Buffer : L"", counted->Length / sizeof(wchar_t));
        return true;
    }
}

// Whether an open non-folder entry lies on a storage device: a pipe, a
// character device or a socket does not.
bool OnStorage(HANDLE handle) {
    struct {
        ULONG deviceType;
        ULONG characteristics;
    } device{};
    nt::IoStatusBlock io{};
    if (nt::Failed(nt::Ntdll().QueryVolumeInformationFile(handle, &io, &device, sizeof device,
                                                          nt::kFileFsDeviceInformation)))
        return false;
    switch (device.deviceType) {
        case FILE_DEVICE_CD_ROM:
        case FILE_DEVICE_CD_ROM_FILE_SYSTEM:
        case FILE_DEVICE_DFS:
        case FILE_DEVICE_DISK:
        case FILE_DEVICE_DISK_FILE_SYSTEM:
        case FILE_DEVICE_FILE_SYSTEM:
        case FILE_DEVICE_NETWORK_FILE_SYSTEM:
        case FILE_DEVICE_VIRTUAL_DISK:
        case FILE_DEVICE_DFS_FILE_SYSTEM:
        case FILE_DEVICE_DFS_VOLUME:
            return true;
        default:
            return false;
    }
}

std::wstring ChildRealName(const std::wstring& parent, const std::wstring& name) {
    if (!parent.empty() && parent.back() == L'\\') return parent + name;
    return parent + L'\\' + name;
}

DeletionTarget Found(DeletionTarget::Kind kind, const std::wstring& path = std::wstring(),
                     EntryDoubt doubt = EntryDoubt::Unreadable) {
    return DeletionTarget{kind, path, doubt};
}

// The account's entry in the data folder: the one of exactly that name, or
// else the one that the system opens by that name ignoring case (a short
// alias of another entry never counts). `variant` is set when only entries
// that differ in case exist and the system does not open them by that name.
bool FindAccount(HANDLE data, const std::wstring& name, Listed& found, std::wstring& variant) {
    std::vector<Listed> matches;
    for (Listed& listed : ListFolder(data, name, &name)) {
        if (listed.name == name) {
            found = std::move(listed);
            return true;
        }
        if (SameIgnoringCase(listed.name, name)) matches.push_back(std::move(listed));
    }
    if (matches.empty()) return false;
    HANDLE handle = nullptr;
    LONGLONG id = 0;
    if (nt::Succeeded(
            OpenInFolder(data, name, SYNCHRONIZE | FILE_READ_ATTRIBUTES, kShareAll, 0, handle, nt::kCaseInsensitive))) {
        const FileHandle opened(handle);
        InternalId(opened.Get(), id);
    }
    for (Listed& listed : matches)
        if (id != 0 && listed.fileId == id) {
            found = std::move(listed);
            return true;
        }
    variant = matches.front().name;
    return false;
}

}  // namespace

// What an entry that is not plainly where it was listed stops the examination with.
DeletionTarget FsAccountRemoval::Stopped(const Opened& opened, const std::wstring& path) const {
    switch (opened.verdict) {
        case Opened::Verdict::Link:
            return Found(DeletionTarget::Kind::ContainsLink, path);
        case Opened::Verdict::Gone:
            return Found(DeletionTarget::Kind::Unverifiable, path, EntryDoubt::Vanished);
        default:
            return Found(DeletionTarget::Kind::Unverifiable, path, opened.doubt);
    }
}

FsAccountRemoval::Opened FsAccountRemoval::OpenChecked(HANDLE parent, const std::wstring& parentReal,
                                                       const Entry& entry, OpenMode mode) {
    Opened opened;
    ACCESS_MASK access = SYNCHRONIZE | FILE_READ_ATTRIBUTES;
    if (mode != OpenMode::Look) access |= DELETE | (entry.folder ? FILE_LIST_DIRECTORY : 0);
    const ULONG share = mode == OpenMode::Exclusive ? 0 : kShareAll;
    const ULONG options = entry.folder ? nt::kDirectoryFile : nt::kNonDirectoryFile;
    // The name must match in case too, where the system honours it.
    HANDLE handle = nullptr;
    nt::Status status = OpenInFolder(parent, entry.name, access, share, options, handle);
    if (status == nt::kTooManyOpenedFiles && kept_ > 0) {
        ReleaseKeptHandles();
        status = OpenInFolder(parent, entry.name, access, share, options, handle);
    }
    // Every folder above the entry is held open while it is examined.
    if (status == nt::kTooManyOpenedFiles) {
        if (examining_) throw TooDeepRefusal(PathOf(entry), displayRoot_);
        throw DeletionFailure(status, PathOf(entry));
    }
    if (nt::IsNotFound(status)) return opened;  // gone, or a link that leads nowhere
    if (status == nt::kNotADirectory || status == nt::kFileIsADirectory) {
        opened.verdict = Opened::Verdict::Unverifiable;
        opened.doubt = EntryDoubt::Replaced;  // another kind of entry since it was listed
        return opened;
    }
    if (status == nt::kSharingViolation && examining_) throw InUseRefusal(PathOf(entry), displayRoot_);
    if (status == nt::kAccessDenied || status == nt::kSharingViolation) throw DeletionFailure(status, PathOf(entry));
    if (nt::Failed(status)) {
        // A socket, or a link that leads to itself: nothing that can be judged.
        opened.verdict = Opened::Verdict::Unverifiable;
        opened.doubt = status == nt::kNoSuchDevice ? EntryDoubt::NotFileOrFolder : EntryDoubt::Vanished;
        return opened;
    }
    opened.handle = FileHandle(handle);
    Check(opened, parentReal, entry, mode);
    return opened;
}

void FsAccountRemoval::Check(Opened& opened, const std::wstring& parentReal, const Entry& entry, OpenMode mode) const {
    const HANDLE handle = opened.handle.Get();
    opened.verdict = Opened::Verdict::Unverifiable;
    opened.doubt = EntryDoubt::Unreadable;
    struct {
        ULONG attributes;
        ULONG reparseTag;
    } tag{};
    nt::IoStatusBlock io{};
    LONGLONG id = 0;
    if (nt::Failed(nt::Ntdll().QueryInformationFile(handle, &io, &tag, sizeof tag, nt::kFileAttributeTagInformation)) ||
        !InternalId(handle, id) || !RealName(handle, opened.realName))
        return;
    if (tag.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        opened.verdict = Opened::Verdict::Link;
        return;
    }
    if (entry.fileId != 0 && id != entry.fileId) {
        opened.doubt = EntryDoubt::Replaced;  // another entry than the one listed took the name in between
        return;
    }
    // Case included: on a case-sensitive file system a link may differ from
    // its target by case alone.
    if (opened.realName != ChildRealName(parentReal, entry.name)) {
        opened.verdict = Opened::Verdict::Link;
        return;
    }
    if (!entry.folder && !OnStorage(handle)) {
        opened.doubt = EntryDoubt::NotFileOrFolder;
        return;
    }
    // Without force a read-only entry cannot be deleted (on Windows not even
    // a folder; under Wine a folder that the user may not write into shows as
    // read-only): known now, it stops the cleanup before anything is deleted.
    if (examining_ && mode != OpenMode::Look && (tag.attributes & FILE_ATTRIBUTE_READONLY))
        throw ReadOnlyRefusal(PathOf(entry), displayRoot_);
    opened.verdict = Opened::Verdict::Checked;
    if (!entry.folder) opened.realName.clear();
}

FsAccountRemoval::Opened FsAccountRemoval::OpenChecked(const Entry& entry, OpenMode mode) {
    const HANDLE parent = entry.parent == kNone ? data_.Get() : HandleOf(entry.parent);
    return OpenChecked(parent, RealNameOf(entry.parent), entry, mode);
}

DeletionTarget FsAccountRemoval::Examine(const std::wstring& folder, const std::wstring& name,
                                         const Progress& progress) {
    ReleaseKeptHandles();
    entries_.clear();
    data_.Close();
    keeping_ = true;
    examined_ = false;
    examining_ = true;
    displayRoot_ = ChildRealName(folder, name);
    if (!nt::Ntdll().Complete()) throw Win32Error(ERROR_PROC_NOT_FOUND);
    if (UnsafeEntryName(name)) throw NumberedError(error::kBadFileName, displayRoot_);

    data_ = OpenFolderForListing(folder);
    if (!data_) return Found(DeletionTarget::Kind::Absent);
    if (!RealName(data_.Get(), dataReal_)) return Found(DeletionTarget::Kind::Unverifiable, displayRoot_);

    Listed account;
    std::wstring variant;
    if (!FindAccount(data_.Get(), name, account, variant)) {
        if (variant.empty()) return Found(DeletionTarget::Kind::Absent);
        return Found(DeletionTarget::Kind::OnlyCaseVariant, ChildRealName(folder, variant));
    }
    rootName_ = account.name;
    rootId_ = account.fileId;
    displayRoot_ = ChildRealName(folder, account.name);
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

    Entry root{account.name, kNone, true, account.fileId, FileHandle(), false, std::wstring()};
    Opened opened = OpenChecked(data_.Get(), dataReal_, root, OpenMode::Shared);
    if (opened.verdict == Opened::Verdict::Gone) return Found(DeletionTarget::Kind::Absent);
    if (opened.verdict != Opened::Verdict::Checked) return Stopped(opened, displayRoot_);
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
        if (UnsafeEntryName(child.name))
            return Found(DeletionTarget::Kind::Unverifiable, PathOf(entry), EntryDoubt::NameReadOtherwise);
        if (child.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return Found(DeletionTarget::Kind::ContainsLink, PathOf(entry));
        opened = OpenChecked(entries_[parent].handle.Get(), entries_[parent].realName, entry, OpenMode::Exclusive);
        if (opened.verdict != Opened::Verdict::Checked) return Stopped(opened, PathOf(entry));
        enter(std::move(entry), opened);
    }
    examining_ = false;
    examined_ = true;
    return Found(DeletionTarget::Kind::Folder);
}

void FsAccountRemoval::Settle(size_t index) {
    if (keeping_ && keptInProcess < kKeptHandles) {
        ++kept_;
        ++keptInProcess;
        entries_[index].kept = true;
    } else {
        entries_[index].handle.Close();
    }
}

void FsAccountRemoval::Unkeep(Entry& entry) {
    if (!entry.kept) return;
    entry.handle.Close();
    entry.kept = false;
    --kept_;
    --keptInProcess;
}

void FsAccountRemoval::ReleaseKeptHandles() {
    keeping_ = false;
    for (Entry& entry : entries_) Unkeep(entry);
}

HANDLE FsAccountRemoval::HandleOf(size_t index) {
    Entry& entry = entries_[index];
    if (entry.handle) return entry.handle.Get();
    Opened opened = OpenChecked(entry, index == 0 ? OpenMode::Shared : OpenMode::Exclusive);
    if (opened.verdict != Opened::Verdict::Checked) throw ChangedDuringDeletion(PathOf(index), displayRoot_);
    entry.handle = std::move(opened.handle);
    return entry.handle.Get();
}

void FsAccountRemoval::Recheck(size_t folder) {
    if (folder == recheckedFolder_ && sinceRecheck_ < kEntriesPerRecheck) {
        ++sinceRecheck_;
        return;
    }
    const Opened fresh = OpenChecked(entries_[folder], OpenMode::Look);
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
        if (entry.parent != kNone) Recheck(entry.parent);
    } else if (!entry.handle) {
        Opened opened = OpenChecked(entry, entry.parent == kNone ? OpenMode::Shared : OpenMode::Exclusive);
        if (opened.verdict == Opened::Verdict::Gone) return;  // already gone: nothing left to delete
        if (opened.verdict != Opened::Verdict::Checked) throw ChangedDuringDeletion(PathOf(index), displayRoot_);
        entry.handle = std::move(opened.handle);
    }
    MarkForDeletion(entry.handle.Get(), PathOf(index));
    Unkeep(entry);
    entry.handle.Close();  // the entry goes with its last handle
}

// With POSIX semantics, where the system has them, the name goes at once even
// while another program holds the entry open; otherwise the entry goes with
// its last handle.
void FsAccountRemoval::MarkForDeletion(HANDLE handle, const std::wstring& path) {
    const nt::Functions& ntdll = nt::Ntdll();
    nt::IoStatusBlock io{};
    if (posixDelete_) {
        ULONG flags = nt::kDispositionDelete | nt::kDispositionPosixSemantics;
        const nt::Status status =
            ntdll.SetInformationFile(handle, &io, &flags, sizeof flags, nt::kFileDispositionInformationEx);
        if (status != nt::kNotImplemented && status != nt::kInvalidInfoClass && status != nt::kInvalidParameter &&
            status != nt::kNotSupported) {
            ThrowIfFailed(status, path);
            return;
        }
        posixDelete_ = false;
    }
    BOOLEAN deleteFile = TRUE;
    ThrowIfFailed(ntdll.SetInformationFile(handle, &io, &deleteFile, sizeof deleteFile, nt::kFileDispositionInformation),
                  path);
}

// The account folder, still listed once everything was deleted: gone all the
// same when it is the folder that was marked for deletion, empty, and held
// open by another program (a file browser showing it), which lets it go when
// it closes it. Windows says so when it is opened; Wine does not, so there it
// is the folder of the same id, empty, that an open sharing nothing cannot get.
bool FsAccountRemoval::MarkedAndHeldElsewhere() {
    constexpr ACCESS_MASK kLook = SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;
    HANDLE handle = nullptr;
    nt::Status status = OpenInFolder(data_.Get(), rootName_, kLook, kShareAll, nt::kDirectoryFile, handle);
    if (status == nt::kDeletePending) return true;
    if (nt::Failed(status)) return false;
    {
        const FileHandle look(handle);
        LONGLONG id = 0;
        if (!InternalId(look.Get(), id) || id != rootId_ || !ListFolder(look.Get(), displayRoot_).empty()) return false;
    }
    status = OpenInFolder(data_.Get(), rootName_, kLook, 0, nt::kDirectoryFile, handle);
    if (nt::Failed(status)) return status == nt::kSharingViolation;
    FileHandle(handle).Close();  // nobody else holds it
    return false;
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
    for (const Listed& left : ListFolder(data_.Get(), displayRoot_, &rootName_))
        if (left.name == rootName_ && !MarkedAndHeldElsewhere())
            throw About(Win32Error(ERROR_DIR_NOT_EMPTY), displayRoot_);
}

std::wstring FsAccountRemoval::PathOf(size_t index) const {
    return index == kNone ? displayRoot_ : PathOf(entries_[index]);
}

std::wstring FsAccountRemoval::PathOf(const Entry& entry) const {
    return entry.parent == kNone ? displayRoot_ : PathOf(entry.parent) + L"\\" + entry.name;
}

}  // namespace vardelune
