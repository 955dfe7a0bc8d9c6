// The program's one vocabulary of errors: the numbered error that any step of
// a handler may raise, the numbers that the program raises or looks for, and
// the end of the program as the substitutes make it visible.
#pragma once

#include <stdexcept>
#include <string>

namespace vardelune {

// The numbers of the errors, as the script runtime and the window designer's
// runtime number them, so that ours read like theirs.
namespace error {
constexpr long kInvalidProcedureCall = 5;
constexpr long kOutOfMemory = 7;
constexpr long kInternalError = 51;
constexpr long kBadFileName = 52;
constexpr long kFileNotFound = 53;
constexpr long kTooManyFiles = 67;
constexpr long kPermissionDenied = 70;
constexpr long kPathFileAccessError = 75;
constexpr long kPathNotFound = 76;
constexpr long kControlNotFound = 340;
constexpr long kInvalidPicture = 481;
}  // namespace error

// Which space an error's number belongs to. The report shows the number
// alone, as users always saw it, but the spaces overlap: 53 is the runtime's
// "file not found" and Win32's "network path not found".
enum class ErrorNumberKind {
    Runtime,  // the script runtime's and the window designer's numbers (error:: below)
    Win32,  // a Win32 error code (GetLastError, or an NTSTATUS turned into one)
    HResult,  // a failed HRESULT, as a signed number
    ShellResult  // what ShellExecute returned instead of a process: a Win32 code or one of the shell's own
};

// An error raised by a platform operation or by the logic itself. It carries
// the number and the description that the program-wide error report shows,
// and the kind of the number.
class ProgramError : public std::runtime_error {
public:
    ProgramError(ErrorNumberKind kind, long number, std::wstring description)
        : std::runtime_error("program error"), kind_(kind), number_(number), description_(std::move(description)) {}
    ErrorNumberKind kind() const { return kind_; }
    long number() const { return number_; }
    const std::wstring& description() const { return description_; }

private:
    ErrorNumberKind kind_;
    long number_;
    std::wstring description_;
};

// Thrown by a substitute EndProgram() so that tests can watch the end of the
// program; the real one never returns.
struct ProgramEnded {};

}  // namespace vardelune
