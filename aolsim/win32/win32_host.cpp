#include "aolsim/win32/win32_host.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/text.h"

namespace aolsim::win32 {

namespace {

Win32Host* g_host = nullptr;
WNDPROC g_editProc = nullptr;

constexpr const char* kHelperClass = "AolsimHelper";
constexpr UINT kPopupMessage = WM_APP + 1;
constexpr UINT kFreezeMessage = WM_APP + 2;
constexpr UINT_PTR kFirstMdiChild = 0xFF00;
constexpr int kToolbarHeight = 40;
constexpr DWORD kLongestFreezeMs = 60000;

// Our own window classes: everything the client shows that is not one of the
// system's.
const char* const kOwnClasses[] = {"RICHCNTL",      "RICHCNTLREADONLY", "_AOL_Listbox", "_AOL_Icon",
                                   "_AOL_Static",   "_AOL_Combobox",    "_AOL_Edit",    "_AOL_Toolbar",
                                   "AOL Toolbar",   "_AOL_Modal"};

bool Is(const std::string& cls, const char* name) { return qm::EqualsNoCase(cls, name); }

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The client's chat windows are rich edits: they answer the edit messages
// about lines, a paragraph break counting as one character, as a rich edit's
// do (no line is wrapped here).  `text` holds the lines separated by CR LF.
bool AnswerLineMessage(const std::string& text, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    std::vector<std::pair<LONG_PTR, std::string>> lines;  // start, text
    LONG_PTR start = 0;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find("\r\n", from);
        std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
        const auto length = static_cast<LONG_PTR>(line.size());
        lines.emplace_back(start, std::move(line));
        if (end == std::string::npos) break;
        start += length + 1;
        from = end + 2;
    }
    const auto count = static_cast<LONG_PTR>(lines.size());
    switch (msg) {
        case EM_GETLINECOUNT:
            result = count;
            return true;
        case EM_LINEINDEX: {
            const auto line = static_cast<LONG_PTR>(wparam);
            result = line == -1 ? lines.back().first : (line >= 0 && line < count ? lines[line].first : -1);
            return true;
        }
        case EM_LINELENGTH: {
            const auto at = static_cast<LONG_PTR>(wparam);
            result = 0;
            for (const auto& [lineStart, line] : lines)
                if (at >= lineStart && at <= lineStart + static_cast<LONG_PTR>(line.size()))
                    result = static_cast<LRESULT>(line.size());
            return true;
        }
        case EM_GETLINE: {
            const auto line = static_cast<LONG_PTR>(wparam);
            auto* buffer = reinterpret_cast<char*>(lparam);
            result = 0;
            if (line < 0 || line >= count || !buffer) return true;
            WORD room = 0;
            std::memcpy(&room, buffer, sizeof room);
            // As a rich edit: the paragraph's CR comes along when there is room.
            std::string copy = lines[line].second + (line + 1 < count ? "\r" : "");
            copy.resize(std::min<std::size_t>(copy.size(), room));
            std::memcpy(buffer, copy.data(), copy.size());
            result = static_cast<LRESULT>(copy.size());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) { g_host = this; }

Win32Host::~Win32Host() {
    if (helper_) DestroyWindow(helper_);
    g_host = nullptr;
}

bool Win32Host::Init() {
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto reg = [&](const char* name, WNDPROC proc, int brush) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = proc;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
        wc.lpszClassName = name;
        return RegisterClassExA(&wc) != 0;
    };
    bool ok = reg("AOL Frame25", FrameProc, COLOR_APPWORKSPACE) && reg("AOL Child", ChildProc, COLOR_WINDOW) &&
              reg(kHelperClass, HelperProc, COLOR_WINDOW);
    for (const char* name : kOwnClasses) ok = ok && reg(name, OwnProc, COLOR_BTNFACE);
    if (!ok) return false;
    helper_ = CreateWindowExA(0, kHelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, nullptr);
    return helper_ != nullptr;
}

// ---- windows -----------------------------------------------------------------------

RECT Win32Host::PlaceChild(HWND parent, const std::string& cls) {
    int n = 0;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++n;
    std::string parentClass = ClassOf(parent);
    if (Is(parentClass, "AOL Toolbar")) return RECT{0, 0, 1600, kToolbarHeight};
    if (Is(parentClass, "_AOL_Toolbar")) {
        int width = Is(cls, "_AOL_Combobox") ? 200 : 56;
        return RECT{4 + n * 60, 6, 4 + n * 60 + width, 32};
    }
    if (Is(parentClass, "_AOL_Combobox")) return RECT{0, 0, 200, 24};
    if (Is(parentClass, "#32770")) {
        if (Is(cls, "Button")) return RECT{130, 70, 210, 96};
        return RECT{12, 12, 320, 60};
    }
    int height = (Is(cls, "RICHCNTL") || Is(cls, "RICHCNTLREADONLY")) && n == 0 ? 80 : 22;
    int top = n == 0 ? 6 : 6 + 86 + (n - 1) * 26;
    return RECT{6, top, 366, top + height};
}

Handle Win32Host::Create(const std::string& cls, const std::string& text, Handle parentHandle) {
    HWND parent = ToHwnd(parentHandle);
    if (parentHandle && !IsWindow(parent)) return 0;
    HWND h = nullptr;
    bool own = false;
    ++quiet_;
    if (Is(cls, "#32770")) {
        // A dialog from an in-memory template: no menu, class or title; the
        // caption is set below, in ANSI.
        alignas(DWORD) WORD buffer[16] = {};
        auto* t = reinterpret_cast<DLGTEMPLATE*>(buffer);
        t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
        t->x = 120;
        t->y = 120;
        t->cx = 220;
        t->cy = 70;
        h = CreateDialogIndirectParamA(instance_, t, nullptr, AlertProc, 0);
        if (h) SetWindowTextA(h, text.c_str());
        own = true;
    } else if (Is(cls, "MDIClient")) {
        CLIENTCREATESTRUCT ccs{nullptr, static_cast<UINT>(kFirstMdiChild)};
        h = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                            WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, kToolbarHeight, 100,
                            100, parent, nullptr, instance_, &ccs);
        if (h) {
            mdi_ = h;
            LayOutFrame(parent);
        }
    } else if (parent && parent == mdi_) {
        MDICREATESTRUCTA mcs{};
        mcs.szClass = cls.c_str();
        mcs.szTitle = text.c_str();
        mcs.hOwner = instance_;
        mcs.x = mcs.y = CW_USEDEFAULT;
        mcs.cx = 380;
        mcs.cy = 260;
        h = reinterpret_cast<HWND>(SendMessageA(mdi_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        own = true;
    } else if (!parent) {
        bool frame = Is(cls, "AOL Frame25");
        DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | (frame ? WS_CLIPCHILDREN : 0);
        RECT r = frame ? RECT{0, 0, 900, 640} : RECT{240, 200, 640, 380};
        h = CreateWindowExA(0, cls.c_str(), text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            nullptr, nullptr, instance_, nullptr);
        own = true;
    } else {
        RECT r = PlaceChild(parent, cls);
        const char* system = Is(cls, "Button") ? "BUTTON" : Is(cls, "Static") ? "STATIC" : Is(cls, "Edit") ? "EDIT" : nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        if (Is(cls, "Button")) style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
        if (Is(cls, "Edit")) style |= WS_BORDER | ES_AUTOHSCROLL;
        HMENU id = Is(cls, "Button") ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)) : nullptr;
        h = CreateWindowExA(0, system ? system : cls.c_str(), text.c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, id, instance_, nullptr);
        if (h && system) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (h && Is(cls, "Edit")) {
            auto previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
            if (!g_editProc) g_editProc = previous;
        }
        own = system == nullptr;
    }
    --quiet_;
    if (!h) return 0;
    if (own) shown_[h] = {(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0, IsIconic(h) != FALSE};
    return ToHandle(h);
}

void Win32Host::Destroy(Handle window) {
    HWND h = ToHwnd(window);
    if (!window || !IsWindow(h)) return;
    ++quiet_;
    if (mdi_ && GetParent(h) == mdi_)
        SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
    else
        DestroyWindow(h);
    --quiet_;
}

void Win32Host::DestroyAtOnce(Handle window) {
    HWND h = ToHwnd(window);
    if (!window || !IsWindow(h)) return;
    // Not shown any more as far as the system knows, so nothing is hidden
    // (and waited for) on the way out.
    ++quiet_;
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
    --quiet_;
    Destroy(window);
}

bool Win32Host::Exists(Handle window) { return window && IsWindow(ToHwnd(window)); }

void Win32Host::SetText(Handle window, const std::string& text) {
    HWND h = ToHwnd(window);
    if (!window || !IsWindow(h)) return;
    ++quiet_;
    SetWindowTextA(h, text.c_str());
    InvalidateRect(h, nullptr, TRUE);
    --quiet_;
}

std::string Win32Host::Text(Handle window) {
    HWND h = ToHwnd(window);
    if (!window || !IsWindow(h)) return "";
    // The model's own look is not another program's read.
    ++quiet_;
    int n = GetWindowTextLengthA(h);
    std::string text(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
    int got = n > 0 ? GetWindowTextA(h, text.data(), n + 1) : 0;
    --quiet_;
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, std::max(n, 0))));
    return text;
}

