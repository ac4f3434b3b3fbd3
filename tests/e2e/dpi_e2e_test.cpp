// quillmoor.exe on a screen of more than 96 DPI: the window, its menu button
// and its clock grow with the screen (at 96 DPI startup_e2e pins the exact
// design size).  Wine takes the DPI from the user's LogPixels when a process
// starts; the test sets it for the program's start and puts it back.

#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/quillmoor_process.h"

namespace {

// HKCU\Control Panel\Desktop\LogPixels for as long as it lives.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                              nullptr, &key_, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof old_;
        had_ = ::RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        set_ = ::RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }
    ~ScreenDpi() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            ::RegDeleteValueA(key_, "LogPixels");
        ::RegFlushKey(key_);
        ::RegCloseKey(key_);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
    bool Set() const { return set_; }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false, set_ = false;
};

TEST(Dpi, At144TheWindowIsHalfAgainAsLargeWithItsButtonAndClockInProportion) {
    e2e::QuillmoorProcess quillmoor;
    {
        // Put back as soon as the program has read it: the prefix keeps the
        // registry on disk, and the next tests want 96.
        ScreenDpi dpi(144);
        ASSERT_TRUE(dpi.Set());
        ASSERT_TRUE(quillmoor.Start()) << "not shown within 60 s, or it ended";
    }
    HWND window = quillmoor.MainWindow();
    RECT client, frame;
    ASSERT_TRUE(::GetClientRect(window, &client) && ::GetWindowRect(window, &frame));
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, frame.right - frame.left, frame.bottom - frame.top}),
              std::vector<LONG>({174, 77, 174, 77}));

    // The clock's text at 1.5 times its size: light pixels in the lower half
    // of its well, which the 96-DPI text would leave dark.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(500);
    HDC screen = ::GetDC(nullptr);
    int lit = 0;
    for (int y = 52; y < 62; ++y)
        for (int x = 50; x < 155; ++x) {
            const COLORREF pixel = ::GetPixel(screen, frame.left + x, frame.top + y);
            lit += GetRValue(pixel) > 0xC0 && GetGValue(pixel) > 0xC0;
        }
    ::ReleaseDC(nullptr, screen);
    EXPECT_GT(lit, 20);

    // The menu button where it is drawn now: (12, 36), 26 x 26.
    HWND menu = quillmoor.OpenMenu([&] {
        return RECT{frame.left + 12, frame.top + 36, frame.left + 38, frame.top + 62};
    });
    EXPECT_NE(menu, nullptr);
    if (menu) e2e::Xdotool("key Escape");
}

}  // namespace
