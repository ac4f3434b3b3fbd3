// Disconnect protection: Timer2 looks every 8 seconds, signs back on,
// re-enters the room and resumes transfers.
#include "aol/bounds.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using aolsim::IconPress;
using aolsim::WindowEvent;

constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
constexpr const char* kWelcome = "Welcome, Joe Blow!";
constexpr const char* kLobby = "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n";
const std::string kReenterLine = Head() + "quillmoor idle \xB7 <font color=#0000ff>dcp re-enter";

class Monitor : public Running {
protected:
    // The client lost its connection during a download and an upload;
    // quillmoor starts with protection on, these settings and "secret" stored.
    void Begin(const char* version, const std::string& dcp = "") {
        sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=secret\r\n");
        client.Start(version);
        client.SignOn("Joe Blow");
        client.StartDownload("big.zip", 40, aolsim::Client::RemainingText(3));
        client.StartUpload("pics.zip", 12, aolsim::Client::RemainingText(9));
        client.Disconnect();
        StartProgram(dcp);
    }
    void StartProgram(const std::string& dcp) {
        sim.SetFileBytes(kSettings, "[dcp]\r\nAUTO DCP=yes\r\n" + dcp);
        ASSERT_TRUE(program.Start());
        started = sim.Now();
    }
    // Seconds since Timer2 was switched on.
    double Since() { return sim.Now() - started; }
    // Runs until the look due at `t` (8, 16, ...) has ended.
    void LookAt(double t) { sim.RunFor(t - Since()); }

    double started = 0;
};

TEST_F(Monitor, LookWithoutASignOnWindowOnlyClosesTheLeftovers) {
    StartProgram(kLobby);
    LookAt(8);
    EXPECT_NEAR(Since(), 8, 0.01) << "no client: nothing to do";
    client.Start("8.0");
    client.SignOn("Joe Blow");
    for (const char* caption : {"Status Report", "Status", "File Transfer Status"})
        client.OpenDocument(caption, {.icons = 1});
    LookAt(16);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Texts{"File Transfer Status", "Status"}));
    EXPECT_NE(client.FindDocument("Status Report"), 0u);
    EXPECT_NEAR(Since(), 18, 0.01) << "a second after each";
    client.Disconnect({.status = true});
    client.DestroyWindow(client.SignOnWindow());
    LookAt(24);
    EXPECT_EQ(client.Captions(WindowEvent::Closed), (Texts{"File Transfer Status", "Status", "Status"}));
    EXPECT_NEAR(Since(), 25, 0.01);
    EXPECT_TRUE(client.PasswordsTyped().empty());
    EXPECT_EQ(sim.FileBytes(kSettings), "[dcp]\r\nAUTO DCP=yes\r\n" + std::string(kLobby));
    EXPECT_EQ(sim.FileBytes(kPasswordFile), std::nullopt);
}

TEST_F(Monitor, ReSignOnReEntersAndAnnouncesTheRoomWithItsPausesBetween) {
    Begin("8.0", kLobby);
    // What the client has seen: passwords, hidden and closed windows, keywords, chat lines.
    auto seen = [&] {
        return std::vector<std::size_t>{client.PasswordsTyped().size(), client.Captions(WindowEvent::Hidden).size(),
                                        client.Captions(WindowEvent::Closed).size(),
                                        client.KeywordsSubmitted().size(), client.Chat().size()};
    };
    // When each grows.  The look begins at 8: 4 s, the password, 2 s, the
    // sign-on (3 s), 10 s, the welcome hidden, 1 s, the channels closed, 1 s,
    // the first document hidden, 1 s and 0.2 s, the keyword; the room (1 s),
    // 2 s, the line.
    const std::pair<double, std::vector<std::size_t>> steps[] = {
        {12, {1, 0, 0, 0, 0}}, {25, {1, 1, 0, 0, 0}},   {26, {1, 1, 1, 0, 0}},
        {27, {1, 2, 1, 0, 0}}, {28.2, {1, 2, 1, 1, 0}}, {31.2, {1, 2, 1, 1, 1}},
    };
    std::vector<std::size_t> before(5, 0);
    for (const auto& [t, after] : steps) {
        sim.Schedule(t - 0.1, [&, t, before] { EXPECT_EQ(seen(), before) << "just before " << t; });
        sim.Schedule(t + 0.1, [&, t, after] { EXPECT_EQ(seen(), after) << "just after " << t; });
        before = after;
    }
    LookAt(8);
    EXPECT_NEAR(Since(), 32.2, 0.01) << "and a last second";
    EXPECT_EQ(client.KeywordsSubmitted(), Texts{"lobby"});
    EXPECT_EQ(sim.TextOf(client.KeywordBox()), "");
    EXPECT_EQ(client.Transcript("lobby"), Texts{kReenterLine});
}