void Win32Host::BringToFront(Handle window) {
    HWND h = ToHwnd(window);
    if (!window || !IsWindow(h)) return;
    ++quiet_;
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    --quiet_;
}

void Win32Host::SetMenuBar(Handle window, const std::vector<MenuBarMenu>& menus) {
    HWND h = ToHwnd(window);
    if (!IsWindow(h)) return;
    HMENU bar = CreateMenu();
    for (const MenuBarMenu& menu : menus) {
        HMENU sub = CreatePopupMenu();
        for (const MenuEntry& e : menu.entries) AppendMenuA(sub, MF_STRING, e.id, e.text.c_str());
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), menu.title.c_str());
    }
    HMENU old = GetMenu(h);
    SetMenu(h, bar);
    if (old) DestroyMenu(old);
}

void Win32Host::After(double seconds, std::function<void()> action) {
    double ms = std::clamp(seconds, 0.0, 86400.0) * 1000.0;
    UINT_PTR id = nextTimer_++;
    timers_[id] = std::move(action);
    SetTimer(helper_, id, static_cast<UINT>(ms), nullptr);
}

void Win32Host::OpenPopup(Handle owner, const std::vector<MenuEntry>& entries,
                          std::function<void(std::uint32_t)> picked) {
    // After the click's message is handled: TrackPopupMenu runs its own loop.
    popups_.push_back(PendingPopup{ToHwnd(owner), entries, std::move(picked)});
    PostMessageA(helper_, kPopupMessage, 0, 0);
}

