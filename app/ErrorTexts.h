// Every French text that the program's error reports show, in one place: the
// descriptions of the numbered errors, the program's own refusals and the
// report itself, whose long lines are broken so that it fits the screen.
#pragma once

#include "app/Errors.h"

#include <string>

namespace vardelune {

// The French description of a numbered error (53, 70, 76, ...); empty for a
// number that has none of its own.
std::wstring ErrorDescription(long number);

// The error with its own description, and what the description is about
// (a path, say) on the lines below it.
ProgramError NumberedError(long number, const std::wstring& about = std::wstring());

// The failure of a property access on a control that the window lacks.
ProgramError ControlNotFound(const char* control);

// Why an account name is refused before anything is deleted (in the order of
// the texts in ErrorTexts.cpp).
enum class UnsafeName {
    DroppedCharacter,  // ends with a dot or a space, which Windows drops
    ForbiddenCharacter,  // a separator, a wildcard, a colon, a quote or a control character
    DotName  // empty, "." or "..": the data folder itself, or the one above
};

// Why an entry inside an account folder cannot be judged, so that nothing of
// the account is deleted (in the order of the texts in ErrorTexts.cpp).
enum class EntryDoubt {
    Unreadable,  // the system would not say where the entry really lies
    NotFileOrFolder,  // a pipe, a device or a socket
    Vanished,  // listed, but not found by its name: a link that leads nowhere, or to itself
    NameReadOtherwise,  // a name that the system would read as another entry's
    Replaced  // another entry took its name between the listing and the check
};

// The cleanup's refusals, each naming the folder of which nothing was deleted.
ProgramError AccountNameRefusal(UnsafeName reason, const std::wstring& path);
ProgramError LinkRefusal(const std::wstring& link, const std::wstring& path);
ProgramError UnverifiableEntryRefusal(EntryDoubt doubt, const std::wstring& entry, const std::wstring& path);
// Entries that cannot be deleted without force, or while another program holds them.
ProgramError ReadOnlyRefusal(const std::wstring& entry, const std::wstring& path);
ProgramError InUseRefusal(const std::wstring& entry, const std::wstring& path);
// A tree deeper than the open handles that its examination keeps allow.
ProgramError TooDeepRefusal(const std::wstring& entry, const std::wstring& path);
// Where case matters, a folder whose name differs from the account's in case only.
ProgramError CaseVariantRefusal(const std::wstring& variant, const std::wstring& path);
// A link, or a move, met once the deletion had begun: it stops there.
ProgramError ChangedDuringDeletion(const std::wstring& entry, const std::wstring& path);

// A system error that the system describes in no words of its own.
std::wstring SystemErrorFallbackText(unsigned long code);
std::wstring UnexpectedResultText(const std::wstring& hexadecimal);
std::wstring FileBrowserFailureText(long code);

// A failure before the program's windows exist.
extern const wchar_t* const kStartFailureText;

// The title of the error report's message box.
extern const wchar_t* const kErrorReportTitle;

// Every line longer than `width` characters broken after its last path
// separator within the width, else after its last space, else at the width
// itself. Nothing is dropped: removing the inserted line breaks gives the text back.
std::wstring BreakLongLines(const std::wstring& text, size_t width = 70);

// The longest line that the report shows whole: four broken lines. A path can
// be thousands of characters long, and the report must fit the screen.
constexpr size_t kLongestReportLine = 4 * 70;

// Every line longer than `longest` characters with its middle replaced by an
// ellipsis, its start and its end kept, `longest` characters in all.
std::wstring ShortenLongLines(const std::wstring& text, size_t longest);

// The text of the error report: the error's number first, then its description.
std::wstring ErrorReportText(long number, const std::wstring& description);

}  // namespace vardelune
