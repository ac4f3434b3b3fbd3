// quillmoor.exe from the outside, as a user starts it: its window comes up
// on top with the right caption and size, a second copy ends by itself, the
// window follows the mouse, and a picture of it is kept for people to look at
// in the build folder, as screenshots/startup.png.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

// A PNG of `rgb` (width * height pixels, 3 bytes each, top row first), its
// deflate stream made of stored blocks.
std::string Png(int width, int height, const std::vector<std::uint8_t>& rgb) {
    auto big32 = [](std::string& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift);
    };
    std::string raw, z = "\x78\x01", png = "\x89PNG\r\n\x1A\n", header;
    for (int y = 0; y < height; ++y)  // each row unfiltered
        raw += '\0' + std::string(rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z += {static_cast<char>(at + n == raw.size()), static_cast<char>(n), static_cast<char>(n >> 8),
              static_cast<char>(~n), static_cast<char>(~n >> 8)};
        z += raw.substr(at, n);
    }
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (unsigned char v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
    big32(z, b << 16 | a);
    auto chunk = [&](const char* type, const std::string& data) {
        big32(png, static_cast<std::uint32_t>(data.size()));
        const std::string typed = type + data;
        std::uint32_t crc = 0xFFFFFFFFu;
        for (unsigned char v : typed) {
            crc ^= v;
            for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        png += typed;
        big32(png, ~crc);
    };
    big32(header, static_cast<std::uint32_t>(width));
    big32(header, static_cast<std::uint32_t>(height));
    chunk("IHDR", header + std::string("\x08\x02\0\0\0", 5));  // 8-bit RGB
    chunk("IDAT", z);
    chunk("IEND", "");
    return png;
}

// The screen's pixels under `r`, 3 bytes each, top row first.
std::vector<std::uint8_t> Capture(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr), mem = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    std::vector<std::uint8_t> rgb;
    for (const auto* px = static_cast<const std::uint8_t*>(bits); rgb.size() < 3u * w * h; px += 4)
        rgb.insert(rgb.end(), {px[2], px[1], px[0]});
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return rgb;
}

TEST(StartUp, ShowsItsWindowOnTopAloneKeepsAPictureOfItAndTheWindowFollowsTheMouse) {
    ASSERT_TRUE(e2e::Eventually([] { return !::FindWindowA("quillmoorForm", nullptr); }))
        << "a quillmoor of an earlier run still runs in this Wine prefix";
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

    // The picture: painted now, then read back from the screen.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(500);
    const std::vector<std::uint8_t> rgb = Capture(frame);
    // In the build folder, which holds quillmoor.exe in its folder "exe".
    const std::string& exe = e2e::QuillmoorExe();
    const std::string build = exe.substr(0, exe.find_last_of('\\', exe.find_last_of('\\') - 1));
    ::CreateDirectoryA((build + "\\screenshots").c_str(), nullptr);
    std::ofstream(build + "\\screenshots\\startup.png", std::ios::binary) << Png(w, h, rgb);
    // The frame of the background picture at the corner, and light text in
    // the clock's well: the bitmap and Label2 were both painted.
    EXPECT_EQ(std::vector<std::uint8_t>(rgb.begin(), rgb.begin() + 3), (std::vector<std::uint8_t>{0x93, 0xA9, 0xC0}));
    int lit = 0;
    for (int y = 25; y < 42; ++y)
        for (int x = 32; x < 105; ++x) lit += rgb[(y * w + x) * 3] > 0xC0 && rgb[(y * w + x) * 3 + 1] > 0xC0;
    EXPECT_GT(lit, 20);

    // Pressed on the body below the clock, released 200 pixels left and 150
    // down: the window is dragged along.
    const int x = frame.left + 60, y = frame.top + 46;
    e2e::Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    e2e::Mouse(MOUSEEVENTF_LEFTDOWN);
    e2e::Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 100, y + 75);
    e2e::Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 200, y + 150);
    e2e::Mouse(MOUSEEVENTF_LEFTUP);
    RECT after = frame;
    EXPECT_TRUE(e2e::Eventually([&] { return ::GetWindowRect(window, &after) && after.left != frame.left; }, 5));
    EXPECT_EQ(std::vector<LONG>({after.left, after.top, after.right - after.left}),
              std::vector<LONG>({frame.left - 200, frame.top + 150, w}));
}

}  // namespace