void Win32Host::RunPopup() {
    if (popups_.empty()) return;
    PendingPopup popup = std::move(popups_.front());
    popups_.erase(popups_.begin());
    if (!IsWindow(popup.owner)) return;
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry& e : popup.entries) AppendMenuA(menu, MF_STRING, e.id, e.text.c_str());
    HWND frame = GetAncestor(popup.owner, GA_ROOT);
    RECT r{};
    GetWindowRect(popup.owner, &r);
    SetForegroundWindow(frame);
    UINT id = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN |
                                                         TPM_LEFTBUTTON,
                                               r.left, r.bottom, 0, frame, nullptr));
    DestroyMenu(menu);
    PostMessageA(frame, WM_NULL, 0, 0);
    if (popup.picked) popup.picked(id);
}

void Win32Host::Freeze(double seconds) {
    double ms = std::clamp(seconds * 1000.0, 0.0, static_cast<double>(kLongestFreezeMs));
    PostMessageA(helper_, kFreezeMessage, static_cast<WPARAM>(ms), 0);
}

void Win32Host::Block(double seconds, std::function<void()> rest) {
    // Stuck right here, inside the handler: under Wine what is sent to the
    // thread meanwhile is lost once its sender gives up.
    Sleep(static_cast<DWORD>(std::clamp(seconds * 1000.0, 0.0, static_cast<double>(kLongestFreezeMs))));
    if (rest) rest();
}

void Win32Host::Exit() { PostQuitMessage(0); }

// ---- messages ------------------------------------------------------------------------

bool Win32Host::Deliver(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (quiet_ || !receiver_) return false;
    Message m;
    switch (msg) {
        case WM_SETTEXT:
            m.msg = Msg::SetText;
            if (lparam) m.text = reinterpret_cast<const char*>(lparam);
            break;
        case WM_CHAR: m.msg = Msg::Char; break;
        case WM_KEYDOWN: m.msg = Msg::KeyDown; break;
        case WM_KEYUP: m.msg = Msg::KeyUp; break;
        case WM_LBUTTONDOWN: m.msg = Msg::LButtonDown; break;
        case WM_LBUTTONUP: m.msg = Msg::LButtonUp; break;
        case WM_CLOSE: m.msg = Msg::Close; break;
        case WM_COMMAND:
            m.msg = Msg::Command;
            wparam = LOWORD(wparam);
            break;
        default: return false;
    }
    if (msg != WM_SETTEXT) m.wparam = static_cast<std::uint32_t>(wparam);
    return receiver_->OnMessage(ToHandle(hwnd), m);
}

