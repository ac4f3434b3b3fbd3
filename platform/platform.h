// The seam between the program's logic and the operating system.
//
// Everything the logic does to the world goes through this interface: finding
// and messaging other programs' windows, reading their menus, profile strings,
// timers, the event pump, the program's own windows, pop-up menus, prompts,
// message boxes, the tray and files.  Two implementations exist: the real one
// (platform/win32) and a deterministic in-memory one (platform/sim).
//
// Conventions:
// - Texts are ANSI (Windows-1252) bytes in std::string.
// - Window and menu handles are opaque 32-bit values; 0 means none.  Every
//   operation on 0 does nothing and reads as "" or 0.
// - A read or send through a message that got no answer (the window's
//   program is busy or hung, or the window is gone) comes back as nullopt or
//   false: unknown, never "" or 0.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"

namespace qm {

using Hwnd = std::uint32_t;
using Hmenu = std::uint32_t;

// A message sent to another program's window that is not answered within
// this long is given up on (and reported so).  Both backends keep it.
constexpr unsigned kSendTimeoutMs = 1000;

// GetMenuItemID's answer for an item that opens a submenu.
constexpr std::uint32_t kMenuIdSubmenu = 0xFFFFFFFFu;

// A pop-up menu as the logic models it; the backend shows it and reports the
// chosen item.
struct PopupItem {
    int id = 0;  // reported when chosen; 0 for separators and submenu roots
    std::string caption;  // "-" draws a separator
    bool checked = false;
    bool enabled = true;
    std::vector<PopupItem> children;  // non-empty: the item opens a submenu
};

// The mouse buttons of the program's own windows.
enum class MouseButton : int { Left = 1, Right = 2, Middle = 4 };

// Parts of the program's own windows that react to the mouse.
enum class Control : int { Body, Label1, Label2, List1 };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Point {
    int x = 0, y = 0;
};

// Where the main window's parts lie, in client pixels.
struct MainWindowLayout {
    int clientWidth = 0, clientHeight = 0;
    Rect label1, label2;
};

// What the program's main window shows and how it reports the mouse.  The
// backend paints from these texts every time; it keeps no copy of its own.
class MainWindowModel {
public:
    virtual ~MainWindowModel() = default;
    virtual std::string Label2Text() const = 0;
    virtual void MouseDown(Control where, MouseButton button) = 0;
    virtual void Click(Control where) = 0;
};

// Where the reasons editor's parts lie, in client pixels, and how its list
// looks.
struct EditorWindowLayout {
    int clientWidth = 0, clientHeight = 0;
    Rect list;
    std::uint32_t listBack = 0, listText = 0;  // 0x00BBGGRR, as Win32's COLORREF
    std::string listTooltip;
};

// What the reasons editor shows and how it reports the user's doings.  The
// backend fills its list from the model every time the window is
// invalidated; the user's choice of an entry is reported, not kept.
class EditorWindowModel {
public:
    virtual ~EditorWindowModel() = default;
    virtual std::vector<std::string> ListItems() const = 0;
    // The selected entry, -1 for none.
    virtual int ListSelection() const = 0;
    // The user selected an entry (-1: none) with the mouse or the keyboard.
    virtual void Select(int index) = 0;
    virtual void MouseDown(Control where, MouseButton button) = 0;
    virtual void MouseUp(Control where, MouseButton button) = 0;
};

// A local date and time as a person reads it.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The most bytes the input prompt takes as typed: as much as a stored setting
// reads back whole.
constexpr int kInputBoxMaxLength = 749;

// The 88-byte NOTIFYICONDATAA record the shell takes (ANSI, version 1).
constexpr std::size_t kTrayRecordSize = 88;
enum class TrayOp : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

class Platform {
public:
    virtual ~Platform() = default;

    // ---- Other programs' windows -------------------------------------------
    // Class names match in any letter case; a caption, when given, must match
    // the whole window text.
    virtual Hwnd FindWindow(std::string_view cls, std::optional<std::string_view> caption = std::nullopt) = 0;
    // Children of `parent` after `after` (0: from the first child).  A parent
    // of 0 finds nothing.
    virtual Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                              std::optional<std::string_view> caption = std::nullopt) = 0;
    // GetWindow(GW_HWNDNEXT): the next sibling, whatever its class.
    virtual Hwnd NextWindow(Hwnd window) = 0;

