// The simulated platform: deterministic and in memory.
//
// - Time is virtual.  It advances only inside WaitForEvents (and so inside
//   every wait of the logic); timers and scheduled actions fire there, nested
//   inside whatever handler is waiting, exactly as WM_TIMER would.
// - Windows form a tree with Win32's lookup rules.  Windows of the simulated
//   client carry a handler that receives the messages sent to them.
// - Prompts, message boxes and pop-up menus are answered from scripts.
// - Files live in memory; folders must exist for a write to succeed.
// - Every window operation passes a hook first, where a test can change the
//   world (a window that vanishes, a text that grows, a client that hangs);
//   every file and profile operation passes another, which can also make the
//   call fail (a disk that is full, a file another program holds).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qm::sim {

// A message as a simulated window receives it.
using Message = WindowMessage;

// Returns true when it handled the message itself; otherwise the default
// applies (SetText stores the text, Close destroys the window, Show changes
// the show state).
using WindowProc = std::function<bool(Hwnd, const Message&)>;

// The program's own thread, and the one other programs' windows live on
// unless a test says otherwise.
constexpr int kOwnThread = 0;
constexpr int kClientThread = 1;

struct MenuItem {
    std::string text;
    std::uint32_t id = 0;
    Hmenu submenu = 0;
    bool separator = false;
};

// The platform operations the hooks see.
enum class Op {
    FindWindow, FindWindowEx, NextWindow, GetWindowTextLength, GetWindowText, GetTextLength, GetText,
    GetTextTail, SetText, Send, Post, ShowWindow, GetMenu, GetMenuItemCount, GetSubMenu, GetMenuItemID, GetMenuString,
    // Files and profile strings.
    ReadFile, WriteFile, DeleteFile, FileExists, CreateFolder, GetProfileString, WriteProfileString,
};

// What a file hook makes of the call it sees.
enum class Verdict { Proceed, Fail };

struct PromptCall {
    std::string title, prompt, defaultText, answer;
};
struct MessageBoxCall {
    std::string title, text;
};
struct PopupCall {
    PopupItem root;
    Hwnd owner;
    std::optional<Point> at;  // nullopt: at the mouse pointer
    int defaultId, chosen;
};
struct TrayCall {
    TrayOp op;
    std::vector<std::uint8_t> record;
};

class SimPlatform : public Platform {
public:
    SimPlatform();
    ~SimPlatform() override;

