#include "app/program.h"

namespace qm {

Program::Program(Platform& platform) : platform_(platform), chat(platform), form1(platform, chat) {}

bool Program::Start() {
    if (!form1.Form_Load()) return false;
    form1.Show();
    return true;
}

}  // namespace qm
