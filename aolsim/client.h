// aolsim's client: a behavioural model of the AOL client's windows.
//
// It makes the windows a real client shows (by class, caption and child
// order), reacts to the messages another program sends them as the client
// would, and records what it saw.  Tests set the scene through the scenario
// calls and read the records back; the host (host.h) decides whether the
// windows live in the simulated platform or on a real Windows desktop.
//
// The window tree, front to back as FindWindowEx walks it:
//
//   "AOL Frame25" "America Online"          (menu bar: tells the version)
//     "AOL Toolbar" > "_AOL_Toolbar" > "_AOL_Icon" x 8 or more,
//                                      "_AOL_Combobox" > "Edit" (keywords)
//     "MDIClient" > "AOL Child" document windows, newest first:
//       welcome   "Welcome, NAME!"          3 icons, 2 statics
//       room      NAME                      transcript, input, listbox,
//                                           4 icons, static
//       sign-on   "Sign On"                 static, combobox, static,
//                                           "_AOL_Edit" (password), 4 icons
//       ...       "Connecting", "AOL Channels", "Download Manager",
//                 "Mail Waiting to Be Sent", "File Transfer - N%",
//                 "File Transfer Status", "Status", and any the test adds
//   "#32770" "America Online" > "Static", "Button" "OK"    the alert
//   "_AOL_Modal" "File Transfer - N%" > "_AOL_Static" x 2, "_AOL_Icon"
//   "#32768"                                 a toolbar icon's pop-up menu
//
// A room's transcript is "RICHCNTL" before 7.0 and "RICHCNTLREADONLY" in 7.0
// and 8.0; its input box is the "RICHCNTL" after the transcript.
//
// What the model does with messages:
// - Enter (WM_CHAR 13) in a room's input box sends the box's text (nothing
//   when it is empty) and empties the box; other characters are typed at
//   the end, 8 deletes the last one.
// - Enter in the sign-on window's password box (or a press on its "Sign On"
//   icon) signs on after the sign-on delay, through a "Connecting" window;
//   it fails back to the sign-on window when the password is not the one
//   required or a failure was asked for.  6.0 to 8.0 then open
//   "AOL Channels" in front of the welcome window.
// - Enter in the toolbar's keyword box submits its text, blanks trimmed: a
//   room opens after the room delay ("aol://...-NAME" opens NAME); an
//   unknown keyword, a keyword while signed off, or one the scenario refuses
//   brings the alert instead.
// - A press on an icon (button down or space down, then button up or space
//   up) is recorded.  Toolbar icons open their pop-up menu; the menu's keys
//   pick an entry.  The 2nd icon of the Download Manager resumes the
//   interrupted download, the 4th of "Mail Waiting to Be Sent" the
//   interrupted upload.
// - WM_COMMAND to the main window runs a menu-bar entry (the host opens the
//   menu bar from the keyboard: Alt and a letter, see README.md).  WM_CLOSE closes a
//   window (the main window: the client ends).  The space key on the alert's
//   OK button dismisses the alert.  Hide, minimize and restore are recorded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aolsim/host.h"

