// Hostile windows against the whole program: huge texts, texts that change
// under a read, windows that vanish between two calls, a client thread that
// hangs mid-send (the Windows way and the Wine way), a client that closes
// everything during a re-sign-on, a thousand documents, a 1,024-item menu.
// After each: no crash, nothing typed into a wrong window, the user's text
// back, every step within its bound, and the next tick still posts.
#include <functional>

#include "aol/bounds.h"
#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using aolsim::Client;

const std::string kHuge(1 << 20, 'M');
const std::string kTyped = "half a sentence";
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";

// A tick posts two lines; each may wait out a take and a read that the
// client does not answer, and the pauses between presses.
constexpr double kTickSeconds = 2 * (bounds::kTakeSeconds + bounds::kReadSeconds + 1);
// A look: its pauses (4 + 2 + 10 + 1 + 1 + 1 + 2 + 1 s), the sign-on and room
// waits, two lines' worth of sending and the resumes' pop-up waits.
constexpr double kLookSeconds = 22 + bounds::kSignOnSeconds + bounds::kRoomSeconds + kTickSeconds +
                                2 * (bounds::kPopupMenuSeconds + bounds::kLatePopupSeconds);

// A transfer's line in an idle tick.
std::string TransferLine(const std::string& name, const std::string& percent, const std::string& minutes) {
    return Head(3) + "file: <font color=#0000ff>" + name + "<font color=#000000> \xB7 <font color=#0000ff>" + percent +
           "<font color=#000000>% \xB7 <font color=#0000ff>" + minutes + "<font color=#000000>ml";
}

// The lines, their common head cut off, for a failure to show.
std::string Brief(const Texts& lines) {
    std::string out;
    for (const std::string& line : lines) out += "\n  [" + line.substr(line.size() > 60 ? line.size() - 60 : 0) + "]";
    return out;
}

struct Scene : World {
    // Joe in Lobby with `typed` unsent, the program started with one reason.
    void Begin(const std::string& typed = kTyped, const std::string& settings = "") {
        Client("8.0", "Joe", typed);
        Launch(kDecorations + settings, "a\r\n");
    }
    // One idle tick as Timer1 runs it; the virtual seconds it took.
    double Tick() {
        const double t0 = sim.Now();
        program.idle.Timer1_Timer();
        return sim.Now() - t0;
    }
    // The clock and the reason of the latest tick (the clock as it shows:
    // minutes of ticks that did not come count too).
    Texts TickLines() const { return {Clock(form.lblDay, form.lblHrs, form.lblMins), Reason("a")}; }
    // Nothing went where it does not belong: no password, no keyword, every
    // chat line into Lobby.
    void NothingMisplaced(const std::string& label) {
        EXPECT_TRUE(client.PasswordsTyped().empty()) << label;
        EXPECT_TRUE(client.KeywordsSubmitted().empty()) << label;
        for (const aolsim::ChatLine& line : client.Chat()) EXPECT_EQ(line.room, "Lobby") << label;
    }
    // A later tick posts its two lines in time (after `held`, lines held
    // from before) and gives the user's text back.
    void StillAnswers(const std::string& label, const std::string& typed = kTyped, Texts held = {}) {
        const std::size_t before = Lines().size();
        EXPECT_LE(Tick(), kTickSeconds) << label;
        const Texts lines = Lines(), tick = TickLines();
        held.insert(held.end(), tick.begin(), tick.end());
        EXPECT_EQ(Texts(lines.begin() + static_cast<std::ptrdiff_t>(std::min(before, lines.size())), lines.end()),
                  held)
            << label << Brief(lines);
        EXPECT_EQ(client.InputText(room), typed) << label;
    }
    void InsertTransfers() { menus.Item("insertdlul").Click(); }
    Hwnd Input() const { return client.RoomInput(room); }
};

Texts Tail(const Texts& all, std::size_t from) {
    return Texts(all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end());
}

// ---- 1 MB texts ---------------------------------------------------------------

