// File transfers: upload chat and the transfer reports (the reader is transfer/status.h).
#pragma once

namespace qm {

class Program;

class Transfers {
public:
    explicit Transfers(Program& program);

private:
    Program& program_;
};

}  // namespace qm