namespace aolsim {

enum class Version { V2_5, V3_0, V4_0, V5_0, V6_0, V7_0, V8_0, Foreign };

// "2.5" ... "8.0"; anything else is an unrecognised ("foreign") client.
Version ParseVersion(std::string_view text);
// "2.5" ... "8.0", or "foreign".
std::string VersionName(Version version);

// The children of a document window that a test makes itself, made in this
// order: a "RICHCNTLREADONLY" when asked, the "RICHCNTL"s, listboxes, icons,
// statics, comboboxes, "_AOL_Edit"s.
struct DocumentParts {
    bool readOnly = false;
    int richcntl = 0;
    int listboxes = 0;
    int icons = 0;
    int statics = 0;
    int comboboxes = 0;
    int edits = 0;
};

// What other programs did to the client's windows.
struct WindowEvent {
    enum Kind { Hidden, Minimized, Restored, Shown, Closed };
    Kind kind = Closed;
    std::string cls;
    std::string caption;  // at the time
    bool operator==(const WindowEvent&) const = default;
};

// A press on an "_AOL_Icon" of a document window.
struct IconPress {
    std::string window;    // the window's caption
    int icon = 0;          // 1-based among that window's icons
    bool bySpace = false;  // released with the space key, not the mouse
    bool operator==(const IconPress&) const = default;
};

struct ChatLine {
    std::string room;
    std::string text;
    bool operator==(const ChatLine&) const = default;
};

// Seconds the client takes; all 0 or more.
struct Delays {
    double signOn = 3.0;  // password entered -> welcome (or sign-on again)
    double room = 1.0;    // keyword entered -> room open
    double chat = 0.0;    // Enter -> line sent, box emptied
    double alert = 0.0;   // cause -> alert shown
    double popup = 0.0;   // toolbar icon clicked -> pop-up menu open
    // OK pressed -> alert gone; the client answers nothing meanwhile (as a
    // client under Wine without a window manager, hiding a captioned window).
    double alertClose = 0.0;
};

// What leftovers a lost connection leaves in front of the sign-on window.
struct Leftovers {
    bool transferStatus = false;  // "File Transfer Status"
    bool status = false;          // "Status"
};

// Scenario faults that fire once on a client event.
// ChatEnter: Enter pressed in a room's input box.  Block: the client's
// thread is stuck for `seconds` inside the handler of the message that
// triggered it (for ChatEnter, before the line goes), then finishes it.
enum class Trigger { PasswordTyped, KeywordEntered, ChatLineSent, MenuCommand, PopupOpened, ResumePressed, ChatEnter };
enum class Reaction { Vanish, Disconnect, Alert, Hang, Block, CloseAll };

inline constexpr const char* kAlertText = "The keyword you entered is not valid.";
// The client makes no more windows than this at once, whatever a scenario
// asks for.
inline constexpr std::size_t kMaxWindows = 5000;

class Client : private Receiver {
public:
    explicit Client(Host& host);
    ~Client() override;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // ---- Scenario: the client's life --------------------------------------
    // Starts the client of that version, signed off at its sign-on window.
    // A running client ends first.
    void Start(std::string_view version);
    // Signed on at once as after a real sign-on: the welcome window, and in
    // 6.0 to 8.0 "AOL Channels" in front of it.  Nothing when not running.
    void SignOn(const std::string& screenName);
    // The connection is lost: welcome, rooms, transfers, channels and the
    // Download Manager go; the sign-on window comes, the leftovers in front of
    // it.  Broken-off transfers can be resumed.  Nothing when signed off.
    void Disconnect(Leftovers leftovers = {});
    void SignOff() { Disconnect({}); }
    // The client vanishes at once / after a while (a crash: no message).
    // Its program ends (aolsim.exe exits) even when no client was started.
    void Vanish();
    void VanishAfter(double seconds);
    // The client stops answering messages for a while.
    void Hang(double seconds);

    // ---- Scenario: documents ----------------------------------------------
    // Opens a room in front of the other documents; `typed` is the user's
    // unsent text in its input box.
    Handle OpenRoom(const std::string& name, const std::string& typed = "");
    // The user's unsent text in a room's input box.
    void TypeInRoom(Handle room, const std::string& text);
    // Another member says something in the room: it shows in the
    // transcript (not in Transcript(), which holds the user's own lines).
    void Say(Handle room, const std::string& member, const std::string& text);
    // Other members chat in the room of that name: a line every `every`
    // seconds while it is open (0 stops them).
    void Chatter(const std::string& room, double every);
    // Every line that shows in any room, the user's and others', goes here
    // as it comes: room, who, text.
    using RoomLog = std::function<void(const std::string& room, const std::string& who, const std::string& text)>;
    void SetRoomLog(RoomLog log) { roomLog_ = std::move(log); }
    Handle OpenDocument(const std::string& caption, const DocumentParts& parts);
    // Puts these documents first, in this order; the rest follow as they were.
    void SetDocumentOrder(const std::vector<Handle>& frontToBack);
    // A window of the client vanishes (the client destroys it, no record).
    void DestroyWindow(Handle window);
    // Every document window vanishes at once; the client itself stays.
    void CloseAllDocuments();
    // Once: as soon as the window's text length has been asked (and
    // answered), its text becomes `text`, before the asker can read it.
    void ShiftTextOnLength(Handle window, const std::string& text);
    // Every menu of the menu bar gets `count` more items ("Item N") in front
    // of its own.
    void PadMenus(int count);

    // ---- Scenario: alerts, delays, sign-on, keywords ------------------------
    // Shows the "America Online" alert (after the alert delay); one at a time.
    void ShowAlert(const std::string& text = kAlertText);
    // The next `count` chat lines sent each bring the alert.
    void AlertAfterChatLines(int count);
    // The next `count` keywords bring the alert instead of their room.
    void AlertAfterKeywords(int count);
    void SetDelays(const Delays& delays);
    const Delays& GetDelays() const { return delays_; }
    // Sign-on fails unless this password is typed ("" = any password).
    void RequirePassword(const std::string& password);
    // The next `count` sign-ons fail whatever the password.
    void FailSignOns(int count);
    // A keyword that brings the alert / one that opens the named room.
    void RejectKeyword(const std::string& keyword);
    void MapKeyword(const std::string& keyword, const std::string& room);

