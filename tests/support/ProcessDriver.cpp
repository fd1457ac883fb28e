#include "tests/support/ProcessDriver.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qwp::test {

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds) {
    if (!process_) return STILL_ACTIVE;
    if (WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds, DWORD interval) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(interval);
    }
}

namespace {

struct VisibleSearch {
    DWORD processId;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<VisibleSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // A visible window of no size (an owner window that only carries a
    // taskbar button) is nothing a user sees.
    RECT area{};
    GetWindowRect(window, &area);
    if (owner == search->processId && IsWindowVisible(window) && !IsRectEmpty(&area)) search->found->push_back(window);
    return TRUE;
}

struct ChildSearch {
    const char* className;
    const std::string* text;  // exact caption to find, or null for "any non-empty"
    int skip;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, search->className) != 0) return TRUE;
    const std::string text = WindowText(child);
    const bool matches = search->text ? text == *search->text : !text.empty();
    if (!matches) return TRUE;
    if (search->skip-- > 0) return TRUE;
    search->found = child;
    return FALSE;
}

struct IdSearch {
    int id;
    HWND found;
};

// EnumChildWindows walks every descendant, not only the direct children.
BOOL CALLBACK MatchId(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<IdSearch*>(lParam);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    std::vector<HWND> found;
    VisibleSearch search{processId, &found};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND TopWindowOf(DWORD processId, const char* caption) {
    for (HWND window : VisibleWindowsOf(processId))
        if (!caption || WindowText(window) == caption) return window;
    return nullptr;
}

HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = TopWindowOf(processId, caption.c_str())) != nullptr; }, milliseconds, 50);
    return found;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT works across processes for standard controls. The length
    // is an upper bound in ANSI; a text that grew between the two calls
    // fills the one spare character and is read again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
        std::string text(length + 2, '\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                                 SMTO_ABORTIFHUNG, 2000, &copied))
            return {};
        if (copied <= length) {
            text.resize(copied);
            return text;
        }
    }
    return {};
}