    // GetWindowTextLengthA / GetWindowTextA with a buffer of `bufferSize`
    // bytes: at most bufferSize - 1 bytes come back.  These read the caption
    // the system keeps and need no answer from the window's program.
    virtual int GetWindowTextLength(Hwnd window) = 0;
    virtual std::string GetWindowText(Hwnd window, int bufferSize) = 0;
    // WM_GETTEXTLENGTH / WM_GETTEXT with a buffer of `bufferSize` bytes.
    // nullopt when the window did not answer within kSendTimeoutMs or is gone.
    virtual std::optional<int> GetTextLength(Hwnd window) = 0;
    virtual std::optional<std::string> GetText(Hwnd window, int bufferSize) = 0;
    // The newest text of a multi-line text control (an edit or a rich edit,
    // another program's too): the whole text when it has at most maxBytes
    // bytes, else its last whole lines (a line the control wrapped counts
    // with the rest of its paragraph), at most maxBytes bytes of them, each
    // line ended by CR LF but the last.  Never more than maxBytes bytes cross
    // in all.  "" for window 0 (or a newest line longer than maxBytes, or
    // on Win32 than 32 KiB);
    // nullopt when a message went unanswered, the window is gone, or it does
    // not answer as a text control does.
    virtual std::optional<std::string> GetTextTail(Hwnd window, int maxBytes) = 0;
    // WM_SETTEXT; false when it was not answered in time or the window is
    // gone.  A busy window may still take it later, in order (Windows does;
    // Wine drops a send its sender gave up on).
    virtual bool SetText(Hwnd window, const std::string& text) = 0;
    // SendMessageA: waits until the window has handled it, at most
    // kSendTimeoutMs for another program's window; false as for SetText.
    virtual bool Send(Hwnd window, Msg msg, std::uint32_t wparam = 0) = 0;
    // PostMessageA: queued, returns at once.
    virtual void Post(Hwnd window, Msg msg, std::uint32_t wparam = 0) = 0;

    virtual void ShowWindow(Hwnd window, ShowCmd cmd) = 0;
    virtual void SetForegroundWindow(Hwnd window) = 0;
    // SetWindowPos(HWND_TOPMOST, SWP_NOMOVE | SWP_NOSIZE).
    virtual void MakeTopmost(Hwnd window) = 0;
    // ReleaseCapture, then WM_SYSCOMMAND SC_MOVE | HTCAPTION: the window
    // follows the mouse until the button is released.
    virtual void BeginWindowDrag(Hwnd window) = 0;

    // The GetMenu family on another program's window.
    virtual Hmenu GetMenu(Hwnd window) = 0;
    virtual int GetMenuItemCount(Hmenu menu) = 0;  // -1 when it cannot be read
    virtual Hmenu GetSubMenu(Hmenu menu, int position) = 0;
    virtual std::uint32_t GetMenuItemID(Hmenu menu, int position) = 0;
    // GetMenuStringA(menu, id, buffer, bufferSize, MF_BYCOMMAND): the text of
    // the first item with that identifier, at most bufferSize - 1 bytes.
    virtual std::string GetMenuString(Hmenu menu, std::uint32_t id, int bufferSize) = 0;

