// The control language: fields survive the round trip byte for byte, hostile
// scripts are refused with a reason, and each command reaches the client.
#include "aolsim/control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "aolsim/tests/driver.h"

namespace aolsim::control {
namespace {

using testing::Lines;
using Rows = std::vector<std::vector<std::string>>;

// A script and the reason it is refused for.
struct Refusal {
    std::string script;
    const char* error;
};

TEST(ControlSyntax, FieldsQuotesAndEscapes) {
    std::string error;
    auto commands = Parse("start 8.0; signon \"Joe Blow\"\n  room\tLobby \"a\\\"b\\\\c\\x41\\t\"\r\nx\\x3By", &error);
    ASSERT_TRUE(commands) << error;
    ASSERT_EQ(commands->size(), 4u);
    EXPECT_EQ((*commands)[0].fields, (Lines{"start", "8.0"}));
    EXPECT_EQ((*commands)[1].fields, (Lines{"signon", "Joe Blow"}));
    EXPECT_EQ((*commands)[2].fields, (Lines{"room", "Lobby", "a\"b\\cA\t"}));
    EXPECT_EQ((*commands)[2].line, 2);
    EXPECT_EQ((*commands)[3].fields, (Lines{"x;y"}));
    EXPECT_EQ((*commands)[3].line, 3);
    commands = Parse(";;\n\"\" \n;", &error);  // empty commands vanish, an empty quoted field stays
    ASSERT_EQ(commands->size(), 1u);
    EXPECT_EQ((*commands)[0].fields, Lines{""});
    EXPECT_TRUE(Parse("", &error)->empty());
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (const std::string& field : Lines{all, "", "plain", "\xB7 dot", "semi;colon", "a\"q"})
        EXPECT_EQ(Fields(Join({field, "x"})), (Lines{field, "x"}));
    EXPECT_EQ(Quote("plain\xB7"), "plain\xB7");
    EXPECT_EQ(Quote("two words"), "\"two words\"");
    EXPECT_EQ(Quote(std::string("\x01\x7F", 2)), "\"\\x01\\x7F\"");
    EXPECT_EQ(Records("a b\n\"c d\"\n\n"), (Rows{{"a", "b"}, {"c d"}}));
    EXPECT_EQ(Records("\"broken\n"), (Rows{{}}));
}

TEST(ControlSyntax, MalformedScriptsAreRefusedWithTheirLine) {
    std::string many = "echo";
    for (std::size_t i = 0; i < kMaxFields; ++i) many += " x";
    for (const Refusal& c : {Refusal{"a \"open", "line 1: unterminated quote"},
                             Refusal{"ok\nb \"x\"y", "line 2: text right after a closing quote"},
                             Refusal{"a b\"c", "line 1: quote inside a field"}, Refusal{"a \\q", "line 1: bad escape"},
                             Refusal{"a \\x4", "line 1: bad escape"}, Refusal{"a \\xZZ", "line 1: bad escape"},
                             Refusal{"a \\", "line 1: bad escape"}, Refusal{many, "line 1: more than 64 fields"},
                             Refusal{std::string(kMaxScript + 1, 'a'), "line 1: script longer than 1048576 bytes"}}) {
        std::string error;
        EXPECT_FALSE(Parse(c.script, &error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

TEST(ControlChannel, RepliesCarryTheOutcomeAndTheRecords) {
    Result ok{true, "a \"b c\"\n", ""}, failed{false, "x\n", "line 2: unknown command \"y\""};
    EXPECT_EQ(Reply(ok), "ok\na \"b c\"\n");
    EXPECT_EQ(Reply(failed), "error \"line 2: unknown command \\\"y\\\"\"\nx\n");
    for (const Result& r : {ok, failed}) {
        std::optional<Result> back = ReadReply(Reply(r));
        ASSERT_TRUE(back);
        EXPECT_EQ(std::tie(back->ok, back->output, back->error), std::tie(r.ok, r.output, r.error));
    }
    for (const char* junk : {"", "ok", "okay\n", "error\n", "error a b\n", "\"ok\n"})
        EXPECT_FALSE(ReadReply(junk)) << junk;
}

class ControlRun : public ::testing::Test, public testing::Scene {
protected:
    Result Ok(std::string_view script) {
        Result r = control::Run(client, script);
        EXPECT_TRUE(r.ok) << r.error;
        return r;
    }
};

TEST_F(ControlRun, EveryQueryWritesItsRecords) {
    Ok("start 6.0; signon \"Joe Blow\"; room Lobby \"half a sent\"; alert; delay room 0.5");
    EXPECT_EQ(Ok("input Lobby").output, "\"half a sent\"\n");
    Say(client.Room("Lobby"), "hi \xB7 there");
    Say(client.Room("Lobby"), "two\tparts");
    EXPECT_EQ(Ok("transcript lobby").output, "\"hi \xB7 there\"\n\"two\\tparts\"\n");
    EXPECT_EQ(Records(Ok("chat").output), (Rows{{"Lobby", "hi \xB7 there"}, {"Lobby", "two\tparts"}}));
    Ok("type Lobby other");
    EXPECT_EQ(client.InputText(client.Room("Lobby")), "other");
    EXPECT_EQ(Records(Ok("echo \"a b\" \\xB7 \"\\x00\\n\"").output), (Rows{{"a b", "\xB7", std::string("\0\n", 2)}}));
    EXPECT_EQ(Ok("state").output, "running 6.0 signed-on \"Joe Blow\"\n");
    DismissAlert();
    EnterKeyword("lobby");
    RunMenuItem("&Download Manager");
    Press(Icon(client.DownloadManager(), 2), true);
    ClickToolbarMenu(0, 'b');
    p.ShowWindow(client.WelcomeWindow(), qm::ShowCmd::Hide);
    Ok("disconnect; password pw");
    Enter(client.PasswordBox(), "pw");
    EXPECT_EQ(Ok("passwords; keywords; menu-commands; popup-picks; toolbar-clicks; presses; resume-presses; alerts; "
                 "events; state")
                  .output,
              "pw\nlobby\n\"&Download Manager\"\n\"Mail Waiting to &be Sent\"\n1\n\"Download Manager\" 2 space\n1 0\n"
              "1 1\nhidden \"AOL Child\" \"Welcome, Joe Blow!\"\nrunning 6.0 connecting \"Joe Blow\"\n");
    Ok("delay signon 1; delay room 2; delay chat 3; delay alert 4; delay popup 5; delay alert-close 6");
    const Delays& d = client.GetDelays();
    EXPECT_EQ((std::vector<double>{d.signOn, d.room, d.chat, d.alert, d.popup, d.alertClose}),
              (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

TEST_F(ControlRun, ScenarioCommandsReachTheClient) {
    Ok("start 7.0; signon Joe; room Lobby; document \"Look alike\" edit=1 combobox=1 static=1 icon=2 listbox=1 "
       "richcntl=1 readonly; document Empty");
    EXPECT_EQ(Classes(client.FindDocument("Look alike")),
              (Lines{"RICHCNTLREADONLY", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Icon", "_AOL_Static",
                     "_AOL_Combobox", "_AOL_Edit"}));
    EXPECT_TRUE(Classes(client.FindDocument("Empty")).empty());
    Ok("order Lobby \"Welcome, Joe!\" \"Look alike\"");
    EXPECT_EQ(DocumentCaptions(), (Lines{"Lobby", "Welcome, Joe!", "Look alike", "Empty", "AOL Channels"}));
    Ok("download a.zip 45 \"About 3 minutes remaining.\"; upload b.zip -1 \"\"; modal Attention");
    EXPECT_EQ(Caption(client.DownloadWindow()), "File Transfer - 45%");
    EXPECT_EQ(Caption(client.UploadWindow()), "File Transfer");
    EXPECT_EQ(p.FindWindow("_AOL_Modal"), client.OtherModal());
    Ok("modal-close; upload-progress 7 x; download-progress 50 y");
    EXPECT_EQ(Caption(client.UploadWindow()), "File Transfer - 7%");
    EXPECT_EQ(Caption(client.DownloadWindow()), "File Transfer - 50%");
    Ok("download-end; upload-end; close \"Look alike\"; close Empty");
    EXPECT_EQ(client.DownloadWindow() | client.UploadWindow() | client.FindDocument("Look alike"), 0u);
    Ok("reject nowhere; map \"teen chat\" \"Teens 3\"; alert-after-keyword 1; delay room 0");
    for (const char* keyword : {"full", "nowhere", "teen chat"}) {
        EnterKeyword(keyword);
        DismissAlert();
    }
    p.ProcessEvents();
    EXPECT_EQ(client.AlertsShown(), 2);
    EXPECT_NE(client.Room("Teens 3"), 0u);
    Ok("never-empties on; alert-after-chat 1; delay chat 0");
    Say(client.Room("Lobby"), "x");
    EXPECT_EQ(client.Transcript("Lobby"), Lines{"x"});
    EXPECT_EQ(client.InputText(client.Room("Lobby")), "x");
    EXPECT_EQ(client.AlertsShown(), 3);
    Ok("disconnect transfer-status status");
    EXPECT_EQ(DocumentCaptions(), (Lines{"Status", "File Transfer Status", "Sign On"}));
    Ok("close Status; close \"File Transfer Status\"; fail-signons 1; when password-typed vanish");
    Enter(client.PasswordBox(), "pw");
    p.ProcessEvents();
    EXPECT_FALSE(client.Running());
}

// Long texts from short scripts, a text that changes as soon as its length
// is told, longer menus, and every document closing at a trigger.
TEST_F(ControlRun, HostileWindowsAreMadeFromShortScripts) {
    Ok("start 8.0; signon Joe; room Lobby typed; document ab repeat=3 icon=1; type Lobby xy 4; menu-pad 1021; "
       "upload up 12 x 2; download down 40 y 3");
    EXPECT_EQ(p.GetWindowText(p.FindWindowEx(client.UploadWindow(), 0, "_AOL_Static"), 100), "Now Uploading upup");
    EXPECT_EQ(p.GetWindowText(p.FindWindowEx(client.DownloadWindow(), 0, "_AOL_Static"), 100),
              "Now Downloading downdowndown");
    EXPECT_NE(client.FindDocument("ababab"), 0u);
    EXPECT_EQ(client.InputText(client.Room("Lobby")), "xyxyxyxy");
    const qm::Hmenu bar = p.GetMenu(client.MainWindow());
    for (int i = 0; i < p.GetMenuItemCount(bar); ++i) {
        const qm::Hmenu menu = p.GetSubMenu(bar, i);
        ASSERT_GE(p.GetMenuItemCount(menu), 1022) << i;
        EXPECT_EQ(p.GetMenuString(menu, p.GetMenuItemID(menu, 0), 100), "Item 1") << i;
        EXPECT_EQ(p.GetMenuString(menu, p.GetMenuItemID(menu, 1020), 100), "Item 1021") << i;
    }
    const qm::Hmenu help = p.GetSubMenu(bar, p.GetMenuItemCount(bar) - 1);
    EXPECT_EQ(p.GetMenuItemCount(help), 1024);
    EXPECT_EQ(p.GetMenuString(help, p.GetMenuItemID(help, 1022), 100), "What's New in AOL 8.0");
    RunMenuItem("&Download Manager");  // the padding moved no entry's command
    EXPECT_EQ(client.MenuCommands(), Lines{"&Download Manager"});

    const qm::Hwnd input = client.RoomInput(client.Room("Lobby"));
    Ok("shift Lobby grown 2");
    EXPECT_EQ(p.GetText(input, 100), "xyxyxyxy");  // no length asked yet
    EXPECT_EQ(p.GetTextLength(input), 8);           // the answer is made before it changes
    EXPECT_EQ(p.GetText(input, 100), "growngrown");
    EXPECT_EQ(p.GetTextLength(input), 10);  // once only
    EXPECT_EQ(p.GetText(input, 100), "growngrown");

    EXPECT_EQ(control::Run(client, "type Lobby x 4194305").error,
              "line 1: \"4194305\" is not a whole number from 1 to 4194304");
    EXPECT_EQ(control::Run(client, "type Lobby xy 2097153").error, "line 1: a text repeated past 4194304 bytes");

    Ok("when keyword-entered close-all");
    EnterKeyword("lobby");
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindowEx(client.MdiClient(), 0, "AOL Child"), 0u);
    EXPECT_TRUE(client.Running());
    EXPECT_EQ(Ok("state").output, "running 8.0 signed-on Joe\n");
}

TEST_F(ControlRun, BadCommandsStopTheScriptWithAReasonAndWhatRanStaysDone) {
    for (const Refusal& c : {
             Refusal{"bogus", "line 1: unknown command \"bogus\""},
             Refusal{"start", "line 1: wrong number of fields for \"start\""},
             Refusal{"start 8.0\ndelay soon 1", "line 2: unknown delay \"soon\""},
             Refusal{"delay room -1", "line 1: \"-1\" is not a number of seconds from 0 to 86400"},
             Refusal{"hang 5x", "line 1: \"5x\" is not a number of seconds from 0 to 86400"},
             Refusal{"fail-signons 99999999999999999999",
                     "line 1: \"99999999999999999999\" is not a whole number from 0 to 1000000"},
             Refusal{"download a 101 x", "line 1: \"101\" is not a whole number from -1 to 100"},
             Refusal{"never-empties yes", "line 1: \"yes\" is neither on nor off"},
             Refusal{"when never vanish", "line 1: unknown trigger \"never\""},
             Refusal{"when password-typed explode", "line 1: unknown reaction \"explode\""},
             Refusal{"disconnect everything", "line 1: unknown leftover \"everything\""},
             Refusal{"document x icon=99", "line 1: \"99\" is not a whole number from 0 to 32"},
             Refusal{"document x icons", "line 1: unknown part \"icons\""},
             Refusal{"room Lobby", "line 1: client not running"},
             Refusal{"type Nowhere x", "line 1: no room \"Nowhere\""},
             Refusal{"close Nowhere", "line 1: no document window \"Nowhere\""},
         }) {
        testing::Scene fresh;
        Result r = control::Run(fresh.client, c.script);
        EXPECT_FALSE(r.ok) << c.script;
        EXPECT_EQ(r.error, c.error) << c.script;
    }
    Result r = control::Run(client, "start 8.0; echo before; bogus; signon Joe");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.output, "before\n");
    EXPECT_TRUE(client.Running());
    EXPECT_FALSE(client.SignedOn());
}

TEST_F(ControlRun, OtherMembersChatAndEveryRoomLineIsLogged) {
    const std::string path = ::testing::TempDir() + "aolsim-room-log.txt";
    std::remove(path.c_str());
    Ok("start 8.0; signon Joe; room Lobby; log \"" + path + "\"; say Lobby \"Kat Nap\" \"hi \xB7 all\"");
    Say(client.Room("Lobby"), "mine");
    Ok("chatter lobby 10");
    p.RunFor(25);  // two lines of theirs
    Ok("chatter Lobby 0");
    p.RunFor(60);
    // Others' lines are in the window, not among the user's own.
    EXPECT_EQ(Ok("transcript Lobby").output, "mine\n");
    EXPECT_EQ(GetText(client.RoomTranscript(client.Room("Lobby"))),
              "Kat Nap:\thi \xB7 all\r\nJoe:\tmine\r\nSunnyDaze42:\thiya room\r\nMrPeabody:\tanyone here from ohio?");
    std::ifstream file(path, std::ios::binary);
    std::stringstream logged;
    logged << file.rdbuf();
    EXPECT_EQ(logged.str(),
              "Lobby\tKat Nap\thi \xB7 all\r\nLobby\tJoe\tmine\r\nLobby\tSunnyDaze42\thiya room\r\n"
              "Lobby\tMrPeabody\tanyone here from ohio?\r\n");
    EXPECT_FALSE(control::Run(client, "log \"" + ::testing::TempDir() + "no/such/folder/x.txt\"").ok);
    std::remove(path.c_str());
    Ok("chatter Lobby 1");  // a transcript keeps only its last lines
    p.RunFor(3000);
    const std::string shown = GetText(client.RoomTranscript(client.Room("Lobby")));
    EXPECT_LE(shown.size(), 17u * 1024);
    EXPECT_NE(shown.substr(shown.rfind("\r\n") + 2).find(":\t"), std::string::npos);
}

}  // namespace
}  // namespace aolsim::control
