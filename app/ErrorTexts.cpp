// The French wording of every error report, and the breaking of its long lines.
#include "app/ErrorTexts.h"

#include <cstring>
#include <iterator>
#include <utility>

namespace vardelune {

namespace {

struct NumberedText {
    long number;
    const wchar_t* text;
};

// The script runtime's own wording on a French system, for the numbers that
// folder and file operations raise, and the program's own numbers.
constexpr NumberedText kDescriptions[] = {
    {error::kInvalidProcedureCall, L"Argument ou appel de procédure incorrect"},
    {error::kOutOfMemory, L"Mémoire insuffisante"},
    {48, L"Erreur de chargement de la DLL"},
    {error::kInternalError, L"Erreur interne"},
    {error::kBadFileName, L"Nom ou numéro de fichier incorrect"},
    {error::kFileNotFound, L"Fichier introuvable"},
    {54, L"Mode de fichier incorrect"},
    {55, L"Fichier déjà ouvert"},
    {57, L"Erreur d'entrée/sortie de périphérique"},
    {58, L"Le fichier existe déjà"},
    {61, L"Disque plein"},
    {62, L"L'entrée dépasse la fin de fichier"},
    {error::kTooManyFiles, L"Trop de fichiers"},
    {68, L"Périphérique non disponible"},
    {error::kPermissionDenied, L"Permission refusée"},
    {71, L"Disque non prêt"},
    {74, L"Impossible de renommer avec un lecteur différent"},
    {error::kPathFileAccessError, L"Erreur d'accès au chemin/fichier"},
    {error::kPathNotFound, L"Chemin d'accès introuvable"},
    {error::kInvalidPicture, L"Image incorrecte"},
};

constexpr const wchar_t* kNothingDeletedIn = L"\r\nRien n'a été supprimé dans\r\n";

// Why an account name is refused, in the order of UnsafeName.
constexpr const wchar_t* kUnsafeNameReasons[] = {
    L"Windows lit ce nom sans son point ou son espace final et supprimerait un autre dossier",
    L"ce nom contient un caractère qu'un nom de dossier ne peut pas contenir, il désignerait un autre emplacement",
    L"ce nom désigne le dossier des comptes lui-même ou celui qui le contient",
};

// Why an entry cannot be judged, in the order of EntryDoubt.
constexpr const wchar_t* kEntryDoubtReasons[] = {
    L"impossible de vérifier que cet élément n'est pas un lien",
    L"cet élément n'est ni un fichier ni un dossier (un tube, un périphérique ou une prise)",
    L"cet élément est introuvable par son nom : un lien qui ne mène nulle part, ou vers lui-même",
    L"Windows lirait le nom de cet élément comme celui d'un autre (point ou espace final, caractère interdit)",
    L"cet élément a été remplacé par un autre pendant l'examen",
};
static_assert(std::size(kUnsafeNameReasons) == static_cast<size_t>(UnsafeName::DotName) + 1 &&
                  std::size(kEntryDoubtReasons) == static_cast<size_t>(EntryDoubt::Replaced) + 1,
              "one text for each reason");

// An error with one of the runtime's numbers, which the program raises itself.
ProgramError RuntimeError(long number, std::wstring description) {
    return ProgramError(ErrorNumberKind::Runtime, number, std::move(description));
}

// A refusal before anything is deleted: why, the entry that it is about, and
// the folder of which nothing was deleted.
ProgramError Refusal(long number, const std::wstring& why, const std::wstring& entry, const std::wstring& folder) {
    return RuntimeError(number, why + L"\r\n" + entry + kNothingDeletedIn + folder);
}

// The text with each of its lines (separated by CR LF) replaced by what
// `change` makes of it.
template <typename Change>
std::wstring ChangeEachLine(const std::wstring& text, Change change) {
    std::wstring changed;
    for (size_t start = 0;;) {
        size_t end = text.find(L"\r\n", start);
        const bool last = end == std::wstring::npos;
        if (last) end = text.size();
        changed += change(text.substr(start, end - start));
        if (last) return changed;
        changed += L"\r\n";
        start = end + 2;
    }
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Where a line that is too long is broken: after the last path separator
// within the width, else after the last space, else at the width.
size_t BreakPoint(const std::wstring& line, size_t width) {
    const std::wstring head = line.substr(0, width);
    const size_t separator = head.find_last_of(L"\\/");
    if (separator != std::wstring::npos && separator > 0) return separator + 1;
    const size_t space = head.find_last_of(L' ');
    if (space != std::wstring::npos && space > 0) return space + 1;
    // Never between the two halves of a character outside the basic plane.
    return IsHighSurrogate(line[width - 1]) && width > 1 ? width - 1 : width;
}

}  // namespace

std::wstring ErrorDescription(long number) {
    for (const NumberedText& entry : kDescriptions)
        if (entry.number == number) return entry.text;
    return std::wstring();
}

ProgramError NumberedError(long number, const std::wstring& about) {
    std::wstring text = ErrorDescription(number);
    if (!about.empty()) text += L"\r\n" + about;
    return RuntimeError(number, text);
}

ProgramError ControlNotFound(const char* control) {
    const std::wstring name(control, control + std::strlen(control));
    return RuntimeError(error::kControlNotFound, L"L'élément de groupe de contrôles '" + name + L"' n'existe pas");
}

ProgramError AccountNameRefusal(UnsafeName reason, const std::wstring& path) {
    return RuntimeError(error::kBadFileName, std::wstring(L"Nom de fichier incorrect : ") +
                                                 kUnsafeNameReasons[static_cast<int>(reason)] + kNothingDeletedIn + path);
}

ProgramError LinkRefusal(const std::wstring& link, const std::wstring& path) {
    return Refusal(error::kPathFileAccessError,
                   L"Suppression refusée : ce dossier contient un lien vers un autre emplacement", link, path);
}

ProgramError UnverifiableEntryRefusal(EntryDoubt doubt, const std::wstring& entry, const std::wstring& path) {
    return Refusal(error::kPathFileAccessError,
                   std::wstring(L"Suppression refusée : ") + kEntryDoubtReasons[static_cast<int>(doubt)], entry, path);
}

ProgramError ReadOnlyRefusal(const std::wstring& entry, const std::wstring& path) {
    return Refusal(error::kPermissionDenied, L"Permission refusée : cet élément est en lecture seule", entry, path);
}

ProgramError InUseRefusal(const std::wstring& entry, const std::wstring& path) {
    return Refusal(error::kPermissionDenied,
                   L"Permission refusée : un autre programme utilise ce compte, fermez-le puis recommencez", entry,
                   path);
}

ProgramError TooDeepRefusal(const std::wstring& entry, const std::wstring& path) {
    return Refusal(error::kTooManyFiles,
                   L"Trop de fichiers : ce dossier est trop profond pour être vérifié niveau par niveau", entry, path);
}

ProgramError CaseVariantRefusal(const std::wstring& variant, const std::wstring& path) {
    return Refusal(error::kPathNotFound,
                   L"Chemin d'accès introuvable : seul un dossier dont le nom diffère par les majuscules existe, "
                   L"et ce système les distingue",
                   variant, path);
}

ProgramError ChangedDuringDeletion(const std::wstring& entry, const std::wstring& path) {
    return RuntimeError(error::kPathFileAccessError,
                        L"Suppression arrêtée : cet élément a été remplacé par un lien ou déplacé pendant la "
                        L"suppression\r\n" +
                            entry + L"\r\nSuppression interrompue dans\r\n" + path);
}

std::wstring SystemErrorFallbackText(unsigned long code) { return L"Erreur système " + std::to_wstring(code); }

std::wstring UnexpectedResultText(const std::wstring& hexadecimal) {
    return L"Erreur inattendue (" + hexadecimal + L")";
}

std::wstring FileBrowserFailureText(long code) {
    return L"L'explorateur n'a pas pu ouvrir le dossier (code " + std::to_wstring(code) + L")";
}

const wchar_t* const kStartFailureText = L"Vardelune n'a pas pu démarrer.";
const wchar_t* const kErrorReportTitle = L"Vardelune Messenger";

std::wstring BreakLongLines(const std::wstring& text, size_t width) {
    if (width == 0) return text;
    return ChangeEachLine(text, [width](std::wstring line) {
        std::wstring broken;
        while (line.size() > width) {
            const size_t cut = BreakPoint(line, width);
            broken += line.substr(0, cut) + L"\r\n";
            line.erase(0, cut);
        }
        return broken + line;
    });
}

std::wstring ShortenLongLines(const std::wstring& text, size_t longest) {
    if (longest < 3) return text;
    return ChangeEachLine(text, [longest](const std::wstring& line) {
        if (line.size() <= longest) return line;
        size_t head = (longest - 1) / 2;
        size_t tail = longest - 1 - head;
        // Never half of a surrogate pair on either side of the ellipsis.
        if (head > 0 && IsHighSurrogate(line[head - 1])) --head;
        if (tail > 0 && IsLowSurrogate(line[line.size() - tail])) --tail;
        return line.substr(0, head) + L'\u2026' + line.substr(line.size() - tail);
    });
}

std::wstring ErrorReportText(long number, const std::wstring& description) {
    // Number first, then the description, as the system states them. A path
    // of any length keeps its start and its end, so that the report fits the
    // screen.
    return L"Erreur d'exécution '" + std::to_wstring(number) + L"' :\r\n\r\n" +
           BreakLongLines(ShortenLongLines(description, kLongestReportLine));
}

}  // namespace vardelune
