// The real platform: each operation of the seam made of the Win32 calls it
// is named after.
//
// Runs on the one UI thread that created it.  Its own windows are a hidden
// helper, which owns the timers and takes the tray's callback, and the main
// window, which paints from the logic's model every time.
//
// A call that fails says why through the debugger output (ReportFailure in
// internal.h): the call, its window or path, the error number.
//
// Quirks it handles, and where:
// - Wine drops a message whose sender gave up waiting; Windows delivers it
//   late, in order.  Send and SetText report the timeout either way
//   (SendBounded, platform.cpp); the logic copes with both.
// - Wine's SendMessageTimeoutA(WM_GETTEXTLENGTH) to another process is
//   followed by an unbounded WM_GETTEXT of its own: texts are read through
//   the "W" messages (GetTextLength / GetText, windows.cpp).
// - Wine copies back only as many bytes of another process's EM_GETLINE
//   answer as the room given counts characters: GetTextTail gives twice
//   the room (windows.cpp).
// - Wine's FindWindowExA finds nothing after a window of another class: the
//   siblings are walked as Windows does (FindWindowEx, windows.cpp).
// - Under Wine another process's menus cannot be read: GetMenuItemCount
//   answers -1 and the logic takes the version from the user's setting.
// - Wine ignores MB_TOPMOST: the message box is lifted when it activates
//   (dialogs.cpp); a window that owns a topmost one cannot be made topmost
//   there, so the editor's tooltip has no owner (editor_window.cpp).
// - Under Wine a program run by root writes read-only files: WriteFile and
//   WriteProfileString ask for the attribute first (files.cpp).
// - The profile functions rewrite a file in place (Wine: made anew, then
//   written), so a write that breaks midway would cut the settings; whole
//   files too were written in place.  Both now write a copy beside the file
//   and put it in its place (MoveFileEx; a hidden or system file stays so).
//   The price: a file another program holds open without sharing its
//   removal cannot be replaced while it does, and its write fails (files.cpp).
//   A profile file over 64 MiB is still written in place.
// - Under Wine a byte range another handle locked does not stop a read or a
//   write (Windows refuses both): the contract tests hold files open rather
//   than lock ranges.
// - XP leaves a too small module-name buffer unterminated: ProgramFolder
//   grows it (files.cpp).
// - A window of another thread of this process may still write into a read
//   buffer after the sender gave up: the buffer is then left alive
//   (KeepIfStillShared, internal.h).
#pragma once

#include "platform/win32/win32_api.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dpi.h"
#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace qm::win32 {

// The shell's record as this build lays it out, made from the seam's 88-byte
// record: version 1, with `window` and the icon `icon`, only the flags that
// version knows, and the tip always terminated.  False when the record is not
// 88 bytes or names a window other than `window`.
bool TranslateTrayRecord(const std::vector<std::uint8_t>& record, HWND window, HICON icon, NOTIFYICONDATAA& out);

class Win32Platform : public Platform {
public:
    // `instanceName` names the mutex that tells a second copy of the program
    // that the first one runs.
    explicit Win32Platform(std::string instanceName = "quillmoor idle instance");
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Hwnd FindWindow(std::string_view cls, std::optional<std::string_view> caption) override;
    Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                      std::optional<std::string_view> caption) override;
    Hwnd NextWindow(Hwnd window) override;
    int GetWindowTextLength(Hwnd window) override;
    std::string GetWindowText(Hwnd window, int bufferSize) override;
    std::optional<int> GetTextLength(Hwnd window) override;
    std::optional<std::string> GetText(Hwnd window, int bufferSize) override;
    std::optional<std::string> GetTextTail(Hwnd window, int maxBytes) override;
    bool SetText(Hwnd window, const std::string& text) override;
    bool Send(Hwnd window, Msg msg, std::uint32_t wparam) override;
    void Post(Hwnd window, Msg msg, std::uint32_t wparam) override;
    void ShowWindow(Hwnd window, ShowCmd cmd) override;
    void SetForegroundWindow(Hwnd window) override;
    void MakeTopmost(Hwnd window) override;
    void BeginWindowDrag(Hwnd window) override;
    Hmenu GetMenu(Hwnd window) override;
    int GetMenuItemCount(Hmenu menu) override;
    Hmenu GetSubMenu(Hmenu menu, int position) override;
    std::uint32_t GetMenuItemID(Hmenu menu, int position) override;
    std::string GetMenuString(Hmenu menu, std::uint32_t id, int bufferSize) override;
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& path,
                                 int bufferSize) override;
    bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                            const std::string& path) override;
    double Now() override;
    LocalTime LocalNow() override;
    std::optional<double> SecondsSinceInput() override;
    void ProcessEvents() override;
    void WaitForEvents(double seconds) override;
    int CreateTimer(unsigned milliseconds, std::function<void()> tick) override;
    void SetTimerRunning(int timer, bool running) override;
    void DestroyTimer(int timer) override;
    Hwnd CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                          MainWindowModel& model) override;
    Hwnd CreateEditorWindow(const std::string& caption, const EditorWindowLayout& layout,
                            EditorWindowModel& model) override;
    void Invalidate(Hwnd window) override;
    int TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) override;
    std::string InputBox(const std::string& title, const std::string& prompt,
                         const std::string& defaultText) override;
    void MessageBox(const std::string& title, const std::string& text) override;
    Hwnd TrayWindow() override;
    bool TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) override;
    void OnTrayMessage(std::function<void(std::uint32_t)> handler) override;
    void OnTaskbarCreated(std::function<void()> handler) override;
    void SetTaskListEntry(bool shown) override;
    bool PreviousInstanceRunning() override;
    void RunMessageLoop() override;
    void Quit() override;
    std::string ProgramFolder() override;
    std::string SystemFolder() override;
    std::string UserDataFolder() override;
    bool CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override;
    bool WriteFile(const std::string& path, const std::string& bytes) override;

    // The hidden window that owns the timers and receives the tray callback.
    HWND HelperWindow() const { return helper_; }
    // The reasons editor's list box, and the tooltip over it.
    HWND EditorList() const { return editorList_; }
    HWND EditorTooltip() const { return editorTip_; }

