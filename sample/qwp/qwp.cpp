// A stand-in for the word processor the setup installs. It behaves the way
// the setup relies on: while it runs, its top-level window carries the
// property "1.x Sorvelin"; every start appends its command line to
// qwp-starts.log beside the program; "-assoc ..." and "-ui ..." do their
// work and exit at once.
#include <windows.h>

#include <cstring>

namespace {

const char kWindowClass[] = "QuilvaneWordProcessor";
const char kWindowTitle[] = "Quilvane Word Processor";
const char kRunningProperty[] = "1.x Sorvelin";

void AppendStartToLog(const char* commandLine) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = std::strrchr(path, '\\');
    if (!slash || static_cast<size_t>(slash - path) + sizeof "\\qwp-starts.log" > MAX_PATH) return;
    std::strcpy(slash, "\\qwp-starts.log");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

bool HasOption(const char* commandLine, const char* option) {
    return std::strstr(commandLine, option) != nullptr;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            RemovePropA(window, kRunningProperty);
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT r;
            GetClientRect(window, &r);
            DrawTextA(dc, "Quilvane Word Processor (sample build)", -1, &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(window, &ps);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const char* commandLine = GetCommandLineA();
    AppendStartToLog(commandLine);
    if (HasOption(commandLine, "-assoc") || HasOption(commandLine, "-ui")) return 0;

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    SetPropA(window, kRunningProperty, reinterpret_cast<HANDLE>(1));
    ShowWindow(window, show);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