// A text far beyond any read is never read, never cleared, never typed over;
// the tick ends in time and the program goes on.
TEST(Hostile, MegabyteTextsAreLeftAloneAndTheTickGoesOn) {
    struct Case {
        const char* name;
        std::function<void(Scene&)> make, undo;
        bool held;  // the tick's lines wait until the box can be read again
        std::string typedAfter;
    };
    const Case cases[] = {
        {"room input box", [](Scene& s) { s.client.TypeInRoom(s.room, kHuge); },
         [](Scene& s) { s.client.TypeInRoom(s.room, kTyped); }, true, kHuge},
        {"document caption", [](Scene& s) { s.client.OpenDocument(kHuge, {.icons = 1}); }, {}, false, kTyped},
        {"upload static",
         [](Scene& s) {
             s.InsertTransfers();
             s.client.StartUpload(kHuge, 12, Client::RemainingText(9));
         },
         [](Scene& s) { s.client.EndUpload(); }, false, kTyped},
        {"welcome caption", [](Scene& s) { s.sim.SetTextDirect(s.client.WelcomeWindow(), kHuge); }, {}, false,
         kTyped},
    };
    for (const Case& c : cases) {
        Scene s;
        s.Begin();
        c.make(s);
        const std::size_t before = s.Lines().size();
        EXPECT_LE(s.Tick(), kTickSeconds) << c.name;
        const Texts tick = s.TickLines();
        EXPECT_EQ(Tail(s.Lines(), before), c.held ? Texts{} : tick) << c.name << Brief(s.Lines());
        EXPECT_EQ(s.client.InputText(s.room), c.typedAfter) << c.name;
        s.NothingMisplaced(c.name);
        if (c.undo) c.undo(s);
        s.StillAnswers(c.name, kTyped, c.held ? tick : Texts{});
    }
}

// ---- Texts that change between their length and their read --------------------

// The user types on (or deletes) as the program reads the box: just before
// its length is asked, or between the length and the read.  What the box
// holds at the end is what the user last had there; the lines go once, or
// (a text too long to read, never typed over) not at all.
TEST(Hostile, InputTextChangingBetweenLengthAndReadIsNeverLost) {
    const std::string changes[] = {kHuge, kTyped + " and more", "", "h", std::string(bounds::kMaxTextRead, 'g'),
                                   std::string(bounds::kMaxTextRead + 1, 'g')};
    for (sim::Op op : {sim::Op::GetTextLength, sim::Op::GetText}) {
        for (const std::string& now : changes) {
            const std::string label = std::string(op == sim::Op::GetText ? "at the read" : "at the length") + " to " +
                                      std::to_string(now.size()) + " bytes";
            Scene s;
            s.Begin();
            bool done = false;
            s.sim.SetHook([&](sim::Op seen, Hwnd h) {
                if (seen == op && h == s.Input() && !done) done = true, s.sim.SetTextDirect(h, now);
            });
            EXPECT_LE(s.Tick(), kTickSeconds) << label;
            const Texts tick = s.TickLines();
            s.sim.SetHook({});
            s.sim.RunFor(bounds::kHeldLineSeconds + bounds::kRetryLongestSeconds);
            EXPECT_TRUE(done) << label;
            const bool readable = now.size() <= static_cast<std::size_t>(bounds::kMaxTextRead);
            EXPECT_EQ(s.Lines(), readable ? tick : Texts{}) << label << Brief(s.Lines());
            EXPECT_EQ(s.client.InputText(s.room), now) << label;
            s.NothingMisplaced(label);
            s.client.TypeInRoom(s.room, kTyped);
            s.StillAnswers(label);
        }
    }
}

// ---- Windows that vanish between two calls ----------------------------------------

// The room or its input box goes just before one of the program's calls on
// the box, during an announcement or a brag: no line lands anywhere else.
TEST(Hostile, RoomOrInputBoxVanishingMidSendTypesNothingElsewhere) {
    struct Case {
        sim::Op op;
        int nth;
        bool wholeRoom;
    };
    const Case cases[] = {
        {sim::Op::GetTextLength, 1, true}, {sim::Op::GetText, 1, true},  {sim::Op::SetText, 1, true},
        {sim::Op::Send, 1, true},          {sim::Op::SetText, 2, true},  {sim::Op::GetTextLength, 1, false},
        {sim::Op::SetText, 1, false},      {sim::Op::Send, 1, false},    {sim::Op::Send, 2, false},
    };
    for (bool brag : {false, true}) {
        for (const Case& c : cases) {
            const std::string label = std::string(brag ? "brag, " : "tick, ") + (c.wholeRoom ? "room" : "box") +
                                      " gone before call #" + std::to_string(c.nth) + " of op " +
                                      std::to_string(static_cast<int>(c.op));
            Scene s;
            s.Begin("", "[handle]\r\nhandle=joe\r\n");
            s.client.TypeInRoom(s.room, kTyped);
            const Hwnd input = s.Input();
            s.sim.AtNth(
                c.op, c.nth, [&] { s.client.DestroyWindow(c.wholeRoom ? s.room : input); }, input);
            const double t0 = s.sim.Now();
            if (brag)
                s.Choose({"idle options", "brag idle stats"});
            else
                s.program.idle.Timer1_Timer();
            EXPECT_LE(s.sim.Now() - t0, kTickSeconds) << label;
            EXPECT_EQ(s.sim.ArmedLeft(), 0u) << label;
            s.sim.RunFor(bounds::kHeldLineSeconds + bounds::kRetryLongestSeconds);
            s.NothingMisplaced(label);
            EXPECT_FALSE(s.sim.IsWindow(input)) << label;
            s.client.DestroyWindow(s.room);
            s.room = s.client.OpenRoom("Lobby", kTyped);
            s.entryLines = s.client.Transcript("Lobby").size();
            s.StillAnswers(label);
        }
    }
}

