// The idle engine: the idle clock and its announcements, the idle commands, brag and exit.
#pragma once

namespace qm {

class Program;

class IdleEngine {
public:
    explicit IdleEngine(Program& program);

private:
    Program& program_;
};

}  // namespace qm
