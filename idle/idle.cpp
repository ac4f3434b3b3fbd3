#include "idle/idle.h"

#include "app/program.h"

namespace qm {

IdleEngine::IdleEngine(Program& program) : program_(program) { (void)program_; }

}  // namespace qm
