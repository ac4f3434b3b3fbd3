#include "aolsim/client.h"

#include <algorithm>
#include <set>

#include "platform/text.h"

namespace aolsim {

namespace {

constexpr const char* kMainCaption = "America Online";
constexpr const char* kAlertCaption = "America Online";
constexpr const char* kDownloadManager = "Download Manager";
constexpr const char* kOutbox = "Mail Waiting to Be Sent";
constexpr const char* kSignOff = "You must be signed on to use keywords.";
constexpr const char* kRoomFull = "The room you requested is full.";
constexpr const char* kChatAlert = "Your message could not be sent.";
constexpr std::uint32_t kFirstMenuId = 100;

bool Late(Version v) { return v == Version::V6_0 || v == Version::V7_0 || v == Version::V8_0; }
bool Early(Version v) { return v == Version::V4_0 || v == Version::V5_0; }
bool ReadOnlyTranscript(Version v) { return v == Version::V7_0 || v == Version::V8_0; }

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && qm::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

Version ParseVersion(std::string_view text) {
    static const std::pair<const char*, Version> known[] = {
        {"2.5", Version::V2_5}, {"3.0", Version::V3_0}, {"4.0", Version::V4_0}, {"5.0", Version::V5_0},
        {"6.0", Version::V6_0}, {"7.0", Version::V7_0}, {"8.0", Version::V8_0},
    };
    for (const auto& [name, version] : known)
        if (text == name) return version;
    return Version::Foreign;
}

std::string VersionName(Version version) {
    switch (version) {
        case Version::V2_5: return "2.5";
        case Version::V3_0: return "3.0";
        case Version::V4_0: return "4.0";
        case Version::V5_0: return "5.0";
        case Version::V6_0: return "6.0";
        case Version::V7_0: return "7.0";
        case Version::V8_0: return "8.0";
        case Version::Foreign: break;
    }
    return "foreign";
}

std::string Client::RemainingText(int minutes) {
    if (minutes <= 0) return "Less than a minute remaining.";
    if (minutes == 1) return "About 1 minute remaining.";
    return "About " + std::to_string(minutes) + " minutes remaining.";
}

std::string Client::TransferCaption(int percent) {
    if (percent < 0) return "File Transfer";
    return "File Transfer - " + std::to_string(percent) + "%";
}

Client::Client(Host& host) : host_(host), life_(std::make_shared<std::uint64_t>(0)) { host_.Attach(this); }

Client::~Client() {
    ++*life_;
    host_.Attach(nullptr);
    for (const auto& [handle, win] : wins_)
        if (win.parent == 0) host_.Destroy(handle);
}

// ---- windows --------------------------------------------------------------------

Handle Client::Make(Role role, const std::string& cls, const std::string& text, Handle parent) {
    if (wins_.size() >= kMaxWindows) return 0;
    Handle h = host_.Create(cls, text, parent);
    if (!h) return 0;
    Win win;
    win.role = role;
    win.cls = cls;
    win.parent = parent;
    win.seq = ++seq_;
    if (cls == "_AOL_Icon") {
        win.icon = 1;
        for (const auto& [other, w] : wins_)
            if (w.parent == parent && w.cls == cls && host_.Exists(other)) ++win.icon;
    }
    wins_[h] = win;
    return h;
}

Handle Client::MakeDocument(Role role, const std::string& caption) {
    Handle mdi = MdiClient();
    if (!mdi) return 0;
    Handle h = Make(role, "AOL Child", caption, mdi);
    host_.BringToFront(h);
    return h;
}

void Client::AddParts(Handle parent, const std::string& cls, int count, const std::vector<std::string>& texts) {
    for (int i = 0; i < count; ++i)
        Make(Role::Part, cls, i < static_cast<int>(texts.size()) ? texts[i] : std::string(), parent);
}

void Client::Forget(Handle window) {
    std::set<Handle> gone{window};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [h, w] : wins_)
            if (gone.count(w.parent) && gone.insert(h).second) grew = true;
    }
    for (Handle h : gone) {
        auto it = wins_.find(h);
        if (it == wins_.end()) continue;
        switch (it->second.role) {
            case Role::DownloadTransfer: download_.reset(); break;
            case Role::UploadTransfer: upload_.reset(); break;
            default: break;
        }
        roomNames_.erase(h);
        shifts_.erase(h);
        sending_.erase(std::remove(sending_.begin(), sending_.end(), h), sending_.end());
        wins_.erase(it);
    }
}

void Client::Destroy(Handle window) {
    if (!window) return;
    Forget(window);
    host_.Destroy(window);
}

const Client::Win* Client::Get(Handle window) const {
    auto it = wins_.find(window);
    return it == wins_.end() ? nullptr : &it->second;
}

Handle Client::Find(Role role) const {
    Handle found = 0;
    std::uint64_t seq = 0;
    // The newest of that role: older ones are leftovers of an earlier scene.
    for (const auto& [h, w] : wins_)
        if (w.role == role && w.seq > seq && host_.Exists(h)) {
            found = h;
            seq = w.seq;
        }
    return found;
}

std::vector<Handle> Client::FindAll(Role role) const {
    std::vector<Handle> all;
    for (const auto& [h, w] : wins_)
        if (w.role == role) all.push_back(h);
    return all;
}