// The upload window goes while a tick reads it (just before a read of its
// caption or of one of its statics, or as the name's read returns): its line
// is never said from values of a window that is gone, and the tick ends in
// time.
TEST(Hostile, UploadWindowVanishingMidReadSaysNoHalfLine) {
    struct Case {
        const char* name;
        std::function<void(Scene&)> arm;
    };
    auto atStatic = [](sim::Op op, int nth) {
        return [op, nth](Scene& s) {
            std::vector<Hwnd> statics;
            for (Hwnd child : s.sim.ChildrenOf(s.client.UploadWindow()))
                if (s.sim.ClassOf(child) == "_AOL_Static") statics.push_back(child);
            s.sim.AtNth(op, 1, [&s] { s.client.EndUpload(); }, statics.at(static_cast<std::size_t>(nth)));
        };
    };
    const Case cases[] = {
        {"as the name's read returns", [](Scene& s) { s.client.EndUploadOnRead(1); }},
        {"before the caption's length",
         [](Scene& s) {
             s.sim.AtNth(sim::Op::GetWindowTextLength, 1, [&s] { s.client.EndUpload(); }, s.client.UploadWindow());
         }},
        {"before the first static's length", atStatic(sim::Op::GetTextLength, 0)},
        {"before the first static's read", atStatic(sim::Op::GetText, 0)},
        {"before the second static's length", atStatic(sim::Op::GetTextLength, 1)},
        {"before the second static's read", atStatic(sim::Op::GetText, 1)},
    };
    for (const Case& c : cases) {
        Scene s;
        s.Begin();
        s.InsertTransfers();
        s.client.StartUpload("Up.TXT", 7, Client::RemainingText(1));
        c.arm(s);
        const std::size_t before = s.Lines().size();
        EXPECT_LE(s.Tick(), kTickSeconds) << c.name;
        const Texts said = Tail(s.Lines(), before);
        EXPECT_EQ(said, s.TickLines()) << c.name << Brief(said);
        EXPECT_EQ(s.sim.ArmedLeft(), 0u) << c.name;
        EXPECT_EQ(s.client.UploadWindow(), 0u) << c.name;
        s.NothingMisplaced(c.name);
        s.StillAnswers(c.name);
    }
}

// ---- Re-sign-on against a hostile client ---------------------------------------------

struct Protected : Scene {
    // Signed off after a download broke; protection on with "secret" stored.
    void BeginSignedOff(const std::string& dcp = "RE-ENTER ROOM=yes\r\nROOM=lobby\r\n") {
        sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=secret\r\n");
        client.Start("8.0");
        client.SignOn("Joe Blow");
        client.StartDownload("big.zip", 40, Client::RemainingText(3));
        client.Disconnect();
        sim.SetFileBytes(kSettings, kDecorations + "[dcp]\r\nAUTO DCP=yes\r\n" + dcp);
        sim.SetFileBytes(kReasonsFile, "a\r\n");
        ASSERT_TRUE(program.Start());
        started = sim.Now();
    }
    // Runs the look due 8 s after start (the timer's handler runs to its
    // end inside); how long it took.
    double Look() {
        sim.RunFor(8.001);
        return sim.Now() - (started + 8);
    }
    // Every client document window closes (the client itself stays).
    void CloseAllDocuments() {
        for (Hwnd doc : sim.ChildrenOf(client.MdiClient())) client.DestroyWindow(doc);
    }
    // A fresh client, Joe in Lobby with the user's text, for the next tick.
    void Recover() {
        if (!client.SignedOn()) {
            if (!client.Running()) client.Start("8.0");
            client.SignOn("Joe");
        }
        room = client.Room("Lobby") ? client.Room("Lobby") : client.OpenRoom("Lobby");
        client.TypeInRoom(room, kTyped);
        entryLines = client.Transcript("Lobby").size();
    }
    double started = 0;
};