std::string ChildTextOfClass(HWND window, const char* className, int skip) {
    ChildSearch search{className, nullptr, skip, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found ? WindowText(search.found) : std::string();
}

bool PressButton(HWND window, const std::string& caption) {
    ChildSearch search{"Button", &caption, 0, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    PostMessageA(search.found, BM_CLICK, 0, 0);
    return true;
}

HWND FindControl(HWND window, int id) {
    IdSearch search{id, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ControlText(HWND window, int id) {
    HWND control = FindControl(window, id);
    return control ? WindowText(control) : std::string();
}

bool ControlEnabled(HWND window, int id) {
    HWND control = FindControl(window, id);
    return control && IsWindowEnabled(control);
}

bool ControlVisible(HWND window, int id) {
    HWND control = FindControl(window, id);
    return control && IsWindowVisible(control);
}

int CheckState(HWND window, int id) {
    HWND control = FindControl(window, id);
    if (!control) return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return -1;
    return static_cast<int>(state);
}

bool ClickControl(HWND window, int id) {
    HWND control = FindControl(window, id);
    return control && PostMessageA(control, BM_CLICK, 0, 0);
}

bool WaitForControlText(HWND window, int id, const std::string& text, DWORD milliseconds) {
    return WaitUntil([&] { return ControlText(window, id) == text; }, milliseconds);
}

void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool PressKey(HWND window, WORD virtualKey, WORD modifier) {
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 2000)) return false;
    INPUT inputs[4] = {};
    UINT count = 0;
    auto add = [&](WORD key, bool up) {
        INPUT& input = inputs[count++];
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    };
    if (modifier) add(modifier, false);
    add(virtualKey, false);
    add(virtualKey, true);
    if (modifier) add(modifier, true);
    return SendInput(count, inputs, sizeof(INPUT)) == count;
}

namespace {

// Rows of 8-bit blue, green, red triplets, top row first, each row starting
// at a multiple of stride bytes.
struct BgrImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bytes;
};

void AppendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendChunk(std::string& out, const char* type, const std::string& data) {
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    AppendBigEndian(out, static_cast<std::uint32_t>(
                             crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

// A plain 8-bit RGB PNG: every row unfiltered, the rows in one zlib stream.
// The setup's libpng is built without its writer, so the tests write their
// pictures themselves.
bool WritePng(const std::string& path, const BgrImage& image) {
    std::string raw;
    raw.reserve(static_cast<std::size_t>(image.width * 3 + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        const std::uint8_t* row = image.bytes.data() + static_cast<std::size_t>(y) * image.stride;
        for (int x = 0; x < image.width; ++x) {
            raw += static_cast<char>(row[3 * x + 2]);
            raw += static_cast<char>(row[3 * x + 1]);
            raw += static_cast<char>(row[3 * x]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::string header;
    AppendBigEndian(header, static_cast<std::uint32_t>(image.width));
    AppendBigEndian(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
           written == png.size();
}

RECT ScreenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Copies what the screen shows in the rectangle (cut to the screen) into a
// top-down 24-bit DIB.
bool GrabScreen(RECT area, BgrImage& image) {
    const RECT screenRect = ScreenRect();
    if (!IntersectRect(&area, &area, &screenRect)) return false;
    image.width = area.right - area.left;
    image.height = area.bottom - area.top;
    image.stride = (image.width * 3 + 3) & ~3;

    WindowDc screen;
    MemoryDc memory(screen.get());
    if (!screen.get() || !memory.get()) return false;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = image.width;
    format.bmiHeader.biHeight = -image.height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        SelectObjectGuard select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, image.width, image.height, screen.get(), area.left, area.top,
                    SRCCOPY | CAPTUREBLT))
            return false;
        GdiFlush();
    }
    const auto* first = static_cast<const std::uint8_t*>(bits);
    image.bytes.assign(first, first + static_cast<std::size_t>(image.stride) * image.height);
    return true;
}

bool SameImage(const BgrImage& a, const BgrImage& b) {
    return a.width == b.width && a.height == b.height && a.bytes == b.bytes;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM lParam) {
    if (!IsWindowVisible(window) || !GetUpdateRect(window, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
}

// A visible part of the window, or of a window inside it, still has an
// update region: a paint is owed.
bool PaintPending(HWND window) {
    bool pending = IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE);
    if (!pending) EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

}  // namespace

bool WaitUntilPainted(HWND window, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    const auto left = [&] {
        const DWORD spent = GetTickCount() - start;
        return spent < milliseconds ? milliseconds - spent : 0;
    };
    RECT area = ScreenRect();
    if (window) {
        Settle(window);
        if (!WaitUntil([&] { return !PaintPending(window); }, left(), 10)) return false;
        // Back in its message loop, where Wine hands what was painted on to
        // the screen.
        Settle(window);
        if (!GetWindowRect(window, &area)) return false;
    }
    // Pictures taken some 50 ms apart, longer than Wine waits before it
    // passes a busy window's painting on to the screen, until two agree.
    BgrImage last;
    if (!GrabScreen(area, last)) return false;
    return WaitUntil(
        [&] {
            BgrImage now;
            if (!GrabScreen(area, now)) return false;
            const bool same = SameImage(now, last);
            last = std::move(now);
            return same;
        },
        left(), 50);
}

bool CaptureWindow(HWND window, const std::string& pngPath) {
    RECT area;
    BgrImage image;
    return GetWindowRect(window, &area) && GrabScreen(area, image) && WritePng(pngPath, image);
}

bool CaptureScreen(const std::string& pngPath) {
    const RECT area = ScreenRect();
    BgrImage image;
    return GrabScreen(area, image) && WritePng(pngPath, image);
}

namespace {

std::string UnixToWindows(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

}  // namespace

std::string BuildFile(const std::string& relative) { return UnixToWindows(QWP_BUILD_DIR "/" + relative); }
std::string SourceFile(const std::string& relative) { return UnixToWindows(QWP_SOURCE_DIR "/" + relative); }

}  // namespace qwp::test