Handle Client::ChildOf(Handle parent, Role role) const {
    if (!parent) return 0;
    for (const auto& [h, w] : wins_)
        if (w.parent == parent && w.role == role && host_.Exists(h)) return h;
    return 0;
}

Handle Client::NthChild(Handle parent, std::string_view cls, int nth) const {
    if (!parent) return 0;
    std::vector<std::pair<std::uint64_t, Handle>> children;
    for (const auto& [h, w] : wins_)
        if (w.parent == parent && w.cls == cls && host_.Exists(h)) children.emplace_back(w.seq, h);
    std::sort(children.begin(), children.end());
    if (nth < 1 || nth > static_cast<int>(children.size())) return 0;
    return children[static_cast<std::size_t>(nth - 1)].second;
}

void Client::Record(WindowEvent::Kind kind, Handle window) {
    const Win* win = Get(window);
    if (!win) return;
    events_.push_back(WindowEvent{kind, win->cls, host_.Text(window)});
}

void Client::Later(double seconds, std::function<void()> action) {
    std::shared_ptr<std::uint64_t> life = life_;
    std::uint64_t now = *life_;
    host_.After(std::max(0.0, seconds), [life, now, action = std::move(action)] {
        if (*life == now) action();
    });
}

void Client::ClearState() {
    ++*life_;
    std::vector<Handle> tops;
    for (const auto& [h, w] : wins_)
        if (w.parent == 0) tops.push_back(h);
    wins_.clear();
    roomNames_.clear();
    sending_.clear();
    menuEntries_.clear();
    iconMenus_.clear();
    shifts_.clear();
    menuPad_ = 0;
    download_.reset();
    upload_.reset();
    brokenDownload_.reset();
    brokenUpload_.reset();
    state_ = State::NotRunning;
    for (Handle h : tops) host_.Destroy(h);
}

// ---- the client's life ---------------------------------------------------------------

namespace {

struct MenuPlan {
    const char* title;
    std::vector<std::pair<std::string, int>> entries;  // text, action
};

// The menu bar as each client version carries it.  Only items name the
// version; "&File Search" is what a walk for "&File" meets first.
std::vector<MenuPlan> MenuBarOf(Version v) {
    constexpr int none = 0, dm = 1, signOff = 3;
    std::vector<MenuPlan> bar;
    const std::vector<std::pair<std::string, int>> edit = {
        {"&Undo", none}, {"Cu&t", none}, {"&Copy", none}, {"&Paste", none}, {"Select &All", none}};
    const std::vector<std::pair<std::string, int>> window = {
        {"&Cascade", none}, {"&Tile", none}, {"Close &All Except Front", none}};
    if (Late(v) || Early(v)) {
        std::vector<std::pair<std::string, int>> file = {
            {"&New", none}, {"&Open...", none}, {"&Save", none}, {"&File Search", none}};
        if (Late(v)) file.emplace_back("&Download Manager", dm);
        file.emplace_back("&Print...", none);
        bar.push_back({"&File", file});
        bar.push_back({"&Edit", edit});
        bar.push_back({"&Window", window});
        bar.push_back({"Sign &Off", {{"&Sign Off", signOff}, {"Switch Screen &Name", none}}});
        bar.push_back({"&Help",
                       {{"&Offline Help", none},
                        {"What's New in AOL " + VersionName(v), none},
                        {"&About America Online", none}}});
    } else if (v == Version::V3_0) {
        bar.push_back({"&File", {{"&New", none}, {"&Open...", none}, {"&Save", none}, {"&Print...", none}}});
        bar.push_back({"&Edit", edit});
        bar.push_back({"&Go To", {{"&Keyword...", none}, {"&Lobby", none}, {"&Sign Off", signOff}}});
        bar.push_back({"&Mail", {{"&Compose Mail", none}, {"&Read New Mail", none}}});
        bar.push_back({"&Members", {{"Send an Instant Message", none}, {"Get a Member's &Profile", none}}});
        bar.push_back({"&Window", window});
        bar.push_back({"&Help", {{"&About America Online", none}}});
    } else if (v == Version::V2_5) {
        bar.push_back({"&File",
                       {{"&New", none}, {"&Open...", none}, {"&Save", none}, {"LOGGING...", none}, {"&Print...", none}}});
        bar.push_back({"&Edit", edit});
        bar.push_back({"&Go To", {{"&Keyword...", none}, {"&Sign Off", signOff}}});
        bar.push_back({"&Mail", {{"&Compose Mail", none}}});
        bar.push_back({"&Members", {{"Send &Instant Message", none}}});
        bar.push_back({"&Window", window});
    } else {
        bar.push_back({"&File", {{"&New", none}, {"&Open...", none}}});
        bar.push_back({"&Help", {{"&About", none}}});
    }
    return bar;
}

struct IconPlan {
    const char* text;
    int menu;  // 0 none, 1 mail, 2 files
};

std::vector<IconPlan> ToolbarOf(Version v) {
    if (Late(v))
        return {{"Mail", 1}, {"People", 0}, {"IM", 0},       {"Chat", 0},
                {"Files", 2}, {"Services", 0}, {"Settings", 0}, {"Favorites", 0}};
    if (Early(v))
        return {{"Read", 0},      {"Write", 0},    {"Mail Center", 1}, {"Print", 0},  {"My Files", 2},
                {"My AOL", 0},    {"Favorites", 0}, {"Internet", 0},   {"Channels", 0}, {"People", 0},
                {"Quotes", 0},    {"Perks", 0},    {"Weather", 0}};
    return {{"Read", 0}, {"Write", 0}, {"Lobby", 0}, {"Print", 0}, {"Files", 0}, {"Help", 0}, {"Quit", 0}, {"Stocks", 0}};
}

}  // namespace

