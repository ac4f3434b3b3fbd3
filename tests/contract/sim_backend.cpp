#include "platform/sim/sim_platform.h"
#include "tests/contract/contract_backend.h"

namespace qm::contract {

Platform& TestPlatform() {
    static sim::SimPlatform platform;
    return platform;
}

std::string NewFolder(const std::string& name) {
    static int count = 0;
    std::string folder = "C:\\contract\\" + name + "-" + std::to_string(++count);
    static_cast<sim::SimPlatform&>(TestPlatform()).AddFolder(folder);
    return folder;
}

}  // namespace qm::contract
