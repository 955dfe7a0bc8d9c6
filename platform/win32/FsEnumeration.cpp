// The folder is closed as soon as the search is exhausted, so that a finished
// listing keeps no folder open.
#include "platform/win32/FsEnumeration.h"

#include "platform/win32/DirectoryRecords.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/FsPath.h"
#include "platform/win32/NtFile.h"

#include <algorithm>

namespace vardelune {

namespace {

constexpr DWORD kFilteredAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

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
    DirectoryRecord record;
    while (folder_.IsOpen()) {
        if (!records_.Next(record)) {
            if (!Fetch(nullptr)) break;
            continue;
        }
        if (record.nameLength == 0 || !AttributesAllowed(record.attributes, attributes_)) continue;
        std::wstring result(record.name, record.nameLength);
        // A drive's root has no "." or "..", as FindFirstFileW lists it.
        if (skipDots_ && (result == L"." || result == L"..")) continue;
        return result;
    }
    return std::wstring();
}

bool FsEnumeration::Fetch(const std::wstring* pattern) {
    const nt::Functions& ntdll = nt::Ntdll();
    if (!ntdll.Complete()) throw Win32Error(ERROR_PROC_NOT_FOUND);
    nt::UnicodeString counted = pattern ? nt::Counted(*pattern) : nt::UnicodeString{};
    nt::IoStatusBlock io{};
    const ULONG bytes = static_cast<ULONG>(batch_.size() * sizeof(batch_[0]));
    const int informationClass = namesOnly_ ? nt::kFileNamesInformation : nt::kFileDirectoryInformation;
    const nt::Status status =
        ntdll.QueryDirectoryFile(folder_.Get(), nullptr, nullptr, nullptr, &io, batch_.data(), bytes, informationClass,
                                 FALSE, pattern ? &counted : nullptr, pattern ? TRUE : FALSE);
    if (status >= 0) {
        records_ = DirectoryRecords(informationClass, batch_.data(), std::min<size_t>(io.information, bytes));
        return true;
    }
    Close();
    if (status == nt::kNoMoreFiles || status == nt::kNoSuchFile) return false;
    throw Win32Error(ntdll.StatusToDosError(status));
}

void FsEnumeration::Close() {
    folder_.Close();
    records_ = DirectoryRecords();
}

}  // namespace vardelune