void Client::BuildMenuBar(Handle main) {
    std::vector<MenuBarMenu> bar;
    std::uint32_t id = kFirstMenuId;
    menuEntries_.clear();
    for (const MenuPlan& plan : MenuBarOf(version_)) {
        MenuBarMenu menu{plan.title, {}};
        for (int i = 0; i < menuPad_; ++i) menu.entries.push_back(MenuEntry{"Item " + std::to_string(i + 1), id++});
        for (const auto& [text, action] : plan.entries) {
            menu.entries.push_back(MenuEntry{text, id});
            menuEntries_[id++] = Entry{text, static_cast<Action>(action)};
        }
        bar.push_back(std::move(menu));
    }
    host_.SetMenuBar(main, bar);
}

void Client::PadMenus(int count) {
    menuPad_ = std::clamp(count, 0, 4096);
    if (Handle main = Find(Role::Main)) BuildMenuBar(main);
}

void Client::BuildMainWindow() {
    Handle main = Make(Role::Main, "AOL Frame25", kMainCaption, 0);
    if (!main) return;
    BuildMenuBar(main);

    Handle frame = Make(Role::ToolbarFrame, "AOL Toolbar", "", main);
    Handle toolbar = Make(Role::Toolbar, "_AOL_Toolbar", "", frame);
    int index = 0;
    for (const IconPlan& icon : ToolbarOf(version_)) {
        ++index;
        Make(Role::ToolbarIcon, "_AOL_Icon", icon.text, toolbar);
        if (icon.menu == 1)
            iconMenus_[index] = {{"Read &Mail", Action::None},
                                 {"&Write Mail", Action::None},
                                 {"Mail Waiting to &be Sent", Action::Outbox},
                                 {"&Old Mail", Action::None},
                                 {"Mail &Preferences", Action::None}};
        if (icon.menu == 2)
            iconMenus_[index] = {{"&Download Manager", Action::DownloadManager},
                                 {"&Personal Filing Cabinet", Action::None},
                                 {"&Log Manager", Action::None},
                                 {"&Offline Mail", Action::None}};
    }
    Handle combo = Make(Role::Combobox, "_AOL_Combobox", "", toolbar);
    Make(Role::KeywordBox, "Edit", "", combo);
    Make(Role::Mdi, "MDIClient", "", main);
}

void Client::Start(std::string_view version) {
    if (Running()) ClearState();
    version_ = ParseVersion(version);
    state_ = State::SignedOff;
    BuildMainWindow();
    if (!MainWindow()) {
        state_ = State::NotRunning;
        return;
    }
    ShowSignOnWindow();
}

void Client::ShowSignOnWindow() {
    Handle w = MakeDocument(Role::SignOn, "Sign On");
    if (!w) return;
    Make(Role::Part, "_AOL_Static", "Select Screen Name:", w);
    Make(Role::Part, "_AOL_Combobox", screenName_, w);
    Make(Role::Part, "_AOL_Static", "Enter Password:", w);
    Make(Role::PasswordBox, "_AOL_Edit", "", w);
    AddParts(w, "_AOL_Icon", 4, {"Setup", "Access Numbers", "Help", "Sign On"});
}

void Client::SignOn(const std::string& screenName) {
    if (!Running()) return;
    screenName_ = screenName;
    if (state_ == State::SignedOn) {
        host_.SetText(WelcomeWindow(), "Welcome, " + screenName_ + "!");
        return;
    }
    SignOnNow();
}

void Client::SignOnNow() {
    Destroy(SignOnWindow());
    Destroy(Find(Role::Connecting));
    state_ = State::SignedOn;
    Handle welcome = MakeDocument(Role::Welcome, "Welcome, " + screenName_ + "!");
    AddParts(welcome, "_AOL_Icon", 3, {"Mail", "Top News", "Channels"});
    AddParts(welcome, "_AOL_Static", 2, {"You have mail.", "Today's top stories"});
    if (Late(version_)) {
        Handle channels = MakeDocument(Role::Channels, "AOL Channels");
        AddParts(channels, "_AOL_Icon", 6, {"News", "Sports", "Money", "Travel", "Games", "Shopping"});
        AddParts(channels, "_AOL_Static", 1, {"AOL Channels"});
    }
}

