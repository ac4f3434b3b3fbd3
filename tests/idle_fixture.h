// A running program beside a signed-on 8.0 client in the room "Lobby", with
// the three decorations told apart ("~1", "~2", "~3") so that every line
// shows which head it carries.  Commands are chosen through the real menus,
// so a greyed item cannot be chosen.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "app/settings.h"
#include "aolsim/sim/sim_client.h"
#include "platform/sim/sim_platform.h"

namespace qm::testing {

using Texts = std::vector<std::string>;

inline const std::string kFolder = "C:\\quillmoor";
inline const std::string kSettings = kFolder + "\\quillmoor.dat";
inline const std::string kReasonsFile = kFolder + "\\quillmoor.rea";

// The head of a line with decoration n, default fonts and colours.
inline std::string Head(int n) {
    return "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>~" + std::to_string(n) +
           " <font face=\"arial narrow\" color=#000000>";
}
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

class Idling : public ::testing::Test {
protected:
    Idling() { sim.SetProgramFolder(kFolder); }

    // The client (signed on as Joe, in Lobby) and the program with these
    // settings and, when given, this reasons file.
    void Start(const std::string& settings = "", const char* reasons = nullptr) {
        client.Start("8.0");
        client.SignOn("Joe");
        room = client.OpenRoom("Lobby");
        sim.SetFileBytes(kSettings, "[ascii 1]\r\nASCII=~1\r\n[ascii 2]\r\nASCII=~2\r\n[ascii 3]\r\nASCII=~3\r\n" + settings);
        if (reasons) sim.SetFileBytes(kReasonsFile, reasons);
        ASSERT_TRUE(program.Start());
        entryLines = client.Transcript("Lobby").size();
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
    void IdleOn() { Choose({"idle options", "idle on"}); }
    void Minutes(int n) { sim.RunFor(60.0 * n); }
    // When the room's input box is sent something (an Enter), seconds.
    void RecordEnters() {
        sim.SetHook([this](sim::Op op, Hwnd h) {
            if (op == sim::Op::Send && h == client.RoomInput(room)) enters.push_back(sim.Now());
        });
    }

    // The lines posted since start-up, and the reasons among them.
    Texts Lines() const {
        Texts all = client.Transcript("Lobby");
        return Texts(all.begin() + static_cast<std::ptrdiff_t>(entryLines), all.end());
    }
    Texts ReasonsSaid() const {
        Texts reasons;
        const std::string head = Reason("");
        for (const std::string& line : Lines())
            if (line.starts_with(head)) reasons.push_back(line.substr(head.size()));
        return reasons;
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
};

}  // namespace qm::testing
