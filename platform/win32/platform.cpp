#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/win32/resource.h"
#include "platform/win32/internal.h"

namespace qm::win32 {

std::unique_ptr<char[]> ZeroBuffer(int size) {
    if (size <= 0) return nullptr;
    char* p = new (std::nothrow) char[static_cast<std::size_t>(size)];
    if (p) std::memset(p, 0, static_cast<std::size_t>(size));
    return std::unique_ptr<char[]>(p);
}

std::string Terminated(char* buffer, int size) {
    buffer[size - 1] = '\0';
    return std::string(buffer, ::strnlen(buffer, static_cast<std::size_t>(size)));
}

DWORD ToMilliseconds(double seconds) {
    if (!(seconds > 0)) return 0;  // negatives and NaN
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= 0x7FFFFFFF ? 0x7FFFFFFFu : static_cast<DWORD>(ms);
}

void ReportFailure(const char* call, std::string_view subject, DWORD error) {
    std::string line = "quillmoor: ";
    line += call;
    line += " failed for \"";
    line.append(subject.data(), std::min<std::size_t>(subject.size(), 260));
    line += "\": error " + std::to_string(error) + "\n";
    ::OutputDebugStringA(line.c_str());
}

FARPROC SystemFunction(const char* dll, const char* name) {
    HMODULE module = ::GetModuleHandleA(dll);
    if (!module) {
        char folder[MAX_PATH + 1] = {};
        const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        const std::string path = std::string(folder, n) + "\\" + dll;
        module = ::LoadLibraryA(path.c_str());  // never freed: its functions stay in use
        if (!module) {
            ReportFailure("LoadLibraryA", path, ::GetLastError());
            return nullptr;
        }
    }
    return ::GetProcAddress(module, name);
}

namespace {
// A second platform object in the process finds its classes registered.
void Register(const WNDCLASSEXA& cls) {
    if (!::RegisterClassExA(&cls) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        ReportFailure("RegisterClassExA", cls.lpszClassName, ::GetLastError());
}
}  // namespace

// ---- construction -----------------------------------------------------------

Win32Platform::Win32Platform(std::string instanceName) : instanceName_(std::move(instanceName)) {
    instance_ = ::GetModuleHandleA(nullptr);
    // LOGPIXELSY of the screen: the system's DPI, on every Windows since XP.
    if (HDC screen = ::GetDC(nullptr)) {
        dpi_ = UsableDpi(::GetDeviceCaps(screen, LOGPIXELSY));
        ::ReleaseDC(nullptr, screen);
    }
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);

    // Shared icons live as long as the module: nothing to free, and a second
    // platform object in the same process may use them too.
    icon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_QUILLMOOR), IMAGE_ICON,
                                            ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                            LR_SHARED));
    smallIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_QUILLMOOR), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    if (!icon_) icon_ = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    if (!smallIcon_) smallIcon_ = icon_;
    background_ = static_cast<HBITMAP>(
        ::LoadImageA(instance_, MAKEINTRESOURCEA(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    editorBackground_ = static_cast<HBITMAP>(
        ::LoadImageA(instance_, MAKEINTRESOURCEA(IDB_EDITOR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

    WNDCLASSEXA helper{};
    helper.cbSize = sizeof helper;
    helper.lpfnWndProc = &Win32Platform::WindowProc<&Win32Platform::OnHelperMessage>;
    helper.hInstance = instance_;
    helper.lpszClassName = kHelperClass;
    Register(helper);

    WNDCLASSEXA main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = &Win32Platform::WindowProc<&Win32Platform::OnMainMessage>;
    main.hInstance = instance_;
    main.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    main.lpszClassName = kMainClass;
    Register(main);

    WNDCLASSEXA editor = main;
    editor.lpfnWndProc = &Win32Platform::WindowProc<&Win32Platform::OnEditorMessage>;
    editor.lpszClassName = kEditorClass;
    Register(editor);

    // Top-level, not message-only: the shell's "TaskbarCreated" is broadcast
    // to top-level windows.
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    helper_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kHelperClass, "Form2", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance_, this);
    if (!helper_) ReportFailure("CreateWindowExA", kHelperClass, ::GetLastError());
}

Win32Platform::~Win32Platform() {
    if (editor_) ::DestroyWindow(editor_);
    if (main_) ::DestroyWindow(main_);
    if (helper_) ::DestroyWindow(helper_);
    if (background_) ::DeleteObject(background_);
    if (editorBackground_) ::DeleteObject(editorBackground_);
    if (editorListBrush_) ::DeleteObject(editorListBrush_);
    if (instanceMutex_) ::CloseHandle(instanceMutex_);
}

bool Win32Platform::OwnThread(HWND window) const {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

namespace {
using SendTimeout = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);

// Not SMTO_BLOCK: while we wait, a window that sends back to us must still be
// answered, or both would sit out the timeout.
bool SendWithin(SendTimeout send, HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
    DWORD_PTR answer = 0;
    const LRESULT ok = send(window, msg, wparam, lparam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer);
    if (result) *result = ok ? answer : 0;
    return ok != 0;
}
}  // namespace

bool Win32Platform::SendBounded(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
    return SendWithin(::SendMessageTimeoutA, window, msg, wparam, lparam, result);
}

bool Win32Platform::SendBoundedW(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
    return SendWithin(::SendMessageTimeoutW, window, msg, wparam, lparam, result);
}
}  // namespace qm::win32