TEST_F(Monitor, NothingStoredTypesAnEmptyPasswordAndKeywordAndStillAnnounces) {
    client.Start("7.0");
    client.SignOn("Joe Blow");
    client.Disconnect();
    StartProgram("RE-ENTER ROOM=yes\r\n");
    sim.Schedule(33, [&] { client.OpenRoom("Town Square"); });  // the keyword (at 28.2) opened nothing
    LookAt(8);
    EXPECT_EQ(client.PasswordsTyped(), Texts{""});
    EXPECT_EQ(client.KeywordsSubmitted(), Texts{""});
    EXPECT_EQ(client.Transcript("Town Square"), Texts{kReenterLine});
    EXPECT_NEAR(Since(), 33 + 2 + 1, 0.01);
}

TEST_F(Monitor, PasswordShowsNowhereButInTheSignOnBoxBehindAnotherDocument) {
    Begin("8.0", std::string(kLobby) + "RESUME DOWNLOAD=yes\r\n");
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=hunter2\r\n");
    client.OpenDocument("Write Mail", {.icons = 2, .statics = 1, .edits = 1});
    LookAt(8);
    ASSERT_EQ(client.PasswordsTyped(), Texts{"hunter2"});
    ASSERT_EQ(client.Transcript("lobby").size(), 1u);
    // Every window text, the settings, the chat, the keywords, the prompts.
    std::vector<std::string> shown{sim.FileBytes(kSettings).value_or("")};
    for (std::vector<Hwnd> todo = sim.ChildrenOf(0); !todo.empty();) {
        const Hwnd w = todo.back();
        todo.pop_back();
        shown.push_back(sim.TextOf(w));
        for (Hwnd child : sim.ChildrenOf(w)) todo.push_back(child);
    }
    for (const aolsim::ChatLine& line : client.Chat()) shown.push_back(line.text);
    for (const std::string& keyword : client.KeywordsSubmitted()) shown.push_back(keyword);
    for (const sim::PromptCall& prompt : sim.Prompts()) shown.push_back(prompt.prompt + prompt.defaultText);
    for (const std::string& text : shown) EXPECT_EQ(text.find("hunter2"), std::string::npos) << text;
}

