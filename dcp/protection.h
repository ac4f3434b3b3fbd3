// Disconnect protection: the monitor, its actions and its settings commands.
#pragma once

namespace qm {

class Program;

class Protection {
public:
    explicit Protection(Program& program);

private:
    Program& program_;
};

}  // namespace qm
