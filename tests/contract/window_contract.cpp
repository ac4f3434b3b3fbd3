// Other programs' windows behave the same on every backend: how they are
// found, how their texts read, how messages reach them, and that window 0
// and a window gone are nothing.
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

using Lines = std::vector<std::string>;
using WindowContract = ContractTest;

TEST_F(WindowContract, FoundByClassInAnyCaseAndWholeCaptionAndChildrenAfterAnyChild) {
    const Hwnd top = Make("QmTop", "Find Me"), a = Make("QmChildA", "one", top), b = Make("QmChildB", "other", top),
               c = Make("QmChildA", "Two", top);
    // Class, caption, found.  Names with a zero byte inside would find these
    // windows if cut there.
    const std::tuple<std::string_view, std::optional<std::string_view>, Hwnd> tops[] = {
        {"qmtop", std::nullopt, top},
        {"QMTOP", "find me", top},
        {"QmTop", "Find", 0},
        {"QmTop", "Find Me!", 0},
        {"QmTop", "", 0},
        {"Qm Top", std::nullopt, 0},
        {"QmTop", std::string_view("Find Me\0x", 9), 0},
        {std::string_view("QmTop\0x", 7), std::nullopt, 0}};
    for (auto [cls, caption, found] : tops)
        EXPECT_EQ(p.FindWindow(cls, caption), found) << cls << " " << caption.value_or("-");
    // After, class, caption, found: after a child of another class too.
    const std::tuple<Hwnd, std::string_view, std::optional<std::string_view>, Hwnd> children[] = {
        {0, "qmchilda", std::nullopt, a},
        {a, "QmChildA", std::nullopt, c},
        {c, "QmChildA", std::nullopt, 0},
        {0, "QmChildA", "Two", c},
        {0, "QmChildA", "Tw", 0},
        {b, "qmchilda", std::nullopt, c},
        {b, "QmChildA", "TWO", c},
        {b, "QmChildA", "one", 0},
        {a, "QmChildB", std::nullopt, b},
        {top, "QmChildA", std::nullopt, 0},  // `top` is no child of itself
        {0, std::string_view("QmChildA\0", 9), std::nullopt, 0},
        {0, "QmChildA", std::string_view("one\0", 4), 0}};
    for (auto [after, cls, caption, found] : children)
        EXPECT_EQ(p.FindWindowEx(top, after, cls, caption), found) << cls << " after " << after;
    EXPECT_EQ(p.FindWindowEx(b, a, "QmChildA"), 0u);  // `a` is no child of `b`
    EXPECT_EQ(p.FindWindowEx(0, 0, "QmTop"), 0u);     // not the whole desktop
    EXPECT_EQ(p.FindWindowEx(a, 0, "QmChildA"), 0u);  // no children
    EXPECT_EQ(std::vector<Hwnd>({p.NextWindow(a), p.NextWindow(b), p.NextWindow(c), p.NextWindow(0)}),
              std::vector<Hwnd>({b, c, 0, 0}));
}

TEST_F(WindowContract, TextReadsAreCutToTheBufferLessOneByteAndKeepHighBytes) {
    const Hwnd h = Make("QmText", "");
    const std::string text = "ab\xB7" "d\xE9\xFF";
    EXPECT_TRUE(p.SetText(h, text));
    EXPECT_EQ(std::tuple(p.GetWindowTextLength(h), p.GetTextLength(h)), std::tuple(6, std::optional(6)));
    for (auto [size, read] : {std::pair{100, text}, {7, text}, {6, "ab\xB7" "d\xE9"}, {4, "ab\xB7"}, {1, ""}, {0, ""},
                              {-5, ""}}) {
        EXPECT_EQ(p.GetWindowText(h, size), read) << size;
        EXPECT_EQ(p.GetText(h, size), read) << size;
    }
    EXPECT_EQ(Received(h), Lines{"set " + text});
}

TEST_F(WindowContract, WindowZeroAndAWindowGoneAreNothingAndTakeNothing) {
    const Hwnd gone = Make("QmGone", "was here");
    DestroyWindow(gone);
    // Window 0 reads as nothing; a window gone as unknown where it is asked.
    EXPECT_EQ(std::tuple(p.GetWindowTextLength(0), p.GetWindowText(0, 100), p.GetTextLength(0), p.GetText(0, 100)),
              std::tuple(0, "", std::optional(0), std::optional<std::string>("")));
    EXPECT_EQ(std::tuple(p.GetWindowTextLength(gone), p.GetWindowText(gone, 100), p.GetTextLength(gone),
                         p.GetText(gone, 100)),
              std::tuple(0, "", std::optional<int>(), std::optional<std::string>()));
    for (Hwnd h : {Hwnd{0}, gone}) {
        EXPECT_FALSE(p.SetText(h, "x")) << h;
        EXPECT_FALSE(p.Send(h, Msg::Char, 'x')) << h;
        p.Post(h, Msg::Close);
        p.ShowWindow(h, ShowCmd::Show);
        EXPECT_EQ(std::tuple(p.NextWindow(h), p.GetMenu(h), p.FindWindowEx(h, 0, "QmGone")),
                  std::tuple(Hwnd{0}, Hmenu{0}, Hwnd{0}))
            << h;
    }
    p.ProcessEvents();
    EXPECT_EQ(p.FindWindow("QmGone"), 0u);
    EXPECT_EQ(Received(gone), Lines{});
}

// On this thread a send is handled before it returns, a post when the
// events are processed; on another thread that is free, a send is handled
// before it returns and a post by that thread in its time.
TEST_F(WindowContract, SendIsHandledAtOncePostWhenItsThreadGetsToIt) {
    for (Thread thread : {Thread::This, Thread::Other}) {
        const char* name = thread == Thread::This ? "this thread" : "other thread";
        const Hwnd h = Make("QmRecorder", "a", 0, thread);
        EXPECT_TRUE(p.Send(h, Msg::Char, 'y')) << name;
        EXPECT_TRUE(p.SetText(h, "b")) << name;
        EXPECT_EQ(Received(h), Lines({"char 121", "set b"})) << name;
        EXPECT_EQ(p.GetText(h, 10), "b") << name;
        p.Post(h, Msg::Command, 1234);
        p.Post(h, Msg::Char, 'p');
        if (thread == Thread::This) {
            EXPECT_EQ(Received(h).size(), 2u);
        }
        EXPECT_TRUE(WaitUntil([&] { return Received(h).size() == 4; })) << name;
        EXPECT_EQ(Received(h), Lines({"char 121", "set b", "command 1234", "char 112"})) << name;
        // A close destroys the window.
        EXPECT_TRUE(p.Send(h, Msg::Close)) << name;
        EXPECT_EQ(std::tuple(p.FindWindow("QmRecorder"), p.GetTextLength(h)), std::tuple(Hwnd{0}, std::optional<int>()))
            << name;
        EXPECT_EQ(Received(h), Lines({"char 121", "set b", "command 1234", "char 112", "close"})) << name;
    }
}

TEST_F(WindowContract, PostedCloseDestroysTheWindowWhenItsThreadGetsToIt) {
    for (Thread thread : {Thread::This, Thread::Other}) {
        const Hwnd h = Make("QmRecorder", "a", 0, thread);
        p.Post(h, Msg::Close);
        EXPECT_TRUE(WaitUntil([&] { return p.FindWindow("QmRecorder") == 0; })) << static_cast<int>(thread);
        EXPECT_EQ(Received(h), Lines{"close"});
    }
}

}  // namespace
}  // namespace qm::contract
