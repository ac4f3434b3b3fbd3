#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/internal.h"
#include "platform/win32/resource.h"

namespace qm::win32 {

// ---- window procedures -------------------------------------------------------------

LRESULT Win32Platform::OnEditorMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_PAINT:
            OnEditorPaint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The body: the list box takes its own clicks.
            if (editorModel_) editorModel_->MouseDown(Control::Body, ButtonOf(msg));
            return 0;
        case WM_CTLCOLORLISTBOX:
            if (reinterpret_cast<HWND>(lparam) == editorList_ && editorListBrush_) {
                HDC dc = reinterpret_cast<HDC>(wparam);
                ::SetTextColor(dc, editorLayout_.listText);
                ::SetBkColor(dc, editorLayout_.listBack);
                return reinterpret_cast<LRESULT>(editorListBrush_);
            }
            break;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lparam) == editorList_ && HIWORD(wparam) == LBN_SELCHANGE) {
                // Only the user's doing: filling the list reports nothing.
                if (editorModel_) {
                    const LRESULT index = ::SendMessageA(editorList_, LB_GETCURSEL, 0, 0);
                    editorModel_->Select(index == LB_ERR ? -1 : static_cast<int>(index));
                }
                return 0;
            }
            break;
        case kFillEditorList:
            fillPending_ = false;
            FillEditorList();
            return 0;
        case WM_CLOSE:
            return 0;  // the program hides it; nothing closes it
        case WM_DESTROY:
            if (hwnd == editor_) {
                if (editorTip_) ::DestroyWindow(editorTip_);
                editor_ = editorList_ = editorTip_ = nullptr;
                editorModel_ = nullptr;
                fillPending_ = false;
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The list box as the system makes it, but a button released over it is
// reported too: the right one opens the editor's menu.
LRESULT CALLBACK Win32Platform::EditorListProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->listProc_) return ::DefWindowProcA(hwnd, msg, wparam, lparam);
    return self->OnEditorListMessage(hwnd, msg, wparam, lparam);
}

LRESULT Win32Platform::OnEditorListMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    const WNDPROC own = listProc_;
    const LRESULT result = ::CallWindowProcA(own, hwnd, msg, wparam, lparam);
    if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
        // Over the list, not where a left drag that began on it ended.
        RECT client;
        ::GetClientRect(hwnd, &client);
        const POINT pt{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        if (editorModel_ && hwnd == editorList_ && ::PtInRect(&client, pt))
            editorModel_->MouseUp(Control::List1, ButtonOf(msg));
    }
    return result;
}

// ---- the reasons editor --------------------------------------------------------------

Hwnd Win32Platform::CreateEditorWindow(const std::string& caption, const EditorWindowLayout& layout,
                                       EditorWindowModel& model) {
    if (editor_) ::DestroyWindow(editor_);
    if (editorListBrush_) ::DeleteObject(editorListBrush_);
    editorLayout_ = ScaleForDpi(layout, dpi_);
    editorArtWidth_ = std::max(1, layout.clientWidth);
    editorArtHeight_ = std::max(1, layout.clientHeight);
    editorModel_ = &model;
    editorListBrush_ = ::CreateSolidBrush(layout.listBack);

    const int width = std::max(1, editorLayout_.clientWidth), height = std::max(1, editorLayout_.clientHeight);
    // Below the main window, at the top right of the desktop.
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT above{work.right - 24, work.top, work.right - 24, work.top + 24};
    if (main_) ::GetWindowRect(main_, &above);
    const int x = std::max<int>(work.left, std::min<int>(above.right, work.right) - width);
    const int y = std::min<int>(above.bottom + 8, std::max<int>(work.top, work.bottom - height));
    // No task-list entry of its own: the main window's stands for the
    // program.  Not owned by it either, so that it can be made topmost alone.
    editor_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kEditorClass, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, x, y,
                                width, height, nullptr, nullptr, instance_, this);
    if (!editor_) {
        ReportFailure("CreateWindowExA", kEditorClass, ::GetLastError());
        editorModel_ = nullptr;
        return 0;
    }
    ::SendMessageA(editor_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(editor_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    const Rect& r = editorLayout_.list;
    editorList_ = ::CreateWindowExA(0, "ListBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY |
                                                       LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                                    r.left, r.top, r.width, r.height, editor_, nullptr, instance_, nullptr);
    if (editorList_) {
        ::SendMessageA(editorList_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        listProc_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(editorList_, GWLP_WNDPROC));
        ::SetWindowLongPtrA(editorList_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowLongPtrA(editorList_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Platform::EditorListProc));
        FillEditorList();

        // The tooltip in the form XP's common controls take without a
        // manifest: the first version of the tool record.  Not owned by the
        // editor: under Wine a window that owns a topmost one cannot be made
        // topmost itself.
        using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        if (auto init = SystemFunction<InitFunction>("comctl32.dll", "InitCommonControlsEx")) init(&controls);
        editorTip_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
        if (editorTip_) {
            std::string text = layout.listTooltip;
            TOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = editor_;
            tool.uId = reinterpret_cast<UINT_PTR>(editorList_);
            tool.lpszText = text.data();  // copied by the tooltip
            ::SendMessageA(editorTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    return ToSeam(editor_);
}

void Win32Platform::FillEditorList() {
    if (!editorList_ || !editorModel_) return;
    const std::vector<std::string> items = editorModel_->ListItems();
    const int selection = editorModel_->ListSelection();
    const LRESULT top = ::SendMessageA(editorList_, LB_GETTOPINDEX, 0, 0);
    ::SendMessageA(editorList_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(editorList_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        ::SendMessageA(editorList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    const bool selected = selection >= 0 && static_cast<std::size_t>(selection) < items.size();
    ::SendMessageA(editorList_, LB_SETCURSEL, selected ? static_cast<WPARAM>(selection) : static_cast<WPARAM>(-1), 0);
    // Where the user had scrolled to, unless that would hide the selection.
    if (top != LB_ERR && !selected) ::SendMessageA(editorList_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    ::SendMessageA(editorList_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(editorList_, nullptr, TRUE);
}

void Win32Platform::OnEditorPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    if (editorBackground_) {
        HDC art = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(art, editorBackground_);
        DrawArt(dc, client.right, client.bottom, art, editorArtWidth_, editorArtHeight_);
        ::SelectObject(art, old);
        ::DeleteDC(art);
    } else {
        HBRUSH slate = ::CreateSolidBrush(RGB(0x28, 0x31, 0x3c));
        ::FillRect(dc, &client, slate);
        ::DeleteObject(slate);
    }
    ::EndPaint(hwnd, &ps);
}

}  // namespace qm::win32
