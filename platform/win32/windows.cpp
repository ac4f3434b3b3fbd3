#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "platform/text.h"
#include "platform/win32/internal.h"

namespace qm::win32 {

// ---- other programs' windows --------------------------------------------------

Hwnd Win32Platform::FindWindow(std::string_view cls, std::optional<std::string_view> caption) {
    if (HasZeroByte(cls) || (caption && HasZeroByte(*caption))) return 0;
    const std::string c(cls), t(caption.value_or(""));
    return ToSeam(::FindWindowA(c.c_str(), caption ? t.c_str() : nullptr));
}

Hwnd Win32Platform::FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                                 std::optional<std::string_view> caption) {
    if (!parent) return 0;  // parent 0 would search the whole desktop
    if (HasZeroByte(cls) || (caption && HasZeroByte(*caption))) return 0;
    const std::string c(cls), t(caption.value_or(""));
    if (!after) return ToSeam(::FindWindowExA(ToHwnd(parent), nullptr, c.c_str(), caption ? t.c_str() : nullptr));
    // Wine finds nothing after a window of another class ("the RICHCNTL after
    // the RICHCNTLREADONLY"), so walk the siblings as Windows does.
    HWND child = ToHwnd(after);
    if (::GetAncestor(child, GA_PARENT) != ToHwnd(parent)) return 0;
    char name[256];
    for (child = ::GetWindow(child, GW_HWNDNEXT); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::GetClassNameA(child, name, sizeof name) || !EqualsNoCase(name, c)) continue;
        if (caption && !EqualsNoCase(GetWindowText(ToSeam(child), GetWindowTextLength(ToSeam(child)) + 1), t))
            continue;
        return ToSeam(child);
    }
    return 0;
}