void Client::SubmitPassword(Handle edit) {
    if (state_ != State::SignedOff || !edit) return;
    std::string password = host_.Text(edit);
    passwords_.push_back(password);
    bool ok = true;
    if (requiredPassword_ && password != *requiredPassword_) ok = false;
    if (failSignOns_ > 0) {
        --failSignOns_;
        ok = false;
    }
    state_ = State::Connecting;
    Destroy(SignOnWindow());
    Handle connecting = MakeDocument(Role::Connecting, "Connecting");
    AddParts(connecting, "_AOL_Static", 1, {"Step 1: Connecting..."});
    AddParts(connecting, "_AOL_Icon", 1, {"Cancel"});
    Later(delays_.signOn, [this, ok] {
        if (state_ != State::Connecting) return;
        if (ok) {
            SignOnNow();
        } else {
            Destroy(Find(Role::Connecting));
            state_ = State::SignedOff;
            ShowSignOnWindow();
        }
    });
    Fire(Trigger::PasswordTyped);
}

void Client::Disconnect(Leftovers leftovers) {
    if (state_ != State::SignedOn && state_ != State::Connecting) return;
    if (download_) brokenDownload_ = download_;
    if (upload_) brokenUpload_ = upload_;
    for (Role role : {Role::Welcome, Role::Channels, Role::Room, Role::DownloadManager, Role::Outbox,
                      Role::DownloadTransfer, Role::UploadTransfer, Role::Connecting})
        for (Handle h : FindAll(role)) Destroy(h);
    state_ = State::SignedOff;
    ShowSignOnWindow();
    if (leftovers.transferStatus) {
        Handle w = MakeDocument(Role::Leftover, "File Transfer Status");
        AddParts(w, "_AOL_Static", 1, {"Your file transfer was interrupted."});
        AddParts(w, "_AOL_Icon", 1, {"OK"});
    }
    if (leftovers.status) {
        Handle w = MakeDocument(Role::Leftover, "Status");
        AddParts(w, "_AOL_Static", 1, {"You have been disconnected from America Online."});
        AddParts(w, "_AOL_Icon", 1, {"OK"});
    }
}

void Client::Vanish() {
    ClearState();
    host_.Exit();
}

void Client::VanishAfter(double seconds) {
    Later(seconds, [this] { Vanish(); });
}

void Client::Hang(double seconds) {
    if (Running()) host_.Freeze(std::max(0.0, seconds));
}

void Client::When(Trigger trigger, Reaction reaction, double seconds) {
    pending_.push_back(Pending{trigger, reaction, std::max(0.0, seconds)});
}

void Client::Fire(Trigger trigger, std::function<void()> rest) {
    std::vector<Pending> due;
    auto split = std::stable_partition(pending_.begin(), pending_.end(),
                                       [&](const Pending& p) { return p.trigger != trigger; });
    due.assign(split, pending_.end());
    pending_.erase(split, pending_.end());
    for (const Pending& p : due) {
        switch (p.reaction) {
            case Reaction::Vanish: Later(0, [this] { Vanish(); }); break;
            case Reaction::Disconnect: Later(0, [this] { Disconnect({}); }); break;
            case Reaction::Alert: RaiseAlert(kAlertText); break;
            case Reaction::Hang: Hang(p.seconds); break;
            case Reaction::CloseAll: Later(0, [this] { CloseAllDocuments(); }); break;
            case Reaction::Block:
                if (Running()) {
                    host_.Block(p.seconds, std::move(rest));
                    rest = nullptr;
                }
                break;
        }
    }
    if (rest) rest();
}

// ---- documents ---------------------------------------------------------------------

Handle Client::OpenRoom(const std::string& name, const std::string& typed) {
    Handle room = MakeDocument(Role::Room, name);
    if (!room) return 0;
    roomNames_[room] = name;
    Make(Role::Transcript, ReadOnlyTranscript(version_) ? "RICHCNTLREADONLY" : "RICHCNTL", "", room);
    Make(Role::Input, "RICHCNTL", typed, room);
    AddParts(room, "_AOL_Listbox", 1, {screenName_});
    AddParts(room, "_AOL_Icon", 4, {"Send", "People Here", "Notify AOL", "Find a Chat"});
    AddParts(room, "_AOL_Static", 1, {"1 person here"});
    return room;
}

void Client::TypeInRoom(Handle room, const std::string& text) { host_.SetText(RoomInput(room), text); }

Handle Client::OpenDocument(const std::string& caption, const DocumentParts& parts) {
    Handle w = MakeDocument(Role::Document, caption);
    if (!w) return 0;
    if (parts.readOnly) Make(Role::Part, "RICHCNTLREADONLY", "", w);
    AddParts(w, "RICHCNTL", parts.richcntl);
    AddParts(w, "_AOL_Listbox", parts.listboxes);
    AddParts(w, "_AOL_Icon", parts.icons);
    AddParts(w, "_AOL_Static", parts.statics);
    AddParts(w, "_AOL_Combobox", parts.comboboxes);
    AddParts(w, "_AOL_Edit", parts.edits);
    return w;
}

void Client::SetDocumentOrder(const std::vector<Handle>& frontToBack) {
    for (auto it = frontToBack.rbegin(); it != frontToBack.rend(); ++it)
        if (Get(*it)) host_.BringToFront(*it);
}

void Client::CloseAllDocuments() {
    const Handle mdi = MdiClient();
    std::vector<Handle> documents;
    for (const auto& [h, w] : wins_)
        if (mdi && w.parent == mdi) documents.push_back(h);
    for (Handle h : documents) Destroy(h);
}

