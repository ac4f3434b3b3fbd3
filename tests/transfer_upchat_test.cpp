// Upload chat: Timer3 minimizes each upload once and announces it; the two
// commands; the box when the window is gone by its lookup.
#include "transfer/transfers.h"

#include "dcp/actions.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using aolsim::Client;
using enum aolsim::WindowEvent::Kind;
using Kinds = std::vector<aolsim::WindowEvent::Kind>;

const std::string kAutoUpchat = Head() + "quillmoor idle \xB7 <font color=#0000ff>auto upchat";
constexpr const char* kAutoOn = "[upchat]\r\nAUTO UPCHAT=yes\r\n";
constexpr double kTick = 3.0;

struct Scene : World {
    void Begin(const std::string& settings = "") {
        Client();
        Launch(settings.empty() ? std::nullopt : std::optional(settings));
    }
    Hwnd Upload(const std::string& file = "a.zip") { return client.StartUpload(file, 45, Client::RemainingText(3)); }
    void Click(const char* item) { menus.Item(item).Click(); }
    // What was done to "_AOL_Modal" windows.
    Kinds Shows() const {
        Kinds out;
        for (const aolsim::WindowEvent& e : client.WindowEvents())
            if (e.cls == "_AOL_Modal") out.push_back(e.kind);
        return out;
    }
    // The message boxes shown, as title and text.
    Texts Boxes() const {
        Texts out;
        for (const auto& box : sim.MessageBoxes()) out.push_back(box.title + ": " + box.text);
        return out;
    }
};
class Upchat : public ::testing::Test, public Scene {};

TEST_F(Upchat, TimerMinimizesEachNewUploadItCanSeeOnceAndAnnouncesIt) {
    Begin(kAutoOn);
    sim.RunFor(3 * kTick);
    Upload("A.ZIP");
    client.SetHung(true);
    sim.RunFor(2 * kTick);
    client.SetHung(false);
    client.ShowOtherModal("Warning");
    sim.RunFor(3 * kTick);
    EXPECT_TRUE(Shows().empty());
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_TRUE(Lines().empty());
    client.CloseOtherModal();
    sim.RunFor(kTick);
    EXPECT_EQ(Shows(), (Kinds{Hidden, Minimized}));
    EXPECT_EQ(form.lblUpload, "a.zip");
    EXPECT_EQ(Lines(), Texts{kAutoUpchat});
    client.SetUploadProgress(80, Client::RemainingText(1));
    sim.RunFor(10 * kTick);
    EXPECT_EQ(Shows().size(), 2u) << "later ticks of the same upload";
    // Restored by the user, the timer leaves it alone.
    Click("upchatoff");
    sim.RunFor(10 * kTick);
    EXPECT_EQ(Shows(), (Kinds{Hidden, Minimized, Hidden, Restored}));
    EXPECT_EQ(Lines(), Texts{kAutoUpchat});
    // A new upload of the last name, in a window of its own, is new too; its
    // announcement takes the style of the moment.
    client.EndUpload();
    sim.RunFor(kTick);
    form.lblAscii1 = "~*", form.lblAscii1Color = "ff0000", form.lblAscii1Font = "tahoma";
    form.lblFont = "verdana", form.lblColor1 = "111111", form.lblColor2 = "222222";
    Hwnd w = Upload("a.zip");
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(w));
    sim.RunFor(3 * kTick);
    client.EndUpload();
    w = Upload("b.zip");
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(w));
    EXPECT_EQ(form.lblUpload, "b.zip");
    const std::string styled = "</b></u></i></s><font face=\"tahoma\" color=#ff0000>~* <font face=\"verdana\" "
                               "color=#111111>quillmoor idle \xB7 <font color=#222222>auto upchat";
    EXPECT_EQ(Lines(), (Texts{kAutoUpchat, styled, styled}));
    EXPECT_TRUE(Boxes().empty());
}

