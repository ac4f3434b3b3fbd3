#include "aol/client_version.h"

#include "aol/probes.h"

namespace qm::aol {

bool IsSettableVersion(const std::string& text) {
    for (const char* v : {"2.5", "3.0", "4.0", "5.0", "6.0", "7.0", "8.0"})
        if (text == v) return true;
    return false;
}

std::string ClientVersion::operator()() const { return setting.empty() ? GetAolVersion(platform_) : setting; }

}  // namespace qm::aol
