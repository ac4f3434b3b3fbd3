#include "transfer/transfers.h"

#include "app/program.h"

namespace qm {

Transfers::Transfers(Program& program) : program_(program) { (void)program_; }

}  // namespace qm