void Client::ShiftTextOnLength(Handle window, const std::string& text) {
    if (Get(window)) shifts_[window] = text;
}

void Client::DestroyWindow(Handle window) {
    const Win* win = Get(window);
    if (!win) return;
    if (win->role == Role::Main) {
        Vanish();
        return;
    }
    Destroy(window);
}

void Client::SendLine(Handle input, const std::string& text) {
    const Win* win = Get(input);
    if (!win) return;
    Handle room = win->parent;
    auto name = roomNames_.find(room);
    chat_.push_back(ChatLine{name == roomNames_.end() ? std::string() : name->second, text});
    ShowInRoom(room, screenName_, text);
    if (!neverEmpties_) host_.SetText(input, "");
    if (alertAfterChat_ > 0) {
        --alertAfterChat_;
        RaiseAlert(kChatAlert);
    }
    Fire(Trigger::ChatLineSent);
}

void Client::ShowInRoom(Handle room, const std::string& who, const std::string& text) {
    Handle transcript = ChildOf(room, Role::Transcript);
    std::string shown = host_.Text(transcript);
    // The transcript keeps its last lines only, as a chat window scrolls.
    constexpr std::size_t kKeep = 16 * 1024;
    if (shown.size() > kKeep) {
        const std::size_t cut = shown.find("\r\n", shown.size() - kKeep / 2);
        shown.erase(0, cut == std::string::npos ? shown.size() : cut + 2);
    }
    if (!shown.empty()) shown += "\r\n";
    host_.SetText(transcript, shown + who + ":\t" + text);
    if (roomLog_) {
        auto name = roomNames_.find(room);
        roomLog_(name == roomNames_.end() ? std::string() : name->second, who, text);
    }
}

void Client::Say(Handle room, const std::string& member, const std::string& text) {
    if (!Get(room) || !roomNames_.count(room)) return;
    ShowInRoom(room, member, text);
}

namespace {

// What other members say in a room, in turn.
const std::pair<const char*, const char*> kChatter[] = {
    {"SunnyDaze42", "hiya room"},
    {"MrPeabody", "anyone here from ohio?"},
    {"SunnyDaze42", "lol"},
    {"xXGamerXx", "brb pizza"},
    {"Kat Nap", "wb!"},
    {"MrPeabody", "a/s/l?"},
    {"Kat Nap", "it's so quiet in here tonight"},
    {"xXGamerXx", "back"},
};

}  // namespace

void Client::Chatter(const std::string& room, double every) {
    const std::string key = qm::ToLowerAscii(room);
    const std::uint64_t generation = ++chatterGeneration_;
    chatter_[key] = generation;
    if (every > 0) Later(every, [this, room, every, generation] { ChatterOnce(room, every, generation, 0); });
}

void Client::ChatterOnce(const std::string& room, double every, std::uint64_t generation, std::size_t next) {
    auto it = chatter_.find(qm::ToLowerAscii(room));
    if (it == chatter_.end() || it->second != generation) return;
    if (Handle open = Room(room)) {
        const auto& [who, text] = kChatter[next % std::size(kChatter)];
        ShowInRoom(open, who, text);
    }
    Later(every, [this, room, every, generation, next] { ChatterOnce(room, every, generation, next + 1); });
}

// ---- alerts, keywords, menus ------------------------------------------------------------

void Client::ShowAlert(const std::string& text) { RaiseAlert(text); }

void Client::RaiseAlert(const std::string& text) {
    auto show = [this, text] {
        if (!Running() || AlertWindow()) return;
        Handle alert = Make(Role::Alert, "#32770", kAlertCaption, 0);
        if (!alert) return;
        Make(Role::Part, "Static", text, alert);
        Make(Role::AlertButton, "Button", "OK", alert);
        host_.BringToFront(alert);
        ++alertsShown_;
    };
    if (delays_.alert > 0)
        Later(delays_.alert, show);
    else
        show();
}

void Client::DismissAlert() {
    Handle alert = AlertWindow();
    if (!alert) return;
    ++alertsDismissed_;
    if (delays_.alertClose <= 0) {
        Destroy(alert);
        return;
    }
    // Deaf while it closes; the window goes at the end.
    host_.Freeze(delays_.alertClose);
    Later(delays_.alertClose, [this, alert] { Destroy(alert); });
}

void Client::AlertAfterChatLines(int count) { alertAfterChat_ = std::max(0, count); }
void Client::AlertAfterKeywords(int count) { alertAfterKeyword_ = std::max(0, count); }

void Client::SetDelays(const Delays& delays) {
    auto clamp = [](double s) { return (s >= 0 && s <= 86400) ? s : 0.0; };  // also drops NaN
    delays_ = Delays{clamp(delays.signOn), clamp(delays.room),  clamp(delays.chat),
                     clamp(delays.alert),  clamp(delays.popup), clamp(delays.alertClose)};
}

void Client::RequirePassword(const std::string& password) {
    if (password.empty())
        requiredPassword_.reset();
    else
        requiredPassword_ = password;
}

void Client::FailSignOns(int count) { failSignOns_ = std::max(0, count); }
void Client::RejectKeyword(const std::string& keyword) { rejected_.push_back(Trim(keyword)); }
void Client::MapKeyword(const std::string& keyword, const std::string& room) {
    keywordRooms_.emplace_back(Trim(keyword), room);
}