// 1 MB captions in front of and on the sign-on window: the re-sign-on goes
// through as usual, the password into its box, the room re-entered and said.
TEST(Hostile, MegabyteCaptionsDoNotStopTheReSignOn) {
    const std::string reenter = Head(1) + "quillmoor idle \xB7 <font color=#0000ff>dcp re-enter";
    for (bool onSignOn : {false, true}) {
        const std::string label = onSignOn ? "sign-on window's caption" : "a document in front";
        Protected s;
        s.BeginSignedOff();
        if (onSignOn)
            s.sim.SetTextDirect(s.client.SignOnWindow(), kHuge);
        else
            s.client.OpenDocument(kHuge, {.icons = 1, .statics = 1});
        EXPECT_LE(s.Look(), kLookSeconds) << label;
        EXPECT_EQ(s.client.PasswordsTyped(), Texts{"secret"}) << label;
        EXPECT_EQ(s.client.KeywordsSubmitted(), Texts{"lobby"}) << label;
        EXPECT_EQ(s.client.Transcript("Lobby"), Texts{reenter}) << label;
        s.Recover();
        s.StillAnswers(label);
    }
}

// The password goes into the sign-on window's box or nowhere: the window
// goes just before the box is filled or its Enter is sent.
TEST(Hostile, SignOnWindowVanishingBeforeThePasswordTypesItNowhere) {
    for (sim::Op op : {sim::Op::SetText, sim::Op::Send}) {
        const std::string label = op == sim::Op::SetText ? "before the password" : "before its Enter";
        Protected s;
        s.BeginSignedOff();
        const Hwnd box = s.client.PasswordBox();
        s.sim.AtNth(op, 1, [&] { s.client.DestroyWindow(s.client.SignOnWindow()); }, box);
        EXPECT_LE(s.Look(), kLookSeconds - bounds::kSignOnSeconds) << label;
        EXPECT_EQ(s.sim.ArmedLeft(), 0u) << label;
        EXPECT_TRUE(s.client.PasswordsTyped().empty()) << label;
        EXPECT_TRUE(s.client.KeywordsSubmitted().empty()) << label;
        EXPECT_TRUE(s.client.Chat().empty()) << label;
        s.Recover();
        s.StillAnswers(label);
    }
}

// Every document window closes, or the whole client goes, at a step of the
// re-sign-on: the look ends in time, nothing is typed anywhere afterwards.
TEST(Hostile, ClientClosingEverythingDuringReSignOnEndsTheLook) {
    struct Case {
        const char* name;
        sim::Op op;
        int nth;
        bool vanish;
        Texts passwords, keywords;
    };
    const Case cases[] = {
        {"documents at the password", sim::Op::SetText, 1, false, {}, {}},
        {"documents at the welcome's hiding", sim::Op::ShowWindow, 1, false, {"secret"}, {}},
        {"documents at the channels' closing", sim::Op::Send, 2, false, {"secret"}, {}},
        {"documents at the keyword", sim::Op::SetText, 2, false, {"secret"}, {"lobby"}},
        {"documents at the keyword's Enter", sim::Op::Send, 3, false, {"secret"}, {"lobby"}},
        {"client at the password", sim::Op::SetText, 1, true, {}, {}},
        {"client at the welcome's hiding", sim::Op::ShowWindow, 1, true, {"secret"}, {}},
        {"client at the channels' closing", sim::Op::Send, 2, true, {"secret"}, {}},
        {"client at the keyword", sim::Op::SetText, 2, true, {"secret"}, {}},
    };
    for (const Case& c : cases) {
        Protected s;
        s.BeginSignedOff();
        s.sim.AtNth(c.op, c.nth, [&] { c.vanish ? s.client.Vanish() : s.CloseAllDocuments(); });
        EXPECT_LE(s.Look(), kLookSeconds) << c.name;
        EXPECT_EQ(s.sim.ArmedLeft(), 0u) << c.name;
        EXPECT_EQ(s.client.PasswordsTyped(), c.passwords) << c.name;
        EXPECT_EQ(s.client.KeywordsSubmitted(), c.keywords) << c.name;
        EXPECT_TRUE(s.client.Chat().empty()) << c.name;
        s.sim.SetHook({});
        const std::size_t passwords = s.client.PasswordsTyped().size();
        s.Recover();
        s.StillAnswers(c.name);
        EXPECT_EQ(s.client.PasswordsTyped().size(), passwords) << c.name;
    }
}