    // ---- Scenario: transfers ---------------------------------------------
    // A percent below 0 shows the caption "File Transfer" alone.  `remaining`
    // is the second static's text, e.g. RemainingText(3).
    Handle StartDownload(const std::string& file, int percent, const std::string& remaining);
    void SetDownloadProgress(int percent, const std::string& remaining);
    void EndDownload();
    Handle StartUpload(const std::string& file, int percent, const std::string& remaining);
    void SetUploadProgress(int percent, const std::string& remaining);
    void EndUpload();
    // Another "_AOL_Modal" dialog, in front of the upload window.
    Handle ShowOtherModal(const std::string& caption);
    void CloseOtherModal();
    // The upload ends as its file name (the first static's text) is read
    // through a message for the `reads`th time from now: that reader still
    // gets the name, but the window is gone by the time it has it.  Once;
    // 0 never.
    void EndUploadOnRead(int reads) { endUploadOnRead_ = reads > 0 ? reads : 0; }
    // "About N minutes remaining.", "About 1 minute remaining.", "Less than a
    // minute remaining." for 0.
    static std::string RemainingText(int minutes);
    static std::string TransferCaption(int percent);

    // ---- Scenario: faults ------------------------------------------------------
    // Enter sends the line but the input box keeps its text.
    void SetInputNeverEmpties(bool on) { neverEmpties_ = on; }
    // The next time `trigger` happens, `reaction` follows (Hang for
    // `seconds`).  Vanish and Disconnect come right after the message that
    // triggered them is handled.
    void When(Trigger trigger, Reaction reaction, double seconds = 0);

    // ---- Read-back: state ---------------------------------------------------
    bool Running() const { return state_ != State::NotRunning; }
    Version GetVersion() const { return version_; }
    bool SignedOn() const { return state_ == State::SignedOn; }
    bool Connecting() const { return state_ == State::Connecting; }
    const std::string& ScreenName() const { return screenName_; }

    // ---- Read-back: what the client saw ------------------------------------
    // The lines sent into the room of that name (letter case ignored), byte
    // for byte, oldest first.
    std::vector<std::string> Transcript(std::string_view room) const;
    const std::vector<ChatLine>& Chat() const { return chat_; }
    const std::vector<std::string>& PasswordsTyped() const { return passwords_; }
    const std::vector<std::string>& KeywordsSubmitted() const { return keywords_; }
    // Menu-bar entries run by WM_COMMAND / pop-up entries picked, by text.
    const std::vector<std::string>& MenuCommands() const { return menuCommands_; }
    const std::vector<std::string>& PopupPicks() const { return popupPicks_; }
    // Toolbar icons clicked, 1-based.
    const std::vector<int>& ToolbarClicks() const { return toolbarClicks_; }
    const std::vector<IconPress>& IconPresses() const { return presses_; }
    int DownloadResumePresses() const;
    int UploadResumePresses() const;
    const std::vector<WindowEvent>& WindowEvents() const { return events_; }
    // Captions of the windows that met this kind of event, oldest first.
    std::vector<std::string> Captions(WindowEvent::Kind kind) const;
    int AlertsShown() const { return alertsShown_; }
    int AlertsDismissed() const { return alertsDismissed_; }

    // ---- Read-back: windows (0 when not shown) -------------------------------
    Handle MainWindow() const;
    Handle MdiClient() const;
    Handle ToolbarIcons() const;  // the "_AOL_Toolbar"
    Handle KeywordBox() const;
    Handle WelcomeWindow() const;
    Handle SignOnWindow() const;
    Handle PasswordBox() const;
    Handle ChannelsWindow() const;
    Handle Room(std::string_view name) const;
    Handle RoomInput(Handle room) const;
    Handle RoomTranscript(Handle room) const;
    std::string InputText(Handle room) const;
    Handle DownloadManager() const;
    Handle UploadResumeWindow() const;  // "Mail Waiting to Be Sent"
    Handle DownloadWindow() const;
    Handle UploadWindow() const;
    Handle OtherModal() const;
    // A document window of the client with exactly this caption (the newest).
    Handle FindDocument(std::string_view caption) const;
    Handle AlertWindow() const;
    Handle AlertButton() const;

private:
    enum class State { NotRunning, SignedOff, Connecting, SignedOn };
    enum class Role {
        Main, Mdi, ToolbarFrame, Toolbar, ToolbarIcon, Combobox, KeywordBox,
        Welcome, Room, Transcript, Input, SignOn, PasswordBox, Connecting, Channels,
        DownloadManager, Outbox, DownloadTransfer, UploadTransfer, OtherModal, Leftover,
        Document, Alert, AlertButton, Part,
    };
    enum class Action { None, DownloadManager, Outbox, SignOff };
    struct Win {
        Role role = Role::Part;
        std::string cls;
        Handle parent = 0;
        int icon = 0;  // 1-based among the parent's icons
        bool armed = false;
        std::uint64_t seq = 0;  // creation order
    };
    struct Entry {
        std::string text;
        Action action = Action::None;
    };
    struct Transfer {
        std::string file;
        int percent = -1;
        std::string remaining;
    };
    struct Pending {
        Trigger trigger;
        Reaction reaction;
        double seconds;
    };

