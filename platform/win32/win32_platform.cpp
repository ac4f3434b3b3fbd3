#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/bounds.h"
#include "platform/text.h"
#include "platform/win32/resource.h"

namespace qm::win32 {
namespace {

const char kHelperClass[] = "quillmoorHelper";
const char kMainClass[] = "quillmoorForm";

// The atom of the standard dialog class "#32770".
constexpr ATOM kDialogAtom = 0x8002;

// Pop-up menus nest no deeper than this; a deeper tree is cut there.
constexpr int kMaxMenuDepth = 16;

// Read in pieces so that a large limit does not mean a large allocation.
constexpr DWORD kFileChunk = 64 * 1024;

// A buffer of `size` zero bytes, or none when that much cannot be had.
std::unique_ptr<char[]> ZeroBuffer(int size) {
    if (size <= 0) return nullptr;
    char* p = new (std::nothrow) char[static_cast<std::size_t>(size)];
    if (p) std::memset(p, 0, static_cast<std::size_t>(size));
    return std::unique_ptr<char[]>(p);
}

// The text in a buffer of `size` bytes, terminated by us whatever the callee
// wrote.
std::string Terminated(char* buffer, int size) {
    buffer[size - 1] = '\0';
    return std::string(buffer, ::strnlen(buffer, static_cast<std::size_t>(size)));
}

// A name or path with a zero byte inside would be cut there by the "A"
// functions and so name something else: such input finds and opens nothing.
bool HasZeroByte(std::string_view s) { return s.find('\0') != std::string_view::npos; }

DWORD ToMilliseconds(double seconds) {
    if (!(seconds > 0)) return 0;  // negatives and NaN
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= 0x7FFFFFFF ? 0x7FFFFFFFu : static_cast<DWORD>(ms);
}

bool Inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// A window of another thread of this process gets our buffer's address itself
// (across processes the system copies it) and may still write to it after we
// gave up waiting, so then the buffer is left alive.
void KeepIfStillShared(HWND window, std::unique_ptr<char[]>& buffer) {
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && thread != ::GetCurrentThreadId()) buffer.release();
}

HMENU BuildMenu(const std::vector<PopupItem>& items, int depth) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    for (const PopupItem& item : items) {
        if (item.caption == "-") {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? MF_ENABLED : MF_GRAYED);
        if (!item.children.empty()) {
            if (depth >= kMaxMenuDepth) continue;
            HMENU sub = BuildMenu(item.children, depth + 1);
            if (!sub) continue;
            if (!::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.caption.c_str()))
                ::DestroyMenu(sub);
        } else {
            ::AppendMenuA(menu, flags, static_cast<UINT_PTR>(static_cast<unsigned>(item.id)), item.caption.c_str());
        }
    }
    return menu;
}

// ---- the one-line prompt ------------------------------------------------------

constexpr int kPromptText = 100;
constexpr int kPromptEdit = 101;

struct PromptState {
    const std::string& title;
    const std::string& prompt;
    const std::string& defaultText;
    std::string answer;
};