// The re-entered room goes just before its input box is filled or sent the
// Enter: the announcement lands nowhere, the look ends in time.
TEST(Hostile, RoomVanishingAsTheReEntryIsAnnouncedTypesItNowhere) {
    for (sim::Op op : {sim::Op::SetText, sim::Op::Send}) {
        const std::string label = op == sim::Op::SetText ? "at the text" : "at the Enter";
        Protected s;
        s.BeginSignedOff();
        bool done = false;
        s.sim.SetHook([&](sim::Op seen, Hwnd h) {
            if (seen == op && !done && s.sim.ClassOf(h) == "RICHCNTL")
                done = true, s.client.DestroyWindow(s.sim.ParentOf(h));
        });
        EXPECT_LE(s.Look(), kLookSeconds) << label;
        s.sim.SetHook({});
        EXPECT_TRUE(done) << label;
        EXPECT_EQ(s.client.PasswordsTyped(), Texts{"secret"}) << label;
        EXPECT_EQ(s.client.KeywordsSubmitted(), Texts{"lobby"}) << label;
        EXPECT_TRUE(s.client.Chat().empty()) << label;
        s.Recover();
        s.StillAnswers(label);
    }
}

// ---- A client thread that hangs 30 s mid-send ----------------------------------------

// Windows answers the Enter late; Wine drops it.  Either way each line is
// posted once, in order, and the user's text comes back once.
TEST(Hostile, ClientHangingThirtySecondsMidSendLosesAndDoublesNothing) {
    for (bool wine : {false, true}) {
        const std::string label = wine ? "wine" : "windows";
        Scene s;
        s.Begin();
        if (wine) {
            s.sim.SetDropsTimedOutSends(true);
            s.client.When(aolsim::Trigger::ChatEnter, aolsim::Reaction::Block, 30);
        } else {
            s.sim.AtNth(sim::Op::Send, 1, [&] { s.sim.SetBusyUntil(s.sim.Now() + 30); }, s.Input());
        }
        EXPECT_LE(s.Tick(), kTickSeconds) << label;
        EXPECT_TRUE(s.sim.Busy()) << label << ": the tick ends while the client still hangs";
        s.sim.RunFor(bounds::kHeldLineSeconds + bounds::kRetryLongestSeconds);
        EXPECT_EQ(s.Lines(), s.TickLines()) << label;
        EXPECT_EQ(s.client.InputText(s.room), kTyped) << label;
        s.NothingMisplaced(label);
        s.entryLines = s.client.Transcript("Lobby").size();
        s.StillAnswers(label);
    }
}

// ---- Many windows, long menus ------------------------------------------------------------

// A thousand documents in front of the room and the transfers: the tick
// still finds them all and says every line.
TEST(Hostile, ThousandDocumentsStillLeaveEveryLineSaid) {
    Scene s;
    s.Begin();
    s.InsertTransfers();
    s.client.StartDownload("Down.ZIP", 30, Client::RemainingText(4));
    s.client.StartUpload("Up.TXT", 7, Client::RemainingText(1));
    for (int i = 0; i < 1000; ++i) s.client.OpenDocument("Doc " + std::to_string(i), {.icons = 1, .statics = 1});
    const std::size_t before = s.Lines().size();
    EXPECT_LE(s.Tick(), kTickSeconds);
    Texts expected = s.TickLines();
    expected.push_back(TransferLine("down.zip", "30", "4"));
    expected.push_back(TransferLine("up.txt", "7", "1"));
    EXPECT_EQ(Tail(s.Lines(), before), expected) << Brief(s.Lines());
    s.client.EndDownload();
    s.client.EndUpload();
    s.NothingMisplaced("1000 documents");
    s.StillAnswers("1000 documents");
}

