#include "app/form2.h"

#include <cstdlib>

#include "app/shell.h"

namespace qm {
namespace {

struct Row {
    int level;
    const char* name;
    const char* caption;
    bool enabled = true;
};

// The menu tree as a fresh program shows it, in order.
const Row kTree[] = {
    {0, "menu", "menu"},
    {1, "quillmooridle", "quillmoor idle", false},  // a title line
    {1, "line0", "-"},
    {1, "idleoptions", "idle options"},
    {2, "idleon", "idle on"},
    {2, "idleoff", "idle off", false},
    {2, "idlepause", "idle pause", false},
    {2, "line2", "-"},
    {2, "bragidlestats", "brag idle stats"},
    {2, "editreasons", "edit reasons"},
    {2, "insertdlul", "insert dl/ul stats"},
    {2, "interval", "interval: 1"},
    // The away log and automatic idle, after every item that was there.
    {2, "lineaway", "-"},
    {2, "awaylog", "away log: off"},
    {2, "showawaylog", "show away log"},
    {2, "autoidle", "auto idle: off"},
    {1, "dcpoptions", "dcp options"},
    {2, "enabledcp", "enable dcp"},
    {2, "line3", "-"},
    {2, "setpassword", "set password", false},
    {2, "line11", "-"},
    {2, "enablereenterroom", "enable re-enter", false},
    {2, "setroom", "set room name", false},
    {2, "line4", "-"},
    {2, "resumedl", "resume dl", false},
    {2, "resumeul", "resume ul", false},
    {1, "upchatoptions", "upchat options"},
    {2, "enableautoupchat", "enable auto upchat"},
    {2, "line8", "-"},
    {2, "bragdlulstats", "brag dl/ul stats"},
    {2, "upchaton", "upchat on"},
    {2, "upchatoff", "upchat off"},
    {1, "otheroptions", "other options"},
    {2, "handle", "handle: dorwick"},
    {2, "line5", "-"},
    {2, "color1", "color 1: 000000"},
    {2, "color2", "color 2: 0000ff"},
    {2, "font2", "font: arial narrow"},
    {2, "line9", "-"},
    {2, "ascii1", "ascii 1:"},
    {2, "ascii1color", "color: 0000ff"},
    {2, "ascii1font", "font: arial narrow"},
    {2, "line6", "-"},
    {2, "ascii2", "ascii 2:"},
    {2, "ascii2color", "color: 0000ff"},
    {2, "ascii2font", "font: arial narrow"},
    {2, "line7", "-"},
    {2, "ascii3", "ascii 3:"},
    {2, "ascii3color", "color: 0000ff"},
    {2, "ascii3font", "font: arial narrow"},
    // The client's version where its menus cannot be read.
    {2, "line12", "-"},
    {2, "aolversion", "aol version: auto"},
    {1, "line1", "-"},
    {1, "cancel", "cancel"},
    {1, "minimize", "minimize"},
    {1, "exit", "exit"},
    {0, "options", "options"},
    {1, "addareason", "add a reason"},
    {1, "deleteareason", "delete a reason"},
    {1, "editareason", "edit a reason"},
    {1, "line10", "-"},
    {1, "cancel2", "cancel"},
    {1, "doneedit", "done edit"},
};

// The first item, depth first, that `match` accepts; works on const trees too.
template <typename Item, typename Match>
Item* FindWhere(Item& item, const Match& match) {
    if (match(item)) return &item;
    for (Item& child : item.children)
        if (Item* found = FindWhere(child, match)) return found;
    return nullptr;
}

template <typename Item>
Item* Find(Item& item, std::string_view name) {
    return FindWhere(item, [name](const MenuItem& i) { return i.name == name; });
}

PopupItem ToPopup(const MenuItem& item) {
    PopupItem popup{item.children.empty() && item.caption != "-" ? item.id : 0, item.caption, item.checked,
                    item.enabled, {}};
    for (const MenuItem& child : item.children) popup.children.push_back(ToPopup(child));
    return popup;
}

void PutLittleEndian32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

Form2::Form2(Shell& shell) : shell_(shell) {
    // Build the two trees from the rows: each row is a child of the nearest
    // row above it one level up.
    int id = 0;
    std::vector<MenuItem*> path;
    for (const Row& row : kTree) {
        MenuItem item{row.name, row.caption, false, row.enabled, {}, {}, ++id};
        if (row.level == 0) {
            MenuItem& root = std::string_view(row.name) == "menu" ? menu : options;
            root = std::move(item);
            path.assign(1, &root);
            continue;
        }
        path.resize(static_cast<std::size_t>(row.level));
        path.back()->children.push_back(std::move(item));
        path.push_back(&path.back()->children.back());
    }
}

MenuItem& Form2::Item(std::string_view name) {
    MenuItem* found = Find(menu, name);
    if (!found) found = Find(options, name);
    if (!found) std::abort();  // a name not in the tree: a fault of the program itself
    return *found;
}

void Form2::PopupMenu(MenuItem& root, Hwnd owner, std::optional<Point> at, std::string_view defaultItem) {
    const MenuItem* bold = Find(root, defaultItem);
    const int defaultId = bold ? bold->id : 0;
    const int chosen = shell_.platform.TrackPopupMenu(ToPopup(root), owner, at, defaultId);
    if (chosen == 0) return;
    MenuItem* item = FindWhere(root, [chosen](const MenuItem& i) { return i.id == chosen; });
    // Looked at again after the menu closed: a greyed item does nothing.
    if (!item || !item->enabled || !item->children.empty() || !item->Click) return;
    std::function<void()> click = item->Click;  // the handler may change the tree's items
    click();
}

// ---- the tray ---------------------------------------------------------------------

bool Form2::InTray() const { return Find(menu, "minimize")->caption == "maximize"; }

void Form2::FillRecord() {
    PutLittleEndian32(record_, 0, static_cast<std::uint32_t>(kTrayRecordSize));
    PutLittleEndian32(record_, 4, shell_.platform.TrayWindow());
    PutLittleEndian32(record_, 8, 1);
}

bool Form2::AddTrayIcon() {
    FillRecord();
    PutLittleEndian32(record_, 12, tray::kFlags);
    PutLittleEndian32(record_, 16, tray::kCallback);
    PutLittleEndian32(record_, 20, 0);  // the backend puts the main window's icon here
    // The tip: the main window's caption, a NUL, then blanks; cut at 64.
    std::string tip = std::string(kMainCaption) + '\0';
    tip.resize(tray::kTipSize, ' ');
    std::copy(tip.begin(), tip.end(), record_.begin() + 24);
    if (!shell_.platform.TrayNotify(TrayOp::Add, record_)) return false;
    shell_.platform.SetTaskListEntry(false);
    shell_.platform.ShowWindow(shell_.form1.Window(), ShowCmd::Hide);
    return true;
}

void Form2::RemoveTrayIcon() {
    FillRecord();
    shell_.platform.TrayNotify(TrayOp::Delete, record_);
}

void Form2::minimize_Click() {
    if (Item("minimize").caption == "minimize") {
        if (!AddTrayIcon()) return;  // still on the screen, and says so
        SetCaption("minimize", "maximize");
    } else {
        SetCaption("minimize", "minimize");
        RemoveTrayIcon();
        shell_.platform.ShowWindow(shell_.form1.Window(), ShowCmd::Show);
    }
}

void Form2::Form_MouseMove(std::uint32_t message) {
    if (message == tray::kLeftDoubleClick) {
        shell_.platform.ShowWindow(shell_.form1.Window(), ShowCmd::Restore);
        shell_.platform.ShowWindow(shell_.form1.Window(), ShowCmd::Show);
        SetCaption("minimize", "minimize");
        RemoveTrayIcon();
    } else if (message == tray::kRightButtonUp) {
        shell_.platform.SetForegroundWindow(shell_.form1.Window());
        PopupMenu(menu, shell_.platform.TrayWindow(), std::nullopt, "exit");
    }
}

void Form2::TaskbarCreated() {
    if (InTray()) shell_.platform.TrayNotify(TrayOp::Add, record_);
}

}  // namespace qm
