// The program on the simulated platform, its files in C:\quillmoor, beside a
// simulated client; menus are walked as the user walks them, so a greyed
// item cannot be chosen.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::testing {

using Texts = std::vector<std::string>;

inline const std::string kFolder = "C:\\quillmoor";
inline const std::string kSettings = kFolder + "\\quillmoor.dat";
inline const std::string kReasonsFile = kFolder + "\\quillmoor.rea";

// The head of a line with the default style, or with decoration "~n" and
// default fonts and colours.
inline std::string Head(int n = 0) {
    return "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>" +
           (n ? "~" + std::to_string(n) : std::string("qlR -")) + " <font face=\"arial narrow\" color=#000000>";
}
inline const std::string kDecorations = "[ascii 1]\r\nASCII=~1\r\n[ascii 2]\r\nASCII=~2\r\n[ascii 3]\r\nASCII=~3\r\n";
inline std::string Dhm(const std::string& d, const std::string& h, const std::string& m) {
    return "<font color=#0000ff>" + d + "<font color=#000000>d : <font color=#0000ff>" + h +
           "<font color=#000000>h : <font color=#0000ff>" + m + "<font color=#000000>m";
}
inline std::string Clock(const std::string& d, const std::string& h, const std::string& m) {
    return Head(1) + "quillmoor idle \xB7 " + Dhm(d, h, m);
}
inline std::string Reason(const std::string& reason) { return Head(2) + "re: <font color=#0000ff>" + reason; }
inline std::string Said(const std::string& what) { return Head(1) + "quillmoor idle \xB7 <font color=#0000ff>" + what; }
inline const std::string kIdleOn1 = Said("idle on<font color=#000000> \xB7 interval: <font color=#0000ff>1");

// A menu as shown, a line per menu: "menu: a | b (greyed) | c (checked)".
template <typename Item>
Texts ShownMenus(const Item& menu) {
    Texts out = {menu.caption + ":"};
    for (const Item& item : menu.children) {
        out[0] += (&item == &menu.children.front() ? " " : " | ") + item.caption + (item.enabled ? "" : " (greyed)") +
                  (item.checked ? " (checked)" : "");
        if (!item.children.empty())
            for (const std::string& line : ShownMenus(item)) out.push_back(line);
    }
    return out;
}

// How many expectations of the running test have failed so far.
inline int FailedSoFar() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return 0;
    const ::testing::TestResult& result = *test->result();
    int failed = 0;
    for (int i = 0; i < result.total_part_count(); ++i) failed += result.GetTestPartResult(i).failed();
    return failed;
}

struct World {
    World() { sim.SetProgramFolder(kFolder); }
    // An expectation that failed meanwhile shows the world as it was left.
    ~World() {
        if (FailedSoFar() > failedBefore) std::cout << "The simulated world at the end:\n" << sim.Describe();
    }

    // The client, signed on as `name` (unless "") in Lobby with `typed` unsent.
    void Client(const std::string& version = "8.0", const std::string& name = "Joe", const std::string& typed = "") {
        client.Start(version);
        if (name.empty()) return;
        client.SignOn(name);
        room = client.OpenRoom("Lobby", typed);
    }
    // The program started with these settings and reasons files (none: no file).
    void Launch(std::optional<std::string> settings, const char* reasons = nullptr) {
        if (settings) sim.SetFileBytes(kSettings, *settings);
        if (reasons) sim.SetFileBytes(kReasonsFile, reasons);
        ASSERT_TRUE(program.Start());
        entryLines = client.Transcript("Lobby").size();
    }
    // Beside an 8.0 client signed on as Joe, the decorations told apart.
    void Start(const std::string& settings = "", const char* reasons = nullptr) {
        Client();
        Launch(kDecorations + settings, reasons);
    }
    void Choose(std::vector<std::string> path) {
        sim.ScriptPopup(std::move(path));
        form.Label1_Click();
    }
    // An item of the editor's menu, from a right-button release on its list.
    void ChooseOption(const std::string& caption) {
        sim.ScriptPopup({caption});
        sim.EditorModel()->MouseUp(Control::List1, MouseButton::Right);
    }
    // An item's command run with this answer to its prompt (nullopt: cancel).
    void Answer(const std::string& item, std::optional<std::string> answer) {
        sim.ScriptPrompt(std::move(answer));
        menus.Item(item).Click();
    }
    std::string Prompt(std::size_t i) const {
        const sim::PromptCall& p = sim.Prompts().at(i);
        return p.title + "|" + p.prompt + "|" + p.defaultText;
    }
    void IdleOn() { Choose({"idle options", "idle on"}); }
    void Minutes(int n) { sim.RunFor(60.0 * n); }
    // When the room's input box is sent something (an Enter), in seconds.
    void RecordEnters() {
        sim.SetHook([this](sim::Op op, Hwnd h) {
            if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
        });
    }
    // The lines posted since start-up.
    Texts Lines() const {
        Texts all = client.Transcript("Lobby");
        return Texts(all.begin() + static_cast<std::ptrdiff_t>(entryLines), all.end());
    }
    std::string Stored(const std::string& key) { return sim.GetProfileString("stats", key, kSettings, 750); }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    Program program{sim};
    Form1& form = program.form1;
    Form2& menus = program.form2;
    aolsim::Handle room = 0;
    std::size_t entryLines = 0;
    std::vector<double> enters;
    int failedBefore = FailedSoFar();
};

class Running : public ::testing::Test, public World {};

}  // namespace qm::testing
