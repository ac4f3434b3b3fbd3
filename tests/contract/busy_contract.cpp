// A window whose thread is stuck in a handler: what is sent to it waits at
// most the send bound and then reads as unknown, never as nothing.  Once the
// thread is free the stuck handler finishes first; a send its sender gave up
// on is then handled late, in order, under Windows, and was lost under Wine;
// what was posted meanwhile comes after what was sent.
#include <optional>
#include <string>
#include <vector>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

using Lines = std::vector<std::string>;
using BusyContract = HostContractTest;

// Longer than the send bound, so that the first send gives up and the next
// one is answered when the thread is free.
constexpr double kStuck = 1.5;
static_assert(kStuck > kSendTimeoutMs / 1000.0 && kStuck < 2 * kSendTimeoutMs / 1000.0);

TEST_P(BusyContract, SendGivenUpOnIsHandledLateInOrderUnderWindowsAndLostUnderWine) {
    const Hwnd h = Make("QmBusy", "a", 0, Thread::Other);
    BlockOtherThread(h, kStuck);
    EXPECT_FALSE(p.SetText(h, "b"));  // given up on after the bound
    p.Post(h, Msg::Command, 7);
    EXPECT_TRUE(p.Send(h, Msg::Char, 'x'));  // answered once the thread is free
    ASSERT_TRUE(WaitUntil([&] { return !Received(h).empty() && Received(h).back() == "command 7"; }));
    const Lines windows{"busy", "free", "set b", "char 120", "command 7"},
        wine{"busy", "free", "char 120", "command 7"};
    EXPECT_EQ(Received(h), Wine() ? wine : windows);
    EXPECT_EQ(p.GetText(h, 10), Wine() ? "a" : "b");
}

TEST_P(BusyContract, ReadGivenUpOnIsUnknownAndAReadWithinTheBoundIsAnsweredLate) {
    const Hwnd h = Make("QmBusy", "a", 0, Thread::Other);
    EXPECT_TRUE(p.SetText(h, "text"));
    BlockOtherThread(h, kStuck);
    EXPECT_EQ(p.GetTextLength(h), std::nullopt);
    EXPECT_EQ(p.GetText(h, 100), "text");
    EXPECT_EQ(Received(h), Lines({"set text", "busy", "free"}));
}

INSTANTIATE_TEST_SUITE_P(Hosts, BusyContract, ::testing::ValuesIn(Hosts()), HostName);

}  // namespace
}  // namespace qm::contract
