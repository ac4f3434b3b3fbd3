// What the contract suites need of a backend: the platform under test and
// fresh folders to put files in.  Each backend supplies one source file.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qm::contract {

Platform& TestPlatform();

// A new, empty, existing folder for one test (no final backslash).
std::string NewFolder(const std::string& name);

}  // namespace qm::contract
