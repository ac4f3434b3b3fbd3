// The idle reasons: the live list (List1 of the main window, which the idle
// clock reads), its file, and the editor whose working copy replaces the
// live list and the file only at "done edit".
#pragma once

#include <string>

#include "reasons/form3.h"
#include "reasons/reasons_file.h"

namespace qm {

class Shell;

class Reasons {
public:
    explicit Reasons(Shell& shell);

    // Appends the reasons of the file to the live list (start-up).
    void LoadReasons(const std::string& path);
    // The editor goes from the screen (the program ends).
    void HideEditor();

    // ---- Menu commands ----------------------------------------------------------
    void editreasons_Click();
    void addareason_Click();
    void deleteareason_Click();
    void editareason_Click();
    void doneedit_Click();

    Form3 form3;

private:
    Shell& shell_;
    // What the live list holds of the file: the rest is kept at each save.
    reasons::Loaded loaded_;
};

}  // namespace qm