    // ---- Platform -----------------------------------------------------------
    Hwnd FindWindow(std::string_view cls, std::optional<std::string_view> caption = std::nullopt) override;
    Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                      std::optional<std::string_view> caption = std::nullopt) override;
    Hwnd NextWindow(Hwnd window) override;
    int GetWindowTextLength(Hwnd window) override;
    std::string GetWindowText(Hwnd window, int bufferSize) override;
    std::optional<int> GetTextLength(Hwnd window) override;
    std::optional<std::string> GetText(Hwnd window, int bufferSize) override;
    std::optional<std::string> GetTextTail(Hwnd window, int maxBytes) override;
    bool SetText(Hwnd window, const std::string& text) override;
    bool Send(Hwnd window, Msg msg, std::uint32_t wparam = 0) override;
    void Post(Hwnd window, Msg msg, std::uint32_t wparam = 0) override;
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

    // ---- The window world ---------------------------------------------------
    // Creates a window at the end of `parent`'s children (0: a top-level window
    // behind the others).  `proc` may be empty.  A child lives on its
    // parent's thread, a top-level window on kClientThread.
    Hwnd CreateWindow(const std::string& cls, const std::string& text, Hwnd parent, WindowProc proc = {});
    void DestroyWindow(Hwnd window);
    // Moves a top-level window in front of the others.
    void BringToFront(Hwnd window);
    // Sets the text without a message, as the window's own program would.
    void SetTextDirect(Hwnd window, const std::string& text);
    bool IsWindow(Hwnd window) const { return Get(window) != nullptr; }
    std::string TextOf(Hwnd window) const;
    std::string ClassOf(Hwnd window) const;
    Hwnd ParentOf(Hwnd window) const;
    std::vector<Hwnd> ChildrenOf(Hwnd window) const;  // 0: top-level windows
    // ShowWindow history of a window, oldest first.
    std::vector<ShowCmd> ShowHistory(Hwnd window) const;
    bool Visible(Hwnd window) const;
    bool Minimized(Hwnd window) const;
    bool Topmost(Hwnd window) const;
    int DragCount(Hwnd window) const;
    // A hung window ignores sent messages: each costs the send timeout and
    // is lost.
    void SetHung(Hwnd window, bool hung);
    // The thread is busy until that moment of virtual time: what is sent to
    // its windows meanwhile is answered late, in order, as Windows does.  A
    // sender waits at most the send timeout; a message it gave up on is still
    // handled when the thread is free, before anything posted.
    void SetBusyUntil(double seconds, int thread = kClientThread);
    bool Busy(int thread = kClientThread) const;
    // Called from a window's handler: the thread is stuck in that handler for
    // `seconds`, then `finish` (the rest of the handler) runs.  The message's
    // sender and every other sender wait for the thread as for a busy one.
    void BlockInHandler(double seconds, std::function<void()> finish = {}, int thread = kClientThread);
    // As under Wine: a message its sender gave up on (the send timed out
    // against a busy or blocked thread) is lost, never handled.  Off (the
    // default), as under Windows: it is handled late, in order.
    void SetDropsTimedOutSends(bool drops) { dropsTimedOut_ = drops; }
    int ThreadOf(Hwnd window) const;

    Hmenu CreateMenu(std::vector<MenuItem> items);
    void SetMenu(Hwnd window, Hmenu menu);
    // As under Wine for another process: GetMenuItemCount answers -1.
    void SetMenusUnreadable(bool unreadable) { menusUnreadable_ = unreadable; }

    // Runs before every window operation; the world may be changed there.
    // No hook runs inside a hook.
    void SetHook(std::function<void(Op, Hwnd)> hook) { hook_ = std::move(hook); }
    // Runs before every file and profile operation with the path it names;
    // the world may be changed there.  Verdict::Fail makes the call fail and
    // change nothing: ReadFile gives nullopt, GetProfileString "", the others
    // false.  No hook runs inside a hook.
    void SetFileHook(std::function<Verdict(Op, const std::string& path)> hook) { fileHook_ = std::move(hook); }
    // The n-th call of the file or profile operation `op` from now on (1: the
    // next one) fails as a file hook would make it; only calls on `path`
    // count when one is given.  Every call counts, a test's own too, and
    // those made inside a hook.  Throws std::invalid_argument for a window
    // operation or an n below 1.
    void FailNth(Op op, int n, std::optional<std::string> path = std::nullopt);
    // The n-th call of `op` from now on (1: the next one) runs `meanwhile`
    // first, as a hook would; only calls on `window` count when one is given
    // (file operations are on window 0).  Counts as FailNth does.
    void AtNth(Op op, int n, std::function<void()> meanwhile, std::optional<Hwnd> window = std::nullopt);
    // How many of those have not come yet.
    std::size_t ArmedLeft() const;

    // The world as it stands, for a failed test to show: the virtual time,
    // the window tree (handle, class, text, show state, thread and how long
    // it is busy) and the files (path, size, flags), in a fixed order.
    std::string Describe() const;

    // ---- Time ---------------------------------------------------------------
    // Runs `action` from the event pump once `seconds` of virtual time passed.
    void Schedule(double seconds, std::function<void()> action);
    bool TimerRunning(int timer) const;
    int TimersRunning() const;
    // Lets virtual time pass with the event pump running, as an idle message
    // loop would.
    void RunFor(double seconds);
    // The wall clock: at virtual time 0 it showed `start`; it runs on with
    // virtual time (whole seconds, no calendar beyond the day: a run stays
    // within the day it starts).
    void SetLocalStart(LocalTime start) { localStart_ = start; }
    // The user's keyboard and mouse: touched now (or at that virtual time);
    // nullopt makes the last input unknown.  At first, touched at time 0.
    void TouchInput() { lastInputUs_ = nowUs_; }
    void SetLastInput(std::optional<double> seconds);

    // ---- The program's own windows ------------------------------------------
    Hwnd MainWindow() const { return mainWindow_; }
    MainWindowModel* MainModel() const { return mainModel_; }
    const MainWindowLayout& MainLayout() const { return mainLayout_; }
    int InvalidateCount() const { return invalidateCount_; }
    Hwnd EditorWindow() const { return editorWindow_; }
    EditorWindowModel* EditorModel() const { return editorModel_; }
    const EditorWindowLayout& EditorLayout() const { return editorLayout_; }
    int EditorInvalidateCount() const { return editorInvalidateCount_; }

    // ---- Scripts and records ------------------------------------------------
    // Answers for the next prompts, in order; nullopt cancels.  Unscripted
    // prompts are cancelled.
    void ScriptPrompt(std::optional<std::string> answer) { promptScript_.push_back(std::move(answer)); }
    const std::vector<PromptCall>& Prompts() const { return prompts_; }
    const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes_; }
    // The next pop-up menu chooses the item found by this caption path; an
    // empty path or a greyed or missing item closes it with no choice.
    void ScriptPopup(std::vector<std::string> captionPath) { popupScript_.push_back(std::move(captionPath)); }
    const std::vector<PopupCall>& Popups() const { return popups_; }
    const std::vector<TrayCall>& TrayCalls() const { return trayCalls_; }
    void TrayMouse(std::uint32_t mouseMessage);
    // The shell takes no icon from now on (or again).
    void SetTrayRefuses(bool refuses) { trayRefuses_ = refuses; }
    // The taskbar is made anew, as when Explorer restarts.
    void TaskbarCreated();
    bool TaskListEntry() const { return taskListEntry_; }
    void SetPreviousInstance(bool running) { previousInstance_ = running; }
    bool QuitCalled() const { return quit_; }

    // ---- Files ----------------------------------------------------------------
    void SetProgramFolder(const std::string& folder);
    void SetSystemFolder(const std::string& folder);
    void SetUserDataFolder(const std::string& folder);
    void AddFolder(const std::string& folder);
    void RemoveFolder(const std::string& folder);
    std::optional<std::string> FileBytes(const std::string& path) const;
    void SetFileBytes(const std::string& path, const std::string& bytes);
    void RemoveFile(const std::string& path);
    struct FileFlags {
        bool hidden = false, system = false, folder = false, readOnly = false, unreadable = false;
        // A read that would go past this many bytes fails, as on a disk
        // error midway through the file.
        std::size_t breaksAfter = static_cast<std::size_t>(-1);
        // Another program has it open: a write or a delete fails and, as the
        // real backend's write beside it and replace, changes nothing.
        bool held = false;
    };
    void SetFileFlags(const std::string& path, FileFlags flags);
    // The names (in lower case, sorted) of the files and folders right inside.
    std::vector<std::string> NamesIn(const std::string& folder) const;