void Client::SubmitKeyword(Handle edit) {
    std::string keyword = Trim(host_.Text(edit));
    keywords_.push_back(keyword);
    Fire(Trigger::KeywordEntered);
    if (keyword.empty()) return;
    if (state_ != State::SignedOn) {
        RaiseAlert(kSignOff);
        return;
    }
    if (alertAfterKeyword_ > 0) {
        --alertAfterKeyword_;
        RaiseAlert(kRoomFull);
        return;
    }
    for (const std::string& r : rejected_)
        if (qm::EqualsNoCase(r, keyword)) {
            RaiseAlert(kAlertText);
            return;
        }
    std::string room = keyword;
    bool mapped = false;
    for (const auto& [k, r] : keywordRooms_)
        if (qm::EqualsNoCase(k, keyword)) {
            room = r;
            mapped = true;
            break;
        }
    if (!mapped && StartsWithNoCase(keyword, "aol://")) {
        std::size_t dash = keyword.rfind('-');
        room = dash == std::string::npos ? keyword.substr(6) : keyword.substr(dash + 1);
        if (room.empty()) {
            RaiseAlert(kAlertText);
            return;
        }
    }
    Later(delays_.room, [this, room] {
        if (state_ != State::SignedOn) return;
        if (Handle open = Room(room))
            host_.BringToFront(open);
        else
            OpenRoom(room);
    });
}

void Client::RunEntry(const Entry& entry) {
    switch (entry.action) {
        case Action::DownloadManager: OpenDownloadManager(); break;
        case Action::Outbox: OpenOutbox(); break;
        case Action::SignOff: SignOff(); break;
        case Action::None: break;
    }
}

void Client::OpenDownloadManager() {
    if (Handle open = DownloadManager()) {
        host_.BringToFront(open);
        return;
    }
    Handle w = MakeDocument(Role::DownloadManager, kDownloadManager);
    AddParts(w, "_AOL_Listbox", 1, {brokenDownload_ ? brokenDownload_->file : std::string()});
    AddParts(w, "_AOL_Icon", 5,
             {"View Description", "Start Download", "Delete Item", "Show Files Downloaded", "Download Preferences"});
}

void Client::OpenOutbox() {
    if (Handle open = UploadResumeWindow()) {
        host_.BringToFront(open);
        return;
    }
    Handle w = MakeDocument(Role::Outbox, kOutbox);
    AddParts(w, "_AOL_Listbox", 1, {brokenUpload_ ? brokenUpload_->file : std::string()});
    AddParts(w, "_AOL_Icon", 5, {"Read", "Edit", "Delete", "Send All", "Help"});
}

// ---- transfers -------------------------------------------------------------------------

void Client::UpdateTransfer(Handle window, const Transfer& transfer, const char* verb) {
    if (!window) return;
    host_.SetText(window, TransferCaption(transfer.percent));
    host_.SetText(NthChild(window, "_AOL_Static", 1), std::string(verb) + transfer.file);
    host_.SetText(NthChild(window, "_AOL_Static", 2), transfer.remaining);
}

void Client::ShowDownload() {
    if (!download_) return;
    Handle w = DownloadWindow();
    if (!w) {
        w = MakeDocument(Role::DownloadTransfer, TransferCaption(download_->percent));
        AddParts(w, "_AOL_Static", 2);
        AddParts(w, "_AOL_Icon", 2, {"Finish Later", "Cancel"});
    }
    UpdateTransfer(w, *download_, "Now Downloading ");
}

void Client::ShowUpload() {
    if (!upload_ || !Running()) return;
    Handle w = UploadWindow();
    if (!w) {
        w = Make(Role::UploadTransfer, "_AOL_Modal", TransferCaption(upload_->percent), 0);
        AddParts(w, "_AOL_Static", 2);
        AddParts(w, "_AOL_Icon", 1, {"Cancel"});
        host_.BringToFront(w);
        if (Handle other = OtherModal()) host_.BringToFront(other);
    }
    UpdateTransfer(w, *upload_, "Now Uploading ");
}

Handle Client::StartDownload(const std::string& file, int percent, const std::string& remaining) {
    if (!Running()) return 0;
    download_ = Transfer{file, percent, remaining};
    ShowDownload();
    return DownloadWindow();
}

void Client::SetDownloadProgress(int percent, const std::string& remaining) {
    if (!download_) return;
    download_->percent = percent;
    download_->remaining = remaining;
    UpdateTransfer(DownloadWindow(), *download_, "Now Downloading ");
}

void Client::EndDownload() {
    Destroy(DownloadWindow());
    download_.reset();
}

Handle Client::StartUpload(const std::string& file, int percent, const std::string& remaining) {
    if (!Running()) return 0;
    upload_ = Transfer{file, percent, remaining};
    ShowUpload();
    return UploadWindow();
}

void Client::SetUploadProgress(int percent, const std::string& remaining) {
    if (!upload_) return;
    upload_->percent = percent;
    upload_->remaining = remaining;
    UpdateTransfer(UploadWindow(), *upload_, "Now Uploading ");
}

