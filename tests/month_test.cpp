// A month of idling in virtual time: interval 1, a disconnect every two
// hours (signed back on, the room re-entered), an upload every six hours
// (moved out of the way by auto upchat), the reasons rotating.  Every
// disconnect is recovered, the stored total is exact to the minute, nothing
// of the program grows, and no idle line is lost but while the room was
// gone, nor said twice.
#include <gtest/gtest.h>

#include <cctype>
#include <iostream>
#include <optional>

#include "aolsim/client.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

constexpr int kDays = 30;
constexpr int kMinutes = kDays * 24 * 60;
constexpr const char* kPasswordFile = "C:\\WINDOWS\\SYSTEM\\quillmoor.pws";
const Texts kReasons = {"brb", "eating", "sleeping"};

// Windows of the simulated world, all of them.
std::size_t CountWindows(const sim::SimPlatform& sim, Hwnd parent = 0) {
    std::size_t count = 0;
    for (Hwnd child : sim.ChildrenOf(parent)) count += 1 + CountWindows(sim, child);
    return count;
}

// The minutes an idle clock line shows ("d : h : m" in its value runs).
std::optional<int> ClockMinutes(const std::string& line) {
    const std::string prefix = Head(1) + "quillmoor idle \xB7 ";
    if (line.rfind(prefix, 0) != 0) return std::nullopt;
    int d = 0, h = 0, m = 0;
    const std::string value = "<font color=#0000ff>";
    std::size_t at = prefix.size();
    for (int* field : {&d, &h, &m}) {
        if (line.compare(at, value.size(), value) != 0) return std::nullopt;
        at += value.size();
        std::size_t digits = 0;
        while (at + digits < line.size() && std::isdigit(static_cast<unsigned char>(line[at + digits]))) ++digits;
        if (!digits) return std::nullopt;
        *field = std::stoi(line.substr(at, digits));
        at = line.find("<font color=#0000ff>", at);
        if (field != &m && at == std::string::npos) return std::nullopt;
    }
    if (line != Clock(std::to_string(d), std::to_string(h), std::to_string(m))) return std::nullopt;
    return (d * 24 + h) * 60 + m;
}

struct Month : ::testing::Test, World {};

TEST_F(Month, ThirtyDaysOfDisconnectsAndUploadsLoseNothing) {
    sim.SetFileBytes(kPasswordFile, "[dcp]\r\nPASSWORD=\"secret\"\r\n");
    client.Start("8.0");
    client.RequirePassword("secret");
    client.SignOn("Joe Blow");
    room = client.OpenRoom("Lobby", "brb, back in 5");
    client.MapKeyword("lobby", "Lobby");
    Launch(kDecorations +
               "[stats]\r\nDAY=5\r\nHOUR=3\r\nMINUTE=7\r\n[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=lobby\r\n"
               "[upchat]\r\nAUTO UPCHAT=yes\r\n",
           "brb\r\neating\r\nsleeping\r\n");
    IdleOn();
    entryLines = client.Transcript("Lobby").size();
    const double start = sim.Now();

    int disconnects = 0, recovered = 0, uploads = 0;
    std::size_t windowsAfterDay1 = 0;
    int timersAfterDay1 = 0;
    // Two-hour windows: a disconnect half an hour in; in every third, an
    // upload an hour in, ended half an hour later.
    for (int w = 0; w < kDays * 12; ++w) {
        const double t0 = start + w * 7200.0;
        sim.RunFor(t0 + 1800 - sim.Now());
        client.Disconnect();
        ++disconnects;
        // Signed on again and the room open again within two minutes.
        sim.RunFor(120);
        if (client.SignedOn() && client.Room("Lobby")) ++recovered;
        client.TypeInRoom(client.Room("Lobby"), "brb, back in 5");
        if (w % 3 == 1) {
            sim.RunFor(t0 + 3600 - sim.Now());
            client.StartUpload("file" + std::to_string(w) + ".zip", 10, aolsim::Client::RemainingText(20));
            ++uploads;
            sim.RunFor(1800);
            client.EndUpload();
        }
        if (w == 11) {
            windowsAfterDay1 = CountWindows(sim);
            timersAfterDay1 = sim.TimersRunning();
        }
    }
    sim.RunFor(start + kMinutes * 60.0 + 1 - sim.Now());

    // The stored total: what it was, and every minute idled.
    const int total = ((5 * 24 + 3) * 60 + 7) + kMinutes;
    EXPECT_EQ(Stored("day") + " " + Stored("hour") + " " + Stored("minute"),
              std::to_string(total / 1440) + " " + std::to_string(total / 60 % 24) + " " + std::to_string(total % 60));
    EXPECT_EQ(form.Label2, "30d : 0h : 0m");

    // Each minute's clock line once, in order, followed by its reason; a
    // minute is missing only where its tick fell while the room was gone.
    int lastMinute = 0, clockLines = 0, missing = 0, upchats = 0, reenters = 0;
    const Texts said = Lines();
    for (std::size_t i = 0; i < said.size(); ++i) {
        if (said[i] == Said("auto upchat")) {
            ++upchats;
            continue;
        }
        if (said[i] == Said("dcp re-enter")) {
            ++reenters;
            continue;
        }
        const std::optional<int> minute = ClockMinutes(said[i]);
        ASSERT_TRUE(minute) << "line " << i << ": " << said[i];
        ASSERT_GT(*minute, lastMinute) << "line " << i << " said again or out of order";
        missing += *minute - lastMinute - 1;
        lastMinute = *minute;
        ++clockLines;
        ASSERT_LT(i + 1, said.size());
        EXPECT_EQ(said[++i], Reason(kReasons[static_cast<std::size_t>(*minute - 1) % kReasons.size()]))
            << "after minute " << *minute;
    }
    EXPECT_EQ(lastMinute, kMinutes);
    EXPECT_LE(missing, disconnects) << "at most the one tick of each re-sign-on";
    EXPECT_EQ(upchats, uploads);
    EXPECT_EQ(reenters, disconnects);

    EXPECT_EQ(recovered, disconnects);
    EXPECT_EQ(client.PasswordsTyped(), Texts(static_cast<std::size_t>(disconnects), "secret"));
    // Nothing of the program grows: the same windows and timers as after the
    // first day, nothing waiting to be said, the user's text in its box.
    EXPECT_EQ(CountWindows(sim), windowsAfterDay1);
    EXPECT_EQ(sim.TimersRunning(), timersAfterDay1);
    EXPECT_FALSE(program.chat.Waiting());
    EXPECT_EQ(client.InputText(client.Room("Lobby")), "brb, back in 5");

    std::cout << "month: " << kDays << " days, " << recovered << " of " << disconnects << " recoveries, " << uploads
              << " uploads, " << clockLines << " idle announcements (" << missing
              << " minutes while the room was gone), stored total exact: " << Stored("day") << "d "
              << Stored("hour") << "h " << Stored("minute") << "m\n";
}

}  // namespace
}  // namespace qm::testing