void Win32Host::TrackShow(HWND hwnd) {
    auto it = shown_.find(hwnd);
    if (it == shown_.end()) return;
    bool visible = (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    bool iconic = IsIconic(hwnd) != FALSE;
    auto [wasVisible, wasIconic] = it->second;
    it->second = {visible, iconic};
    // Only the state is seen here, not the command: a window that comes back
    // into view un-minimized counts as restored.
    Show show;
    if (!visible && wasVisible)
        show = Show::Hide;
    else if (iconic && (!wasIconic || (visible && !wasVisible)))
        show = Show::Minimize;
    else if (!iconic && (wasIconic || (visible && !wasVisible)))
        show = Show::Restore;
    else
        return;
    if (quiet_ || !receiver_) return;
    receiver_->OnMessage(ToHandle(hwnd), Message{Msg::Show, static_cast<std::uint32_t>(show), {}});
}

void Win32Host::Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    std::string cls = ClassOf(hwnd);
    bool text = Is(cls, "RICHCNTL") || Is(cls, "RICHCNTLREADONLY") || Is(cls, "_AOL_Edit") || Is(cls, "_AOL_Listbox");
    FillRect(dc, &rc, GetSysColorBrush(text ? COLOR_WINDOW : COLOR_BTNFACE));
    if (!Is(cls, "AOL Toolbar") && !Is(cls, "_AOL_Toolbar") && !Is(cls, "_AOL_Modal"))
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    std::string caption = Text(ToHandle(hwnd));
    if (Is(cls, "_AOL_Edit")) caption.assign(caption.size(), '*');
    InflateRect(&rc, -3, -2);
    UINT format = DT_NOPREFIX | (Is(cls, "_AOL_Icon") ? (DT_CENTER | DT_VCENTER | DT_SINGLELINE) : DT_WORDBREAK);
    const bool chat = Is(cls, "RICHCNTL") || Is(cls, "RICHCNTLREADONLY");
    if (chat) {
        // As the client shows a chat: the markup rendered away (only shown
        // so; the text stays as sent), the newest lines in view.
        std::string shown;
        bool inTag = false;
        for (char c : caption) {
            if (c == '<') inTag = true;
            if (!inTag) shown += c == '\t' ? ' ' : c;
            if (c == '>') inTag = false;
        }
        caption = shown;
        RECT need = rc;
        DrawTextA(dc, caption.c_str(), -1, &need, format | DT_CALCRECT);
        if (need.bottom - need.top > rc.bottom - rc.top) rc.top -= (need.bottom - need.top) - (rc.bottom - rc.top);
    }
    if (!Is(cls, "_AOL_Modal")) DrawTextA(dc, caption.c_str(), -1, &rc, format);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void Win32Host::LayOutFrame(HWND frame) {
    RECT rc;
    if (!GetClientRect(frame, &rc)) return;
    HWND toolbar = FindWindowExA(frame, nullptr, "AOL Toolbar", nullptr);
    if (toolbar) MoveWindow(toolbar, 0, 0, rc.right, kToolbarHeight, TRUE);
    if (mdi_ && GetParent(mdi_) == frame)
        MoveWindow(mdi_, 0, kToolbarHeight, rc.right, std::max(0L, static_cast<long>(rc.bottom) - kToolbarHeight), TRUE);
}

LRESULT CALLBACK Win32Host::OwnProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    if (!host) return DefWindowProcA(hwnd, msg, wparam, lparam);
    switch (msg) {
        case WM_PAINT:
            host->Paint(hwnd);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            LRESULT r = DefWindowProcA(hwnd, msg, wparam, lparam);
            host->TrackShow(hwnd);
            return r;
        }
        case WM_NCDESTROY:
            host->shown_.erase(hwnd);
            break;
        case EM_GETLINECOUNT:
        case EM_LINEINDEX:
        case EM_LINELENGTH:
        case EM_GETLINE: {
            LRESULT result = 0;
            const std::string cls = ClassOf(hwnd);
            if ((Is(cls, "RICHCNTL") || Is(cls, "RICHCNTLREADONLY")) &&
                AnswerLineMessage(host->Text(ToHandle(hwnd)), msg, wparam, lparam, result))
                return result;
            break;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH: {
            // Heard once the answer is made, as in the simulated host.
            LRESULT r = DefWindowProcA(hwnd, msg, wparam, lparam);
            const Msg heard = msg == WM_GETTEXT ? Msg::GetText : Msg::GetTextLength;
            if (!host->quiet_ && host->receiver_)
                host->receiver_->OnMessage(ToHandle(hwnd), Message{heard, static_cast<std::uint32_t>(wparam), {}});
            return r;
        }
        default:
            if (host->Deliver(hwnd, msg, wparam, lparam)) return msg == WM_SETTEXT ? TRUE : 0;
            if (msg == WM_SETTEXT) {
                LRESULT r = DefWindowProcA(hwnd, msg, wparam, lparam);
                InvalidateRect(hwnd, nullptr, TRUE);
                return r;
            }
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK Win32Host::FrameProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    HWND mdi = host ? host->mdi_ : nullptr;
    if (mdi && GetParent(mdi) != hwnd) mdi = nullptr;
    if (!host) return DefFrameProcA(hwnd, mdi, msg, wparam, lparam);
    switch (msg) {
        case WM_SIZE:
            host->LayOutFrame(hwnd);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            LRESULT r = DefFrameProcA(hwnd, mdi, msg, wparam, lparam);
            host->TrackShow(hwnd);
            return r;
        }
        case WM_NCDESTROY:
            host->shown_.erase(hwnd);
            if (mdi) host->mdi_ = nullptr;
            break;
        default:
            if (host->Deliver(hwnd, msg, wparam, lparam)) return msg == WM_SETTEXT ? TRUE : 0;
    }
    return DefFrameProcA(hwnd, mdi, msg, wparam, lparam);
}