// What the version and the resume marks make of a look without re-entering:
// downloads take 2 + 3 s, uploads 2 s.
struct VersionCase {
    const char* name;
    const char* version;
    std::string settings;
    bool menusUnreadable;
    Texts closed, menu;
    std::vector<int> toolbar;
    std::vector<IconPress> presses;
    double ends;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

const IconPress kDownload{"Download Manager", 2, true}, kUpload{"Mail Waiting to Be Sent", 4, true};
const std::string kBoth = "RESUME DOWNLOAD=yes\r\nRESUME UPLOAD=yes\r\n";
const Texts kFileMenu{"&File Search", "&Download Manager"}, kChannels{"AOL Channels"};

class Versions : public Monitor, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(Versions, LookSignsOnAndResumesAsTheVersionAndMarksSay) {
    const VersionCase& c = GetParam();
    sim.SetMenusUnreadable(c.menusUnreadable);
    Begin(c.version, c.settings);
    client.OpenDocument("AOL Channels", {.icons = 2, .statics = 1});  // before 6.0 not the client's: it stays
    LookAt(8);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"secret"});
    EXPECT_EQ(client.Captions(WindowEvent::Hidden), (Texts{kWelcome, kWelcome}));
    EXPECT_EQ(client.Captions(WindowEvent::Closed), c.closed);
    EXPECT_EQ(client.MenuCommands(), c.menu);
    EXPECT_EQ(client.ToolbarClicks(), c.toolbar);
    EXPECT_EQ(client.IconPresses(), c.presses) << "the download first";
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_NEAR(Since(), c.ends, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, Versions,
    ::testing::Values(
        VersionCase{"v80_nothing_to_resume", "8.0", "", false, kChannels, {}, {}, {}, 29},
        VersionCase{"v80_both", "8.0", kBoth, false, {"AOL Channels", "Download Manager"}, kFileMenu, {1},
                    {kDownload, kUpload}, 36},
        VersionCase{"v60_download", "6.0", "RESUME DOWNLOAD=yes\r\n", false, {"AOL Channels", "Download Manager"},
                    kFileMenu, {}, {kDownload}, 34},
        VersionCase{"v50_both", "5.0", kBoth, false, {"Download Manager"}, {}, {5, 3},
                    {kDownload, {"Mail Waiting to Be Sent", 4, false}}, 36},
        VersionCase{"v40_both", "4.0", kBoth, false, {"Download Manager"}, {}, {5, 3},
                    {kDownload, {"Mail Waiting to Be Sent", 4, false}}, 36},
        VersionCase{"v30_none", "3.0", kBoth, false, {}, {}, {}, {}, 29},
        VersionCase{"v70_menus_unreadable", "7.0", "RESUME UPLOAD=yes\r\n[aol]\r\nVERSION=7.0\r\n", true, kChannels,
                    {}, {1}, {kUpload}, 31},
        VersionCase{"v70_menus_unreadable_download", "7.0", "RESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=7.0\r\n", true,
                    {"AOL Channels", "Download Manager"}, {"&Download Manager"}, {}, {kDownload}, 34}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

// A password file that does not read (locked by another program, a read
// that breaks midway) or that reads two ways is unknown: nothing is typed,
// and the first look after it reads again types the stored password.
class UnreadPassword : public Monitor, public ::testing::WithParamInterface<int> {};

TEST_P(UnreadPassword, IsNotTypedAndTheNextLookTypesIt) {
    using Flags = sim::SimPlatform::FileFlags;
    Begin("8.0", kLobby);
    if (GetParam() == 0) sim.SetFileFlags(kPasswordFile, Flags{.unreadable = true});
    if (GetParam() == 1) sim.SetFileFlags(kPasswordFile, Flags{.breaksAfter = 10});
    if (GetParam() == 2) sim.FailNth(sim::Op::GetProfileString, 1, std::string(kPasswordFile));
    sim.RunFor(8 + 4.5);
    EXPECT_TRUE(client.PasswordsTyped().empty());
    sim.SetFileFlags(kPasswordFile, {});
    LookAt(24);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"secret"});
    EXPECT_EQ(client.KeywordsSubmitted(), Texts{"lobby"});
}

INSTANTIATE_TEST_SUITE_P(LockedBrokenOrOneReadFailed, UnreadPassword, ::testing::Values(0, 1, 2));

// Under Wine a keyword set while the client is busy is lost: Enter is not
// pressed on whatever the box holds instead.
TEST_F(Monitor, KeywordTheBoxDidNotTakeIsNotSubmitted) {
    sim.SetDropsTimedOutSends(true);
    Begin("8.0", kLobby);
    int sets = 0;
    sim.SetHook([&](sim::Op op, Hwnd window) {
        if (op == sim::Op::SetText && sim.ClassOf(window) == "Edit" && ++sets == 2)
            sim.SetBusyUntil(sim.Now() + kSendTimeoutMs / 1000.0 + 0.01);
    });
    LookAt(8);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"secret"});
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
}

// A room that reads two ways is unknown: the password is typed, no keyword
// is entered and no re-entry announced.
TEST_F(Monitor, RoomThatDoesNotReadIsNotEntered) {
    Begin("8.0", kLobby);
    sim.Schedule(8 + 4, [&] { sim.FailNth(sim::Op::GetProfileString, 1, kSettings); });
    LookAt(8);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"secret"});
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_TRUE(client.Transcript("Lobby").empty());
}

TEST_F(Monitor, FailedSignOnIsTriedOnceMoreByTheNextLookDueAfterIt) {
    Begin("8.0");
    // Refused within a second: the sign-on window is back long before the
    // look ends at 25, while the looks due at 16 and 24 fall inside it.
    client.SetDelays({.signOn = 1});
    client.FailSignOns(1);
    sim.RunFor(31);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"secret"});
    EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty());
    LookAt(32);
    EXPECT_EQ(client.PasswordsTyped(), (Texts{"secret", "secret"}));
    EXPECT_TRUE(client.SignedOn());
}

