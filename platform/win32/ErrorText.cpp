// Error descriptions from FormatMessageW and from a table of the script
// runtime's numbers, which its object raises without any text under Wine.
#include "platform/win32/ErrorText.h"

#include <cwchar>

namespace vardelune {

namespace {

struct LocalBuffer {
    wchar_t* text = nullptr;
    LocalBuffer() = default;
    LocalBuffer(const LocalBuffer&) = delete;
    LocalBuffer& operator=(const LocalBuffer&) = delete;
    ~LocalBuffer() {
        if (text) LocalFree(text);
    }
};

struct ScriptRuntimeError {
    long number;
    const wchar_t* text;
};

// The script runtime's own wording on a French system, for the numbers that
// folder and file operations raise.
constexpr ScriptRuntimeError kScriptRuntimeErrors[] = {
    {5, L"Argument ou appel de procédure incorrect"},
    {7, L"Mémoire insuffisante"},
    {48, L"Erreur de chargement de la DLL"},
    {51, L"Erreur interne"},
    {52, L"Nom ou numéro de fichier incorrect"},
    {53, L"Fichier introuvable"},
    {54, L"Mode de fichier incorrect"},
    {55, L"Fichier déjà ouvert"},
    {57, L"Erreur d'entrée/sortie de périphérique"},
    {58, L"Le fichier existe déjà"},
    {61, L"Disque plein"},
    {62, L"L'entrée dépasse la fin de fichier"},
    {67, L"Trop de fichiers"},
    {68, L"Périphérique non disponible"},
    {70, L"Permission refusée"},
    {71, L"Disque non prêt"},
    {74, L"Impossible de renommer avec un lecteur différent"},
    {75, L"Erreur d'accès au chemin/fichier"},
    {76, L"Chemin d'accès introuvable"},
};

std::wstring Hexadecimal(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

std::wstring SystemErrorText(DWORD code) {
    LocalBuffer buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer.text), 0, nullptr);
    if (length == 0 || !buffer.text) return std::wstring();
    std::wstring text(buffer.text, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring ScriptRuntimeErrorText(long number) {
    for (const ScriptRuntimeError& error : kScriptRuntimeErrors)
        if (error.number == number) return error.text;
    return std::wstring();
}

ProgramError Win32Error(DWORD code) {
    std::wstring text = SystemErrorText(code);
    if (text.empty()) text = L"Erreur système " + std::to_wstring(code);
    return ProgramError(static_cast<long>(code), text);
}

ProgramError HresultError(HRESULT result) {
    std::wstring text = SystemErrorText(static_cast<DWORD>(result));
    if (text.empty()) text = L"Erreur inattendue (" + Hexadecimal(static_cast<DWORD>(result)) + L")";
    return ProgramError(static_cast<long>(result), text);
}

}  // namespace vardelune
