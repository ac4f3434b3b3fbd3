// The contract suites on the simulated platform.  It has one thread for the
// windows of other programs (a window cannot be put on the program's own),
// so windows of "this" thread and of "the other" share it: a case never
// blocks the other thread while it needs an answer from this one.
#include <map>

#include "platform/sim/sim_platform.h"
#include "tests/contract/contract_backend.h"

namespace qm::contract {
namespace {

sim::SimPlatform& Sim() {
    static sim::SimPlatform platform;
    return platform;
}

std::map<Hwnd, std::vector<std::string>>& Records() {
    static std::map<Hwnd, std::vector<std::string>> records;
    return records;
}

// Posted to a test window: its handler gets stuck for wparam milliseconds.
constexpr Msg kBlock = static_cast<Msg>(0x8001);

}  // namespace

Platform& TestPlatform() { return Sim(); }

std::string NewFolder(const std::string& name) {
    static int count = 0;
    std::string folder = "C:\\contract\\" + name + "-" + std::to_string(++count);
    Sim().AddFolder(folder);
    return folder;
}

std::string MakeFile(const std::string& path, const std::string& bytes, FileKind kind) {
    sim::SimPlatform::FileFlags flags;
    switch (kind) {
        case FileKind::Plain: break;
        case FileKind::ReadOnly: flags.readOnly = true; break;
        case FileKind::Hidden: flags.hidden = true; break;
        case FileKind::System: flags.system = true; break;
        case FileKind::Folder:
            flags.folder = true;
            Sim().AddFolder(path);
            break;
    }
    if (kind != FileKind::Folder) Sim().SetFileBytes(path, bytes);
    Sim().SetFileFlags(path, flags);
    return path;
}

void HoldFile(const std::string& path, Hold how) {
    sim::SimPlatform::FileFlags flags;
    flags.held = true;
    flags.unreadable = how == Hold::Locked;
    Sim().SetFileFlags(path, flags);
}

void ReleaseFile(const std::string& path) { Sim().SetFileFlags(path, {}); }

std::vector<std::string> FilesIn(const std::string& folder) { return Sim().NamesIn(folder); }

std::vector<Host> Hosts() { return {Host::Windows, Host::Wine}; }

void BehaveAs(Host host) { Sim().SetDropsTimedOutSends(host == Host::Wine); }

Hwnd MakeWindow(const std::string& cls, const std::string& text, Hwnd parent, Thread) {
    sim::SimPlatform& p = Sim();
    const Hwnd made = p.CreateWindow(cls, text, parent, [&p](Hwnd window, const sim::Message& m) {
        std::vector<std::string>& record = Records()[window];
        if (m.msg == kBlock) {
            record.push_back("busy");
            p.BlockInHandler(m.wparam / 1000.0, [window] { Records()[window].push_back("free"); }, p.ThreadOf(window));
            return true;
        }
        if (const std::string heard = Heard(m.msg, m.wparam, m.text); !heard.empty()) record.push_back(heard);
        return false;
    });
    return made;
}

void DestroyWindow(Hwnd window) { Sim().DestroyWindow(window); }

Hwnd MakeTextControl(TextControl kind, const std::string& text, int) {
    return Sim().CreateWindow(kind == TextControl::Edit ? "Edit" : "RichEdit20A", text, 0);
}

std::vector<std::string> Received(Hwnd window) {
    auto it = Records().find(window);
    return it == Records().end() ? std::vector<std::string>{} : it->second;
}

void BlockOtherThread(Hwnd window, double seconds) {
    // As on the real one, the block comes as a message the thread takes from
    // its queue.
    Sim().Post(window, kBlock, static_cast<std::uint32_t>(seconds * 1000));
    Sim().ProcessEvents();
}

Hmenu MakeMenu(const std::vector<MenuEntry>& items, Hwnd window) {
    std::vector<sim::MenuItem> made;
    for (const MenuEntry& e : items)
        made.push_back({e.text, e.id, e.submenu.empty() ? Hmenu{0} : MakeMenu(e.submenu), e.separator});
    const Hmenu menu = Sim().CreateMenu(std::move(made));
    if (window) Sim().SetMenu(window, menu);
    return menu;
}

}  // namespace qm::contract
