#include "app/program.h"

namespace qm {

Program::Program(Platform& platform) : form1(platform), platform_(platform) {}

bool Program::Start() {
    if (!form1.Form_Load()) return false;
    form1.Show();
    return true;
}

}  // namespace qm
