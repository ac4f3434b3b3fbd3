#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <climits>

#include "platform/win32/internal.h"

namespace qm::win32 {

// ---- window procedures -------------------------------------------------------------

LRESULT Win32Platform::OnHelperMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_TIMER) {
        OnTimer(wparam);
        return 0;
    }
    if (trayCallback_ && msg == trayCallback_) {
        // Version 1 of the record: lParam is the mouse message over the icon.
        if (trayHandler_) {
            std::function<void(std::uint32_t)> handler = trayHandler_;
            handler(LOWORD(lparam));
        }
        return 0;
    }
    if (taskbarCreated_ && msg == taskbarCreated_) {
        if (taskbarHandler_) {
            std::function<void()> handler = taskbarHandler_;
            handler();
        }
        return 0;
    }
    if (msg == WM_DESTROY && hwnd == helper_) helper_ = nullptr;
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT Win32Platform::OnMainMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnMouseDown(hwnd, lparam, ButtonOf(msg));
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(lparam);
            return 0;
        case WM_CAPTURECHANGED:
            label1Pressed_ = false;
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT) {
                POINT pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(hwnd, &pt);
                if (Inside(layout_.label1, pt.x, pt.y)) {
                    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                    return TRUE;
                }
            }
            break;
        case WM_CLOSE:
            return 0;  // only the exit command ends the program
        case WM_DESTROY:
            if (hwnd == main_) {
                main_ = nullptr;
                model_ = nullptr;
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

// ---- the main window ---------------------------------------------------------------

Hwnd Win32Platform::CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                                     MainWindowModel& model) {
    if (main_) ::DestroyWindow(main_);
    layout_ = ScaleForDpi(layout, dpi_);
    mainArtWidth_ = std::max(1, layout.clientWidth);
    mainArtHeight_ = std::max(1, layout.clientHeight);
    model_ = &model;
    RECT frame{0, 0, std::max(1, layout_.clientWidth), std::max(1, layout_.clientHeight)};
    ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_APPWINDOW);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Out of the way of the client's windows: the top right of the desktop.
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = std::max<int>(work.left, work.right - width - 24), y = work.top + 24;
    main_ = ::CreateWindowExA(WS_EX_APPWINDOW, kMainClass, caption.c_str(), WS_POPUP, x, y, width, height,
                              nullptr, nullptr, instance_, this);
    if (!main_) {
        ReportFailure("CreateWindowExA", kMainClass, ::GetLastError());
        model_ = nullptr;
        return 0;
    }
    ::SendMessageA(main_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(main_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    return ToSeam(main_);
}

void Win32Platform::Invalidate(Hwnd window) {
    if (!window) return;
    HWND h = ToHwnd(window);
    // The editor's list is filled again from the pump, once for any number
    // of changes, and never inside the list's own notification.
    if (h == editor_ && editor_ && !fillPending_)
        fillPending_ = ::PostMessageA(editor_, kFillEditorList, 0, 0) != FALSE;
    ::InvalidateRect(h, nullptr, FALSE);
}

void Win32Platform::OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;

    // Drawn off screen, then copied in one go: no flicker when the clock
    // changes.
    HDC mem = ::CreateCompatibleDC(dc);
    HBITMAP canvas = ::CreateCompatibleBitmap(dc, std::max(1, w), std::max(1, h));
    HGDIOBJ oldCanvas = ::SelectObject(mem, canvas);

    if (background_) {
        HDC art = ::CreateCompatibleDC(dc);
        HGDIOBJ oldArt = ::SelectObject(art, background_);
        DrawArt(mem, w, h, art, mainArtWidth_, mainArtHeight_);
        ::SelectObject(art, oldArt);
        ::DeleteDC(art);
    } else {
        HBRUSH slate = ::CreateSolidBrush(RGB(0x28, 0x31, 0x3c));
        ::FillRect(mem, &client, slate);
        ::DeleteObject(slate);
    }

    // The menu button's mark: a small arrow pointing down, where the menu
    // will open.
    const Rect& b = layout_.label1;
    const int cx = b.left + b.width / 2, cy = b.top + b.height / 2;
    const auto px = [this](int value) { return ScaleForDpi(value, dpi_); };
    const POINT shadow[3] = {{cx - px(4), cy - px(1)}, {cx + px(4), cy - px(1)}, {cx, cy + px(3)}};
    const POINT arrow[3] = {{cx - px(4), cy - px(2)}, {cx + px(4), cy - px(2)}, {cx, cy + px(2)}};
    HBRUSH dark = ::CreateSolidBrush(RGB(0x16, 0x2c, 0x40));
    HBRUSH light = ::CreateSolidBrush(RGB(0xf0, 0xe4, 0xc0));
    HGDIOBJ oldPen = ::SelectObject(mem, ::GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = ::SelectObject(mem, dark);
    ::Polygon(mem, shadow, 3);
    ::SelectObject(mem, light);
    ::Polygon(mem, arrow, 3);
    ::SelectObject(mem, oldBrush);
    ::SelectObject(mem, oldPen);
    ::DeleteObject(dark);
    ::DeleteObject(light);

    // Label2: the idle clock, in the largest of a few small sizes that fits.
    if (model_) {
        const std::string text = model_->Label2Text();
        const Rect& l = layout_.label2;
        RECT box{l.left + px(3), l.top, l.left + l.width - px(3), l.top + l.height};
        HFONT font = nullptr;
        for (int size = 11; size >= 8; --size) {
            if (font) ::DeleteObject(font);
            font = ::CreateFontA(-px(size), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
            HGDIOBJ old = ::SelectObject(mem, font);
            SIZE extent{};
            ::GetTextExtentPoint32A(mem, text.c_str(), static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)),
                                    &extent);
            ::SelectObject(mem, old);
            if (extent.cx <= box.right - box.left) break;
        }
        HGDIOBJ oldFont = ::SelectObject(mem, font);
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, RGB(0xf0, 0xe4, 0xc0));
        ::DrawTextA(mem, text.c_str(), static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)), &box,
                    DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::SelectObject(mem, oldFont);
        if (font) ::DeleteObject(font);
    }

    ::BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldCanvas);
    ::DeleteObject(canvas);
    ::DeleteDC(mem);
    ::EndPaint(hwnd, &ps);
}

void DrawArt(HDC target, int width, int height, HDC art, int artWidth, int artHeight) {
    if (width == artWidth && height == artHeight) {
        ::BitBlt(target, 0, 0, width, height, art, 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, 0, 0, width, height, art, 0, 0, artWidth, artHeight, SRCCOPY);
    if (oldMode) ::SetStretchBltMode(target, oldMode);
}

void Win32Platform::OnMouseDown(HWND hwnd, LPARAM lparam, MouseButton button) {
    if (!model_) return;
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    if (Inside(layout_.label1, x, y)) {
        // The menu button reacts to a whole left click, down and up on it;
        // it does not move the window.
        if (button == MouseButton::Left) {
            label1Pressed_ = true;
            ::SetCapture(hwnd);
        }
        return;
    }
    model_->MouseDown(Inside(layout_.label2, x, y) ? Control::Label2 : Control::Body, button);
}

void Win32Platform::OnLeftButtonUp(LPARAM lparam) {
    const bool pressed = label1Pressed_;
    label1Pressed_ = false;
    if (!pressed) return;
    ::ReleaseCapture();
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    if (model_ && Inside(layout_.label1, x, y)) model_->Click(Control::Label1);
}
}  // namespace qm::win32
