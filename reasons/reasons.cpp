#include "reasons/reasons.h"

#include "app/program.h"

namespace qm {

Reasons::Reasons(Program& program) : program_(program) { (void)program_; }

void Reasons::LoadReasons(const std::string&) {}

void Reasons::HideEditor() {}

}  // namespace qm
