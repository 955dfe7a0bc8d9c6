// Reads the windows of a running program from another process, for the
// end-to-end tests: top-level windows with their child controls, list items,
// selection and focus, printed as one JSON document. It also prints the
// program's own layout tables in pixels, the one source of the tests' geometry.
#include "forms/Windows.h"
#include "host/FormWindow.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// JSON with every character outside printable ASCII as a \u escape of its
// UTF-16 unit: a pair of them stands for a character outside the BMP.
std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Handle(HWND window) {
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// Every question has a bound: a program that is busy or hung must not hang
// the test that asks. Answers -1 when no answer came.
LRESULT Ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 2000, &answer)) return -1;
    return static_cast<LRESULT>(answer);
}

// WM_GETTEXT rather than GetWindowText: the latter does not ask controls of
// another process for their text.
std::wstring TextOf(HWND window) {
    const LRESULT length = Ask(window, WM_GETTEXTLENGTH);
    if (length <= 0) return L"";
    std::vector<wchar_t> buffer(length + 1, L'\0');
    const LRESULT copied = Ask(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), copied > 0 ? copied : 0);
}

std::string RectJson(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) +
           "," + std::to_string(r.bottom - r.top) + "]";
}

// The items are file names, at most 255 characters: one buffer far larger
// than that spares a LB_GETTEXTLEN round trip per item, which halves the time
// of reading a list of thousands of accounts.
constexpr size_t kItemBufferLength = 32768;

std::string ListBoxJson(HWND list) {
    const LRESULT count = Ask(list, LB_GETCOUNT);
    std::vector<wchar_t> buffer(kItemBufferLength, L'\0');
    std::string out = ",\"items\":[";
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT copied = Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        if (i) out += ",";
        out += Json(std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0));
    }
    out += "],\"selected\":" + std::to_string(Ask(list, LB_GETCURSEL));
    // Where each row lies, so that a test can click an item with the pointer.
    out += ",\"itemHeight\":" + std::to_string(Ask(list, LB_GETITEMHEIGHT));
    out += ",\"topIndex\":" + std::to_string(Ask(list, LB_GETTOPINDEX));
    return out;
}

// Every descendant, not only the direct children: a file browser keeps its
// address box inside a tool bar.
BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::string ControlJson(HWND parent, HWND control, const vardelune::FormLayout* form) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const std::wstring cls = ClassOf(control);
    std::string out = "{\"hwnd\":" + Handle(control) + ",\"class\":" + Json(cls) + ",\"text\":" +
                      Json(TextOf(control)) + ",\"rect\":" + RectJson(r) +
                      ",\"visible\":" + (IsWindowVisible(control) ? "true" : "false") +
                      ",\"id\":" + std::to_string(GetDlgCtrlID(control));
    // The control's name in the program's own table, from its child id.
    const size_t index = static_cast<size_t>(GetDlgCtrlID(control) - vardelune::FormWindow::kFirstChildId);
    if (form && GetParent(control) == parent && index < form->controls.size())
        out += ",\"name\":\"" + std::string(form->controls[index].name) + "\"";
    if (_wcsicmp(cls.c_str(), L"ListBox") == 0) out += ListBoxJson(control);
    return out + "}";
}

// The title as the window manager stores it: asks nothing of the window's
// own thread, which may be busy.
std::wstring TitleOf(HWND window) {
    wchar_t title[512] = L"";
    const int length = InternalGetWindowText(window, title, 512);
    return std::wstring(title, length > 0 ? length : 0);
}

// The program's form whose window this is, found by its title; none for
// other programs' windows.
const vardelune::FormLayout* FormOf(HWND window) {
    if (ClassOf(window) != vardelune::FormWindow::kClassName) return nullptr;
    const std::wstring title = TitleOf(window);
    for (const vardelune::FormLayout* layout : vardelune::ProgramWindows())
        if (title == layout->title) return layout;
    return nullptr;
}