    // ---- Profile strings ---------------------------------------------------
    // GetPrivateProfileStringA with default "" and a buffer of `bufferSize`.
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& path, int bufferSize) = 0;
    // WritePrivateProfileStringA; false when the file could not be written,
    // and then it is as it was.
    virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& path) = 0;

    // ---- Time and the event pump -------------------------------------------
    // Seconds on a monotonic clock that never jumps.
    virtual double Now() = 0;
    // The local wall-clock time (GetLocalTime), for what a person reads.
    virtual LocalTime LocalNow() = 0;
    // Seconds since the user last touched keyboard or mouse anywhere in the
    // session (GetLastInputInfo); nullopt when the system cannot tell.
    virtual std::optional<double> SecondsSinceInput() = 0;
    // Handles every event that is pending now (timers due, input, posted
    // messages) and returns without waiting.
    virtual void ProcessEvents() = 0;
    // Sleeps until an event arrives or `seconds` have passed, then handles the
    // pending events.
    virtual void WaitForEvents(double seconds) = 0;
    // A timer calls `tick` every `milliseconds` from inside the event pump
    // while it is running.  Ids are never 0.
    virtual int CreateTimer(unsigned milliseconds, std::function<void()> tick) = 0;
    virtual void SetTimerRunning(int timer, bool running) = 0;
    // Stops the timer for good and forgets its handler.
    virtual void DestroyTimer(int timer) = 0;

    // ---- The program's own windows and dialogs ------------------------------
    // Creates the main window (hidden) that paints and reports through
    // `model`, which must outlive it.
    virtual Hwnd CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                                  MainWindowModel& model) = 0;
    // Creates the reasons editor (hidden), filled and reporting through
    // `model`, which must outlive it.
    virtual Hwnd CreateEditorWindow(const std::string& caption, const EditorWindowLayout& layout,
                                    EditorWindowModel& model) = 0;
    // Repaint (and refill) after the model changed.
    virtual void Invalidate(Hwnd window) = 0;
    // Shows `root`'s children as a context menu of `owner` (a window of ours)
    // with its top-left corner at `at` in owner's client pixels, or at the
    // mouse pointer when `at` is nullopt; `defaultId` drawn bold.  The owner
    // comes to the foreground first, so that the menu closes when the user
    // clicks elsewhere.  Returns the chosen item's id, 0 when nothing (or a
    // greyed item) was chosen.
    virtual int TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) = 0;
    // A one-line prompt; "" when cancelled.  It takes up to kInputBoxMaxLength
    // bytes as they are typed and refuses more, so no answer is cut short
    // afterwards; a longer default text is shown and returned whole.
    virtual std::string InputBox(const std::string& title, const std::string& prompt,
                                 const std::string& defaultText) = 0;
    // A modal box with an OK button.
    virtual void MessageBox(const std::string& title, const std::string& text) = 0;
    // The hidden window of ours that owns the tray icon and hears its mouse
    // (the menu window, never shown).
    virtual Hwnd TrayWindow() = 0;
    // Shell_NotifyIconA with the 88-byte record; its icon field is filled in
    // by the backend with the main window's icon, its window field must be
    // TrayWindow().  False when the shell refused it.
    virtual bool TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) = 0;
    // Tray mouse messages (WM_LBUTTONDBLCLK, WM_RBUTTONUP, ...) go here.
    virtual void OnTrayMessage(std::function<void(std::uint32_t mouseMessage)> handler) = 0;
    // The shell's taskbar was made anew (Explorer restarted): tray icons
    // must be added again.
    virtual void OnTaskbarCreated(std::function<void()> handler) = 0;
    // Switches the program's entry in the system's task list on or off.
    virtual void SetTaskListEntry(bool shown) = 0;
    // True when another copy of this program is already running.
    virtual bool PreviousInstanceRunning() = 0;
    // Runs the event pump until the program ends.
    virtual void RunMessageLoop() = 0;
    // Ends the program at once: no further handler runs.
    virtual void Quit() = 0;

    // ---- Files -------------------------------------------------------------
    // The program's folder and the system folder, without a final backslash.
    virtual std::string ProgramFolder() = 0;
    virtual std::string SystemFolder() = 0;
    // The user's own application-data folder, without a final backslash; ""
    // when there is none.
    virtual std::string UserDataFolder() = 0;
    // Creates the folder (and the folders above it); true when it exists.
    virtual bool CreateFolder(const std::string& path) = 0;
    // False when there was no such file or it could not be removed.
    virtual bool DeleteFile(const std::string& path) = 0;
    // An existing file that is neither hidden, a system file nor a folder.
    virtual bool FileExists(const std::string& path) = 0;
    // The file's bytes, at most `maxBytes` of them; nullopt when it cannot be
    // read.
    virtual std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) = 0;
    // Creates the file or replaces it whole with the bytes; false on failure,
    // and then the old file is as it was (never cut or emptied).
    virtual bool WriteFile(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace qm
