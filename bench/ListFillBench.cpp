// What filling a list box with many accounts costs the window system: one item
// at a time, with redrawing off, with the storage reserved first, before or
// after the window is shown.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// One run: a fresh window with the main window's list box, filled with
// `count` names; returns the time from the first item to a painted window.
double Fill(HINSTANCE instance, int count, bool visibleFirst, bool noRedraw, bool initStorage) {
    HWND window = CreateWindowExW(0, L"ListFillBench", L"List fill", WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX, 100, 100,
                                  516, 599, nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 24, 88, 257, 82, window,
                                nullptr, instance, nullptr);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (visibleFirst) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        Pump();
    }
    const LARGE_INTEGER start = Now();
    if (initStorage) SendMessageW(list, LB_INITSTORAGE, count, count * 32 * sizeof(wchar_t));
    if (noRedraw) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    wchar_t name[64];
    for (int i = 0; i < count; ++i) {
        std::swprintf(name, 64, L"compte%05d@hotmail.fr", i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    if (noRedraw) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    if (!visibleFirst) ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump();
    const LARGE_INTEGER end = Now();
    DestroyWindow(window);
    Pump();
    return Milliseconds(start, end);
}

}  // namespace

// ListFillBench COUNT VARIANT...: prints VARIANT_ms=... per variant.
int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW type = {};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = instance;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"ListFillBench";
    RegisterClassW(&type);

    struct Variant {
        const wchar_t* name;
        bool visibleFirst, noRedraw, initStorage;
    };
    const Variant variants[] = {
        {L"hidden_plain", false, false, false},     {L"hidden_noredraw", false, true, false},
        {L"hidden_initstorage", false, false, true}, {L"hidden_both", false, true, true},
        {L"shown_plain", true, false, false},       {L"shown_noredraw", true, true, false},
    };
    for (int i = 2; i < argc; ++i)
        for (const Variant& variant : variants)
            if (std::wcscmp(argv[i], variant.name) == 0)
                std::printf("%ls_ms=%.1f\n", variant.name,
                            Fill(instance, count, variant.visibleFirst, variant.noRedraw, variant.initStorage));
    std::fflush(stdout);
    return 0;
}