TEST_F(Monitor, ClientThatNeverFinishesSigningOnIsGivenUpOn) {
    Begin("8.0", kLobby);
    client.SetDelays({.signOn = 86400});
    LookAt(8);
    EXPECT_NEAR(Since(), 8 + 6 + bounds::kSignOnSeconds + 11, 0.2);  // 4 + 2 s, the wait, 10 + 1 s
    EXPECT_TRUE(client.Captions(WindowEvent::Hidden).empty());
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    sim.RunFor(60);
    EXPECT_EQ(client.PasswordsTyped().size(), 1u) << "still connecting: no sign-on window";
}

TEST_F(Monitor, ClientClosingAfterThePasswordEndsTheLook) {
    Begin("8.0", kLobby);
    client.When(aolsim::Trigger::PasswordTyped, aolsim::Reaction::Vanish);
    LookAt(8);
    EXPECT_NEAR(Since(), 8 + 4 + 2 + 10 + 1, 0.2);
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
}

// Signed off again after the sign-on: the look ends at its next question,
// and nothing more is sent to the client (no keyword, no line, no resume).
TEST_F(Monitor, SignOffWhileTheFirstDocumentIsHiddenEndsTheLookBeforeTheRoom) {
    Begin("8.0", std::string(kLobby) + "RESUME DOWNLOAD=yes\r\n");
    sim.Schedule(27.5, [&] { client.SignOff(); });  // after the question at 26, before the one at 28
    LookAt(8);
    EXPECT_NEAR(Since(), 28, 0.01);
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_EQ(client.Captions(WindowEvent::Hidden), (Texts{kWelcome, kWelcome}));
}

TEST_F(Monitor, SignOffWhileWaitingForTheRoomEndsTheLook) {
    Begin("8.0", std::string(kLobby) + "RESUME DOWNLOAD=yes\r\n");
    client.SetDelays({.room = 20});
    sim.Schedule(30, [&] { client.SignOff(); });
    LookAt(8);
    EXPECT_NEAR(Since(), 30, 0.1) << "the wait ends with the sign-off, the look with it";
    EXPECT_EQ(client.KeywordsSubmitted(), Texts{"lobby"});
    EXPECT_TRUE(client.MenuCommands().empty());
    EXPECT_TRUE(client.Chat().empty());
    EXPECT_EQ(client.Captions(WindowEvent::Closed), Texts{"AOL Channels"});
}

// Blanks and quotes at the ends of a password are part of it.
TEST_F(Monitor, PasswordSetInThePromptIsTypedExactlyAtTheNextSignOn) {
    Begin("8.0");
    Answer("setpassword", "  \"pass word\" ");
    LookAt(8);
    EXPECT_EQ(client.PasswordsTyped(), Texts{"  \"pass word\" "});
    EXPECT_TRUE(client.SignedOn());
}

// Signed on with the welcome window closed and a message in front that has a
// box: every look leaves it alone.
TEST_F(Monitor, LooksTypeNothingWhileSignedOnWithoutTheWelcomeWindow) {
    client.Start("8.0");
    client.SignOn("Joe Blow");
    client.DestroyWindow(client.WelcomeWindow());
    client.DestroyWindow(client.ChannelsWindow());
    const Hwnd im =
        client.OpenDocument("Joe Blow: Instant Message", {.icons = 1, .statics = 1, .comboboxes = 1, .edits = 1});
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=hunter2\r\n");
    StartProgram(kLobby);
    LookAt(40);
    EXPECT_EQ(sim.TextOf(sim.ChildrenOf(im).back()), "");
    EXPECT_TRUE(client.PasswordsTyped().empty());
    EXPECT_TRUE(client.KeywordsSubmitted().empty());
    EXPECT_NEAR(Since(), 40, 0.01) << "every look ended at once";
}

TEST_F(Monitor, LookCarriesOnThroughMenuChangesAndAnAlertAfterTheKeyword) {
    Begin("8.0", "ROOM=lobby\r\n");
    sim.Schedule(15, [&] { program.form2.Item("enablereenterroom").Click(); });  // read when its turn comes
    sim.Schedule(20, [&] { program.form2.Item("enabledcp").Click(); });          // the look runs to its end
    client.When(aolsim::Trigger::KeywordEntered, aolsim::Reaction::Alert);      // the room follows a second later
    LookAt(8);
    EXPECT_FALSE(program.form1.Timer2.Enabled());
    EXPECT_EQ(client.AlertsDismissed(), 1);
    EXPECT_EQ(client.Transcript("lobby"), Texts{kReenterLine});
}

}  // namespace
}  // namespace qm::testing
