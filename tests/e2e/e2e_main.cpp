// The main() of the Wine scenarios: the first argument is quillmoor.exe.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/quillmoor_process.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        std::string path = argv[1];
        if (!path.empty() && path[0] == '/') path = "Z:" + path;  // through Wine's Z: drive
        std::replace(path.begin(), path.end(), '/', '\\');
        e2e::QuillmoorExe() = path;
    }
    return RUN_ALL_TESTS();
}