// A dialog template laid out in memory, so that the prompt needs no resource.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, WORD items) {
        Dword(style);
        Dword(0);
        Word(items);
        Box(0, 0, cx, cy);
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Word(0);  // the title is set at run time, in ANSI
        Word(8);
        Text(L"MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const wchar_t* text) {
        if (words_.size() % 2) Word(0);  // items start on a DWORD boundary
        Dword(style);
        Dword(0);
        Box(x, y, cx, cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Box(short x, short y, short cx, short cy) {
        for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    }
    void Text(const wchar_t* s) {
        do Word(static_cast<WORD>(*s));
        while (*s++);
    }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<PromptState*>(lparam);
            ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            ::SetWindowTextA(dialog, state->title.c_str());
            ::SetDlgItemTextA(dialog, kPromptText, state->prompt.c_str());
            HWND edit = ::GetDlgItem(dialog, kPromptEdit);
            ::SetWindowTextA(edit, state->defaultText.c_str());
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
            ::SetFocus(edit);
            return FALSE;  // we placed the focus ourselves
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                auto* state = reinterpret_cast<PromptState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                HWND edit = ::GetDlgItem(dialog, kPromptEdit);
                const int length = std::max(0, ::GetWindowTextLengthA(edit));
                std::string text(static_cast<std::size_t>(length) + 1, '\0');
                const int got = ::GetWindowTextA(edit, text.data(), length + 1);
                text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
                if (state) state->answer = std::move(text);
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

bool TranslateTrayRecord(const std::vector<std::uint8_t>& record, HWND window, HICON icon, NOTIFYICONDATAA& out) {
    if (record.size() != kTrayRecordSize) return false;
    std::memset(&out, 0, sizeof out);
    // Version 1 of the record: the shell reads no field past the 64-byte tip.
    out.cbSize = NOTIFYICONDATAA_V1_SIZE;
    out.hWnd = window;
    out.uID = LittleEndian32(record, 8);
    out.uFlags = LittleEndian32(record, 12);
    out.uCallbackMessage = LittleEndian32(record, 16);
    out.hIcon = icon;
    std::memcpy(out.szTip, record.data() + 24, 64);
    out.szTip[63] = '\0';
    return true;
}

// ---- construction -----------------------------------------------------------

Win32Platform::Win32Platform(std::string instanceName) : instanceName_(std::move(instanceName)) {
    instance_ = ::GetModuleHandleA(nullptr);
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

    WNDCLASSEXA helper{};
    helper.cbSize = sizeof helper;
    helper.lpfnWndProc = &Win32Platform::HelperProc;
    helper.hInstance = instance_;
    helper.lpszClassName = kHelperClass;
    ::RegisterClassExA(&helper);  // a second platform object finds it registered

    WNDCLASSEXA main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = &Win32Platform::MainProc;
    main.hInstance = instance_;
    main.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    main.lpszClassName = kMainClass;
    ::RegisterClassExA(&main);

    helper_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kHelperClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance_, this);
}

Win32Platform::~Win32Platform() {
    if (main_) ::DestroyWindow(main_);
    if (helper_) ::DestroyWindow(helper_);
    if (background_) ::DeleteObject(background_);
    if (instanceMutex_) ::CloseHandle(instanceMutex_);
}

bool Win32Platform::OwnThread(HWND window) const {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

bool Win32Platform::SendBounded(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
    DWORD_PTR answer = 0;
    // Not SMTO_BLOCK: while we wait, a window that sends back to us must
    // still be answered, or both would sit out the timeout.
    const LRESULT ok = ::SendMessageTimeoutA(window, msg, wparam, lparam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                             bounds::kSendTimeoutMs, &answer);
    if (result) *result = ok ? answer : 0;
    return ok != 0;
}

// ---- other programs' windows --------------------------------------------------

Hwnd Win32Platform::FindWindow(std::string_view cls, std::optional<std::string_view> caption) {
    if (HasZeroByte(cls) || (caption && HasZeroByte(*caption))) return 0;
    const std::string c(cls), t(caption.value_or(""));
    return ToSeam(::FindWindowA(c.c_str(), caption ? t.c_str() : nullptr));
}

Hwnd Win32Platform::FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                                 std::optional<std::string_view> caption) {
    if (!parent) return 0;  // parent 0 would search the whole desktop
    if (HasZeroByte(cls) || (caption && HasZeroByte(*caption))) return 0;
    const std::string c(cls), t(caption.value_or(""));
    if (!after) return ToSeam(::FindWindowExA(ToHwnd(parent), nullptr, c.c_str(), caption ? t.c_str() : nullptr));
    // Wine finds nothing after a window of another class ("the RICHCNTL after
    // the RICHCNTLREADONLY"), so walk the siblings as Windows does.
    HWND child = ToHwnd(after);
    if (::GetAncestor(child, GA_PARENT) != ToHwnd(parent)) return 0;
    char name[256];
    for (child = ::GetWindow(child, GW_HWNDNEXT); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::GetClassNameA(child, name, sizeof name) || !EqualsNoCase(name, c)) continue;
        if (caption && !EqualsNoCase(GetWindowText(ToSeam(child), GetWindowTextLength(ToSeam(child)) + 1), t))
            continue;
        return ToSeam(child);
    }
    return 0;
}

