// quillmoor.exe from the outside, as a user starts it: its window comes up
// on top with the right caption, size and picture, a second copy ends by
// itself, and the window follows the mouse.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

// The screen's pixel at x, y.
COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF bgr = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return bgr;
}

TEST(StartUp, ShowsItsPaintedWindowOnTopAloneAndTheWindowFollowsTheMouse) {
    e2e::QuillmoorProcess first, second;  // each a copy in a folder of its own, with no settings
    ASSERT_TRUE(first.Start()) << "not shown within 60 s, or it ended";
    HWND window = first.MainWindow();
    char caption[128] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "quillmoor idle by dorwick");
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT client, frame;
    ASSERT_TRUE(::GetClientRect(window, &client) && ::GetWindowRect(window, &frame));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, w, h}), std::vector<LONG>({116, 51, 116, 51}))
        << "no border, no title bar";
    // Wine does not answer WM_GETICON across processes; the program file
    // itself must carry the icon that the window and the tray use.
    HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), (first.Folder() + "\\quillmoor.exe").c_str(), 0);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(icon), 1u);  // 1: not a program file
    if (reinterpret_cast<std::uintptr_t>(icon) > 1) ::DestroyIcon(icon);

    // The second copy finds the first and ends without a window of its own.
    EXPECT_FALSE(second.Start());
    ASSERT_TRUE(second.WaitForEnd(60)) << "the second copy kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());

    // Painted now, then read back from the screen (tools/demo.sh keeps
    // pictures for people to look at).
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(500);
    // The frame of the background picture at the corner, and light text in
    // the clock's well: the bitmap and Label2 were both painted.
    EXPECT_EQ(ScreenPixel(frame.left, frame.top), RGB(0x93, 0xA9, 0xC0));
    int lit = 0;
    for (int y = 25; y < 42; ++y)
        for (int x = 32; x < 105; ++x) {
            const COLORREF pixel = ScreenPixel(frame.left + x, frame.top + y);
            lit += GetRValue(pixel) > 0xC0 && GetGValue(pixel) > 0xC0;
        }
    EXPECT_GT(lit, 20);

    // Pressed on the body below the clock, released 200 pixels left and 150
    // down: the window is dragged along.
    const int x = frame.left + 60, y = frame.top + 46;
    auto at = [](int x, int y) { return " mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2"; };
    ASSERT_TRUE(e2e::Xdotool(at(x, y) + " mousedown 1 sleep 0.2" + at(x - 100, y + 75) + at(x - 200, y + 150) +
                             " mouseup 1"));
    RECT after = frame;
    EXPECT_TRUE(e2e::Eventually([&] { return ::GetWindowRect(window, &after) && after.left != frame.left; }, 5));
    EXPECT_EQ(std::vector<LONG>({after.left, after.top, after.right - after.left}),
              std::vector<LONG>({frame.left - 200, frame.top + 150, w}));
}

}  // namespace
