#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "platform/sim/ini.h"
#include "platform/text.h"

namespace qm::sim {

struct SimPlatform::Window {
    Hwnd handle = 0;
    std::string cls;
    std::string text;
    Hwnd parent = 0;
    std::vector<Hwnd> children;
    WindowProc proc;
    bool visible = true;
    bool minimized = false;
    bool topmost = false;
    bool hung = false;
    int thread = kClientThread;
    int drags = 0;
    Hmenu menu = 0;
    std::vector<ShowCmd> shows;
};

struct SimPlatform::SimTimer {
    int id = 0;
    std::int64_t intervalUs = 0;
    std::function<void()> tick;
    bool running = false;
    std::int64_t dueUs = 0;
};

struct SimPlatform::Scheduled {
    std::int64_t dueUs = 0;
    std::uint64_t seq = 0;
    std::function<void()> action;
};

struct SimPlatform::File {
    std::string name;  // as first given, for Describe
    std::string bytes;
    FileFlags flags;
};

struct SimPlatform::Armed {
    Op op;
    int left = 0;                     // calls to go; the call that makes it 0 is the one
    std::optional<Hwnd> window;       // only calls on this window count
    std::optional<std::string> path;  // folded; only calls on this file count
    std::function<void()> meanwhile;  // empty: the call fails
};

namespace {

bool IsFileOp(Op op) {
    switch (op) {
        case Op::ReadFile:
        case Op::WriteFile:
        case Op::DeleteFile:
        case Op::FileExists:
        case Op::CreateFolder:
        case Op::GetProfileString:
        case Op::WriteProfileString:
            return true;
        default:
            return false;
    }
}

}  // namespace

SimPlatform::SimPlatform() {
    AddFolder(programFolder_);
    AddFolder(systemFolder_);
    AddFolder(userDataFolder_);
}

SimPlatform::~SimPlatform() = default;

// ---- window world -----------------------------------------------------------

SimPlatform::Window* SimPlatform::Get(Hwnd window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

const SimPlatform::Window* SimPlatform::Get(Hwnd window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

namespace {

// Marks a hook as running for as long as it lives; restores what was before.
class InHook {
public:
    explicit InHook(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~InHook() { flag_ = was_; }
    InHook(const InHook&) = delete;
    InHook& operator=(const InHook&) = delete;

private:
    bool& flag_;
    bool was_;
};

}  // namespace

void SimPlatform::Hook(Op op, Hwnd window) {
    if (hook_ && !inHook_) {
        InHook running(inHook_);
        hook_(op, window);
    }
    for (Armed& due : TakeDue(op, window, ""))
        if (due.meanwhile) {
            InHook running(inHook_);
            due.meanwhile();
        }
}

bool SimPlatform::FileCallFails(Op op, const std::string& path) {
    bool fails = false;
    if (fileHook_ && !inHook_) {
        InHook running(inHook_);
        fails = fileHook_(op, path) == Verdict::Fail;
    }
    for (Armed& due : TakeDue(op, 0, path)) {
        if (!due.meanwhile) {
            fails = true;
            continue;
        }
        InHook running(inHook_);
        due.meanwhile();
    }
    // As Windows' "A" functions, which would cut the name at a zero byte and
    // so reach another file: such a name names nothing.
    return fails || path.find('\0') != std::string::npos;
}

std::vector<SimPlatform::Armed> SimPlatform::TakeDue(Op op, Hwnd window, const std::string& path) {
    std::vector<Armed> due;
    if (armed_.empty()) return due;
    const std::string folded = FoldPath(path);
    for (auto it = armed_.begin(); it != armed_.end();) {
        if (it->op == op && (!it->window || *it->window == window) && (!it->path || *it->path == folded) &&
            --it->left == 0) {
            due.push_back(std::move(*it));
            it = armed_.erase(it);
        } else {
            ++it;
        }
    }
    return due;
}

void SimPlatform::FailNth(Op op, int n, std::optional<std::string> path) {
    if (!IsFileOp(op)) throw std::invalid_argument("FailNth: only file and profile operations fail");
    if (n < 1) throw std::invalid_argument("FailNth: n counts from 1");
    if (path) path = FoldPath(*path);
    armed_.push_back(Armed{op, n, std::nullopt, std::move(path), {}});
}

std::size_t SimPlatform::ArmedLeft() const { return armed_.size(); }

void SimPlatform::AtNth(Op op, int n, std::function<void()> meanwhile, std::optional<Hwnd> window) {
    if (n < 1) throw std::invalid_argument("AtNth: n counts from 1");
    if (!meanwhile) return;
    armed_.push_back(Armed{op, n, window, std::nullopt, std::move(meanwhile)});
}

std::vector<Hwnd>& SimPlatform::SiblingsOf(Hwnd window) {
    Window* w = Get(window);
    if (w && w->parent) return Get(w->parent)->children;
    return topLevel_;
}

Hwnd SimPlatform::CreateWindow(const std::string& cls, const std::string& text, Hwnd parent, WindowProc proc) {
    if (parent && !Get(parent)) return 0;
    auto w = std::make_unique<Window>();
    w->handle = nextHwnd_;
    nextHwnd_ += 4;
    w->cls = cls;
    w->text = text;
    w->parent = parent;
    w->proc = std::move(proc);
    if (parent) w->thread = Get(parent)->thread;
    Hwnd h = w->handle;
    windows_[h] = std::move(w);
    (parent ? Get(parent)->children : topLevel_).push_back(h);
    return h;
}

void SimPlatform::DestroyWindow(Hwnd window) {
    Window* w = Get(window);
    if (!w) return;
    for (Hwnd child : std::vector<Hwnd>(w->children)) DestroyWindow(child);
    auto& siblings = SiblingsOf(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    if (window == mainWindow_) {
        mainWindow_ = 0;
        mainModel_ = nullptr;
    }
    windows_.erase(window);
}

void SimPlatform::BringToFront(Hwnd window) {
    if (!Get(window)) return;
    auto& siblings = SiblingsOf(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    siblings.insert(siblings.begin(), window);
}

void SimPlatform::SetTextDirect(Hwnd window, const std::string& text) {
    if (Window* w = Get(window)) w->text = text;
}

std::string SimPlatform::TextOf(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->text : std::string();
}

std::string SimPlatform::ClassOf(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->cls : std::string();
}

Hwnd SimPlatform::ParentOf(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->parent : 0;
}

std::vector<Hwnd> SimPlatform::ChildrenOf(Hwnd window) const {
    if (window == 0) return topLevel_;
    const Window* w = Get(window);
    return w ? w->children : std::vector<Hwnd>{};
}

std::vector<ShowCmd> SimPlatform::ShowHistory(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->shows : std::vector<ShowCmd>{};
}

bool SimPlatform::Visible(Hwnd window) const {
    const Window* w = Get(window);
    return w && w->visible;
}

bool SimPlatform::Minimized(Hwnd window) const {
    const Window* w = Get(window);
    return w && w->minimized;
}

bool SimPlatform::Topmost(Hwnd window) const {
    const Window* w = Get(window);
    return w && w->topmost;
}

int SimPlatform::DragCount(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->drags : 0;
}

void SimPlatform::SetHung(Hwnd window, bool hung) {
    if (Window* w = Get(window)) w->hung = hung;
}

std::int64_t SimPlatform::TimeoutUs() { return static_cast<std::int64_t>(kSendTimeoutMs) * 1000; }

void SimPlatform::SetBusyUntil(double seconds, int thread) {
    busyUntilUs_[thread] = static_cast<std::int64_t>(std::llround(std::max(0.0, seconds) * 1e6));
}

bool SimPlatform::Busy(int thread) const {
    auto it = busyUntilUs_.find(thread);
    return it != busyUntilUs_.end() && it->second > nowUs_;
}

int SimPlatform::ThreadOf(Hwnd window) const {
    const Window* w = Get(window);
    return w ? w->thread : kOwnThread;
}

void SimPlatform::BlockInHandler(double seconds, std::function<void()> finish, int thread) {
    const std::int64_t until = nowUs_ + static_cast<std::int64_t>(std::llround(std::max(0.0, seconds) * 1e6));
    if (!Busy(thread) || until > busyUntilUs_[thread]) busyUntilUs_[thread] = until;
    std::function<void()>& rest = blockedHandlers_[thread];
    if (finish)
        rest = rest ? [first = std::move(rest), then = std::move(finish)] { first(), then(); } : std::move(finish);
    blockedNow_ = true;
    Schedule(seconds, [this, thread] { FlushThread(thread); });
}

void SimPlatform::FlushThread(int thread) {
    if (Busy(thread)) return;
    // The stuck handler finishes before the thread looks at anything else.
    if (auto stuck = blockedHandlers_.find(thread); stuck != blockedHandlers_.end()) {
        std::function<void()> rest = std::move(stuck->second);
        blockedHandlers_.erase(stuck);
        if (rest) rest();
        if (Busy(thread)) return;
    }
    auto it = queuedSends_.find(thread);
    if (it == queuedSends_.end()) return;
    // In order, as the thread's queue of sent messages is worked off.
    while (!it->second.empty() && !Busy(thread)) {
        auto [window, message] = std::move(it->second.front());
        it->second.pop_front();
        Deliver(window, message);
        it = queuedSends_.find(thread);
        if (it == queuedSends_.end()) return;
    }
}

bool SimPlatform::Exchange(Hwnd window, const Message* message) {
    Window* w = Get(window);
    if (!w) return false;
    if (w->hung) {
        // The sender waits out its timeout; time passes but nothing else
        // runs, as inside SendMessageTimeout.
        nowUs_ += TimeoutUs();
        return false;
    }
    const int thread = w->thread;
    if (thread != kOwnThread) {
        FlushThread(thread);
        const std::int64_t busyUntil = Busy(thread) ? busyUntilUs_[thread] : nowUs_;
        if (busyUntil - nowUs_ > TimeoutUs()) {
            nowUs_ += TimeoutUs();
            // Not answered, yet (but under Wine) still on the thread's queue:
            // handled in order once the thread is free again.  A read changes
            // nothing there.
            if (message && !dropsTimedOut_) {
                auto& queue = queuedSends_[thread];
                queue.emplace_back(window, *message);
                if (queue.size() == 1)
                    Schedule(static_cast<double>(busyUntil - nowUs_) / 1e6, [this, thread] { FlushThread(thread); });
            }
            return false;
        }
        nowUs_ = busyUntil;  // answered late
        FlushThread(thread);
        if (!Get(window)) return false;
    }
    if (!message) return true;
    const std::int64_t sent = nowUs_;
    blockedNow_ = false;
    Deliver(window, *message);
    if (thread != kOwnThread && blockedNow_) {
        // The handler got stuck: its sender waits for it as for any answer.
        blockedNow_ = false;
        const std::int64_t until = busyUntilUs_[thread];
        if (until - sent > TimeoutUs()) {
            nowUs_ = std::max(nowUs_, sent + TimeoutUs());
            return false;
        }
        nowUs_ = std::max(nowUs_, until);
        FlushThread(thread);
    }
    return true;
}

void SimPlatform::Deliver(Hwnd window, const Message& message) {
    Window* w = Get(window);
    if (!w) return;
    if (message.msg == Msg::Show) w->shows.push_back(static_cast<ShowCmd>(message.wparam));
    if (w->proc) {
        WindowProc proc = w->proc;  // the handler may destroy the window
        if (proc(window, message)) return;
        w = Get(window);
        if (!w) return;
    }
    switch (message.msg) {
        case Msg::SetText:
            w->text = message.text;
            break;
        case Msg::Close:
            DestroyWindow(window);
            break;
        case Msg::Show: {
            auto cmd = static_cast<ShowCmd>(message.wparam);
            w->visible = cmd != ShowCmd::Hide;
            if (cmd == ShowCmd::Minimize) w->minimized = true;
            if (cmd == ShowCmd::Restore || cmd == ShowCmd::Normal) w->minimized = false;
            break;
        }
        default:
            break;
    }
}

Hwnd SimPlatform::FindIn(const std::vector<Hwnd>& list, Hwnd after, std::string_view cls,
                         std::optional<std::string_view> caption) {
    auto it = list.begin();
    if (after) {
        // A walk asks for the one after what it found last: start there, so
        // that walking a thousand windows costs a thousand steps.
        const bool hinted = findHint_ < list.size() && list[findHint_] == after;
        it = hinted ? list.begin() + static_cast<std::ptrdiff_t>(findHint_) : std::find(list.begin(), list.end(), after);
        if (it == list.end()) return 0;
        ++it;
    }
    for (; it != list.end(); ++it) {
        const Window* w = Get(*it);
        if (!EqualsNoCase(w->cls, cls)) continue;
        if (caption && !EqualsNoCase(w->text, *caption)) continue;
        findHint_ = static_cast<std::size_t>(it - list.begin());
        return *it;
    }
    return 0;
}

Hwnd SimPlatform::FindWindow(std::string_view cls, std::optional<std::string_view> caption) {
    Hook(Op::FindWindow, 0);
    return FindIn(topLevel_, 0, cls, caption);
}

Hwnd SimPlatform::FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                               std::optional<std::string_view> caption) {
    Hook(Op::FindWindowEx, parent);
    Window* p = Get(parent);
    if (!p) return 0;
    return FindIn(p->children, after, cls, caption);
}

Hwnd SimPlatform::NextWindow(Hwnd window) {
    Hook(Op::NextWindow, window);
    if (!Get(window)) return 0;
    auto& siblings = SiblingsOf(window);
    auto it = std::find(siblings.begin(), siblings.end(), window);
    return (it == siblings.end() || ++it == siblings.end()) ? 0 : *it;
}

int SimPlatform::GetWindowTextLength(Hwnd window) {
    Hook(Op::GetWindowTextLength, window);
    const Window* w = Get(window);
    return w ? static_cast<int>(w->text.size()) : 0;
}

std::string SimPlatform::GetWindowText(Hwnd window, int bufferSize) {
    Hook(Op::GetWindowText, window);
    const Window* w = Get(window);
    if (!w || bufferSize <= 0) return "";
    return w->text.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

std::optional<int> SimPlatform::GetTextLength(Hwnd window) {
    Hook(Op::GetTextLength, window);
    if (!window) return 0;
    if (!Exchange(window, nullptr)) return std::nullopt;
    const int length = static_cast<int>(Get(window)->text.size());
    // Heard once answered, as a read is: a text that changes then is not in
    // the answer.
    Deliver(window, Message{Msg::GetTextLength, 0, {}});
    return length;
}

std::optional<std::string> SimPlatform::GetText(Hwnd window, int bufferSize) {
    Hook(Op::GetText, window);
    if (!window) return std::string();
    if (!Exchange(window, nullptr)) return std::nullopt;
    const std::string text =
        bufferSize <= 0 ? std::string() : Get(window)->text.substr(0, static_cast<std::size_t>(bufferSize - 1));
    // The window hears the read once its answer is made: whatever it does
    // then (it may even go) is not in the answer.
    Deliver(window, Message{Msg::GetText, static_cast<std::uint32_t>(std::max(bufferSize, 0)), {}});
    return text;
}

std::optional<std::string> SimPlatform::GetTextTail(Hwnd window, int maxBytes) {
    Hook(Op::GetTextTail, window);
    if (!window) return std::string();
    if (!Exchange(window, nullptr)) return std::nullopt;
    const std::string& text = Get(window)->text;
    const std::size_t most = static_cast<std::size_t>(std::max(maxBytes, 0));
    if (text.size() <= most) return text;
    // The last whole lines that fit: from the first line start within the
    // last `most` bytes.
    const std::size_t from = text.size() - most;
    const std::size_t end = text.find("\r\n", from >= 2 ? from - 2 : 0);
    if (end == std::string::npos) return std::string();
    return text.substr(end + 2);
}

bool SimPlatform::SetText(Hwnd window, const std::string& text) {
    Hook(Op::SetText, window);
    const Message message{Msg::SetText, 0, text};
    return Exchange(window, &message);
}

bool SimPlatform::Send(Hwnd window, Msg msg, std::uint32_t wparam) {
    Hook(Op::Send, window);
    const Message message{msg, wparam, {}};
    return Exchange(window, &message);
}

void SimPlatform::Post(Hwnd window, Msg msg, std::uint32_t wparam) {
    Hook(Op::Post, window);
    if (!Get(window)) return;
    posted_.emplace_back(window, Message{msg, wparam, {}});
}

void SimPlatform::ShowWindow(Hwnd window, ShowCmd cmd) {
    Hook(Op::ShowWindow, window);
    Window* w = Get(window);
    if (!w) return;
    const Message message{Msg::Show, static_cast<std::uint32_t>(cmd), {}};
    // As ShowWindowAsync: a busy thread gets to it later, in order.
    if (w->thread != kOwnThread && (Busy(w->thread) || !queuedSends_[w->thread].empty())) {
        auto& queue = queuedSends_[w->thread];
        queue.emplace_back(window, message);
        if (queue.size() == 1 && Busy(w->thread)) {
            const int thread = w->thread;
            Schedule(static_cast<double>(busyUntilUs_[thread] - nowUs_) / 1e6, [this, thread] { FlushThread(thread); });
        }
        return;
    }
    Deliver(window, message);
}

void SimPlatform::SetForegroundWindow(Hwnd window) { BringToFront(window); }

void SimPlatform::MakeTopmost(Hwnd window) {
    if (Window* w = Get(window)) w->topmost = true;
}

void SimPlatform::BeginWindowDrag(Hwnd window) {
    if (Window* w = Get(window)) ++w->drags;
}

// ---- menus --------------------------------------------------------------------

Hmenu SimPlatform::CreateMenu(std::vector<MenuItem> items) {
    Hmenu h = nextMenu_;
    nextMenu_ += 4;
    menus_[h] = std::move(items);
    return h;
}

void SimPlatform::SetMenu(Hwnd window, Hmenu menu) {
    if (Window* w = Get(window)) w->menu = menu;
}

Hmenu SimPlatform::GetMenu(Hwnd window) {
    Hook(Op::GetMenu, window);
    const Window* w = Get(window);
    return w ? w->menu : 0;
}

int SimPlatform::GetMenuItemCount(Hmenu menu) {
    Hook(Op::GetMenuItemCount, 0);
    auto it = menus_.find(menu);
    if (it == menus_.end() || menusUnreadable_) return -1;
    return static_cast<int>(it->second.size());
}

Hmenu SimPlatform::GetSubMenu(Hmenu menu, int position) {
    Hook(Op::GetSubMenu, 0);
    auto it = menus_.find(menu);
    if (it == menus_.end() || menusUnreadable_ || position < 0 ||
        position >= static_cast<int>(it->second.size()))
        return 0;
    return it->second[position].submenu;
}

std::uint32_t SimPlatform::GetMenuItemID(Hmenu menu, int position) {
    Hook(Op::GetMenuItemID, 0);
    auto it = menus_.find(menu);
    if (it == menus_.end() || menusUnreadable_ || position < 0 ||
        position >= static_cast<int>(it->second.size()))
        return kMenuIdSubmenu;
    const MenuItem& item = it->second[position];
    if (item.submenu) return kMenuIdSubmenu;
    return item.separator ? 0 : item.id;
}

std::string SimPlatform::GetMenuString(Hmenu menu, std::uint32_t id, int bufferSize) {
    Hook(Op::GetMenuString, 0);
    if (menusUnreadable_ || bufferSize <= 0) return "";
    // By command: the first item with the identifier, searching submenus too.
    std::function<const MenuItem*(Hmenu)> search = [&](Hmenu m) -> const MenuItem* {
        auto it = menus_.find(m);
        if (it == menus_.end()) return nullptr;
        for (const MenuItem& item : it->second) {
            if (item.submenu) {
                if (const MenuItem* found = search(item.submenu)) return found;
            } else if ((item.separator ? 0 : item.id) == id) {
                return &item;
            }
        }
        return nullptr;
    };
    const MenuItem* item = search(menu);
    if (!item) return "";
    return item->text.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

// ---- profile strings ----------------------------------------------------------

std::string SimPlatform::GetProfileString(const std::string& section, const std::string& key,
                                          const std::string& path, int bufferSize) {
    if (FileCallFails(Op::GetProfileString, path)) return "";
    std::optional<std::string> bytes = ReadBytes(path, static_cast<std::size_t>(-1));
    if (!bytes || bufferSize <= 0) return "";
    return ini::Read(*bytes, section, key, static_cast<std::size_t>(bufferSize));
}

bool SimPlatform::WriteProfileString(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& path) {
    if (FileCallFails(Op::WriteProfileString, path)) return false;
    const std::optional<std::string> bytes = ReadBytes(path, static_cast<std::size_t>(-1));
    // As Windows: a file that cannot be read is not rewritten from nothing.
    if (!bytes && files_.count(FoldPath(path))) return false;
    return WriteBytes(path, ini::Write(bytes.value_or(""), section, key, value));
}

// ---- time ---------------------------------------------------------------------

double SimPlatform::Now() { return static_cast<double>(nowUs_) / 1e6; }

LocalTime SimPlatform::LocalNow() {
    LocalTime t = localStart_;
    const std::int64_t seconds = ((t.hour * 60 + t.minute) * 60 + t.second) + nowUs_ / 1000000;
    t.second = static_cast<int>(seconds % 60);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.hour = static_cast<int>(seconds / 3600 % 24);
    t.day += static_cast<int>(seconds / 86400);
    return t;
}

std::optional<double> SimPlatform::SecondsSinceInput() {
    if (!lastInputUs_) return std::nullopt;
    return static_cast<double>(std::max<std::int64_t>(0, nowUs_ - *lastInputUs_)) / 1e6;
}

void SimPlatform::SetLastInput(std::optional<double> seconds) {
    lastInputUs_.reset();
    if (seconds) lastInputUs_ = static_cast<std::int64_t>(*seconds * 1e6);
}

int SimPlatform::CreateTimer(unsigned milliseconds, std::function<void()> tick) {
    auto t = std::make_unique<SimTimer>();
    t->id = static_cast<int>(timers_.size()) + 1;
    t->intervalUs = std::max<std::int64_t>(1, milliseconds) * 1000;
    t->tick = std::move(tick);
    timers_.push_back(std::move(t));
    return timers_.back()->id;
}

void SimPlatform::SetTimerRunning(int timer, bool running) {
    if (timer < 1 || timer > static_cast<int>(timers_.size())) return;
    SimTimer& t = *timers_[timer - 1];
    if (!t.tick) return;  // destroyed
    if (running && !t.running) t.dueUs = nowUs_ + t.intervalUs;
    t.running = running;
}

void SimPlatform::DestroyTimer(int timer) {
    if (timer < 1 || timer > static_cast<int>(timers_.size())) return;
    SimTimer& t = *timers_[timer - 1];
    t.running = false;
    t.tick = nullptr;
}

bool SimPlatform::TimerRunning(int timer) const {
    return timer >= 1 && timer <= static_cast<int>(timers_.size()) && timers_[timer - 1]->running;
}

int SimPlatform::TimersRunning() const {
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->running; }));
}

void SimPlatform::Schedule(double seconds, std::function<void()> action) {
    auto s = std::make_unique<Scheduled>();
    s->dueUs = nowUs_ + static_cast<std::int64_t>(std::llround(std::max(0.0, seconds) * 1e6));
    s->seq = scheduleSeq_++;
    s->action = std::move(action);
    auto pos = std::upper_bound(scheduled_.begin(), scheduled_.end(), s,
                                [](const auto& a, const auto& b) { return a->dueUs < b->dueUs; });
    scheduled_.insert(pos, std::move(s));
}

std::optional<std::int64_t> SimPlatform::NextDue() const {
    std::optional<std::int64_t> due;
    if (!scheduled_.empty()) due = scheduled_.front()->dueUs;
    for (const auto& t : timers_)
        if (t->running && (!due || t->dueUs < *due)) due = t->dueUs;
    return due;
}

bool SimPlatform::DeliverPosted() {
    std::deque<std::pair<Hwnd, Message>> waiting;  // for programs that hang or are busy
    bool delivered = false;
    while (!posted_.empty() && !quit_) {
        auto posted = std::move(posted_.front());
        posted_.pop_front();
        Window* w = Get(posted.first);
        if (!w) continue;
        if (w->hung || (w->thread != kOwnThread && Busy(w->thread))) {
            waiting.push_back(std::move(posted));
            continue;
        }
        // What was sent to the thread before comes first.
        FlushThread(w->thread);
        if (!Get(posted.first)) continue;
        Deliver(posted.first, posted.second);
        delivered = true;
    }
    posted_.insert(posted_.begin(), std::make_move_iterator(waiting.begin()), std::make_move_iterator(waiting.end()));
    return delivered;
}

bool SimPlatform::RunDue() {
    bool ran = false;
    while (!quit_) {
        if (DeliverPosted()) {
            ran = true;
            continue;
        }
        // The earliest due action or timer; scheduled actions first on a tie.
        SimTimer* timer = nullptr;
        for (const auto& t : timers_)
            if (t->running && t->dueUs <= nowUs_ && (!timer || t->dueUs < timer->dueUs)) timer = t.get();
        bool scheduledDue = !scheduled_.empty() && scheduled_.front()->dueUs <= nowUs_;
        if (scheduledDue && (!timer || scheduled_.front()->dueUs <= timer->dueUs)) {
            auto s = std::move(scheduled_.front());
            scheduled_.pop_front();
            s->action();
            ran = true;
        } else if (timer) {
            // Like WM_TIMER: one tick however late, the next one an interval on.
            timer->dueUs = nowUs_ + timer->intervalUs;
            std::function<void()> tick = timer->tick;
            tick();
            ran = true;
        } else {
            break;
        }
    }
    return ran;
}

void SimPlatform::ProcessEvents() { RunDue(); }

void SimPlatform::WaitForEvents(double seconds) {
    std::int64_t target = nowUs_ + static_cast<std::int64_t>(std::ceil(std::max(0.0, seconds) * 1e6));
    // After Quit nothing runs, but time still passes: a wait of a handler
    // still on the stack ends.
    if (quit_) {
        nowUs_ = target;
        return;
    }
    if (RunDue()) return;
    std::optional<std::int64_t> due = NextDue();
    if (due && *due <= target) {
        nowUs_ = std::max(nowUs_, *due);
        RunDue();
        return;
    }
    nowUs_ = target;
}

void SimPlatform::RunFor(double seconds) {
    std::int64_t target = nowUs_ + static_cast<std::int64_t>(std::llround(seconds * 1e6));
    while (nowUs_ < target && !quit_) WaitForEvents(static_cast<double>(target - nowUs_) / 1e6);
    RunDue();
}

// ---- own windows and dialogs ----------------------------------------------------

Hwnd SimPlatform::CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                                   MainWindowModel& model) {
    mainWindow_ = CreateWindow("quillmoorForm", caption, 0);
    Get(mainWindow_)->thread = kOwnThread;
    mainLayout_ = layout;
    Get(mainWindow_)->visible = false;
    mainModel_ = &model;
    return mainWindow_;
}

Hwnd SimPlatform::CreateEditorWindow(const std::string& caption, const EditorWindowLayout& layout,
                                     EditorWindowModel& model) {
    editorWindow_ = CreateWindow("quillmoorEditor", caption, 0);
    Window* w = Get(editorWindow_);
    w->thread = kOwnThread;
    w->visible = false;
    editorLayout_ = layout;
    editorModel_ = &model;
    return editorWindow_;
}

void SimPlatform::Invalidate(Hwnd window) {
    if (window && window == mainWindow_) ++invalidateCount_;
    if (window && window == editorWindow_) ++editorInvalidateCount_;
}

int SimPlatform::TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) {
    int chosen = 0;
    if (!popupScript_.empty()) {
        std::vector<std::string> path = std::move(popupScript_.front());
        popupScript_.pop_front();
        const PopupItem* at = &root;
        for (const std::string& caption : path) {
            auto it = std::find_if(at->children.begin(), at->children.end(),
                                   [&](const PopupItem& i) { return i.caption == caption; });
            if (it == at->children.end() || !it->enabled) {
                at = nullptr;
                break;
            }
            at = &*it;
        }
        if (at && at != &root && at->children.empty() && at->caption != "-") chosen = at->id;
    }
    popups_.push_back(PopupCall{root, owner, at, defaultId, chosen});
    return chosen;
}

std::string SimPlatform::InputBox(const std::string& title, const std::string& prompt,
                                  const std::string& defaultText) {
    std::string answer;
    if (!promptScript_.empty()) {
        answer = promptScript_.front().value_or("");
        promptScript_.pop_front();
    }
    prompts_.push_back(PromptCall{title, prompt, defaultText, answer});
    return answer;
}

void SimPlatform::MessageBox(const std::string& title, const std::string& text) {
    messageBoxes_.push_back(MessageBoxCall{title, text});
}

Hwnd SimPlatform::TrayWindow() {
    if (!trayWindow_) {
        trayWindow_ = CreateWindow("quillmoorHelper", "", 0);
        Get(trayWindow_)->thread = kOwnThread;
        Get(trayWindow_)->visible = false;
    }
    return trayWindow_;
}

bool SimPlatform::TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) {
    trayCalls_.push_back(TrayCall{op, record});
    if (trayRefuses_ || record.size() != kTrayRecordSize) return false;
    // As the real backend: the record must name the window that hears it.
    const std::uint32_t window = static_cast<std::uint32_t>(record[4]) | static_cast<std::uint32_t>(record[5]) << 8 |
                                 static_cast<std::uint32_t>(record[6]) << 16 | static_cast<std::uint32_t>(record[7]) << 24;
    return window == TrayWindow();
}

void SimPlatform::OnTaskbarCreated(std::function<void()> handler) { taskbarHandler_ = std::move(handler); }

void SimPlatform::TaskbarCreated() {
    if (taskbarHandler_) taskbarHandler_();
}

void SimPlatform::OnTrayMessage(std::function<void(std::uint32_t)> handler) { trayHandler_ = std::move(handler); }

void SimPlatform::TrayMouse(std::uint32_t mouseMessage) {
    if (trayHandler_) trayHandler_(mouseMessage);
}

void SimPlatform::SetTaskListEntry(bool shown) { taskListEntry_ = shown; }

bool SimPlatform::PreviousInstanceRunning() { return previousInstance_; }

void SimPlatform::RunMessageLoop() {
    // Until the program ends, or nothing is left that could ever happen.
    while (!quit_ && (NextDue() || !posted_.empty())) WaitForEvents(3600.0);
}

void SimPlatform::Quit() { quit_ = true; }

// ---- files ------------------------------------------------------------------------

std::string SimPlatform::FoldPath(const std::string& path) {
    std::string folded = ToLowerAscii(path);
    std::replace(folded.begin(), folded.end(), '/', '\\');
    while (folded.size() > 1 && folded.back() == '\\') folded.pop_back();
    return folded;
}

std::string SimPlatform::FolderOf(const std::string& path) {
    std::string folded = FoldPath(path);
    std::size_t slash = folded.rfind('\\');
    return slash == std::string::npos ? std::string() : folded.substr(0, slash);
}

bool SimPlatform::FolderExists(const std::string& folder) const { return folders_.count(FoldPath(folder)) > 0; }

void SimPlatform::SetProgramFolder(const std::string& folder) {
    programFolder_ = folder;
    AddFolder(folder);
}

void SimPlatform::SetSystemFolder(const std::string& folder) {
    systemFolder_ = folder;
    AddFolder(folder);
}

void SimPlatform::AddFolder(const std::string& folder) { folders_.insert(FoldPath(folder)); }

void SimPlatform::RemoveFolder(const std::string& folder) { folders_.erase(FoldPath(folder)); }

std::string SimPlatform::ProgramFolder() { return programFolder_; }

std::string SimPlatform::SystemFolder() { return systemFolder_; }

std::string SimPlatform::UserDataFolder() { return userDataFolder_; }

void SimPlatform::SetUserDataFolder(const std::string& folder) {
    userDataFolder_ = folder;
    if (!folder.empty()) AddFolder(folder);
}

bool SimPlatform::CreateFolder(const std::string& path) {
    if (FileCallFails(Op::CreateFolder, path) || path.empty()) return false;
    for (std::string folder = FoldPath(path); !folder.empty() && folder.find('\\') != std::string::npos;
         folder = FolderOf(folder)) {
        if (files_.count(folder)) return false;  // a file of that name is in the way
        folders_.insert(folder);
    }
    folders_.insert(FoldPath(path));
    return true;
}

bool SimPlatform::DeleteFile(const std::string& path) {
    if (FileCallFails(Op::DeleteFile, path)) return false;
    auto it = files_.find(FoldPath(path));
    if (it == files_.end() || it->second.flags.readOnly || it->second.flags.folder || it->second.flags.held)
        return false;
    files_.erase(it);
    return true;
}

std::optional<std::string> SimPlatform::FileBytes(const std::string& path) const {
    auto it = files_.find(FoldPath(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
}

SimPlatform::File& SimPlatform::FileAt(const std::string& path) {
    File& file = files_[FoldPath(path)];
    if (file.name.empty()) file.name = path;
    return file;
}

void SimPlatform::SetFileBytes(const std::string& path, const std::string& bytes) {
    AddFolder(FolderOf(path));
    FileAt(path).bytes = bytes;
}

void SimPlatform::RemoveFile(const std::string& path) { files_.erase(FoldPath(path)); }

void SimPlatform::SetFileFlags(const std::string& path, FileFlags flags) { FileAt(path).flags = flags; }

std::vector<std::string> SimPlatform::NamesIn(const std::string& folder) const {
    const std::string in = FoldPath(folder);
    std::set<std::string> names;
    for (const auto& [path, file] : files_)
        if (FolderOf(path) == in) names.insert(path.substr(in.size() + 1));
    for (const std::string& path : folders_)
        if (FolderOf(path) == in) names.insert(path.substr(in.size() + 1));
    return {names.begin(), names.end()};
}

bool SimPlatform::FileExists(const std::string& path) {
    if (FileCallFails(Op::FileExists, path) || path.empty()) return false;
    auto it = files_.find(FoldPath(path));
    if (it == files_.end()) return false;
    const FileFlags& f = it->second.flags;
    return !f.hidden && !f.system && !f.folder;
}

std::optional<std::string> SimPlatform::ReadFile(const std::string& path, std::size_t maxBytes) {
    if (FileCallFails(Op::ReadFile, path)) return std::nullopt;
    return ReadBytes(path, maxBytes);
}

std::optional<std::string> SimPlatform::ReadBytes(const std::string& path, std::size_t maxBytes) const {
    auto it = files_.find(FoldPath(path));
    if (it == files_.end() || it->second.flags.unreadable || it->second.flags.folder) return std::nullopt;
    if (std::min(maxBytes, it->second.bytes.size()) > it->second.flags.breaksAfter) return std::nullopt;
    return it->second.bytes.substr(0, maxBytes);
}

bool SimPlatform::WriteFile(const std::string& path, const std::string& bytes) {
    if (FileCallFails(Op::WriteFile, path)) return false;
    return WriteBytes(path, bytes);
}

bool SimPlatform::WriteBytes(const std::string& path, const std::string& bytes) {
    if (path.empty() || !FolderExists(FolderOf(path))) return false;
    auto it = files_.find(FoldPath(path));
    if (it != files_.end() && (it->second.flags.readOnly || it->second.flags.folder || it->second.flags.held))
        return false;
    FileAt(path).bytes = bytes;
    return true;
}

// ---- description --------------------------------------------------------------

namespace {

// Longer texts are cut in a description: a transcript can run to kilobytes.
constexpr std::size_t kDescribedTextBytes = 60;

// Virtual time in seconds, to the microsecond, without trailing zeros.
std::string Seconds(std::int64_t us) {
    std::string out = std::to_string(us / 1000000);
    if (std::int64_t frac = us % 1000000) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06lld", static_cast<long long>(frac < 0 ? -frac : frac));
        std::string tail = digits;
        while (tail.back() == '0') tail.pop_back();
        out += "." + tail;
    }
    return out + " s";
}

// A text in quotes, bytes that do not print as \xNN, cut when long.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < kDescribedTextBytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    out += '"';
    if (text.size() > kDescribedTextBytes) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::string Handle(std::uint32_t handle) {
    char hex[11];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(handle));
    return hex;
}

}  // namespace

std::string SimPlatform::Describe() const {
    std::string out = "time: " + Seconds(nowUs_) + "\nwindows:\n";
    std::function<void(Hwnd, int)> window = [&](Hwnd h, int depth) {
        const Window& w = *Get(h);
        out += std::string(2 * depth + 2, ' ') + Handle(h) + " " + Quoted(w.cls) + " " + Quoted(w.text) + " ";
        out += w.visible ? (w.minimized ? "minimized" : "shown") : (w.minimized ? "hidden, minimized" : "hidden");
        out += ", thread " + std::to_string(w.thread);
        if (Busy(w.thread)) out += " (busy until " + Seconds(busyUntilUs_.at(w.thread)) + ")";
        if (w.hung) out += ", hung";
        if (w.topmost) out += ", topmost";
        out += "\n";
        for (Hwnd child : w.children) window(child, depth + 1);
    };
    if (topLevel_.empty()) out += "  none\n";
    for (Hwnd h : topLevel_) window(h, 0);
    out += "files:\n";
    if (files_.empty()) out += "  none\n";
    for (const auto& [folded, file] : files_) {
        out += "  " + file.name + ": " + std::to_string(file.bytes.size()) + " bytes";
        const FileFlags& f = file.flags;
        if (f.hidden) out += ", hidden";
        if (f.system) out += ", system";
        if (f.folder) out += ", folder";
        if (f.readOnly) out += ", read-only";
        if (f.unreadable) out += ", unreadable";
        if (f.breaksAfter != FileFlags{}.breaksAfter)
            out += ", reads break after " + std::to_string(f.breaksAfter) + " bytes";
        out += "\n";
    }
    return out;
}

}  // namespace qm::sim
