#include "dcp/protection.h"

#include "app/program.h"

namespace qm {

Protection::Protection(Program& program) : program_(program) { (void)program_; }

}  // namespace qm
