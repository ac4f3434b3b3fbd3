// The away log of quillmoor.exe beside aolsim.exe: other members' lines that
// name the user, said while idling, reach the "while you were away" window
// and quillmoor.log; the items are reached from the keyboard at the end of
// "idle options".  Another process's menus cannot be read under Wine: the
// settings say the client is 8.0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "away/transcript.h"
#include "platform/win32/win32_platform.h"
#include "tests/e2e/quillmoor_process.h"

namespace {

using e2e::Eventually;
using e2e::kHead;

std::string TextOf(HWND window) {
    char text[4096] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The message text of a message box: its static with the most text.
std::string BoxText(HWND box) {
    std::string best;
    for (HWND h = ::FindWindowExA(box, nullptr, "Static", nullptr); h; h = ::FindWindowExA(box, h, "Static", nullptr))
        if (TextOf(h).size() > best.size()) best = TextOf(h);
    return best;
}

class AwayLog : public ::testing::Test {
protected:
    std::vector<std::string> Said() {
        const std::vector<std::string> said = client.Column("transcript Lobby");
        return said.size() < 2 ? std::vector<std::string>{"<no entry lines>"}
                               : std::vector<std::string>(said.begin() + 2, said.end());
    }
    std::string Settings() { return quillmoor.ReadFile("quillmoor.dat").value_or(""); }

    aolsim::testing::AolsimProcess client;
    e2e::QuillmoorProcess quillmoor;
};

TEST_F(AwayLog, LinesNamingTheUserReachTheWindowAndTheFile) {
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby \"half typed\""));
    quillmoor.WriteFile("quillmoor.dat", "[aol]\r\nVERSION=8.0\r\n");
    ASSERT_TRUE(quillmoor.Start()) << "quillmoor's window never came up";
    ASSERT_TRUE(Eventually([&] { return Said().empty(); }));
    ASSERT_TRUE(client.Run("say Lobby \"Kat Nap\" \"joe left a minute ago\"").ok);

    // "away log: off", third from the end of "idle options" (Up wraps to the
    // last item).
    ASSERT_TRUE(quillmoor.Choose("Down Down Right Up Up Up Return"));
    ASSERT_TRUE(Eventually([&] { return Settings().find("[away]\r\nLOG=yes\r\n") != std::string::npos; }))
        << Settings();
    ASSERT_TRUE(quillmoor.Choose("Down Down Right Return"));  // "idle on"
    const std::string idleOn = kHead + "quillmoor idle \xB7 <font color=#0000ff>idle on<font color=#000000> \xB7 "
                                       "interval: <font color=#0000ff>1";
    ASSERT_TRUE(Eventually([&] { return Said() == std::vector<std::string>{idleOn}; }));

    ASSERT_TRUE(client.Run("say Lobby \"Kat Nap\" \"hi joe, are you there?\"; say Lobby MrPeabody \"a/s/l?\"; "
                           "say Lobby SunnyDaze42 \"JOE: wb\"; say Lobby xXGamerXx \"joey?\"")
                    .ok);
    ASSERT_TRUE(quillmoor.Choose("Down Down Right Down Return"));  // "idle off", past the greyed "idle on"
    HWND box = nullptr;
    ASSERT_TRUE(Eventually([&] { return (box = quillmoor.FindOwnWindow("#32770", "while you were away")) != nullptr; }));
    const std::string shown = BoxText(box);
    // "HH:MM  Kat Nap: hi joe, are you there?\r\nHH:MM  SunnyDaze42: JOE: wb"
    ASSERT_EQ(shown.size(), 7 + 31 + 2 + 7 + 20) << shown;
    EXPECT_EQ(shown.substr(5, 33), "  Kat Nap: hi joe, are you there?");
    EXPECT_EQ(shown.substr(38 + 2 + 5), "  SunnyDaze42: JOE: wb");

    const std::string log = quillmoor.ReadFile("quillmoor.log").value_or("<none>");
    // "YYYY-MM-DD HH:MM:SS<tab>" before each line.
    ASSERT_EQ(log.size(), 20 + 31 + 2 + 20 + 20 + 2) << log;
    EXPECT_EQ(log.substr(19, 34), "\tKat Nap:\thi joe, are you there?\r\n");
    EXPECT_EQ(log.substr(53 + 19), "\tSunnyDaze42:\tJOE: wb\r\n");
    EXPECT_EQ(log.substr(11, 5), shown.substr(0, 5));  // the same time seen

    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Eventually([&] { return !quillmoor.FindOwnWindow("#32770", "while you were away"); }));
    EXPECT_TRUE(Eventually([&] { return !Said().empty() && Said().back().ends_with(">idle off"); }));
    EXPECT_EQ(client.Column("input Lobby"), std::vector<std::string>{"half typed"});
}

// aolsim's transcript read from its end by another process, line by line
// (the bound is shorter than the text), as the away log reads a busy room.
TEST(AwayTranscript, ReadFromItsEndAcrossProcesses) {
    ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
    aolsim::testing::AolsimProcess client;
    ASSERT_TRUE(client.Start("start 8.0; signon Joe; room Lobby; say Lobby \"Kat Nap\" \"one joe\"; "
                             "say Lobby MrPeabody \"two\"; say Lobby \"Kat Nap\" \"three\""));
    qm::win32::Win32Platform p{"quillmoor away e2e test"};
    const qm::Hwnd transcript = qm::away::FindTranscript(p, qm::aol::InputVariant::B);
    ASSERT_NE(transcript, 0u);
    const std::string all = "Kat Nap:\tone joe\r\nMrPeabody:\ttwo\r\nKat Nap:\tthree";
    EXPECT_EQ(p.GetTextTail(transcript, 1000), all);
    EXPECT_EQ(p.GetTextTail(transcript, static_cast<int>(all.size()) - 1), "MrPeabody:\ttwo\r\nKat Nap:\tthree");
    EXPECT_EQ(p.GetTextTail(transcript, 15), "Kat Nap:\tthree");
    EXPECT_EQ(p.GetTextTail(transcript, 13), "");
}

}  // namespace
