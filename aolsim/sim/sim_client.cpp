#include "aolsim/sim/sim_client.h"

#include "platform/text.h"

namespace aolsim {

namespace sim = qm::sim;

namespace {

// The letter after the first single "&", lower-cased; 0 when there is none.
char Accelerator(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return qm::LowerAscii(text[i + 1]);
    }
    return 0;
}

}  // namespace

SimHost::SimHost(sim::SimPlatform& platform) : p_(platform), alive_(std::make_shared<bool>(true)) {}

SimHost::~SimHost() {
    *alive_ = false;
    // What the model left behind goes with the client.
    std::vector<Handle> tops;
    for (Handle h : p_.ChildrenOf(0))
        if (mine_.count(h)) tops.push_back(h);
    for (Handle h : tops) p_.DestroyWindow(h);
}

Handle SimHost::Create(const std::string& cls, const std::string& text, Handle parent) {
    std::shared_ptr<bool> alive = alive_;
    Handle h = p_.CreateWindow(cls, text, parent, [this, alive](qm::Hwnd w, const sim::Message& m) {
        return *alive && Deliver(w, m);
    });
    if (!h) return 0;
    mine_.insert(h);
    if (qm::EqualsNoCase(cls, "Edit")) carets_[h] = 0;
    if (hung_) p_.SetHung(h, true);
    return h;
}

void SimHost::Destroy(Handle window) {
    if (!mine_.count(window)) return;
    p_.DestroyWindow(window);
}

bool SimHost::Exists(Handle window) { return window && mine_.count(window) && p_.IsWindow(window); }

void SimHost::SetText(Handle window, const std::string& text) {
    if (!Exists(window)) return;
    p_.SetTextDirect(window, text);
    if (carets_.count(window)) carets_[window] = 0;
}

std::string SimHost::Text(Handle window) { return Exists(window) ? p_.TextOf(window) : std::string(); }

void SimHost::BringToFront(Handle window) {
    if (Exists(window)) p_.BringToFront(window);
}

void SimHost::SetMenuBar(Handle window, const std::vector<MenuBarMenu>& menus) {
    std::vector<sim::MenuItem> bar;
    for (const MenuBarMenu& menu : menus) {
        std::vector<sim::MenuItem> items;
        for (const MenuEntry& e : menu.entries) items.push_back(sim::MenuItem{e.text, e.id, 0, false});
        bar.push_back(sim::MenuItem{menu.title, 0, p_.CreateMenu(std::move(items)), false});
    }
    p_.SetMenu(window, p_.CreateMenu(std::move(bar)));
    menuBars_[window] = menus;
}

bool SimHost::MenuBarKey(Handle window, std::uint32_t code) {
    auto bar = menuBars_.find(window);
    if (bar == menuBars_.end()) return false;
    const char key = qm::LowerAscii(static_cast<char>(code & 0xFF));
    for (const MenuBarMenu& menu : bar->second) {
        if (Accelerator(menu.title) != key) continue;
        OpenPopup(window, menu.entries, [this, window](std::uint32_t id) {
            if (id && receiver_ && Exists(window)) receiver_->OnMessage(window, Message{Msg::Command, id, {}});
        });
        return true;
    }
    return true;  // no such menu: the system beeps
}

void SimHost::After(double seconds, std::function<void()> action) {
    std::shared_ptr<bool> alive = alive_;
    p_.Schedule(seconds, [alive, action = std::move(action)] {
        if (*alive) action();
    });
}

void SimHost::OpenPopup(Handle owner, const std::vector<MenuEntry>& entries,
                        std::function<void(std::uint32_t)> picked) {
    if (!Exists(owner)) return;
    if (popup_) ClosePopup(0);
    std::shared_ptr<bool> alive = alive_;
    popup_ = p_.CreateWindow("#32768", "", 0, [this, alive](qm::Hwnd, const sim::Message& m) {
        return *alive && PopupMessage(m);
    });
    mine_.insert(popup_);
    if (hung_) p_.SetHung(popup_, true);
    p_.BringToFront(popup_);
    popupEntries_ = entries;
    picked_ = std::move(picked);
}

