// What the backend's files share among themselves.
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dpi.h"
#include "platform/platform.h"

namespace qm::win32 {

inline constexpr char kHelperClass[] = "quillmoorHelper";
inline constexpr char kMainClass[] = "quillmoorForm";
inline constexpr char kEditorClass[] = "quillmoorEditor";

// Posted to the reasons editor when its list must be filled from the model
// again.
inline constexpr UINT kFillEditorList = WM_APP + 1;

// The atom of the standard dialog class "#32770".
inline constexpr ATOM kDialogAtom = 0x8002;

// A buffer of `size` zero bytes, or none when that much cannot be had.
std::unique_ptr<char[]> ZeroBuffer(int size);
// The text in a buffer of `size` bytes, terminated by us whatever the callee
// wrote.
std::string Terminated(char* buffer, int size);
// A name or path with a zero byte inside would be cut there by the "A"
// functions and so name something else: such input finds and opens nothing.
inline bool HasZeroByte(std::string_view s) { return s.find('\0') != std::string_view::npos; }
DWORD ToMilliseconds(double seconds);
// Says why a call failed, for whoever watches the debugger output (a debug
// viewer on Windows, WINEDEBUG=+debugstr under Wine): the call, what it was
// given, and the error number.  The seam still reports the failure its own
// way; this only keeps the reason.
void ReportFailure(const char* call, std::string_view subject, DWORD error);
// A function of a DLL that Windows ships, from the system folder, loaded the
// first time it is asked for and kept; null when it cannot be had.  COMCTL32
// and SHELL32 cost the process megabytes when they load at start, and the
// program needs them only for the editor's tip, the tray and the per-user
// folder.
FARPROC SystemFunction(const char* dll, const char* name);
template <typename F>
F SystemFunction(const char* dll, const char* name) {
    // Through void (*)(), the type that converts to every function type.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(SystemFunction(dll, name)));
}

// Copies the artwork in `art` to `target`: pixel for pixel when the client
// has the size it was drawn for, else stretched without smoothing, each
// pixel a block, so that it stays crisp.
void DrawArt(HDC target, int width, int height, HDC art, int artWidth, int artHeight);
inline bool Inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}
// The button of a mouse message.
inline MouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return MouseButton::Right;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return MouseButton::Middle;
        default:
            return MouseButton::Left;
    }
}

// A window of another thread of this process gets our buffer's address itself
// (across processes the system copies it) and may still write to it after we
// gave up waiting, so then the buffer is left alive.
template <typename T>
void KeepIfStillShared(HWND window, std::unique_ptr<T[]>& buffer) {
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && thread != ::GetCurrentThreadId()) buffer.release();
}

}  // namespace qm::win32