Hwnd Win32Platform::NextWindow(Hwnd window) {
    if (!window) return 0;
    return ToSeam(::GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

int Win32Platform::GetWindowTextLength(Hwnd window) {
    if (!window) return 0;
    return std::max(0, ::GetWindowTextLengthA(ToHwnd(window)));
}

std::string Win32Platform::GetWindowText(Hwnd window, int bufferSize) {
    if (!window) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    ::GetWindowTextA(ToHwnd(window), buffer.get(), bufferSize);
    return Terminated(buffer.get(), bufferSize);
}

int Win32Platform::GetTextLength(Hwnd window) {
    if (!window) return 0;
    DWORD_PTR length = 0;
    if (!SendBounded(ToHwnd(window), WM_GETTEXTLENGTH, 0, 0, &length)) return 0;
    const auto signedLength = static_cast<LONG_PTR>(length);
    return signedLength < 0 ? 0 : static_cast<int>(std::min<LONG_PTR>(signedLength, INT_MAX));
}

std::string Win32Platform::GetText(Hwnd window, int bufferSize) {
    if (!window) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    HWND h = ToHwnd(window);
    if (!SendBounded(h, WM_GETTEXT, static_cast<WPARAM>(bufferSize), reinterpret_cast<LPARAM>(buffer.get()),
                     nullptr)) {
        KeepIfStillShared(h, buffer);
        return "";
    }
    return Terminated(buffer.get(), bufferSize);
}

void Win32Platform::SetText(Hwnd window, const std::string& text) {
    if (!window) return;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[text.size() + 1]);
    if (!copy) return;
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    HWND h = ToHwnd(window);
    if (!SendBounded(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.get()), nullptr)) KeepIfStillShared(h, copy);
}

void Win32Platform::Send(Hwnd window, Msg msg, std::uint32_t wparam) {
    if (!window) return;
    SendBounded(ToHwnd(window), static_cast<UINT>(msg), wparam, 0, nullptr);
}

void Win32Platform::Post(Hwnd window, Msg msg, std::uint32_t wparam) {
    if (!window) return;
    ::PostMessageA(ToHwnd(window), static_cast<UINT>(msg), wparam, 0);
}

void Win32Platform::ShowWindow(Hwnd window, ShowCmd cmd) {
    if (!window) return;
    HWND h = ToHwnd(window);
    // Another thread's window changes state when its thread gets to it: a
    // client that hangs cannot hold us up.
    if (OwnThread(h))
        ::ShowWindow(h, static_cast<int>(cmd));
    else
        ::ShowWindowAsync(h, static_cast<int>(cmd));
}

void Win32Platform::SetForegroundWindow(Hwnd window) {
    if (window) ::SetForegroundWindow(ToHwnd(window));
}

