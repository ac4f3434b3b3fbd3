// quillmoor.exe from the outside, as a user starts it: its window comes up
// on top with the right caption and size, a second copy ends by itself, the
// window follows the mouse, and a picture of it is kept for people to look at.
//
//   startup_test QUILLMOOR_EXE SCREENSHOT_PNG [gtest flags]
//
// Paths may be given the Unix way; they are reached through Wine's Z: drive.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string g_exe, g_screenshot;
const char kCaption[] = "quillmoor idle by dorwick";

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// ---- a PNG writer: stored (uncompressed) deflate blocks are enough ------------

void Big32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// `rgb` holds width * height pixels, 3 bytes each, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> raw, z{0x78, 0x01}, png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
    }
    auto byte = [](std::size_t v) { return static_cast<std::uint8_t>(v); };
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.insert(z.end(), {byte(at + n == raw.size()), byte(n), byte(n >> 8), byte(~n), byte(~n >> 8)});
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    }
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Big32(z, b << 16 | a);
    auto chunk = [&png](const char* type, std::vector<std::uint8_t> data) {
        Big32(png, static_cast<std::uint32_t>(data.size()));
        data.insert(data.begin(), type, type + 4);
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::uint8_t v : data) {
            crc ^= v;
            for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        png.insert(png.end(), data.begin(), data.end());
        Big32(png, ~crc);
    };
    std::vector<std::uint8_t> header;
    Big32(header, static_cast<std::uint32_t>(width));
    Big32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    chunk("IHDR", header);
    chunk("IDAT", z);
    chunk("IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    return !file.fail();
}

// The screen's pixels under `r`, 3 bytes each, top row first.
std::vector<std::uint8_t> Capture(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
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
    const auto* px = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {px[4 * i + 2], px[4 * i + 1], px[4 * i]});
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return rgb;
}

// The mouse as the user moves it: real input that reaches whatever window is
// under the pointer.
void Mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(150);
}

// ---- the program as a separate process -------------------------------------------------

// Top-level windows captioned like the main window, of one process (0: of any).
std::vector<HWND> MainWindows(DWORD process) {
    std::vector<HWND> found;
    for (HWND h = ::FindWindowExA(nullptr, nullptr, nullptr, kCaption); h;
         h = ::FindWindowExA(nullptr, h, nullptr, kCaption)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (process == 0 || owner == process) found.push_back(h);
    }
    return found;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "qm-startup-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
        // A copy of its own: the settings it reads are beside it, and there
        // are none.
        copy_ = folder_ + "\\quillmoor.exe";
        ASSERT_TRUE(::CopyFileA(WindowsPath(g_exe).c_str(), copy_.c_str(), TRUE)) << g_exe;
    }
    void TearDown() override {
        for (PROCESS_INFORMATION& pi : started_) {
            ::TerminateProcess(pi.hProcess, 1);
            ::WaitForSingleObject(pi.hProcess, 20000);
            ::CloseHandle(pi.hProcess);
            ::CloseHandle(pi.hThread);
        }
        // Only what this test put there; the folder goes when nothing else is
        // in it.
        for (const char* name : {"quillmoor.exe", "quillmoor.dat", "quillmoor.rea"}) {
            const std::string path = folder_ + "\\" + name;
            for (int i = 0; i < 50 && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
                if (::DeleteFileA(path.c_str())) break;
                ::Sleep(100);  // a process that just ended may still hold it
            }
        }
        ::RemoveDirectoryA(folder_.c_str());
    }
    PROCESS_INFORMATION Start() {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string command = "\"" + copy_ + "\"";
        EXPECT_TRUE(::CreateProcessA(copy_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     folder_.c_str(), &si, &pi));
        started_.push_back(pi);
        return pi;
    }
    std::string folder_, copy_;
    std::vector<PROCESS_INFORMATION> started_;
};

TEST_F(StartUp, ShowsItsWindowOnTopAloneAndTheWindowFollowsTheMouse) {
    for (int i = 0; i < 200 && !MainWindows(0).empty(); ++i) ::Sleep(50);  // one just ended may linger
    ASSERT_TRUE(MainWindows(0).empty()) << "a quillmoor of an earlier run still runs in this Wine prefix";
    const PROCESS_INFORMATION first = Start();
    HWND window = nullptr;
    for (int i = 0; i < 600 && !window && ::WaitForSingleObject(first.hProcess, 50) == WAIT_TIMEOUT; ++i)
        for (HWND h : MainWindows(first.dwProcessId))
            if (::IsWindowVisible(h)) window = h;
    ASSERT_NE(window, nullptr) << "not shown within 30 s, or it ended (as when another copy runs in this Wine prefix)";

    char caption[128] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, kCaption);
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT client;
    ASSERT_TRUE(::GetClientRect(window, &client));
    EXPECT_EQ(client.right - client.left, 116);
    EXPECT_EQ(client.bottom - client.top, 51);
    // Wine does not answer WM_GETICON across processes; the program file
    // itself must carry the icon that the window and the tray use.
    HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), copy_.c_str(), 0);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(icon), 1u);  // 1: not a program file
    if (reinterpret_cast<std::uintptr_t>(icon) > 1) ::DestroyIcon(icon);

    // The second copy finds the first and ends without a window of its own.
    const PROCESS_INFORMATION second = Start();
    ASSERT_EQ(::WaitForSingleObject(second.hProcess, 60000), WAIT_OBJECT_0) << "the second copy kept running";
    DWORD code = 1;
    ::GetExitCodeProcess(second.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(::WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(MainWindows(0), std::vector<HWND>{window});

    // The picture: painted now, then read back from the screen.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(500);
    RECT frame;
    ASSERT_TRUE(::GetWindowRect(window, &frame));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const std::vector<std::uint8_t> rgb = Capture(frame);
    ASSERT_EQ(rgb.size(), static_cast<std::size_t>(w * h * 3));
    const std::string png = WindowsPath(g_screenshot);
    ::CreateDirectoryA(png.substr(0, png.find_last_of('\\')).c_str(), nullptr);
    EXPECT_TRUE(WritePng(png, w, h, rgb)) << png;
    // The frame of the background picture at the corner, and light text in
    // the clock's well: the bitmap and Label2 were both painted.
    EXPECT_EQ(std::vector<std::uint8_t>(rgb.begin(), rgb.begin() + 3), (std::vector<std::uint8_t>{0x93, 0xA9, 0xC0}));
    int lit = 0;
    for (int y = 25; y < 42; ++y)
        for (int x = 32; x < 105; ++x) lit += rgb[(y * w + x) * 3] > 0xC0 && rgb[(y * w + x) * 3 + 1] > 0xC0;
    EXPECT_GT(lit, 20);

    // Pressed on the body below the title, released 200 pixels left and 150
    // down: the window is dragged along.
    const int x = frame.left + 60, y = frame.top + 46;
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 100, y + 75);
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x - 200, y + 150);
    Mouse(MOUSEEVENTF_LEFTUP);
    RECT after = frame;
    for (int i = 0; i < 100 && after.left == frame.left; ++i) {
        ::Sleep(50);
        ::GetWindowRect(window, &after);
    }
    EXPECT_EQ(after.left, frame.left - 200);
    EXPECT_EQ(after.top, frame.top + 150);
    EXPECT_EQ(after.right - after.left, w);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s QUILLMOOR_EXE SCREENSHOT_PNG\n", argv[0]);
        return 2;
    }
    g_exe = argv[1];
    g_screenshot = argv[2];
    return RUN_ALL_TESTS();
}
