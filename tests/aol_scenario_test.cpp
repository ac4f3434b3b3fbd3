// The client automation against the stand-in client of every version, in one
// walk from no client at all to one that is busy and gone.
#include <gtest/gtest.h>

#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aolsim/sim/sim_client.h"

namespace qm::aol {
namespace {

class EveryVersion : public ::testing::TestWithParam<const char*> {
protected:
    void SetDelays(double chat, double alertClose = 0) {
        aolsim::Delays delays = client.GetDelays();
        delays.chat = chat;
        delays.alertClose = alertClose;
        client.SetDelays(delays);
    }
    sim::SimPlatform p;
    aolsim::SimClient client{p};
    ChatSender chat{p};
};

TEST_P(EveryVersion, LinesReachTheFrontRoomAndTheUsersTextComesBackWhateverTheClientDoes) {
    chat.SendChatLine("no client");
    client.Start(GetParam());
    EXPECT_EQ(GetScreenName(p), "");
    EXPECT_EQ(FindWelcomeWindow(p), 0u);
    chat.SendChatLine("signed off");
    EXPECT_TRUE(client.PasswordsTyped().empty());

    client.SignOn("Joe Blow");
    const aolsim::Handle other = client.OpenRoom("Other");
    const aolsim::Handle room = client.OpenRoom("Lobby", "half a sen");
    const aolsim::Handle almost = client.OpenDocument("Almost a room", {.richcntl = 2, .icons = 4, .statics = 1});
    client.SetDocumentOrder({almost, room, other});  // the welcome window fourth
    EXPECT_EQ(GetAolVersion(p), std::string(GetParam()));
    EXPECT_EQ(FindWelcomeWindow(p), client.WelcomeWindow());
    EXPECT_EQ(GetScreenName(p), "Joe Blow");

    // An alert after every line, that keeps the client busy while it closes.
    client.AlertAfterChatLines(2);
    SetDelays(0, 2.0);
    chat.SendChatLine("</b><font color=#0000ff>idle \xB7 5m");
    EXPECT_EQ(FindAolAlert(p), 0u) << "gone before the send ended";
    Pause(p, 0.4);
    chat.SendChatLine("two");
    EXPECT_EQ(client.AlertsDismissed(), 2);
    // Menus that cannot be read (slow and hung clients: chat_sender_test).
    p.SetMenusUnreadable(true);
    chat.SendChatLine("unreadable");
    EXPECT_EQ(client.InputText(room), "half a sen");
    // A client that vanishes right after a line.
    client.When(aolsim::Trigger::ChatLineSent, aolsim::Reaction::Vanish);
    chat.SendChatLine("last");
    p.ProcessEvents();
    chat.SendChatLine("gone");
    EXPECT_FALSE(client.Running());

    std::vector<aolsim::ChatLine> lines;
    for (const char* text : {"</b><font color=#0000ff>idle \xB7 5m", "two", "unreadable", "last"})
        lines.push_back({"Lobby", text});
    EXPECT_EQ(client.Chat(), lines);
}

INSTANTIATE_TEST_SUITE_P(Client, EveryVersion,
                         ::testing::Values("2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0", "foreign"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '.');
                             return name == "foreign" ? name : "v" + name;
                         });

}  // namespace
}  // namespace qm::aol