private:
    struct TimerSlot {
        unsigned milliseconds = 0;
        std::function<void()> tick;
        bool running = false;
    };

    // The window procedure of each of our classes: the platform object comes
    // with WM_NCCREATE and is kept in the window; `Handler` takes the rest.
    using Handler = LRESULT (Win32Platform::*)(HWND, UINT, WPARAM, LPARAM);
    template <Handler handler>
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self) return (self->*handler)(hwnd, msg, wparam, lparam);
        return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    static LRESULT CALLBACK EditorListProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT OnHelperMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT OnMainMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    void OnTimer(UINT_PTR id);
    void OnPaint(HWND hwnd);
    void OnMouseDown(HWND hwnd, LPARAM lparam, MouseButton button);
    void OnLeftButtonUp(LPARAM lparam);
    LRESULT OnEditorMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT OnEditorListMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    void OnEditorPaint(HWND hwnd);
    void FillEditorList();
    // The main window's icon, which the tray shows.
    HICON MainIcon() const;

    // Handles one message of the pump; false for WM_QUIT.
    bool Dispatch(MSG& msg);
    // SendMessageTimeoutA (or W) within the seam's bound: false when the
    // window did not answer in time or is gone.
    bool SendBounded(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result);
    bool SendBoundedW(HWND window, UINT msg, WPARAM wparam, LPARAM lparam, DWORD_PTR* result);
    bool OwnThread(HWND window) const;
    HWND MenuOwner(HWND requested) const;

    HINSTANCE instance_ = nullptr;
    std::string instanceName_;
    HANDLE instanceMutex_ = nullptr;
    std::optional<bool> previousInstance_;

    HWND helper_ = nullptr;
    HWND main_ = nullptr;
    HICON icon_ = nullptr, smallIcon_ = nullptr;
    HBITMAP background_ = nullptr;
    MainWindowModel* model_ = nullptr;
    MainWindowLayout layout_;  // scaled to dpi_
    int mainArtWidth_ = 0, mainArtHeight_ = 0;  // the client size at 96 DPI
    bool label1Pressed_ = false;

    HWND editor_ = nullptr, editorList_ = nullptr, editorTip_ = nullptr;
    WNDPROC listProc_ = nullptr;  // the list box's own, which ours passes on to
    HBITMAP editorBackground_ = nullptr;
    HBRUSH editorListBrush_ = nullptr;
    EditorWindowModel* editorModel_ = nullptr;
    EditorWindowLayout editorLayout_;  // scaled to dpi_
    int editorArtWidth_ = 0, editorArtHeight_ = 0;
    // The screen's DPI, read once: the windows are drawn for it.
    int dpi_ = kDesignDpi;
    bool fillPending_ = false;

    std::vector<std::unique_ptr<TimerSlot>> timers_;

    std::function<void(std::uint32_t)> trayHandler_;
    UINT trayCallback_ = 0;
    std::function<void()> taskbarHandler_;
    UINT taskbarCreated_ = 0;  // the shell's registered "TaskbarCreated"

    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
    double lastNow_ = 0;
};

}  // namespace qm::win32
