// aolsim.exe's control channel across processes.  Its windows, keys and
// records are driven from another process by the chat, transfer and
// disconnect-protection scenarios against aolsim.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include "aolsim/win32/tests/aolsim_process.h"

namespace aolsim::testing {
namespace {

// This run's aolsim: another test run may show windows of the same class.
HWND MainOf(DWORD aolsim) {
    for (HWND w = FindWindowExA(nullptr, nullptr, "AOL Frame25", nullptr); w;
         w = FindWindowExA(nullptr, w, "AOL Frame25", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == aolsim) return w;
    }
    return nullptr;
}

TEST(Aolsim, ChannelCarriesHighBytesRefusesWhatItCannotReadAndTheProcessEndsWithItsCode) {
    AolsimProcess aolsim;
    ASSERT_TRUE(aolsim.Start("start foreign"));
    EXPECT_EQ(aolsim.Records("echo \"\xB7 a\" \\x01"), (std::vector<std::vector<std::string>>{{"\xB7 a", "\x01"}}));
    std::string huge(control::kMaxScript + 1, 'x');
    COPYDATASTRUCT wrong{0x1234, 4, const_cast<char*>("echo")};
    COPYDATASTRUCT big{control::kScriptTag, static_cast<DWORD>(huge.size()), huge.data()};
    for (COPYDATASTRUCT* data : {&wrong, &big}) {  // not a script: refused unread
        DWORD_PTR answer = 99;
        ASSERT_TRUE(SendMessageTimeoutA(aolsim.Channel(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data), SMTO_NORMAL,
                                        5000, &answer));
        EXPECT_EQ(answer, 0u);
    }
    // A script that fails says why; aolsim goes on, and ends with 0 when its
    // main window is closed.
    control::Result bad = aolsim.Run("echo one; start \"8.0");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, "line 1: unterminated quote");
    EXPECT_EQ(aolsim.Run("bogus").error, "line 1: unknown command \"bogus\"");
    EXPECT_EQ(aolsim.Column("state"), std::vector<std::string>{"running"});
    const HWND main = MainOf(aolsim.ProcessId());
    ASSERT_NE(main, nullptr);
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(main));
    ASSERT_FALSE(aolsim.Start("nonsense"));  // a bad command line: code 2
    EXPECT_TRUE(WaitUntil([&] { return !aolsim.Running(); }, 10));
    EXPECT_EQ(aolsim.ExitCode(), 2u);
}

}  // namespace
}  // namespace aolsim::testing
