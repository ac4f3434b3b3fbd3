#include "app/program.h"

namespace qm {

Program::Program(Platform& platform) : platform_(platform), chat(platform), form1(platform, chat) {}

bool Program::Start() {
    if (!form1.Form_Load()) return false;
    form1.Show();
    return true;
}

void Program::End() {
    for (Timer* timer : {&form1.Timer1, &form1.Timer2, &form1.Timer3}) timer->SetEnabled(false);
    platform_.ShowWindow(form1.Window(), ShowCmd::Hide);
    chat.WhenIdle([this] { platform_.Quit(); });
}

}  // namespace qm