void Client::EndUpload() {
    Destroy(UploadWindow());
    upload_.reset();
}

Handle Client::ShowOtherModal(const std::string& caption) {
    if (!Running()) return 0;
    Handle w = Make(Role::OtherModal, "_AOL_Modal", caption, 0);
    AddParts(w, "_AOL_Static", 1, {"Please wait..."});
    AddParts(w, "_AOL_Icon", 1, {"OK"});
    host_.BringToFront(w);
    return w;
}

void Client::CloseOtherModal() { Destroy(OtherModal()); }

// ---- messages ---------------------------------------------------------------------------

bool Client::OnMessage(Handle window, const Message& message) {
    auto it = wins_.find(window);
    if (it == wins_.end()) return false;
    Win& win = it->second;
    bool icon = win.cls == "_AOL_Icon";
    switch (message.msg) {
        case Msg::Show: {
            WindowEvent::Kind kind = WindowEvent::Shown;
            switch (static_cast<Show>(message.wparam)) {
                case Show::Hide: kind = WindowEvent::Hidden; break;
                case Show::Minimize: kind = WindowEvent::Minimized; break;
                case Show::Restore: kind = WindowEvent::Restored; break;
                default: break;
            }
            Record(kind, window);
            return false;
        }
        case Msg::Close:
            Record(WindowEvent::Closed, window);
            if (win.role == Role::Main)
                Vanish();
            else
                Destroy(window);
            return true;
        case Msg::SetText:
            return false;
        case Msg::GetTextLength: {
            auto shift = shifts_.find(window);
            if (shift != shifts_.end()) {
                const std::string text = shift->second;
                shifts_.erase(shift);
                host_.SetText(window, text);
            }
            return false;
        }
        case Msg::GetText: {
            Handle upload = UploadWindow();
            if (endUploadOnRead_ > 0 && upload && window == NthChild(upload, "_AOL_Static", 1) &&
                --endUploadOnRead_ == 0) {
                Forget(upload);
                host_.DestroyAtOnce(upload);
            }
            return false;
        }
        case Msg::Char:
            return OnChar(window, win, message.wparam);
        case Msg::KeyDown:
        case Msg::LButtonDown:
            if (!icon) return false;
            if (message.msg == Msg::LButtonDown || message.wparam == kVkSpace) win.armed = true;
            return true;
        case Msg::KeyUp:
        case Msg::LButtonUp: {
            if (!icon) return false;
            bool bySpace = message.msg == Msg::KeyUp;
            if (!win.armed || (bySpace && message.wparam != kVkSpace)) return true;
            win.armed = false;
            OnPress(window, Win(win), bySpace);  // may destroy the icon
            return true;
        }
        case Msg::Command:
            if (win.role == Role::Main) {
                auto entry = menuEntries_.find(message.wparam);
                if (entry == menuEntries_.end()) return false;
                Entry copy = entry->second;
                menuCommands_.push_back(copy.text);
                RunEntry(copy);
                Fire(Trigger::MenuCommand);
                return true;
            }
            if (win.role == Role::Alert && message.wparam == kButtonId) {
                DismissAlert();
                return true;
            }
            return false;
        default:  // the menu keys and the end of menu mode are the system's
            return false;
    }
    return false;
}

bool Client::OnChar(Handle window, Win& win, std::uint32_t code) {
    switch (win.role) {
        case Role::KeywordBox:
            if (code != 13) return false;  // the edit control types it
            SubmitKeyword(window);
            return true;
        case Role::Transcript:
            return true;
        case Role::Input:
        case Role::PasswordBox:
            break;
        default:
            return false;
    }
    if (code == 13) {
        if (win.role == Role::PasswordBox) {
            SubmitPassword(window);
            return true;
        }
        std::shared_ptr<std::uint64_t> life = life_;
        const std::uint64_t now = *life_;
        Fire(Trigger::ChatEnter, [this, life, now, window] {
            if (*life == now) EnterInRoom(window);
        });
        return true;
    }
    std::string text = host_.Text(window);
    if (code == 8) {
        if (!text.empty()) text.pop_back();
    } else if (code >= 32 && code <= 255) {
        text += static_cast<char>(code);
    } else {
        return true;
    }
    host_.SetText(window, text);
    return true;
}

void Client::EnterInRoom(Handle window) {
    if (!Get(window)) return;
    std::string text = host_.Text(window);
    if (text.empty()) return;
    if (delays_.chat <= 0) {
        SendLine(window, text);
        return;
    }
    // A line on its way: further presses of Enter do not send it twice.
    if (std::find(sending_.begin(), sending_.end(), window) != sending_.end()) return;
    sending_.push_back(window);
    Later(delays_.chat, [this, window, text] {
        auto it = std::find(sending_.begin(), sending_.end(), window);
        if (it == sending_.end()) return;
        sending_.erase(it);
        SendLine(window, text);
    });
}