void Win32Platform::MakeTopmost(Hwnd window) {
    if (window) ::SetWindowPos(ToHwnd(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Platform::BeginWindowDrag(Hwnd window) {
    if (!window) return;
    ::ReleaseCapture();
    // For our own window this runs the system's move loop until the button
    // is released.
    SendBounded(ToHwnd(window), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0, nullptr);
}

// ---- menus --------------------------------------------------------------------

Hmenu Win32Platform::GetMenu(Hwnd window) {
    if (!window) return 0;
    return ToSeamMenu(::GetMenu(ToHwnd(window)));
}

int Win32Platform::GetMenuItemCount(Hmenu menu) {
    if (!menu) return -1;
    return ::GetMenuItemCount(ToHmenu(menu));
}

Hmenu Win32Platform::GetSubMenu(Hmenu menu, int position) {
    if (!menu) return 0;
    return ToSeamMenu(::GetSubMenu(ToHmenu(menu), position));
}

std::uint32_t Win32Platform::GetMenuItemID(Hmenu menu, int position) {
    if (!menu) return kMenuIdSubmenu;
    return ::GetMenuItemID(ToHmenu(menu), position);
}

std::string Win32Platform::GetMenuString(Hmenu menu, std::uint32_t id, int bufferSize) {
    if (!menu) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    ::GetMenuStringA(ToHmenu(menu), id, buffer.get(), bufferSize, MF_BYCOMMAND);
    return Terminated(buffer.get(), bufferSize);
}

// ---- profile strings -------------------------------------------------------------

std::string Win32Platform::GetProfileString(const std::string& section, const std::string& key,
                                            const std::string& path, int bufferSize) {
    // An empty path would name a file in the Windows folder.
    if (path.empty() || HasZeroByte(path)) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.get(),
                                               static_cast<DWORD>(bufferSize), path.c_str());
    buffer[bufferSize - 1] = '\0';
    return std::string(buffer.get(), std::min<std::size_t>(n, ::strnlen(buffer.get(), bufferSize)));
}

bool Win32Platform::WriteProfileString(const std::string& section, const std::string& key,
                                       const std::string& value, const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

// ---- time and the event pump ------------------------------------------------------

double Win32Platform::Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const long long ticks = now.QuadPart - start_.QuadPart;
    const long long f = frequency_.QuadPart > 0 ? frequency_.QuadPart : 1;
    const double seconds =
        static_cast<double>(ticks / f) + static_cast<double>(ticks % f) / static_cast<double>(f);
    // Some old multi-core machines let the counter step back a little.
    lastNow_ = std::max(lastNow_, seconds);
    return lastNow_;
}

bool Win32Platform::Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) return false;
    // A handler may pump while a prompt or message box is open: the dialog's
    // keys (Tab, Enter, Esc) must still work there.
    if (msg.hwnd) {
        HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
        if (root && ::GetClassLongA(root, GCW_ATOM) == kDialogAtom && ::IsDialogMessageA(root, &msg)) return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

void Win32Platform::ProcessEvents() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!Dispatch(msg)) ::ExitProcess(static_cast<UINT>(msg.wParam));
}

void Win32Platform::WaitForEvents(double seconds) {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, ToMilliseconds(seconds), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ProcessEvents();
}

int Win32Platform::CreateTimer(unsigned milliseconds, std::function<void()> tick) {
    auto slot = std::make_unique<TimerSlot>();
    slot->milliseconds = std::max(1u, milliseconds);
    slot->tick = std::move(tick);
    timers_.push_back(std::move(slot));
    return static_cast<int>(timers_.size());
}

void Win32Platform::SetTimerRunning(int timer, bool running) {
    if (timer < 1 || timer > static_cast<int>(timers_.size())) return;
    TimerSlot& slot = *timers_[static_cast<std::size_t>(timer - 1)];
    if (running == slot.running) return;  // a running timer keeps its phase
    if (running)
        slot.running = ::SetTimer(helper_, static_cast<UINT_PTR>(timer), slot.milliseconds, nullptr) != 0;
    else {
        ::KillTimer(helper_, static_cast<UINT_PTR>(timer));
        slot.running = false;
    }
}

void Win32Platform::OnTimer(UINT_PTR id) {
    if (id < 1 || id > timers_.size()) return;
    TimerSlot& slot = *timers_[id - 1];
    // A tick may already be queued when its timer is stopped.
    if (!slot.running || !slot.tick) return;
    std::function<void()> tick = slot.tick;
    tick();
}

void Win32Platform::RunMessageLoop() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

void Win32Platform::Quit() {
    // Nothing is saved at exit, and no handler may run after this.
    ::ExitProcess(0);
}

// ---- window procedures -------------------------------------------------------------