std::string WindowJson(HWND window) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &pid);
    const bool visible = IsWindowVisible(window) != FALSE;
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::string out = "{\"hwnd\":" + Handle(window) + ",\"title\":" + Json(TitleOf(window)) +
                      ",\"class\":" + Json(ClassOf(window)) + ",\"pid\":" + std::to_string(pid) +
                      ",\"visible\":" + (visible ? "true" : "false") + ",\"frame\":" + RectJson(frame) +
                      ",\"style\":" + std::to_string(GetWindowLongW(window, GWL_STYLE)) +
                      ",\"client\":[" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "," +
                      std::to_string(client.right) + "," + std::to_string(client.bottom) + "]";
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(thread, &gui))
        out += ",\"focus\":" + Handle(gui.hwndFocus) + ",\"active\":" + Handle(gui.hwndActive);
    out += ",\"controls\":[";
    if (visible) {
        std::vector<HWND> children;
        EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
        for (size_t i = 0; i < children.size(); ++i) {
            if (i) out += ",";
            out += ControlJson(window, children[i], FormOf(window));
        }
    }
    return out + "]}";
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    // Untitled windows are Wine's own helpers (IME, clipboard, message windows).
    if (!TitleOf(window).empty() || IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

void Write(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int Dump() {
    std::vector<HWND> windows;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    std::string out = "[";
    for (size_t i = 0; i < windows.size(); ++i) {
        if (i) out += ",\n";
        out += WindowJson(windows[i]);
    }
    Write(out + "]\n");
    return 0;
}

// Every window's layout at that resolution, in client pixels as the program
// itself places its windows and controls (a line: both its ends' places).
int Layout(const wchar_t* dotsPerInchText) {
    const int dpi = static_cast<int>(std::wcstol(dotsPerInchText, nullptr, 10));
    if (dpi <= 0) return 64;
    const char* const kinds[] = {"Label", "TextBox", "ListBox", "PushButton", "Picture", "Line"};
    std::string out = "{\"dpi\":" + std::to_string(dpi) + ",\"forms\":[";
    for (const vardelune::FormLayout* layout : vardelune::ProgramWindows()) {
        out += std::string(out.back() == '[' ? "" : ",\n") + "{\"name\":\"" + layout->name + "\",\"title\":" +
               Json(layout->title) + ",\"client\":[" + std::to_string(layout->clientWidthPixels(dpi)) + "," +
               std::to_string(layout->clientHeightPixels(dpi)) + "],\"controls\":[";
        for (const vardelune::ControlLayout& control : layout->controls) {
            const vardelune::PixelRect r = control.pixels(dpi);
            out += std::string(out.back() == '[' ? "" : ",") + "{\"name\":\"" + control.name + "\",\"kind\":\"" +
                   kinds[static_cast<int>(control.kind)] + "\",\"rect\":[" + std::to_string(r.left) + "," +
                   std::to_string(r.top) + "," + std::to_string(r.width) + "," + std::to_string(r.height) + "]}";
        }
        out += "]}";
    }
    Write(out + "]}\n");
    return 0;
}

// A window handle as Dump prints it.
HWND HandleFrom(const wchar_t* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(text, nullptr, 10)));
}

int Close(const wchar_t* handle) {
    const HWND window = HandleFrom(handle);
    if (!IsWindow(window)) return 2;
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

// Sends the window a message that it answers at once when it takes messages,
// again and again until the stop file appears, and prints the longest wait.
int Responsiveness(const wchar_t* handle, const wchar_t* stopFile) {
    const HWND window = HandleFrom(handle);
    DWORD longest = 0;
    unsigned count = 0;
    while (IsWindow(window) && GetFileAttributesW(stopFile) == INVALID_FILE_ATTRIBUTES) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
        const DWORD waited = GetTickCount() - start;
        if (waited > longest) longest = waited;
        ++count;
        Sleep(20);
    }
    Write("longest_ms=" + std::to_string(longest) + " count=" + std::to_string(count) + "\n");
    return 0;
}

}  // namespace

// "dump" prints every titled top-level window (with the controls of the visible
// ones); "layout DPI" prints the layout tables at that resolution; "close HWND" posts WM_CLOSE, since
// windows have no close box under Xvfb; "responsiveness HWND STOPFILE" times
// how long the window takes to answer, until the file appears. Nothing else: selections and clicks are
// made by real input through X.
int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"dump") == 0) return Dump();
    if (argc == 3 && std::wcscmp(argv[1], L"layout") == 0) return Layout(argv[2]);
    if (argc == 3 && std::wcscmp(argv[1], L"close") == 0) return Close(argv[2]);
    if (argc == 4 && std::wcscmp(argv[1], L"responsiveness") == 0) return Responsiveness(argv[2], argv[3]);
    Write("usage: Probe dump | Probe layout DPI | Probe close HWND | Probe responsiveness HWND STOPFILE\n");
    return 64;
}