// What happens during a tick does not make the timer take its upload for a
// new one later, nor act on it twice.
TEST(UpchatTick, RecordsTheUploadItActedOnWhateverHappensMeanwhile) {
    struct Case {
        const char* what;
        sim::Op op;  // on the `nth` such operation (on the upload, for a show)
        int nth;
        std::function<void(Scene&)> meanwhile;
        Kinds shows;
    };
    for (const Case& c : std::vector<Case>{
             {"its name cannot be read after the hide", sim::Op::ShowWindow, 2,
              [](Scene& s) { s.client.ShowOtherModal("Warning"); }, {Hidden, Minimized}},
             {"the next tick falls due during the hide", sim::Op::ShowWindow, 2,
              [](Scene& s) { s.sim.RunFor(kTick + 0.5); }, {Hidden, Minimized}},
             {"it is gone at the hide's lookup; another of its name comes during the box", sim::Op::FindWindow, 3,
              [](Scene& s) {
                  s.client.EndUpload();
                  s.sim.Schedule(0, [&s] { s.Upload(); });
              },
              {Hidden, Minimized}}}) {
        Scene s;
        s.Begin(kAutoOn);
        Hwnd w = s.Upload();
        s.sim.AtNth(c.op, c.nth, [&] { c.meanwhile(s); },
                    c.op == sim::Op::ShowWindow ? std::optional<Hwnd>(w) : std::nullopt);
        s.sim.RunFor(kTick);
        EXPECT_EQ(s.sim.ArmedLeft(), 0u) << c.what;
        EXPECT_EQ(s.form.lblUpload, "a.zip") << c.what;
        s.client.CloseOtherModal();
        s.sim.RunFor(5 * kTick);
        EXPECT_EQ(s.Shows(), c.shows) << c.what;
        // The one after the box is a window the tick did not act on: the next
        // tick does, once.
        const bool box = c.op == sim::Op::FindWindow;
        EXPECT_EQ(s.Boxes().size(), box ? 1u : 0u) << c.what;
        EXPECT_EQ(s.Lines(), Texts(box ? 2 : 1, kAutoUpchat)) << c.what;
    }
}

// The upload a lost connection broke off, resumed: the same file, another
// window, and in front of the user again.
TEST_F(Upchat, ResumedUploadIsMinimizedAgain) {
    Begin(kAutoOn);
    Hwnd first = Upload("A.ZIP");
    sim.RunFor(kTick);
    ASSERT_TRUE(sim.Minimized(first));
    client.Disconnect();
    sim.RunFor(kTick);
    client.SignOn("Joe");
    room = client.OpenRoom("Lobby");
    dcp::ResumeUploadLate(sim);
    const Hwnd resumed = client.UploadWindow();
    ASSERT_NE(resumed, 0u);
    ASSERT_NE(resumed, first);
    EXPECT_FALSE(sim.Minimized(resumed));
    sim.RunFor(kTick);
    EXPECT_TRUE(sim.Minimized(resumed));
    EXPECT_EQ(form.lblUpload, "a.zip");
    sim.RunFor(5 * kTick);
    EXPECT_EQ(Shows(), (Kinds{Hidden, Minimized, Hidden, Minimized}));
    EXPECT_EQ(client.Captions(Minimized), (Texts{"File Transfer - 45%", "File Transfer"}));
    EXPECT_EQ(Lines(), (Texts{kAutoUpchat, kAutoUpchat}));
}

TEST_F(Upchat, UploadGoneByTheLookupBringsTheBoxAndTheTickGoesOn) {
    Begin();
    // A command reads the name twice (in the lookup, then as the name); the
    // upload ends right after.
    for (const char* item : {"upchaton", "upchatoff"}) {
        Upload();
        client.EndUploadOnRead(2);
        Click(item);
    }
    // The tick reads it three times (in the lookup of the name, as the name,
    // in the lookup of its test); it records what it reads after the box.
    Click("enableautoupchat");
    Upload();
    client.EndUploadOnRead(3);
    sim.RunFor(6 * kTick);
    EXPECT_EQ(Boxes(), (Texts{"upchat error: upchat window not found, stupid ass!",
                              "upchat error: upchat window not found, moron!",
                              "upchat error: upchat window not found, stupid ass!"}));
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_EQ(Lines(), Texts{kAutoUpchat});
    EXPECT_TRUE(Shows().empty());
}

TEST_F(Upchat, CommandsActOnlyOnAnUploadAndEnableFlipsTheTimer) {
    Begin();
    client.ShowOtherModal("Warning");  // not an upload: left alone
    for (const char* item : {"upchaton", "upchatoff"}) Click(item);
    client.CloseOtherModal();
    for (const char* item : {"upchaton", "upchatoff"}) Click(item);
    EXPECT_TRUE(Shows().empty());
    Upload();
    Click("upchaton");
    EXPECT_EQ(Shows(), (Kinds{Hidden, Minimized}));
    client.SetHung(true);
    Click("upchatoff");
    client.SetHung(false);
    EXPECT_EQ(Shows().size(), 2u) << "a hung client is left alone";
    EXPECT_EQ(form.lblUpload, "");
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(Boxes().empty());
    client.EndUpload();
    // Auto upchat is off to begin with; each click flips it.
    int n = 0;
    for (bool on : {true, false, true, false}) {
        Click("enableautoupchat");
        EXPECT_EQ(menus.Checked("enableautoupchat"), on);
        EXPECT_EQ(form.Timer3.Enabled(), on);
        EXPECT_EQ(ReadSetting(sim, "upchat", "auto upchat", SettingsFile(sim)), on ? "yes" : "no");
        Hwnd w = Upload(std::to_string(++n) + ".zip");
        sim.RunFor(kTick);
        EXPECT_EQ(sim.Minimized(w), on) << n;
        client.EndUpload();
    }
    EXPECT_EQ(Lines(), (Texts{kAutoUpchat, kAutoUpchat}));
}

}  // namespace
}  // namespace qm::testing