Hwnd Win32Platform::NextWindow(Hwnd window) {
    if (!window) return 0;
    return ToSeam(::GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

int Win32Platform::GetWindowTextLength(Hwnd window) {
    if (!window) return 0;
    return std::max(0, ::GetWindowTextLengthA(ToHwnd(window)));
}

std::string Win32Platform::GetWindowText(Hwnd window, int bufferSize) {
    if (!window) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    ::GetWindowTextA(ToHwnd(window), buffer.get(), bufferSize);
    return Terminated(buffer.get(), bufferSize);
}

// Texts are read through the "W" messages and turned into ANSI bytes here:
// under Wine, SendMessageTimeoutA(WM_GETTEXTLENGTH) to another process is
// followed by a WM_GETTEXT of Wine's own that has no timeout, so a hung
// window would hold us far past the bound; the "W" calls keep it.
std::optional<int> Win32Platform::GetTextLength(Hwnd window) {
    if (!window) return 0;
    DWORD_PTR length = 0;
    if (!SendBoundedW(ToHwnd(window), WM_GETTEXTLENGTH, 0, 0, &length)) return std::nullopt;
    const auto signedLength = static_cast<LONG_PTR>(length);
    // Characters; in a code page of up to n bytes a character, at most n
    // times as many bytes.
    if (signedLength <= 0) return 0;
    CPINFO info{};
    const LONG_PTR perChar = ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? info.MaxCharSize : 1;
    return static_cast<int>(std::min<LONG_PTR>(signedLength, INT_MAX / 4) * perChar);
}

std::optional<std::string> Win32Platform::GetText(Hwnd window, int bufferSize) {
    if (!window) return std::string();
    if (bufferSize <= 0) return std::string();
    auto* raw = new (std::nothrow) wchar_t[static_cast<std::size_t>(bufferSize)];
    if (!raw) return std::nullopt;
    std::unique_ptr<wchar_t[]> buffer(raw);
    std::memset(raw, 0, static_cast<std::size_t>(bufferSize) * sizeof(wchar_t));
    HWND h = ToHwnd(window);
    DWORD_PTR got = 0;
    if (!SendBoundedW(h, WM_GETTEXT, static_cast<WPARAM>(bufferSize), reinterpret_cast<LPARAM>(raw), &got)) {
        KeepIfStillShared(h, buffer);
        return std::nullopt;
    }
    raw[bufferSize - 1] = L'\0';
    const int chars = static_cast<int>(::wcsnlen(raw, static_cast<std::size_t>(bufferSize)));
    if (chars == 0) return std::string();
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, raw, chars, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, raw, chars, text.data(), bytes, nullptr, nullptr);
    if (text.size() > static_cast<std::size_t>(bufferSize - 1)) text.resize(static_cast<std::size_t>(bufferSize - 1));
    return text;
}

namespace {

// A line of a text control: where it starts and how long it is, in the
// control's characters.
struct LineSpan {
    LONG_PTR start = 0, length = 0;
};

}  // namespace

// The tail of a long text is read line by line from its end (the edit
// messages, which the system carries across processes as it does WM_GETTEXT):
// WM_GETTEXT would only give its oldest part.  Wine carries EM_GETLINE across
// processes as a "W" message but copies back only as many bytes of the answer
// as the room given counts characters: the room given is twice what the line
// needs (so a line of more than 32 KiB is too long to read).
std::optional<std::string> Win32Platform::GetTextTail(Hwnd window, int maxBytes) {
    if (!window) return std::string();
    HWND h = ToHwnd(window);
    const std::optional<int> length = GetTextLength(window);
    if (!length) return std::nullopt;
    if (*length <= maxBytes) {
        std::optional<std::string> text = GetText(window, *length + 2);
        if (!text) return std::nullopt;
        if (text->size() <= static_cast<std::size_t>(*length)) return text;
        // It grew meanwhile: read from its end.
    }
    CPINFO info{};
    const LONG_PTR perChar = ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? info.MaxCharSize : 1;
    auto ask = [&](UINT msg, WPARAM wparam) -> std::optional<LONG_PTR> {
        DWORD_PTR result = 0;
        if (!SendBounded(h, msg, wparam, 0, &result)) return std::nullopt;
        return static_cast<LONG_PTR>(result);
    };
    auto lineAt = [&](LONG_PTR line) -> std::optional<LineSpan> {
        const std::optional<LONG_PTR> start = ask(EM_LINEINDEX, static_cast<WPARAM>(line));
        if (!start || *start < 0) return std::nullopt;
        const std::optional<LONG_PTR> chars = ask(EM_LINELENGTH, static_cast<WPARAM>(*start));
        if (!chars || *chars < 0) return std::nullopt;
        return LineSpan{*start, *chars};
    };
    const std::optional<LONG_PTR> count = ask(EM_GETLINECOUNT, 0);
    if (!count || *count < 1) return std::nullopt;  // no text control
    // The lines kept, newest first, each with the break that ended it.
    std::vector<std::string> kept;
    LONG_PTR budget = maxBytes, line = *count - 1, nextStart = -1;
    for (; line >= 0; --line) {
        const std::optional<LineSpan> span = lineAt(line);
        if (!span) return std::nullopt;
        // A paragraph break lies between this line and the next unless the
        // control wrapped the line there (one character in a rich edit, CR LF
        // in an edit).
        const bool broken = nextStart >= 0 && nextStart > span->start + span->length;
        const LONG_PTR need = span->length * perChar + (broken ? 2 : 0);
        if (need > budget || span->length * perChar >= 0x7FF0) break;
        std::string text;
        if (span->length > 0) {
            // Room for the line and the paragraph's end a rich edit adds,
            // twice over.
            const int size = 2 * (static_cast<int>(span->length * perChar) + 2);
            std::unique_ptr<char[]> buffer = ZeroBuffer(size);
            if (!buffer) return std::nullopt;
            const auto room = static_cast<WORD>(size - 1);  // EM_GETLINE's room, first in the buffer
            std::memcpy(buffer.get(), &room, sizeof room);
            DWORD_PTR got = 0;
            if (!SendBounded(h, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.get()), &got)) {
                KeepIfStillShared(h, buffer);
                return std::nullopt;
            }
            const std::size_t bytes = std::min<std::size_t>(got, static_cast<std::size_t>(span->length * perChar));
            text.assign(buffer.get(), ::strnlen(buffer.get(), bytes));
            if (!text.empty() && text.back() == '\r') text.pop_back();  // a rich edit's paragraph end
        }
        if (broken) text += "\r\n";
        kept.push_back(std::move(text));
        budget -= need;
        nextStart = span->start;
    }
    // The oldest line kept may go on a paragraph that began above it: that
    // paragraph is left out whole.
    if (line >= 0 && !kept.empty()) {
        const std::optional<LineSpan> above = lineAt(line);
        if (!above) return std::nullopt;
        if (above->start + above->length >= nextStart) {
            while (!kept.empty()) {
                const bool ends = kept.back().ends_with("\r\n");
                kept.pop_back();
                if (ends) break;
            }
        }
    }
    std::string tail;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) tail += *it;
    return tail;
}

