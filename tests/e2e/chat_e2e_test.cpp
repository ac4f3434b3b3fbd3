// The chat sender in this process drives aolsim.exe in another, as it drives
// the real client: through its windows only.  Which box takes the line is
// pinned natively; here a busy, a stuck and a hung client.  Under Wine another
// process's menus cannot be read: the version is "foreign".
#include <gtest/gtest.h>

#include "aol/chat_sender.h"
#include "aol/probes.h"
#include "aolsim/win32/tests/aolsim_process.h"
#include "platform/win32/win32_platform.h"
#include "tests/e2e/quillmoor_process.h"

namespace qm::aol {
namespace {

using Texts = std::vector<std::string>;

class ChatAcrossProcesses : public ::testing::Test {
protected:
    void Start(const std::string& script) {
        // A client of an earlier test may take a moment to be gone.
        ASSERT_TRUE(aolsim::testing::WaitUntil([] { return !::FindWindowA("AOL Frame25", nullptr); }));
        ASSERT_TRUE(client.Start(script));
    }
    Texts Room(const std::string& what) { return client.Column(what + " Lobby"); }

    aolsim::testing::AolsimProcess client;
    win32::Win32Platform p{"quillmoor chat e2e test"};
    ChatSender chat{p};
};

// Closing the alert keeps the client deaf for a moment (under Wine without a
// window manager, and more so with alert-close): the second line must not
// take the user's unsent text for "".
TEST_F(ChatAcrossProcesses, AlertAfterEveryLineIsDismissedAndLosesNoneOfTheUsersText) {
    Start("start 8.0; signon Joe; room Lobby \"afk 5\"; alert-after-chat 2; delay alert-close 1.5");
    chat.SendChatLine("one");
    Pause(p, 0.4);
    chat.SendChatLine("two");
    EXPECT_EQ(Room("transcript"), (Texts{"one", "two"}));
    EXPECT_EQ(Room("input"), Texts{"afk 5"});
    EXPECT_EQ(client.Records("alerts"), (std::vector<Texts>{{"2", "2"}}));
    EXPECT_EQ(FindAolAlert(p), 0u);
}

// The client's thread is stuck for 8 s in the first Enter of the first
// line, "brb" typed: Wine loses what is sent to it meanwhile, and the late
// Enter empties the box.  Both lines go, "brb" never does, and it is back in
// the box once the client answers again.
TEST_F(ChatAcrossProcesses, ClientStuckInTheFirstEnterGetsBothLinesAndTheUsersTextBack) {
    Start("start 8.0; signon Joe; room Lobby brb; when chat-enter block 8");
    chat.SendChatLine("one");
    Pause(p, 0.4);
    chat.SendChatLine("two");
    // The sender's own retries run while events do.
    const DWORD start = ::GetTickCount();
    while (Room("input") != Texts{"brb"} && ::GetTickCount() - start < 40000) Pause(p, 1.0);
    EXPECT_EQ(Room("transcript"), (Texts{"one", "two"}));
    EXPECT_EQ(Room("input"), Texts{"brb"});
    EXPECT_FALSE(chat.Waiting());
}

// A read of a hung client's text ends within its bound and reads as unknown.
TEST_F(ChatAcrossProcesses, ReadingAHungClientEndsWithinTheBound) {
    Start("start 6.0; signon Joe; room Lobby typed");
    const Hwnd input = FindChatInput(p, InputVariant::A);
    ASSERT_EQ(p.GetText(input, 100), "typed");
    ASSERT_TRUE(client.Run("hang 8").ok);
    ::Sleep(200);  // the hang begins once aolsim has answered
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(p.GetTextLength(input), std::nullopt);
    EXPECT_EQ(p.GetText(input, 100), std::nullopt);
    const DWORD took = ::GetTickCount() - start;
    EXPECT_LT(took, 4 * kSendTimeoutMs) << "two reads of a 1 s bound took " << took << " ms";
}

}  // namespace
}  // namespace qm::aol
