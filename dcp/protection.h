// Disconnect protection: every 8 seconds Timer2 looks at the client; when it
// finds it signed off at its sign-on window it signs back on with the stored
// password, re-enters the stored room and announces it there, and resumes the
// broken-off transfer, as the user chose in the "dcp options" menu.
//
// Also the client-version setting, for clients whose menus cannot be read.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

namespace qm {

class Shell;

class Protection {
public:
    explicit Protection(Shell& shell);

    // One look at the client (Form1's Timer2).
    void Timer2_Timer();

    // ---- The "dcp options" commands ----------------------------------------------
    void enabledcp_Click();
    void enablereenterroom_Click();
    void resumedl_Click();
    void resumeul_Click();
    void setpassword_Click();
    void setroom_Click();
    // "other options": the client's version, or auto.
    void aolversion_Click();

    // The items that only mean something while protection is on.
    void EnableDependents(bool on);
    // The version item's caption: the setting, or "auto".
    void ShowVersionSetting();

    // The password a re-sign-on types: the last one set this run when no file
    // would take it, otherwise the stored one.
    std::optional<std::string> Password();

private:
    bool SignedOn();
    // Asks for the version once for each value compared.
    bool VersionIs(std::initializer_list<const char*> versions);
    bool Late() { return VersionIs({"8.0", "7.0", "6.0"}); }
    bool Early() { return VersionIs({"5.0", "4.0"}); }
    // Signed on and the client still there: the sequence may go on.
    bool StillOn();

    Shell& shell_;
    std::optional<std::string> unstoredPassword_;
};

}  // namespace qm
