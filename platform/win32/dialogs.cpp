#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <vector>

#include "platform/win32/internal.h"

namespace qm::win32 {
namespace {

// Pop-up menus nest no deeper than this; a deeper tree is cut there.
constexpr int kMaxMenuDepth = 16;
HMENU BuildMenu(const std::vector<PopupItem>& items, int depth) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    for (const PopupItem& item : items) {
        if (item.caption == "-") {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? MF_ENABLED : MF_GRAYED);
        if (!item.children.empty()) {
            if (depth >= kMaxMenuDepth) continue;
            HMENU sub = BuildMenu(item.children, depth + 1);
            if (!sub) continue;
            if (!::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.caption.c_str()))
                ::DestroyMenu(sub);
        } else {
            ::AppendMenuA(menu, flags, static_cast<UINT_PTR>(static_cast<unsigned>(item.id)), item.caption.c_str());
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

INT_PTR CALLBACK PromptProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<PromptState*>(lparam);
            ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            ::SetWindowTextA(dialog, state->title.c_str());
            ::SetDlgItemTextA(dialog, kPromptText, state->prompt.c_str());
            HWND edit = ::GetDlgItem(dialog, kPromptEdit);
            ::SetWindowTextA(edit, state->defaultText.c_str());
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
            ::SetFocus(edit);
            return FALSE;  // we placed the focus ourselves
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                auto* state = reinterpret_cast<PromptState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                HWND edit = ::GetDlgItem(dialog, kPromptEdit);
                const int length = std::max(0, ::GetWindowTextLengthA(edit));
                std::string text(static_cast<std::size_t>(length) + 1, '\0');
                const int got = ::GetWindowTextA(edit, text.data(), length + 1);
                text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
                if (state) state->answer = std::move(text);
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

}  // namespace

// ---- pop-up menus, prompts, message boxes -------------------------------------------

HWND Win32Platform::MenuOwner(HWND requested) const {
    // The menu's messages go to its owner, which must be a window of ours.
    if (requested && ::IsWindow(requested) && OwnThread(requested)) return requested;
    return main_ ? main_ : helper_;
}

int Win32Platform::TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) {
    HMENU menu = BuildMenu(root.children, 0);
    if (!menu) return 0;
    if (defaultId) ::SetMenuDefaultItem(menu, static_cast<UINT>(defaultId), FALSE);  // 0 would match separators
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
    const INT_PTR result =
        ::DialogBoxIndirectParamA(instance_, dialog.Get(), main_, &PromptProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? state.answer : std::string();
}

Hwnd Win32Platform::CreateEditorWindow(const std::string&, const EditorWindowLayout&, EditorWindowModel&) {
    return 0;  // made by the reasons editor's backend work
}

void Win32Platform::MessageBox(const std::string& title, const std::string& text) {
    ::MessageBoxA(main_, text.c_str(), title.c_str(), MB_OK);
}
}  // namespace qm::win32
