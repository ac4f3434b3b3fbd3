#include "reasons/reasons.h"

#include "app/shell.h"
#include "app/settings.h"
#include "reasons/reasons_file.h"

namespace qm {

Reasons::Reasons(Shell& shell) : form3(shell), shell_(shell) {
    // The editor goes from the screen as the program ends.
    shell_.AtEnd([this] { HideEditor(); });
    Form2& menus = shell_.form2;
    menus.Item("editreasons").Click = [this] { editreasons_Click(); };
    menus.Item("addareason").Click = [this] { addareason_Click(); };
    menus.Item("deleteareason").Click = [this] { deleteareason_Click(); };
    menus.Item("editareason").Click = [this] { editareason_Click(); };
    menus.Item("doneedit").Click = [this] { doneedit_Click(); };
}

void Reasons::LoadReasons(const std::string& path) {
    loaded_ = reasons::LoadReasons(shell_.platform, path, shell_.form1.List1);
}

void Reasons::HideEditor() { form3.Hide(); }

void Reasons::editreasons_Click() {
    // Already open: the working copy keeps the user's changes.
    if (form3.Visible() || !form3.Show()) return;
    form3.List1.CopyItemsFrom(shell_.form1.List1);
    form3.Refresh();
    shell_.chat.SendChatLine(ComposeAnnouncement(Announcement::EditReasons, shell_.form1.Style()));
}

void Reasons::addareason_Click() {
    const std::string answer = shell_.platform.InputBox("add idle reason", "enter an idle reason.", "");
    if (answer.empty()) return;
    form3.List1.AddItem(answer);
    form3.Refresh();
}

void Reasons::deleteareason_Click() {
    const int selected = form3.List1.ListIndex();
    if (selected < 0) return;
    form3.List1.RemoveItem(selected);
    form3.Refresh();
}

void Reasons::editareason_Click() {
    const int selected = form3.List1.ListIndex();
    if (selected < 0) return;
    const std::string old = form3.List1.List(selected);
    form3.List1.RemoveItem(selected);
    form3.Refresh();
    const std::string answer = shell_.platform.InputBox("edit idle reason", "edit idle reason.", old);
    if (answer.empty()) return;
    form3.List1.AddItem(answer);
    form3.Refresh();
}

void Reasons::doneedit_Click() {
    shell_.form1.List1.CopyItemsFrom(form3.List1);
    if (auto saved = reasons::SaveReasons(shell_.platform, ReasonsFile(shell_.platform), form3.List1, loaded_))
        loaded_ = *saved;
    form3.Hide();
}

}  // namespace qm