LRESULT CALLBACK Win32Platform::HelperProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) return self->OnHelperMessage(hwnd, msg, wparam, lparam);
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT Win32Platform::OnHelperMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_TIMER) {
        OnTimer(wparam);
        return 0;
    }
    if (trayCallback_ && msg == trayCallback_) {
        // Version 1 of the record: lParam is the mouse message over the icon.
        if (trayHandler_) {
            std::function<void(std::uint32_t)> handler = trayHandler_;
            handler(LOWORD(lparam));
        }
        return 0;
    }
    if (msg == WM_DESTROY && hwnd == helper_) helper_ = nullptr;
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK Win32Platform::MainProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) return self->OnMainMessage(hwnd, msg, wparam, lparam);
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT Win32Platform::OnMainMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_LBUTTONDOWN:
            OnMouseDown(hwnd, lparam, MouseButton::Left);
            return 0;
        case WM_RBUTTONDOWN:
            OnMouseDown(hwnd, lparam, MouseButton::Right);
            return 0;
        case WM_MBUTTONDOWN:
            OnMouseDown(hwnd, lparam, MouseButton::Middle);
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(lparam);
            return 0;
        case WM_CAPTURECHANGED:
            label1Pressed_ = false;
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(hwnd, &pt);
                if (Inside(layout_.label1, pt.x, pt.y)) {
                    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                    return TRUE;
                }
            }
            break;
        case WM_CLOSE:
            return 0;  // only the exit command ends the program
        case WM_DESTROY:
            if (hwnd == main_) {
                main_ = nullptr;
                model_ = nullptr;
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

// ---- the main window ---------------------------------------------------------------

Hwnd Win32Platform::CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                                     MainWindowModel& model) {
    if (main_) ::DestroyWindow(main_);
    layout_ = layout;
    model_ = &model;
    RECT frame{0, 0, std::max(1, layout.clientWidth), std::max(1, layout.clientHeight)};
    ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_APPWINDOW);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Out of the way of the client's windows: the top right of the desktop.
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = std::max<int>(work.left, work.right - width - 24), y = work.top + 24;
    main_ = ::CreateWindowExA(WS_EX_APPWINDOW, kMainClass, caption.c_str(), WS_POPUP, x, y, width, height,
                              nullptr, nullptr, instance_, this);
    if (!main_) {
        model_ = nullptr;
        return 0;
    }
    ::SendMessageA(main_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(main_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    return ToSeam(main_);
}

void Win32Platform::Invalidate(Hwnd window) {
    if (window) ::InvalidateRect(ToHwnd(window), nullptr, FALSE);
}

void Win32Platform::OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;

    // Drawn off screen, then copied in one go: no flicker when the clock
    // changes.
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP canvas = ::CreateCompatibleBitmap(dc, std::max(1, w), std::max(1, h));
    HGDIOBJ oldCanvas = ::SelectObject(mem, canvas);

    if (background_) {
        HDC art = ::CreateCompatibleDC(dc);
        HGDIOBJ oldArt = ::SelectObject(art, background_);
        ::BitBlt(mem, 0, 0, w, h, art, 0, 0, SRCCOPY);
        ::SelectObject(art, oldArt);
        ::DeleteDC(art);
    } else {
        HBRUSH slate = ::CreateSolidBrush(RGB(0x28, 0x31, 0x3c));
        ::FillRect(mem, &client, slate);
        ::DeleteObject(slate);
    }

    // The menu button's mark: a small arrow pointing down, where the menu
    // will open.
    const Rect& b = layout_.label1;
    const int cx = b.left + b.width / 2, cy = b.top + b.height / 2;
    const POINT shadow[3] = {{cx - 4, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
    const POINT arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
    HBRUSH dark = ::CreateSolidBrush(RGB(0x16, 0x2c, 0x40));
    HBRUSH light = ::CreateSolidBrush(RGB(0xf0, 0xe4, 0xc0));
    HGDIOBJ oldPen = ::SelectObject(mem, ::GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = ::SelectObject(mem, dark);
    ::Polygon(mem, shadow, 3);
    ::SelectObject(mem, light);
    ::Polygon(mem, arrow, 3);
    ::SelectObject(mem, oldBrush);
    ::SelectObject(mem, oldPen);
    ::DeleteObject(dark);
    ::DeleteObject(light);

    // Label2: the idle clock, in the largest of a few small sizes that fits.
    if (model_) {
        const std::string text = model_->Label2Text();
        const Rect& l = layout_.label2;
        RECT box{l.left + 3, l.top, l.left + l.width - 3, l.top + l.height};
        HFONT font = nullptr;
        for (int size = 11; size >= 8; --size) {
            if (font) ::DeleteObject(font);
            font = ::CreateFontA(-size, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
            HGDIOBJ old = ::SelectObject(mem, font);
            SIZE extent{};
            ::GetTextExtentPoint32A(mem, text.c_str(), static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)),
                                    &extent);
            ::SelectObject(mem, old);
            if (extent.cx <= box.right - box.left) break;
        }
        HGDIOBJ oldFont = ::SelectObject(mem, font);
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, RGB(0xf0, 0xe4, 0xc0));
        ::DrawTextA(mem, text.c_str(), static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)), &box,
                    DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(mem, oldFont);
        if (font) ::DeleteObject(font);
    }

    ::BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldCanvas);
    ::DeleteObject(canvas);
    ::DeleteDC(mem);
    ::EndPaint(hwnd, &ps);
}

