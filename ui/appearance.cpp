#include "ui/appearance.h"

#include "app/shell.h"
#include "app/settings.h"

namespace qm {
namespace {

constexpr const char* kHex = "enter a 6 digits hex.  # is not necessary.";
constexpr const char* kFontPrompt = "enter a font type.";
constexpr const char* kAsciiPrompt = "enter an ascii.";
using T = Appearance::Test;

const Appearance::Command kCommands[] = {
    {"handle", "set handle", "enter a handle.", T::NotTheAuthor,
     &Form1::lblHandle, "handle: ", "handle", "handle", nullptr},
    {"color1", "set color 1", kHex, T::SixCharacters,
     &Form1::lblColor1, "color 1: ", "color", "color 1", "000000"},
    {"color2", "set color 2", kHex, T::SixCharacters,
     &Form1::lblColor2, "color 2: ", "color", "color 2", "0000ff"},
    {"font2", "set font", kFontPrompt, T::None,
     &Form1::lblFont, "font: ", "font", "font", "arial narrow"},
    {"ascii1", "set ascii 1", kAsciiPrompt, T::None,
     &Form1::lblAscii1, "ascii 1: ", "ascii 1", "ascii", "qlR -"},
    {"ascii1color", "set ascii 1 color", kHex, T::None,
     &Form1::lblAscii1Color, "color: ", "ascii 1", "color", "0000ff"},
    {"ascii1font", "set ascii 1 font", kFontPrompt, T::None,
     &Form1::lblAscii1Font, "font: ", "ascii 1", "font", "arial narrow"},
    {"ascii2", "set ascii 2", kAsciiPrompt, T::None,
     &Form1::lblAscii2, "ascii 2: ", "ascii 2", "ascii", "qlR -"},
    {"ascii2color", "set ascii 2 color", kHex, T::None,
     &Form1::lblAscii2Color, "color: ", "ascii 2", "color", "0000ff"},
    {"ascii2font", "set ascii 2 font", kFontPrompt, T::None,
     &Form1::lblAscii2Font, "font: ", "ascii 2", "font", "arial narrow"},
    {"ascii3", "set ascii 3", kAsciiPrompt, T::None,
     &Form1::lblAscii3, "ascii 3: ", "ascii 3", "ascii", "qlR -"},
    {"ascii3color", "set ascii 3 color", kHex, T::None,
     &Form1::lblAscii3Color, "color: ", "ascii 3", "color", "0000ff"},
    {"ascii3font", "set ascii 3 font", kFontPrompt, T::None,
     &Form1::lblAscii3Font, "font: ", "ascii 3", "font", "arial narrow"},
};

bool Accepted(const std::string& answer, Appearance::Test test) {
    if (answer.empty()) return false;
    switch (test) {
        case T::NotTheAuthor: return answer != "dorwick";
        case T::SixCharacters: return answer.size() == 6;
        case T::None: break;
    }
    return true;
}

}  // namespace

std::span<const Appearance::Command> Appearance::Commands() { return kCommands; }

Appearance::Appearance(Shell& shell) : shell_(shell) {
    for (const Command& command : kCommands) shell_.form2.Item(command.item).Click = [this, &command] { Run(command); };
}

void Appearance::Run(const Command& command) {
    const std::string answer = shell_.platform.InputBox(command.title, command.prompt, "");
    if (!Accepted(answer, command.test)) return;
    std::string& label = shell_.form1.*command.label;
    label = answer;
    shell_.form2.SetCaption(command.item, command.prefix + label);
    WriteSetting(shell_.platform, command.section, command.key, label, SettingsFile(shell_.platform));
}

}  // namespace qm
