// Splits Vardelune's start-up into its steps inside one process, with the
// program's own code and pictures, beside a bare window; also times hiding a
// shown window. Modes and arguments: see wmain.
#include "app/Program.h"
#include "forms/Windows.h"
#include "host/Win32Host.h"
#include "platform/win32/OleFunctions.h"
#include "platform/win32/Win32Platform.h"
#include "resources/ResourceIds.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double NowMs() {
    // Wall clock, comparable with the process's creation time.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value{{now.dwLowDateTime, now.dwHighDateTime}};
    return static_cast<double>(value.QuadPart) / 10000.0;
}

double ProcessCreatedMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER value{{created.dwLowDateTime, created.dwHighDateTime}};
    return static_cast<double>(value.QuadPart) / 10000.0;
}

// Everything queued, paints included, until the thread would wait.
void PumpUntilIdle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND MinimalWindow(HINSTANCE instance) {
    WNDCLASSW type = {};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"StartupBenchMinimal";
    RegisterClassW(&type);
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    RECT frame = {0, 0, 500, 560};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Minimal Window", style, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

// The bare window with what the main window cannot do without: the program's
// icons on its class and its windowed controls with their classes, styles,
// places, texts and fonts, made in tab order, those out of view after the
// first painting as the program makes them. Everything else the program does
// before showing is left out.
HWND WindowWithControls(HINSTANCE instance, HMODULE resources) {
    const int dotsPerInch = vardelune::ScreenDotsPerInch();
    WNDCLASSEXW type = {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = instance;
    type.hIcon = vardelune::LoadProgramIcon(resources, SM_CXICON, SM_CYICON);
    type.hIconSm = vardelune::LoadProgramIcon(resources, SM_CXSMICON, SM_CYSMICON);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"StartupBenchControls";
    RegisterClassExW(&type);
    const vardelune::FormLayout& layout = vardelune::MainWindowLayout();
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    RECT frame = {0, 0, layout.clientWidthPixels(dotsPerInch), layout.clientHeightPixels(dotsPerInch)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, type.lpszClassName, layout.title, style, 100, 100, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    static vardelune::FontCache fonts(dotsPerInch);
    std::vector<const vardelune::ControlLayout*> windowed;
    for (const vardelune::ControlLayout& control : layout.controls)
        if (vardelune::IsWindowed(control.kind)) windowed.push_back(&control);
    std::sort(windowed.begin(), windowed.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    auto create = [&](bool outOfView) {
        for (const vardelune::ControlLayout* control : windowed) {
            if (layout.liesOutOfView(*control, dotsPerInch) != outOfView) continue;
            const vardelune::ChildClass childClass = vardelune::ChildClassOf(control->kind);
            const bool list = control->kind == vardelune::ControlKind::ListBox;
            const vardelune::PixelRect rect = control->pixels(dotsPerInch);
            HWND child = CreateWindowExW(childClass.exStyle, childClass.className, list ? L"" : control->text,
                                         childClass.style, rect.left, rect.top, rect.width, rect.height, window,
                                         nullptr, instance, nullptr);
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(control->font)), FALSE);
        }
    };
    create(false);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    create(true);
    return window;
}

}  // namespace

// StartupBench program PATH\Vardelune.exe [ole|none] [ahead] | minimal | hide
//   program:  the program's start-up with its pictures borrowed from PATH; OLE
//             not started, as the program starts without it, or started ahead
//             through the program's own late binding, loading ole32 included
//             (what the first handler that needs COM pays); "ahead" decodes
//             all 13 pictures and makes and draws the main window's fonts
//             before the window
//   minimal:  the same steps for a bare window
//   controls PATH\Vardelune.exe: the same for a bare window with the program's
//             icons and the main window's windowed controls (WindowWithControls)
//   hide:     hiding a shown bare window, as going back hides the results window
int wmain(int argc, wchar_t** argv) {
    const double entered = NowMs();
    const double loader = entered - ProcessCreatedMs();
    const bool minimal = argc > 1 && std::wcscmp(argv[1], L"minimal") == 0;
    const bool controls = argc > 2 && std::wcscmp(argv[1], L"controls") == 0;
    HINSTANCE instance = GetModuleHandleW(nullptr);

    if (minimal || controls) {
        HMODULE resources = controls ? LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
        const double start = NowMs();
        if (controls)
            WindowWithControls(instance, resources);
        else
            MinimalWindow(instance);
        const double shown = NowMs();
        PumpUntilIdle();
        const double painted = NowMs();
        std::printf("loader_ms=%.1f window_ms=%.1f paint_ms=%.1f\n", loader, shown - start, painted - shown);
        return 0;
    }
    if (argc > 1 && std::wcscmp(argv[1], L"hide") == 0) {
        HWND window = MinimalWindow(instance);
        PumpUntilIdle();
        Sleep(500);
        PumpUntilIdle();
        const double start = NowMs();
        ShowWindow(window, SW_HIDE);
        const double hidden = NowMs();
        std::printf("hide_ms=%.1f\n", hidden - start);
        return 0;
    }
    if (argc < 3) {
        std::fputs("usage: StartupBench program PATH\\Vardelune.exe [ole|com|none] [ahead] | minimal | hide\n",
                   stderr);
        return 2;
    }
    // The pictures and the icon come from the built program, as in its tests.
    HMODULE resources = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!resources) return 1;

    const std::wstring com = argc > 3 ? argv[3] : L"none";
    const double oleStart = NowMs();
    if (com == L"ole") vardelune::ole::OleInitialize(nullptr);
    const double oleDone = NowMs();
    try {
        vardelune::Win32Platform platform;
        vardelune::Win32Host host(instance, resources);  // its icons also start the display driver
        const double hostDone = NowMs();
        const bool ahead = argc > 4 && std::wcscmp(argv[4], L"ahead") == 0;
        if (ahead) {
            vardelune::PictureCache pictures(resources);
            for (int id = IDG_BANNER; id <= IDG_RECOMMENCER_HIGHLIGHTED; ++id) pictures.Load(id);
        }
        const double afterPictures = NowMs();
        if (ahead) {
            // The first use of each font of the main window, drawn once so
            // that the rasterizer is counted too.
            vardelune::FontCache fonts(vardelune::ScreenDotsPerInch());
            vardelune::MemoryDc memory(nullptr);
            vardelune::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(memory.Get(), 64, 16));
            vardelune::SelectedObject selectedBitmap(memory.Get(), bitmap.Get());
            for (const vardelune::ControlLayout& control : vardelune::MainWindowLayout().controls) {
                vardelune::SelectedObject selected(memory.Get(), fonts.Get(control.font));
                RECT rect{0, 0, 64, 16};
                DrawTextW(memory.Get(), L"Vardelune", -1, &rect, DT_LEFT);
            }
        }
        const double afterFonts = NowMs();
        vardelune::Program program(platform, host, vardelune::ProgramWindows());
        host.Attach(program);
        program.Start();
        const double shown = NowMs();
        PumpUntilIdle();
        const double painted = NowMs();
        std::printf("loader_ms=%.1f ole_ms=%.1f host_ms=%.1f pictures_ms=%.1f fonts_ms=%.1f window_ms=%.1f "
                    "paint_ms=%.1f\n",
                    loader, oleDone - oleStart, hostDone - oleDone, afterPictures - hostDone,
                    afterFonts - afterPictures, shown - afterFonts, painted - shown);
    } catch (const vardelune::ProgramError& error) {
        std::fprintf(stderr, "error %ld: %ls\n", error.number(), error.description().c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