void Win32Platform::OnMouseDown(HWND hwnd, LPARAM lparam, MouseButton button) {
    if (!model_) return;
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    if (Inside(layout_.label1, x, y)) {
        // The menu button reacts to a whole left click, down and up on it;
        // it does not move the window.
        if (button == MouseButton::Left) {
            label1Pressed_ = true;
            ::SetCapture(hwnd);
        }
        return;
    }
    model_->MouseDown(Inside(layout_.label2, x, y) ? Control::Label2 : Control::Body, button);
}

void Win32Platform::OnLeftButtonUp(LPARAM lparam) {
    const bool pressed = label1Pressed_;
    label1Pressed_ = false;
    if (!pressed) return;
    ::ReleaseCapture();
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    if (model_ && Inside(layout_.label1, x, y)) model_->Click(Control::Label1);
}

// ---- pop-up menus, prompts, message boxes -------------------------------------------

HWND Win32Platform::MenuOwner(HWND requested) const {
    // The menu's messages go to its owner, which must be a window of ours.
    if (requested && ::IsWindow(requested) && OwnThread(requested)) return requested;
    return main_ ? main_ : helper_;
}

int Win32Platform::TrackPopupMenu(const PopupItem& root, Hwnd owner, int x, int y, int defaultId) {
    HMENU menu = BuildMenu(root.children, 0);
    if (!menu) return 0;
    if (defaultId) ::SetMenuDefaultItem(menu, static_cast<UINT>(defaultId), FALSE);  // 0 would match separators
    POINT pt{x, y};
    HWND requested = ToHwnd(owner);
    if (owner && ::IsWindow(requested)) ::ClientToScreen(requested, &pt);
    HWND menuOwner = MenuOwner(owner ? requested : nullptr);
    const int chosen = static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_LEFTBUTTON,
                                                         pt.x, pt.y, 0, menuOwner, nullptr));
    // So that a menu opened from the tray closes when the user clicks away.
    ::PostMessageA(menuOwner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
    return chosen;
}

std::string Win32Platform::InputBox(const std::string& title, const std::string& prompt,
                                    const std::string& defaultText) {
    DialogTemplate dialog(DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          241, 77, 4);
    dialog.Item(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 7, 7, 170, 44, kPromptText, 0x0082, L"");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 57, 227, 13, kPromptEdit, 0x0081,
                L"");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 184, 7, 50, 14, IDOK, 0x0080, L"OK");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 184, 25, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    PromptState state{title, prompt, defaultText, {}};
    const INT_PTR result =
        ::DialogBoxIndirectParamA(instance_, dialog.Get(), main_, &PromptProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::string();
}

void Win32Platform::MessageBox(const std::string& title, const std::string& text) {
    ::MessageBoxA(main_, text.c_str(), title.c_str(), MB_OK);
}

