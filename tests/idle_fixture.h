// A running program beside a signed-on 8.0 client in the room "Lobby", with
// the three decorations told apart ("~1", "~2", "~3") so that every line
// shows which head it carries.  Commands are chosen through the real menu,
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

inline const std::string kFolder = "C:\\quillmoor";
inline const std::string kSettings = kFolder + "\\quillmoor.dat";
inline const std::string kReasonsFile = kFolder + "\\quillmoor.rea";
inline const std::string kStyle = "[ascii 1]\r\nASCII=~1\r\n[ascii 2]\r\nASCII=~2\r\n[ascii 3]\r\nASCII=~3\r\n";

// The head of a line with decoration n and the default fonts and colours.
inline std::string Head(int n) {
    return "</b></u></i></s><font face=\"arial narrow\" color=#0000ff>~" + std::to_string(n) +
           " <font face=\"arial narrow\" color=#000000>";
}
inline std::string Clock(const std::string& d, const std::string& h, const std::string& m) {
    return Head(1) + "quillmoor idle \xB7 <font color=#0000ff>" + d + "<font color=#000000>d : <font color=#0000ff>" +
           h + "<font color=#000000>h : <font color=#0000ff>" + m + "<font color=#000000>m";
}
inline std::string Reason(const std::string& reason) { return Head(2) + "re: <font color=#0000ff>" + reason; }
inline std::string Transfer(const std::string& file, const std::string& percent, const std::string& left) {
    return Head(3) + "file: <font color=#0000ff>" + file + "<font color=#000000> \xB7 <font color=#0000ff>" + percent +
           "<font color=#000000>% \xB7 <font color=#0000ff>" + left + "<font color=#000000>ml";
}
inline std::string Said(const std::string& what) {
    return Head(1) + "quillmoor idle \xB7 <font color=#0000ff>" + what;
}

class Idling : public ::testing::Test {
protected:
    Idling() { sim.SetProgramFolder(kFolder); }

    // Starts the client (signed on as Joe, in Lobby with `typed` unsent)
    // and the program with these settings (after the style) and reasons.
    void Start(const std::string& settings = "", const std::string& version = "8.0") {
        client.Start(version);
        client.SignOn("Joe");
        room = client.OpenRoom("Lobby");
        sim.SetFileBytes(kSettings, kStyle + settings);
        ASSERT_TRUE(program.Start());
        entryLines = client.Transcript("Lobby").size();
    }
    void Reasons(const std::string& fileBytes) { sim.SetFileBytes(kReasonsFile, fileBytes); }

    // Chooses a menu item by its captions through the main menu.
    void Choose(std::vector<std::string> path) {
        sim.ScriptPopup(std::move(path));
        form.Label1_Click();
    }
    // Chooses an item of the editor's menu, from a right-button release
    // over its list.
    void ChooseOption(const std::string& caption) {
        sim.ScriptPopup({caption});
        sim.EditorModel()->MouseUp(Control::List1, MouseButton::Right);
    }
    void IdleOn() { Choose({"idle options", "idle on"}); }
    // Lets n minutes pass (n ticks when idling since a whole minute).
    void Minutes(int n) { sim.RunFor(60.0 * n); }

    // The lines posted since start-up.
    std::vector<std::string> Lines() const {
        std::vector<std::string> all = client.Transcript("Lobby");
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(entryLines), all.end());
    }
    std::string Stored(const std::string& key) { return sim.GetProfileString("stats", key, kSettings, 750); }

    sim::SimPlatform sim;
    aolsim::SimClient client{sim};
    Program program{sim};
    Form1& form = program.form1;
    Form2& menus = program.form2;
    aolsim::Handle room = 0;
    std::size_t entryLines = 0;
};

}  // namespace qm::testing