private:
    struct Window;
    struct SimTimer;
    struct Scheduled;
    struct File;
    struct Armed;

    Window* Get(Hwnd window);
    const Window* Get(Hwnd window) const;
    void Hook(Op op, Hwnd window);
    // Runs the file hook and counts the armed calls; true when the call fails.
    bool FileCallFails(Op op, const std::string& path);
    // Counts the call for what is armed; what is due is disarmed and returned.
    std::vector<Armed> TakeDue(Op op, Hwnd window, const std::string& path);
    // The files as the hooks do not see them, for the profile functions.
    std::optional<std::string> ReadBytes(const std::string& path, std::size_t maxBytes) const;
    bool WriteBytes(const std::string& path, const std::string& bytes);
    File& FileAt(const std::string& path);
    // Delivers a message to a window's handler, then applies the default.
    void Deliver(Hwnd window, const Message& message);
    // A send as SendMessageTimeout makes it: true when answered (and then
    // `message`, if any, was handled).
    bool Exchange(Hwnd window, const Message* message);
    void FlushThread(int thread);
    static std::int64_t TimeoutUs();
    std::vector<Hwnd>& SiblingsOf(Hwnd window);
    Hwnd FindIn(const std::vector<Hwnd>& list, Hwnd after, std::string_view cls,
                std::optional<std::string_view> caption);
    // Fires what is due now; true when anything ran.
    bool RunDue();
    bool DeliverPosted();
    std::optional<std::int64_t> NextDue() const;
    static std::string FoldPath(const std::string& path);
    static std::string FolderOf(const std::string& path);
    bool FolderExists(const std::string& folder) const;

    std::map<Hwnd, std::unique_ptr<Window>> windows_;
    std::vector<Hwnd> topLevel_;
    std::size_t findHint_ = 0;  // where FindIn last found a window
    Hwnd nextHwnd_ = 0x10010;
    std::map<Hmenu, std::vector<MenuItem>> menus_;
    Hmenu nextMenu_ = 0x20010;
    bool menusUnreadable_ = false;
    std::function<void(Op, Hwnd)> hook_;
    std::function<Verdict(Op, const std::string&)> fileHook_;
    bool inHook_ = false;
    std::vector<Armed> armed_;

    std::int64_t nowUs_ = 0;
    LocalTime localStart_{2026, 12, 7, 9, 0, 0};
    std::optional<std::int64_t> lastInputUs_ = 0;
    std::vector<std::unique_ptr<SimTimer>> timers_;
    std::deque<std::unique_ptr<Scheduled>> scheduled_;
    std::uint64_t scheduleSeq_ = 0;
    std::deque<std::pair<Hwnd, Message>> posted_;
    std::map<int, std::int64_t> busyUntilUs_;
    std::map<int, std::deque<std::pair<Hwnd, Message>>> queuedSends_;
    std::map<int, std::function<void()>> blockedHandlers_;  // the rest of a stuck handler, by thread
    bool blockedNow_ = false;                               // a handler got stuck in the delivery now running
    bool dropsTimedOut_ = false;

    Hwnd mainWindow_ = 0;
    MainWindowModel* mainModel_ = nullptr;
    MainWindowLayout mainLayout_;
    int invalidateCount_ = 0;
    Hwnd editorWindow_ = 0;
    EditorWindowModel* editorModel_ = nullptr;
    EditorWindowLayout editorLayout_;
    int editorInvalidateCount_ = 0;
    Hwnd trayWindow_ = 0;

    std::deque<std::optional<std::string>> promptScript_;
    std::vector<PromptCall> prompts_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::deque<std::vector<std::string>> popupScript_;
    std::vector<PopupCall> popups_;
    std::vector<TrayCall> trayCalls_;
    std::function<void(std::uint32_t)> trayHandler_;
    std::function<void()> taskbarHandler_;
    bool trayRefuses_ = false;
    bool taskListEntry_ = true;
    bool previousInstance_ = false;
    bool quit_ = false;

    std::string programFolder_ = "C:\\Program Files\\quillmoor";
    std::string systemFolder_ = "C:\\WINDOWS\\SYSTEM";
    std::string userDataFolder_ = "C:\\Documents and Settings\\user\\Application Data";
    std::set<std::string> folders_;
    std::map<std::string, File> files_;
};

}  // namespace qm::sim
