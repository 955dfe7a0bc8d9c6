// Read in the ANSI form, as the shell's ShellExecuteA that starts the program
// takes it.
#include "platform/win32/RegisteredProgram.h"

#include "platform/win32/Owners.h"

#include <windows.h>

#include <vector>

namespace vardelune {

namespace {

std::string DefaultValue(HKEY root, const std::string& key, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return std::string();
    const RegistryKey owner(opened);
    constexpr DWORD kLongest = 32768;  // characters; no program path is longer
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size >= kLongest)
        return std::string();
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::string();
    std::string value = buffer.data();
    if (type == REG_EXPAND_SZ && !value.empty()) {
        std::vector<char> expanded(kLongest);
        const DWORD length = ExpandEnvironmentStringsA(value.c_str(), expanded.data(), kLongest);
        value = length > 0 && length <= expanded.size() ? std::string(expanded.data()) : std::string();
    }
    // The path may stand in quotes.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string RegisteredProgramPath(const std::string& file) {
    if (file.empty() || file.find_first_of("\\/:") != std::string::npos) return std::string();
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + file;
    struct Place {
        HKEY root;
        REGSAM view;
    };
    // Messenger is a 32-bit program. On 64-bit Windows XP and Vista the
    // machine's App Paths key is redirected, so that its installer wrote into
    // the 32-bit view, which a 64-bit program only sees when it asks for it
    // (from Windows 7 on, the key is shared by both views). A 32-bit program
    // already sees that view, and 32-bit Windows ignores the flag.
    static const Place kPlaces[] = {
        {HKEY_CURRENT_USER, 0},
        {HKEY_LOCAL_MACHINE, 0},
#ifdef _WIN64
        {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
#endif
    };
    for (const Place& place : kPlaces) {
        const std::string path = DefaultValue(place.root, key, place.view);
        if (!path.empty() && IsExistingFile(path)) return path;
    }
    return std::string();
}

}  // namespace vardelune