// ---- tray, task list, instances -------------------------------------------------------

bool Win32Platform::TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) {
    if (op != TrayOp::Add && op != TrayOp::Modify && op != TrayOp::Delete) return false;
    NOTIFYICONDATAA data;
    if (!helper_ || !TranslateTrayRecord(record, helper_, smallIcon_, data)) return false;
    if (op != TrayOp::Delete && (data.uFlags & NIF_MESSAGE)) trayCallback_ = data.uCallbackMessage;
    return ::Shell_NotifyIconA(static_cast<DWORD>(op), &data) != FALSE;
}

void Win32Platform::OnTrayMessage(std::function<void(std::uint32_t)> handler) { trayHandler_ = std::move(handler); }

void Win32Platform::SetTaskListEntry(bool shown) {
    if (!main_) return;
    const LONG style = ::GetWindowLongA(main_, GWL_EXSTYLE);
    const LONG wanted = shown ? (style & ~WS_EX_TOOLWINDOW) | WS_EX_APPWINDOW
                              : (style & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
    if (wanted == style) return;
    // The shell looks at these styles only when the window is shown.
    const bool visible = ::IsWindowVisible(main_) != FALSE;
    if (visible) ::ShowWindow(main_, SW_HIDE);
    ::SetWindowLongA(main_, GWL_EXSTYLE, wanted);
    ::SetWindowPos(main_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (visible) ::ShowWindow(main_, SW_SHOWNA);
}

bool Win32Platform::PreviousInstanceRunning() {
    if (!previousInstance_) {
        instanceMutex_ = ::CreateMutexA(nullptr, FALSE, instanceName_.c_str());
        const DWORD error = ::GetLastError();
        // A copy run by another user may hold it where we may not open it.
        previousInstance_ = error == ERROR_ALREADY_EXISTS || (!instanceMutex_ && error == ERROR_ACCESS_DENIED);
    }
    return *previousInstance_;
}

// ---- files ---------------------------------------------------------------------------------

std::string Win32Platform::ProgramFolder() {
    // XP fills a buffer that is too small without terminating it: grow
    // until the name fits with room to spare.
    std::string path;
    for (DWORD size = MAX_PATH;; size *= 2) {
        if (size > 65536) return "";
        path.assign(size, '\0');
        const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), size);
        if (n == 0) return "";
        if (n < size) {
            path.resize(n);
            break;
        }
    }
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Win32Platform::SystemFolder() { return "c:\\windows\\system"; }

bool Win32Platform::FileExists(const std::string& path) {
    if (path.empty() || HasZeroByte(path)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    // A name with wildcards matches several entries; any plain file will do.
    bool plain = false;
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))) {
            plain = true;
            break;
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return plain;
}

std::optional<std::string> Win32Platform::ReadFile(const std::string& path, std::size_t maxBytes) {
    if (path.empty() || HasZeroByte(path)) return std::nullopt;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    bool ok = true;
    while (bytes.size() < maxBytes) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kFileChunk, maxBytes - bytes.size()));
        const std::size_t at = bytes.size();
        bytes.resize(at + want);
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + at, want, &got, nullptr)) {
            ok = false;
            break;
        }
        bytes.resize(at + got);
        if (got == 0) break;
    }
    ::CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
}

bool Win32Platform::WriteFile(const std::string& path, const std::string& bytes) {
    if (path.empty() || HasZeroByte(path)) return false;
    // Asked first, not left to the open: under Wine a program run by root
    // would write a read-only file all the same.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    // Opened, then cut to nothing: unlike CREATE_ALWAYS this also rewrites a
    // hidden file, as the profile functions do.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = ::SetEndOfFile(file) != FALSE;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kFileChunk, bytes.size() - done));
        DWORD wrote = 0;
        ok = ::WriteFile(file, bytes.data() + done, want, &wrote, nullptr) && wrote == want;
        done += wrote;
    }
    ok = (::CloseHandle(file) != FALSE) && ok;
    return ok;
}

}  // namespace qm::win32
