#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <vector>

#include "platform/win32/internal.h"

namespace qm::win32 {
namespace {

// Pop-up menus nest no deeper than this; a deeper tree is cut there.
constexpr int kMaxMenuDepth = 16;

// A caption as the menu must be given it to show it literally: "&" would
// underline the next letter (a handle or a font may hold one), and a tab
// would start the shortcut column.
std::string MenuText(const std::string& caption) {
    std::string text;
    text.reserve(caption.size());
    for (char c : caption) {
        if (c == '&')
            text += "&&";
        else
            text += c == '\t' ? ' ' : c;
    }
    return text;
}

HMENU BuildMenu(const std::vector<PopupItem>& items, int defaultId, int depth) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    for (const PopupItem& item : items) {
        if (item.caption == "-") {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string text = MenuText(item.caption);
        UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? MF_ENABLED : MF_GRAYED);
        if (!item.children.empty()) {
            if (depth >= kMaxMenuDepth) continue;
            HMENU sub = BuildMenu(item.children, defaultId, depth + 1);
            if (!sub) continue;
            if (!::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str()))
                ::DestroyMenu(sub);
        } else {
            ::AppendMenuA(menu, flags, static_cast<UINT_PTR>(static_cast<unsigned>(item.id)), text.c_str());
            // Set on the menu that holds it: the system looks for it there
            // only.  Id 0 would match the separators.
            if (defaultId != 0 && item.id == defaultId)
                ::SetMenuDefaultItem(menu, static_cast<UINT>(defaultId), FALSE);
        }
    }
    return menu;
}

// ---- the one-line prompt ------------------------------------------------------

constexpr int kPromptText = 100;
constexpr int kPromptEdit = 101;

struct PromptState {
    const std::string& title;
    const std::string& prompt;
    const std::string& defaultText;
    std::string answer;
};

// A dialog template laid out in memory, so that the prompt needs no resource.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, WORD items) {
        Dword(style);
        Dword(0);
        Word(items);
        Box(0, 0, cx, cy);
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Word(0);  // the title is set at run time, in ANSI
        Word(8);
        Text(L"MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const wchar_t* text) {
        if (words_.size() % 2) Word(0);  // items start on a DWORD boundary
        Dword(style);
        Dword(0);
        Box(x, y, cx, cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Box(short x, short y, short cx, short cy) {
        for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    }
    void Text(const wchar_t* s) {
        do Word(static_cast<WORD>(*s));
        while (*s++);
    }
    std::vector<WORD> words_;
};

// The typed text, every byte of it.
std::string EditText(HWND edit) {
    const int length = std::max(0, ::GetWindowTextLengthA(edit));  // may be more, never less
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
    return text;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<PromptState*>(lparam);
            ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            ::SetWindowTextA(dialog, state->title.c_str());
            ::SetDlgItemTextA(dialog, kPromptText, state->prompt.c_str());
            HWND edit = ::GetDlgItem(dialog, kPromptEdit);
            // Typing stops at the limit; a longer default is kept whole.
            ::SendMessageA(edit, EM_LIMITTEXT, kInputBoxMaxLength, 0);
            ::SetWindowTextA(edit, state->defaultText.c_str());
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
            // In front of everything, the topmost main window too, even when
            // that is hidden in the tray and so cannot lift it.
            ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            ::SetForegroundWindow(dialog);
            ::SetFocus(edit);
            return FALSE;  // we placed the focus ourselves
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == kPromptEdit && HIWORD(wparam) == EN_MAXTEXT) {
                ::MessageBeep(MB_OK);  // the user hears that the rest was not taken
                return TRUE;
            }
            if (LOWORD(wparam) == IDOK) {
                auto* state = reinterpret_cast<PromptState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                if (state) state->answer = EditText(::GetDlgItem(dialog, kPromptEdit));
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

// While a prompt or a message box is open the reasons editor takes no input
// either: the system disables only the owner, the main window, and a second
// command must not start from the editor meanwhile.
class Disabled {
public:
    explicit Disabled(HWND window) : window_(window && ::IsWindowEnabled(window) ? window : nullptr) {
        if (window_) ::EnableWindow(window_, FALSE);
    }
    ~Disabled() {
        if (window_ && ::IsWindow(window_)) ::EnableWindow(window_, TRUE);
    }
    Disabled(const Disabled&) = delete;
    Disabled& operator=(const Disabled&) = delete;

private:
    HWND window_;
};

// The hook that puts the next dialog activated on the UI thread in front of
// the topmost windows, once.
HHOOK topmostHook = nullptr;
LRESULT CALLBACK LiftOnActivation(int code, WPARAM wparam, LPARAM lparam) {
    const HHOOK hook = topmostHook;
    const LRESULT result = ::CallNextHookEx(hook, code, wparam, lparam);
    HWND window = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE && hook && ::GetClassLongA(window, GCW_ATOM) == kDialogAtom) {
        topmostHook = nullptr;
        ::UnhookWindowsHookEx(hook);
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return result;
}

}  // namespace

// ---- pop-up menus -------------------------------------------------------------------

HWND Win32Platform::MenuOwner(HWND requested) const {
    // The menu's messages go to its owner, which must be a window of ours.
    if (requested && ::IsWindow(requested) && OwnThread(requested)) return requested;
    return main_ ? main_ : helper_;
}

int Win32Platform::TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) {
    HMENU menu = BuildMenu(root.children, defaultId, 0);
    if (!menu) return 0;
    POINT pt{};
    HWND requested = ToHwnd(owner);
    if (at) {
        pt = POINT{at->x, at->y};
        if (owner && ::IsWindow(requested)) ::ClientToScreen(requested, &pt);
    } else {
        ::GetCursorPos(&pt);
    }
    HWND menuOwner = MenuOwner(owner ? requested : nullptr);
    // Without this a menu opened from the tray stays open when the user
    // clicks elsewhere.
    ::SetForegroundWindow(menuOwner);
    const int chosen = static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_LEFTBUTTON,
                                                         pt.x, pt.y, 0, menuOwner, nullptr));
    // And this makes the next click after it reach its menu.
    ::PostMessageA(menuOwner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
    return chosen;
}

// ---- the prompt and the message box -----------------------------------------------------

std::string Win32Platform::InputBox(const std::string& title, const std::string& prompt,
                                    const std::string& defaultText) {
    DialogTemplate dialog(DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          241, 77, 4);
    dialog.Item(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 7, 7, 170, 44, kPromptText, 0x0082, L"");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 57, 227, 13, kPromptEdit, 0x0081,
                L"");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 184, 7, 50, 14, IDOK, 0x0080, L"OK");
    dialog.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 184, 25, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    PromptState state{title, prompt, defaultText, {}};
    const Disabled editor(editor_);
    const INT_PTR result =
        ::DialogBoxIndirectParamA(instance_, dialog.Get(), main_, &PromptProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::string();
}

void Win32Platform::MessageBox(const std::string& title, const std::string& text) {
    const Disabled editor(editor_);
    // Wine does not honour MB_TOPMOST: the box is lifted as it is activated.
    topmostHook = ::SetWindowsHookExA(WH_CBT, &LiftOnActivation, nullptr, ::GetCurrentThreadId());
    ::MessageBoxA(main_, text.c_str(), title.c_str(), MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
    if (topmostHook) ::UnhookWindowsHookEx(topmostHook);
    topmostHook = nullptr;
}

}  // namespace qm::win32
