// The folder is closed as soon as the search is exhausted, so that a finished
// listing keeps no folder open.
#include "platform/win32/FsEnumeration.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/NtFile.h"

#include <cstddef>

namespace vardelune {

namespace {

constexpr DWORD kFilteredAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

using nt::DirectoryInformation;
using nt::NamesInformation;

// Room for a few hundred entries per query.
constexpr size_t kBatchBytes = 64 * 1024;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Whether the mask lets every entry through, whatever its attributes, so
// that they need not be read.
bool MaskAllowsEverything(unsigned mask) { return (kFilteredAttributes & ~static_cast<DWORD>(mask)) == 0; }

// The folder and the wildcard pattern of an expression: "C:\a\*@*" gives
// "C:\a" and "*@*"; a root keeps its separator ("C:\", "\"), and an
// expression without any separator searches the current folder.
struct SearchParts {
    std::wstring folder;
    std::wstring pattern;
    bool root;
};

SearchParts SplitSearchExpression(const std::wstring& expression) {
    size_t end = expression.size();
    while (end > 0 && !IsSeparator(expression[end - 1])) --end;
    SearchParts parts{expression.substr(0, end), expression.substr(end), false};
    if (parts.folder.empty()) {
        // "C:*" searches the current folder of drive C, "*" the current one.
        const bool drive = parts.pattern.size() >= 2 && parts.pattern[1] == L':';
        parts.folder = drive ? parts.pattern.substr(0, 2) + L"." : L".";
        if (drive) parts.pattern.erase(0, 2);
        return parts;
    }
    // Without its last separator, "C:\" or "\\?\C:\" would name the drive
    // itself and "\" nothing: roots keep theirs.
    const size_t last = parts.folder.size() - 1;
    parts.root = last == 0 || parts.folder[last - 1] == L':';
    if (!parts.root) parts.folder.erase(last);
    return parts;
}

}  // namespace

bool AttributesAllowed(DWORD entryAttributes, unsigned mask) {
    return (entryAttributes & kFilteredAttributes & ~static_cast<DWORD>(mask)) == 0;
}

std::wstring FsEnumeration::First(const std::wstring& expression, unsigned attributes) {
    Close();
    attributes_ = attributes;
    namesOnly_ = MaskAllowsEverything(attributes);
    SearchParts parts = SplitSearchExpression(expression);
    // An expression that ends in a separator matches nothing, as for FindFirstFileW.
    if (parts.pattern.empty()) return std::wstring();

    // A file where the folder should be holds no entries: the path to search
    // does not exist, as FindFirstFileW reports it on Windows.
    folder_ = OpenFolderForListing(parts.folder);
    if (!folder_) return std::wstring();
    skipDots_ = parts.root;
    batch_.resize(kBatchBytes / sizeof(batch_[0]));
    if (!Fetch(&parts.pattern)) return std::wstring();
    return Next();
}

std::wstring FsEnumeration::Next() {
    const size_t header = namesOnly_ ? offsetof(NamesInformation, fileName) : offsetof(DirectoryInformation, fileName);
    while (folder_.IsOpen()) {
        if (!batchHasMore_ && !Fetch(nullptr)) break;
        // Nothing is read beyond what the query reports it filled.
        if (offset_ + header > filled_) {
            batchHasMore_ = false;
            continue;
        }
        const char* bytes = reinterpret_cast<const char*>(batch_.data()) + offset_;
        ULONG next, nameBytes;
        DWORD entryAttributes = 0;
        if (namesOnly_) {
            const auto* entry = reinterpret_cast<const NamesInformation*>(bytes);
            next = entry->nextEntryOffset;
            nameBytes = entry->fileNameLength;
        } else {
            const auto* entry = reinterpret_cast<const DirectoryInformation*>(bytes);
            next = entry->nextEntryOffset;
            nameBytes = entry->fileNameLength;
            entryAttributes = entry->fileAttributes;
        }
        if (offset_ + header + nameBytes > filled_) {
            batchHasMore_ = false;
            continue;
        }
        const auto* name = reinterpret_cast<const WCHAR*>(bytes + header);
        offset_ += next;
        batchHasMore_ = next != 0;
        if (nameBytes == 0 || !AttributesAllowed(entryAttributes, attributes_)) continue;
        std::wstring result(name, nameBytes / sizeof(WCHAR));
        // A drive's root has no "." or "..", as FindFirstFileW lists it.
        if (skipDots_ && (result == L"." || result == L"..")) continue;
        return result;
    }
    return std::wstring();
}

bool FsEnumeration::Fetch(const std::wstring* pattern) {
    static_assert(offsetof(DirectoryInformation, fileName) == 64 && offsetof(NamesInformation, fileName) == 12,
                  "the layouts of the system's directory entries");
    const nt::Functions& ntdll = nt::Ntdll();
    if (!ntdll.Complete()) throw Win32Error(ERROR_PROC_NOT_FOUND);
    nt::UnicodeString counted = pattern ? nt::Counted(*pattern) : nt::UnicodeString{};
    nt::IoStatusBlock io{};
    const ULONG bytes = static_cast<ULONG>(batch_.size() * sizeof(batch_[0]));
    const nt::Status status = ntdll.QueryDirectoryFile(
        folder_.Get(), nullptr, nullptr, nullptr, &io, batch_.data(), bytes,
        namesOnly_ ? nt::kFileNamesInformation : nt::kFileDirectoryInformation, FALSE, pattern ? &counted : nullptr,
        pattern ? TRUE : FALSE);
    offset_ = 0;
    filled_ = status >= 0 ? static_cast<size_t>(io.information) : 0;
    batchHasMore_ = status >= 0;
    if (batchHasMore_) return true;
    Close();
    if (status == nt::kNoMoreFiles || status == nt::kNoSuchFile) return false;
    throw Win32Error(ntdll.StatusToDosError(status));
}

void FsEnumeration::Close() {
    folder_.Close();
    batchHasMore_ = false;
}

}  // namespace vardelune
