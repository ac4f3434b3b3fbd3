#include "platform/win32/win32_platform.h"

#include <cstddef>
#include <cstring>

#include "platform/win32/internal.h"

namespace qm::win32 {
namespace {

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The shell's record, version 1, as each build lays it out: the seam's 88
// bytes are the 32-bit layout; the 64-bit one widens the handles.
#if defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 104);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 8 && offsetof(NOTIFYICONDATAA, uID) == 16);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == 20 && offsetof(NOTIFYICONDATAA, uCallbackMessage) == 24);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 32 && offsetof(NOTIFYICONDATAA, szTip) == 40);
#else
static_assert(NOTIFYICONDATAA_V1_SIZE == kTrayRecordSize);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 4 && offsetof(NOTIFYICONDATAA, uID) == 8);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == 12 && offsetof(NOTIFYICONDATAA, uCallbackMessage) == 16);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20 && offsetof(NOTIFYICONDATAA, szTip) == 24);
#endif
// Version 1 ends with its 64-byte tip.
static_assert(offsetof(NOTIFYICONDATAA, cbSize) == 0);
static_assert(NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip) == 64);

}  // namespace

bool TranslateTrayRecord(const std::vector<std::uint8_t>& record, HWND window, HICON icon, NOTIFYICONDATAA& out) {
    if (record.size() != kTrayRecordSize) return false;
    // The window that hears the icon's mouse must be the one the seam named.
    if (LittleEndian32(record, 4) != ToSeam(window)) return false;
    std::memset(&out, 0, sizeof out);
    // Version 1 of the record: the shell reads no field past the 64-byte tip,
    // and no flag that asks for a later field may reach it.
    out.cbSize = NOTIFYICONDATAA_V1_SIZE;
    out.hWnd = window;
    out.uID = LittleEndian32(record, 8);
    out.uFlags = LittleEndian32(record, 12) & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
    out.uCallbackMessage = LittleEndian32(record, 16);
    out.hIcon = icon;
    std::memcpy(out.szTip, record.data() + 24, 64);
    out.szTip[63] = '\0';
    return true;
}

// ---- tray, task list, instances -------------------------------------------------------

bool Win32Platform::TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) {
    if (op != TrayOp::Add && op != TrayOp::Modify && op != TrayOp::Delete) return false;
    NOTIFYICONDATAA data;
    if (!helper_ || !TranslateTrayRecord(record, helper_, MainIcon(), data)) return false;
    using NotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
    const auto notify = SystemFunction<NotifyFunction>("shell32.dll", "Shell_NotifyIconA");
    if (!notify) return false;
    if (op != TrayOp::Delete && (data.uFlags & NIF_MESSAGE)) trayCallback_ = data.uCallbackMessage;
    return notify(static_cast<DWORD>(op), &data) != FALSE;
}

HICON Win32Platform::MainIcon() const {
    // The small one: the tray shows icons at that size.
    if (main_)
        if (auto icon = reinterpret_cast<HICON>(::SendMessageA(main_, WM_GETICON, ICON_SMALL, 0))) return icon;
    return smallIcon_;
}

Hwnd Win32Platform::TrayWindow() { return ToSeam(helper_); }

void Win32Platform::OnTrayMessage(std::function<void(std::uint32_t)> handler) { trayHandler_ = std::move(handler); }

void Win32Platform::OnTaskbarCreated(std::function<void()> handler) { taskbarHandler_ = std::move(handler); }

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
}  // namespace qm::win32