// A window that vanishes while the sender walks the documents ends that walk
// early: neither the room nor the user's box (a line still in flight) is
// taken for gone, no line is dropped, and the user's text goes back once the
// client answers.
TEST(Hostile, DocumentVanishingUnderAWalkDropsNothing) {
    for (const bool inFlight : {false, true}) {
        Scene s;
        s.Begin();
        const aolsim::Handle doc = s.client.OpenDocument("Write Mail", {.edits = 1});
        s.client.SetDocumentOrder({doc, s.room});
        // Stuck in its Enter handler past the take: the first line stays in flight.
        if (inFlight) s.client.When(aolsim::Trigger::ChatEnter, aolsim::Reaction::Block, bounds::kTakeSeconds + 5);
        s.program.chat.SendChatLine("</b>one");
        const Hwnd mdi = s.client.MdiClient();
        int calls = 0;
        s.sim.SetHook([&](sim::Op op, Hwnd parent) {
            if (op == sim::Op::FindWindowEx && parent == mdi && ++calls == 2) s.client.DestroyWindow(doc);
        });
        s.program.chat.SendChatLine("</b>two");
        s.sim.RunFor(60);
        EXPECT_EQ(s.client.InputText(s.room), kTyped) << inFlight;
        EXPECT_EQ(Tail(s.Lines(), 0), (Texts{"</b>one", "</b>two"})) << inFlight;
    }
}

// More documents than a walk visits, none of them the one looked for: the
// room and the Welcome window are looked for among the first 1,024 only (the
// room twice over before it is believed absent).
TEST(Hostile, WalksForTheRoomAndTheWelcomeWindowStopAtTheirBound) {
    World w;
    w.client.Start("8.0");
    for (int i = 0; i < bounds::kDocumentWindows + 100; ++i) w.client.OpenDocument("Doc", {});
    const Hwnd mdi = w.client.MdiClient();
    int calls = 0;
    w.sim.SetHook([&](sim::Op op, Hwnd parent) { calls += op == sim::Op::FindWindowEx && parent == mdi; });
    EXPECT_EQ(aol::FindWelcomeWindow(w.sim), 0u);
    EXPECT_EQ(calls, bounds::kDocumentWindows);
    calls = 0;
    EXPECT_EQ(aol::FindChatRoom(w.sim), 0u);
    EXPECT_EQ(calls, 2 * bounds::kDocumentWindows) << "two walks (one may end early), each to its bound";
}

// The client's File and Help menus padded to `filler` items before the
// entry that matters (Download Manager's id is the client's own).
void PadMenus(Scene& s, int filler) {
    std::vector<sim::MenuItem> file, help;
    for (int i = 0; i < filler; ++i) {
        file.push_back({"Recent " + std::to_string(i), static_cast<std::uint32_t>(5000 + i)});
        help.push_back({"Topic " + std::to_string(i), static_cast<std::uint32_t>(9000 + i)});
    }
    const Hmenu bar = s.sim.GetMenu(s.client.MainWindow());
    const Hmenu oldFile = s.sim.GetSubMenu(bar, 0);
    const std::uint32_t dm = s.sim.GetMenuItemID(oldFile, 4);
    file.push_back({"&Download Manager", dm});
    help.push_back({"What's New in AOL 8.0", 20000});
    s.sim.SetMenu(s.client.MainWindow(), s.sim.CreateMenu({{"&File", 0, s.sim.CreateMenu(file)},
                                                           {"&Help", 0, s.sim.CreateMenu(help)}}));
}

// 1,024 items are read, the 1,025th is not: the version and the late resume
// find their entry as the last one read, and nothing past it.
TEST(Hostile, MenuOfAThousandItemsIsReadToItsBound) {
    for (int filler : {bounds::kMenuItems - 1, bounds::kMenuItems}) {
        const bool found = filler < bounds::kMenuItems;
        const std::string label = std::to_string(filler + 1) + " items";
        {
            Scene s;
            s.Begin();
            PadMenus(s, filler);
            EXPECT_EQ(aol::GetAolVersion(s.sim), found ? "8.0" : "foreign") << label;
            s.StillAnswers(label);
        }
        Protected s;
        s.BeginSignedOff("RESUME DOWNLOAD=yes\r\n[aol]\r\nVERSION=8.0\r\n");
        s.sim.AtNth(sim::Op::ShowWindow, 1, [&] { PadMenus(s, filler); });
        EXPECT_LE(s.Look(), kLookSeconds) << label;
        EXPECT_EQ(s.client.PasswordsTyped(), Texts{"secret"}) << label;
        EXPECT_EQ(s.client.MenuCommands(), found ? Texts{"&Download Manager"} : Texts{}) << label;
        EXPECT_EQ(s.client.DownloadResumePresses(), found ? 1 : 0) << label;
        s.Recover();
        s.StillAnswers(label);
    }
}

}  // namespace
}  // namespace qm::testing
