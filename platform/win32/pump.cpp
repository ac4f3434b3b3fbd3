#include "platform/win32/win32_platform.h"

#include <algorithm>

#include "platform/win32/internal.h"

namespace qm::win32 {

// ---- time and the event pump ------------------------------------------------------

LocalTime Win32Platform::LocalNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::optional<double> Win32Platform::SecondsSinceInput() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!::GetLastInputInfo(&info)) return std::nullopt;
    // Both on the tick count; the difference is right across its wrap.
    const DWORD passed = ::GetTickCount() - info.dwTime;
    return static_cast<double>(passed) / 1000.0;
}

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
    if (running == slot.running || !slot.tick) return;  // a running timer keeps its phase
    if (running) {
        // Without its window a timer would be the thread's, with an id of the
        // system's choosing that no tick could be told by.
        if (!helper_) return ReportFailure("SetTimer", "no helper window", ERROR_INVALID_WINDOW_HANDLE);
        slot.running = ::SetTimer(helper_, static_cast<UINT_PTR>(timer), slot.milliseconds, nullptr) != 0;
        if (!slot.running) ReportFailure("SetTimer", std::to_string(timer), ::GetLastError());
    } else {
        ::KillTimer(helper_, static_cast<UINT_PTR>(timer));
        slot.running = false;
    }
}

void Win32Platform::DestroyTimer(int timer) {
    if (timer < 1 || timer > static_cast<int>(timers_.size())) return;
    TimerSlot& slot = *timers_[static_cast<std::size_t>(timer - 1)];
    if (slot.running) ::KillTimer(helper_, static_cast<UINT_PTR>(timer));
    slot.running = false;
    slot.tick = nullptr;
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

}  // namespace qm::win32