bool Win32Platform::SetText(Hwnd window, const std::string& text) {
    if (!window) return false;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[text.size() + 1]);
    if (!copy) return false;
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    HWND h = ToHwnd(window);
    if (SendBounded(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.get()), nullptr)) return true;
    KeepIfStillShared(h, copy);
    return false;
}

bool Win32Platform::Send(Hwnd window, Msg msg, std::uint32_t wparam) {
    if (!window) return false;
    return SendBounded(ToHwnd(window), static_cast<UINT>(msg), wparam, 0, nullptr);
}

void Win32Platform::Post(Hwnd window, Msg msg, std::uint32_t wparam) {
    if (!window) return;
    // A WM_SYSCHAR counts as Alt and a letter only with Alt down in its
    // context bit (and one repeat), as the keyboard makes it.
    const LPARAM lparam = msg == Msg::SysChar ? (KF_ALTDOWN << 16) | 1 : 0;
    ::PostMessageA(ToHwnd(window), static_cast<UINT>(msg), wparam, lparam);
}

void Win32Platform::ShowWindow(Hwnd window, ShowCmd cmd) {
    if (!window) return;
    HWND h = ToHwnd(window);
    // Another thread's window changes state when its thread gets to it: a
    // client that hangs cannot hold us up.
    if (OwnThread(h))
        ::ShowWindow(h, static_cast<int>(cmd));
    else
        ::ShowWindowAsync(h, static_cast<int>(cmd));
}

void Win32Platform::SetForegroundWindow(Hwnd window) {
    if (window) ::SetForegroundWindow(ToHwnd(window));
}

void Win32Platform::MakeTopmost(Hwnd window) {
    if (window) ::SetWindowPos(ToHwnd(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Platform::BeginWindowDrag(Hwnd window) {
    if (!window) return;
    ::ReleaseCapture();
    // For our own window this runs the system's move loop until the button
    // is released.
    SendBounded(ToHwnd(window), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0, nullptr);
}

// ---- menus --------------------------------------------------------------------

Hmenu Win32Platform::GetMenu(Hwnd window) {
    if (!window) return 0;
    return ToSeamMenu(::GetMenu(ToHwnd(window)));
}

int Win32Platform::GetMenuItemCount(Hmenu menu) {
    if (!menu) return -1;
    return ::GetMenuItemCount(ToHmenu(menu));
}

Hmenu Win32Platform::GetSubMenu(Hmenu menu, int position) {
    if (!menu) return 0;
    return ToSeamMenu(::GetSubMenu(ToHmenu(menu), position));
}

std::uint32_t Win32Platform::GetMenuItemID(Hmenu menu, int position) {
    if (!menu) return kMenuIdSubmenu;
    return ::GetMenuItemID(ToHmenu(menu), position);
}

std::string Win32Platform::GetMenuString(Hmenu menu, std::uint32_t id, int bufferSize) {
    if (!menu) return "";
    std::unique_ptr<char[]> buffer = ZeroBuffer(bufferSize);
    if (!buffer) return "";
    ::GetMenuStringA(ToHmenu(menu), id, buffer.get(), bufferSize, MF_BYCOMMAND);
    return Terminated(buffer.get(), bufferSize);
}

}  // namespace qm::win32
