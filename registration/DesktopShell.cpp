#include "registration/DesktopShell.h"

#include "instutils/BackgroundTask.h"
#include "instutils/Handles.h"

#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <utility>

namespace qwp {

namespace {

// A BSTR that frees itself.
class String {
public:
    // The text in the ANSI code page, as a BSTR; null when out of memory.
    explicit String(const std::string& text) {
        const int size = static_cast<int>(text.size());
        const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
        value_ = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length : 0));
        if (value_ && length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, value_, length);
    }
    ~String() { SysFreeString(value_); }
    String(const String&) = delete;
    String& operator=(const String&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_ = nullptr;
};

// What the caller and its worker share. Whichever of them lets go last
// frees it, so a worker still waiting for a shell that does not answer
// never touches freed memory after the caller went on.
struct ShellRequest {
    ShellRequest(const std::string& program, const std::string& folder) : program(program), folder(folder) {}
    String program;
    String folder;
    ShellStartResult result = ShellStartResult::NoShell;
    LONG holders = 2;
};

void LetGo(ShellRequest* request) {
    if (InterlockedDecrement(&request->holders) == 0) delete request;
}

// A VARIANT that clears what it holds: empty, a number, or a text it
// copies.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    explicit Variant(long number) : Variant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    explicit Variant(BSTR text) : Variant() {
        value_.vt = VT_BSTR;
        value_.bstrVal = SysAllocStringLen(text, SysStringLen(text));
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};

// The desktop's folder view, through the shell's list of its windows.
ComPtr<IShellFolderViewDual> DesktopFolderView() {
    ComPtr<IShellWindows> windows;
    if (CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.put()) != S_OK)
        return {};
    Variant desktop(static_cast<long>(CSIDL_DESKTOP));
    Variant empty;
    long window = 0;
    ComPtr<IDispatch> found;
    if (windows->FindWindowSW(&desktop.get(), &empty.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              reinterpret_cast<IDispatch**>(found.put())) != S_OK ||
        !found)
        return {};
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    if (found->QueryInterface(IID_IServiceProvider, services.put()) != S_OK ||
        services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put()) != S_OK ||
        browser->QueryActiveShellView(reinterpret_cast<IShellView**>(view.put())) != S_OK || !view ||
        view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put()) != S_OK || !background ||
        background->QueryInterface(IID_IShellFolderViewDual, folderView.put()) != S_OK)
        return {};
    return folderView;
}

ShellStartResult AskShell(const ShellRequest& request) {
    const ComPtr<IShellFolderViewDual> view = DesktopFolderView();
    if (!view) return ShellStartResult::NoShell;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (view->get_Application(reinterpret_cast<IDispatch**>(application.put())) != S_OK || !application ||
        application->QueryInterface(IID_IShellDispatch2, shell.put()) != S_OK)
        return ShellStartResult::NoShell;
    // The program the shell starts may bring its window to the front.
    DWORD shellProcess = 0;
    if (GetWindowThreadProcessId(GetShellWindow(), &shellProcess) && shellProcess)
        AllowSetForegroundWindow(shellProcess);
    if (!request.program.get() || !request.folder.get()) return ShellStartResult::Refused;
    // No arguments and the default verb: empty texts, as the shell reads an
    // empty variant as missing.
    const String empty("");
    Variant arguments(empty.get()), folder(request.folder.get()), verb(empty.get()),
        show(static_cast<long>(SW_SHOWNORMAL));
    return shell->ShellExecute(request.program.get(), arguments.get(), folder.get(), verb.get(), show.get()) == S_OK
               ? ShellStartResult::Started
               : ShellStartResult::Refused;
}

DWORD WINAPI AskShellOnWorker(void* context) {
    auto* request = static_cast<ShellRequest*>(context);
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        try {
            request->result = AskShell(*request);
        } catch (...) {
            // Nothing may leave a thread; a request that failed started nothing.
        }
        CoUninitialize();
    }
    LetGo(request);
    return 0;
}

}  // namespace

bool ProcessIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const UniqueKernelHandle held(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

ShellStartResult StartThroughDesktopShell(const std::string& program, const std::string& folder,
                                          DWORD milliseconds) {
    auto* request = new ShellRequest(program, folder);
    const UniqueKernelHandle worker(CreateThread(nullptr, 0, AskShellOnWorker, request, 0, nullptr));
    if (!worker) {
        delete request;
        return ShellStartResult::NoShell;
    }
    // The thread's end is the answer: it wrote it before letting go.
    const bool answered = WaitAnsweringSentMessages(worker.get(), milliseconds);
    const ShellStartResult result = answered ? request->result : ShellStartResult::TimedOut;
    LetGo(request);
    return result;
}

const char* ShellStartText(ShellStartResult result) {
    switch (result) {
        case ShellStartResult::Started: return "started by the desktop's shell";
        case ShellStartResult::NoShell: return "no desktop shell to start it as the desktop's user";
        case ShellStartResult::Refused: return "the desktop's shell did not start it";
        case ShellStartResult::TimedOut: return "the desktop's shell did not answer";
    }
    return "";
}

}  // namespace qwp