    bool OnMessage(Handle window, const Message& message) override;
    bool OnChar(Handle window, Win& win, std::uint32_t code);
    void OnPress(Handle icon, const Win& win, bool bySpace);

    Handle Make(Role role, const std::string& cls, const std::string& text, Handle parent);
    Handle MakeDocument(Role role, const std::string& caption);
    void AddParts(Handle parent, const std::string& cls, int count, const std::vector<std::string>& texts = {});
    void Destroy(Handle window);
    void Forget(Handle window);
    Handle Find(Role role) const;
    std::vector<Handle> FindAll(Role role) const;
    Handle ChildOf(Handle parent, Role role) const;
    // The nth (1-based) child of that class, in creation order.
    Handle NthChild(Handle parent, std::string_view cls, int nth) const;
    const Win* Get(Handle window) const;
    void Record(WindowEvent::Kind kind, Handle window);
    void Later(double seconds, std::function<void()> action);
    // `rest`, the rest of the triggering message's handler, runs now, or
    // after the block when a Block reaction is due.
    void Fire(Trigger trigger, std::function<void()> rest = {});
    void EnterInRoom(Handle input);
    void ClearState();

    void BuildMainWindow();
    void BuildMenuBar(Handle main);
    void ShowSignOnWindow();
    void SignOnNow();
    void SubmitPassword(Handle edit);
    void FinishSignOn();
    void SubmitKeyword(Handle edit);
    void EnterRoom(const std::string& name);
    void SendLine(Handle input, const std::string& text);
    void ShowInRoom(Handle room, const std::string& who, const std::string& text);
    void ChatterOnce(const std::string& room, double every, std::uint64_t generation, std::size_t next);
    void RaiseAlert(const std::string& text);
    void DismissAlert();
    void RunEntry(const Entry& entry);
    void OpenDownloadManager();
    void OpenOutbox();
    void ShowDownload();
    void ShowUpload();
    void UpdateTransfer(Handle window, const Transfer& transfer, const char* verb);

    Host& host_;
    // Bumped whenever the client ends or restarts: delayed actions of an
    // earlier life do nothing.
    std::shared_ptr<std::uint64_t> life_;
    State state_ = State::NotRunning;
    Version version_ = Version::Foreign;
    std::string screenName_;
    std::map<Handle, Win> wins_;
    std::uint64_t seq_ = 0;
    std::map<Handle, std::string> roomNames_;
    std::map<std::uint32_t, Entry> menuEntries_;
    std::map<int, std::vector<Entry>> iconMenus_;  // by toolbar icon, 1-based
    int menuPad_ = 0;
    std::map<Handle, std::string> shifts_;  // texts due at the next length read

    Delays delays_;
    bool neverEmpties_ = false;
    std::optional<std::string> requiredPassword_;
    int failSignOns_ = 0;
    int alertAfterChat_ = 0;
    int alertAfterKeyword_ = 0;
    std::vector<std::string> rejected_;
    std::vector<std::pair<std::string, std::string>> keywordRooms_;
    std::vector<Pending> pending_;
    std::vector<Handle> sending_;  // input boxes whose line is on its way
    std::optional<Transfer> download_, upload_;
    int endUploadOnRead_ = 0;
    std::optional<Transfer> brokenDownload_, brokenUpload_;

    std::vector<ChatLine> chat_;
    RoomLog roomLog_;
    std::map<std::string, std::uint64_t> chatter_;  // room (lower case) -> its chatter's generation
    std::uint64_t chatterGeneration_ = 0;
    std::vector<std::string> passwords_, keywords_, menuCommands_, popupPicks_;
    std::vector<int> toolbarClicks_;
    std::vector<IconPress> presses_;
    std::vector<WindowEvent> events_;
    int alertsShown_ = 0, alertsDismissed_ = 0;
};

}  // namespace aolsim
