#include "reasons/reasons.h"

#include "app/program.h"
#include "app/settings.h"
#include "reasons/reasons_file.h"

namespace qm {

Reasons::Reasons(Program& program) : form3(program), program_(program) {
    Form2& menus = program_.form2;
    menus.Item("editreasons").Click = [this] { editreasons_Click(); };
    menus.Item("addareason").Click = [this] { addareason_Click(); };
    menus.Item("deleteareason").Click = [this] { deleteareason_Click(); };
    menus.Item("editareason").Click = [this] { editareason_Click(); };
    menus.Item("doneedit").Click = [this] { doneedit_Click(); };
}

void Reasons::LoadReasons(const std::string& path) {
    loaded_ = reasons::LoadReasons(program_.platform, path, program_.form1.List1);
}

void Reasons::HideEditor() { form3.Hide(); }

void Reasons::editreasons_Click() {
    // Already open: the working copy keeps the user's changes.
    if (form3.Visible() || !form3.Show()) return;
    form3.List1.CopyItemsFrom(program_.form1.List1);
    form3.Refresh();
    program_.chat.SendChatLine(ComposeAnnouncement(Announcement::EditReasons, program_.form1.Style()));
}

void Reasons::addareason_Click() {
    const std::string answer = program_.platform.InputBox("add idle reason", "enter an idle reason.", "");
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
    const std::string answer = program_.platform.InputBox("edit idle reason", "edit idle reason.", old);
    if (answer.empty()) return;
    form3.List1.AddItem(answer);
    form3.Refresh();
}

void Reasons::doneedit_Click() {
    program_.form1.List1.CopyItemsFrom(form3.List1);
    if (auto saved = reasons::SaveReasons(program_.platform, ReasonsFile(program_.platform), form3.List1, loaded_))
        loaded_ = *saved;
    form3.Hide();
}

}  // namespace qm