void Client::OnPress(Handle icon, const Win& win, bool bySpace) {
    const Win* parent = Get(win.parent);
    if (!parent) return;
    if (parent->role == Role::Toolbar) {
        toolbarClicks_.push_back(win.icon);
        auto menu = iconMenus_.find(win.icon);
        if (menu == iconMenus_.end()) return;
        std::vector<Entry> entries = menu->second;
        auto open = [this, icon, entries] {
            if (!host_.Exists(icon)) return;
            std::vector<MenuEntry> items;
            for (std::size_t i = 0; i < entries.size(); ++i)
                items.push_back(MenuEntry{entries[i].text, static_cast<std::uint32_t>(i + 1)});
            std::shared_ptr<std::uint64_t> life = life_;
            std::uint64_t now = *life_;
            host_.OpenPopup(icon, items, [this, life, now, entries](std::uint32_t id) {
                if (*life != now || id < 1 || id > entries.size()) return;
                const Entry& entry = entries[id - 1];
                popupPicks_.push_back(entry.text);
                RunEntry(entry);
            });
            Fire(Trigger::PopupOpened);
        };
        if (delays_.popup > 0)
            Later(delays_.popup, open);
        else
            open();
        return;
    }
    Handle doc = win.parent;
    Role role = parent->role;
    presses_.push_back(IconPress{host_.Text(doc), win.icon, bySpace});
    if (role == Role::DownloadManager && win.icon == 2) {
        if (brokenDownload_ && !download_) {
            download_ = Transfer{brokenDownload_->file, -1, "Calculating Transfer Time"};
            brokenDownload_.reset();
            ShowDownload();
        }
        Fire(Trigger::ResumePressed);
    } else if (role == Role::Outbox && win.icon == 4) {
        if (brokenUpload_ && !upload_) {
            upload_ = Transfer{brokenUpload_->file, -1, "Calculating Transfer Time"};
            brokenUpload_.reset();
            ShowUpload();
        }
        Fire(Trigger::ResumePressed);
    } else if (role == Role::SignOn && win.icon == 4) {
        SubmitPassword(ChildOf(doc, Role::PasswordBox));
    } else if (role == Role::Room && win.icon == 1) {
        Handle input = ChildOf(doc, Role::Input);
        std::string text = host_.Text(input);
        if (!text.empty()) SendLine(input, text);
    }
}

// ---- read-back ---------------------------------------------------------------------------

std::vector<std::string> Client::Transcript(std::string_view room) const {
    std::vector<std::string> lines;
    for (const ChatLine& line : chat_)
        if (qm::EqualsNoCase(line.room, room)) lines.push_back(line.text);
    return lines;
}

int Client::DownloadResumePresses() const {
    return static_cast<int>(std::count_if(presses_.begin(), presses_.end(), [](const IconPress& p) {
        return p.window == kDownloadManager && p.icon == 2;
    }));
}

int Client::UploadResumePresses() const {
    return static_cast<int>(std::count_if(presses_.begin(), presses_.end(), [](const IconPress& p) {
        return p.window == kOutbox && p.icon == 4;
    }));
}

std::vector<std::string> Client::Captions(WindowEvent::Kind kind) const {
    std::vector<std::string> captions;
    for (const WindowEvent& e : events_)
        if (e.kind == kind) captions.push_back(e.caption);
    return captions;
}

Handle Client::MainWindow() const { return Find(Role::Main); }
Handle Client::MdiClient() const { return Find(Role::Mdi); }
Handle Client::ToolbarIcons() const { return Find(Role::Toolbar); }
Handle Client::KeywordBox() const { return Find(Role::KeywordBox); }
Handle Client::WelcomeWindow() const { return Find(Role::Welcome); }
Handle Client::SignOnWindow() const { return Find(Role::SignOn); }
Handle Client::PasswordBox() const { return ChildOf(SignOnWindow(), Role::PasswordBox); }
Handle Client::ChannelsWindow() const { return Find(Role::Channels); }
Handle Client::DownloadManager() const { return Find(Role::DownloadManager); }
Handle Client::UploadResumeWindow() const { return Find(Role::Outbox); }
Handle Client::DownloadWindow() const { return Find(Role::DownloadTransfer); }
Handle Client::UploadWindow() const { return Find(Role::UploadTransfer); }
Handle Client::OtherModal() const { return Find(Role::OtherModal); }
Handle Client::AlertWindow() const { return Find(Role::Alert); }
Handle Client::AlertButton() const { return ChildOf(AlertWindow(), Role::AlertButton); }

Handle Client::Room(std::string_view name) const {
    Handle found = 0;
    std::uint64_t seq = 0;
    for (const auto& [h, n] : roomNames_) {
        const Win* win = Get(h);
        if (win && qm::EqualsNoCase(n, name) && win->seq > seq && host_.Exists(h)) {
            found = h;
            seq = win->seq;
        }
    }
    return found;
}

Handle Client::FindDocument(std::string_view caption) const {
    Handle mdi = MdiClient();
    Handle found = 0;
    std::uint64_t seq = 0;
    for (const auto& [h, w] : wins_)
        if (mdi && w.parent == mdi && w.seq > seq && host_.Exists(h) && host_.Text(h) == caption) {
            found = h;
            seq = w.seq;
        }
    return found;
}

Handle Client::RoomInput(Handle room) const { return ChildOf(room, Role::Input); }
Handle Client::RoomTranscript(Handle room) const { return ChildOf(room, Role::Transcript); }
std::string Client::InputText(Handle room) const { return host_.Text(RoomInput(room)); }

}  // namespace aolsim