bool SimHost::PopupMessage(const sim::Message& m) {
    if (m.msg == Msg::Char) {
        char key = qm::LowerAscii(static_cast<char>(m.wparam & 0xFF));
        for (const MenuEntry& e : popupEntries_)
            if (Accelerator(e.text) == key) {
                ClosePopup(e.id);
                return true;
            }
        return true;  // no such key: the menu stays open
    }
    if ((m.msg == Msg::KeyDown && m.wparam == kVkEscape) || m.msg == Msg::Close) {
        ClosePopup(0);
        return true;
    }
    return m.msg != Msg::SetText && m.msg != Msg::Show;
}

void SimHost::ClosePopup(std::uint32_t id) {
    Handle popup = popup_;
    std::function<void(std::uint32_t)> picked = std::move(picked_);
    popup_ = 0;
    picked_ = nullptr;
    popupEntries_.clear();
    p_.DestroyWindow(popup);
    if (picked) picked(id);
}

void SimHost::Freeze(double seconds) {
    // Busy, not hung: what is sent meanwhile is handled late, in order.
    const double until = p_.Now() + seconds;
    if (!p_.Busy() || until > busyUntil_) {
        busyUntil_ = until;
        p_.SetBusyUntil(until);
    }
}

void SimHost::Block(double seconds, std::function<void()> rest) {
    // Whether what is sent meanwhile is lost is the platform's (Wine's) rule.
    std::shared_ptr<bool> alive = alive_;
    p_.BlockInHandler(seconds, [alive, rest = std::move(rest)] {
        if (*alive && rest) rest();
    });
}

void SimHost::SetHung(bool hung) {
    hung_ = hung;
    for (Handle h : mine_)
        if (p_.IsWindow(h)) p_.SetHung(h, hung);
}

void SimHost::Exit() {
    if (popup_) {
        picked_ = nullptr;
        ClosePopup(0);
    }
    for (Handle h : p_.ChildrenOf(0))
        if (mine_.count(h)) p_.DestroyWindow(h);
    mine_.clear();
    carets_.clear();
    pressed_.clear();
}

bool SimHost::Deliver(Handle window, const sim::Message& m) {
    if (receiver_ && receiver_->OnMessage(window, m)) return true;
    if (!p_.IsWindow(window)) return true;
    if (m.msg == Msg::SysChar) return MenuBarKey(window, m.wparam);
    // The system ends the menu mode of the window's program.
    if (m.msg == Msg::CancelMode) {
        if (popup_ && menuBars_.count(window)) ClosePopup(0);
        return true;
    }
    std::string cls = p_.ClassOf(window);
    if (qm::EqualsNoCase(cls, "Edit")) return EditDefault(window, m);
    if (qm::EqualsNoCase(cls, "Button")) return ButtonDefault(window, m);
    return false;
}

// A single-line edit control: the caret goes to 0 when the text is set, and
// typed characters go in at the caret.
bool SimHost::EditDefault(Handle window, const sim::Message& m) {
    std::size_t& caret = carets_[window];
    if (m.msg == Msg::SetText) {
        caret = 0;
        return false;
    }
    if (m.msg != Msg::Char) return false;
    std::string text = p_.TextOf(window);
    caret = std::min(caret, text.size());
    if (m.wparam == 8) {
        if (caret > 0) text.erase(--caret, 1);
    } else if (m.wparam >= 32 && m.wparam <= 255) {
        text.insert(caret++, 1, static_cast<char>(m.wparam));
    } else {
        return true;
    }
    p_.SetTextDirect(window, text);
    return true;
}

// A push button: pressed by the space key or the mouse, it tells its parent
// when released.
bool SimHost::ButtonDefault(Handle window, const sim::Message& m) {
    bool down = (m.msg == Msg::KeyDown && m.wparam == kVkSpace) || m.msg == Msg::LButtonDown;
    bool up = (m.msg == Msg::KeyUp && m.wparam == kVkSpace) || m.msg == Msg::LButtonUp;
    if (down) {
        pressed_[window] = true;
        return true;
    }
    if (!up) return false;
    if (!pressed_[window]) return true;
    pressed_[window] = false;
    Handle parent = p_.ParentOf(window);
    if (receiver_ && parent) receiver_->OnMessage(parent, Message{Msg::Command, kButtonId, {}});
    return true;
}

}  // namespace aolsim
