// The thirteen commands that set what every announcement is drawn with: the
// handle, colour 1 and 2, the font, and each decoration's text, colour and
// font.  Each asks for one value; an accepted answer goes into its label, its
// menu caption and the settings file at once, and the next line composed
// uses it.  Nothing is posted.
#pragma once

#include <span>
#include <string>

namespace qm {

class Shell;
class Form1;

class Appearance {
public:
    enum class Test { None, NotTheAuthor, SixCharacters };
    struct Command {
        const char* item;
        const char* title;
        const char* prompt;
        Test test;
        std::string Form1::*label;
        const char* prefix;
        const char* section;
        const char* key;
        // Shown while nothing is stored; nullptr for the handle, whose
        // default is the screen name.
        const char* fallback;
    };
    // In the order of the settings file's table, the handle first.
    static std::span<const Command> Commands();

    explicit Appearance(Shell& shell);

    // Runs the command of that menu item.
    void Run(const Command& command);

private:
    Shell& shell_;
};

}  // namespace qm
