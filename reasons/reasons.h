// The idle reasons: the live list, its file and its editor.
#pragma once

#include <string>

namespace qm {

class Program;

class Reasons {
public:
    explicit Reasons(Program& program);

    // Appends the reasons of the file to the live list (start-up).
    void LoadReasons(const std::string& path);
    // The editor goes from the screen (the program ends).
    void HideEditor();

private:
    Program& program_;
};

}  // namespace qm