LRESULT CALLBACK Win32Host::ChildProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    if (!host) return DefMDIChildProcA(hwnd, msg, wparam, lparam);
    switch (msg) {
        case WM_WINDOWPOSCHANGED: {
            LRESULT r = DefMDIChildProcA(hwnd, msg, wparam, lparam);
            host->TrackShow(hwnd);
            return r;
        }
        case WM_NCDESTROY:
            host->shown_.erase(hwnd);
            break;
        default:
            if (host->Deliver(hwnd, msg, wparam, lparam)) return msg == WM_SETTEXT ? TRUE : 0;
    }
    return DefMDIChildProcA(hwnd, msg, wparam, lparam);
}

LRESULT CALLBACK Win32Host::EditProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    if (host && host->Deliver(hwnd, msg, wparam, lparam)) return msg == WM_SETTEXT ? TRUE : 0;
    return g_editProc ? CallWindowProcA(g_editProc, hwnd, msg, wparam, lparam)
                      : DefWindowProcA(hwnd, msg, wparam, lparam);
}

INT_PTR CALLBACK Win32Host::AlertProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    if (!host) return FALSE;
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
        case WM_CLOSE:
            host->Deliver(hwnd, msg, wparam, lparam);
            return TRUE;
        case WM_WINDOWPOSCHANGED:
            host->TrackShow(hwnd);
            return FALSE;
        case WM_NCDESTROY:
            host->shown_.erase(hwnd);
            return FALSE;
        default: return FALSE;
    }
}

LRESULT CALLBACK Win32Host::HelperProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    Win32Host* host = g_host;
    if (!host) return DefWindowProcA(hwnd, msg, wparam, lparam);
    switch (msg) {
        case WM_TIMER: {
            KillTimer(hwnd, wparam);
            auto it = host->timers_.find(wparam);
            if (it == host->timers_.end()) return 0;
            std::function<void()> action = std::move(it->second);
            host->timers_.erase(it);
            if (action) action();
            return 0;
        }
        case kPopupMessage:
            host->RunPopup();
            return 0;
        case kFreezeMessage:
            // The client stops answering: nothing of this thread runs.
            Sleep(static_cast<DWORD>(std::min<WPARAM>(wparam, kLongestFreezeMs)));
            return 0;
        default: return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

}  // namespace aolsim::win32
