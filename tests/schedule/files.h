// The program's files as the random schedules break them, and what may be in
// them afterwards.
//
// Breaking: a call that fails (the n-th read or write of one file from now,
// one at a time per file, so that two reads never fail back to back), a spell
// in which a file is locked (no read), read-only, or breaks partway through a
// read, and another program that replaces a file with a cut, padded (over a
// megabyte), garbage or other copy.  Breaks happen between events, never
// inside a call.
//
// What holds, exactly:
// - A write that failed left its file byte for byte as it was.
// - Every value the settings file holds for a setting is one the user chose
//   (its value at start, an answer given to its prompt, a mark's yes or no)
//   or one another program put there.  A setting is "in step" while the last
//   thing that touched it was a write of the program's that succeeded, and
//   neither a failed read or write of it nor another program came since;
//   the program's state shows exactly what the file holds for every setting
//   in step.  One not in step may lag behind the state (a write failed) or
//   show a default the file does not hold (its read failed).
// - A line of the reasons file that was there at start and that the program
//   never held in its list outlives every save; a save writes the list,
//   followed by nothing or by an unchanged tail of the file before it.
// - A password is typed only as it was read, never after a read that failed.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/ini.h"
#include "platform/sim/sim_platform.h"
#include "platform/text.h"

namespace qm::testing::schedule {

class Files {
public:
    struct Paths {
        std::string settings, reasons, password, userPassword;
    };

    Files(sim::SimPlatform& sim, std::mt19937& random, Paths paths, std::function<void(const std::string&)> note,
          std::function<void(const std::string&)> fail)
        : sim_(sim), random_(random), p_(std::move(paths)), note_(std::move(note)), fail_(std::move(fail)) {
        sim_.SetFileHook([this](sim::Op op, const std::string& path) { return Hook(op, path); });
    }

    // ---- The settings the state must agree with ----------------------------------
    // A setting, its value now the one it started with.
    void Track(const std::string& section, const std::string& key, std::set<std::string> always = {}) {
        Setting& s = settings_[Name(section, key)];
        s.section = section;
        s.key = key;
        s.allowed = std::move(always);
        s.allowed.insert(ini::Read(sim_.FileBytes(p_.settings).value_or(""), section, key, kBuffer));
    }
    // The user gave this answer to the prompt of that setting.
    void Chose(const std::string& section, const std::string& key, const std::string& value) {
        settings_[Name(section, key)].allowed.insert(value);
    }
    // What the file may hold for the setting.
    const std::set<std::string>& Allowed(const std::string& section, const std::string& key) {
        return settings_[Name(section, key)].allowed;
    }
    bool InStep(const std::string& section, const std::string& key) const {
        if (!outOfStep_) return true;
        auto it = settings_.find(Name(section, key));
        return it == settings_.end() || it->second.inStep;
    }
    // True once since a settings fault: the stored total may lag meanwhile.
    bool statsDirty = false;
    // Another program changed the stored total.
    bool statsReplaced = false;
    bool SettingsLocked() const { return spells_.count(Fold(p_.settings)) > 0; }

    // ---- The password -------------------------------------------------------------
    std::set<std::string> passwords;  // every one stored by anyone
    void PasswordSet(const std::string& answer) { passwords.insert(answer); }
    // This run's password where no file took it.
    std::optional<std::string> unstored;
    void StartSignOn() { passwordRead_.reset(); passwordReadFailed_ = false; }
    // The program types `text` into the sign-on window's password box.
    void Typed(const std::string& text) {
        if (unstored) {
            if (text != *unstored) fail_("typed \"" + text + "\", not this run's unstored password");
        } else if (passwordReadFailed_) {
            fail_("typed a password after its read failed: \"" + text + "\"");
        } else if (!passwordRead_) {
            fail_("typed a password never read: \"" + text + "\"");
        } else if (text != *passwordRead_) {
            fail_("typed \"" + text + "\", the stored password read \"" + *passwordRead_ + "\"");
        }
    }

    // ---- The reasons --------------------------------------------------------------
    void Held(const std::vector<std::string>& items) { held_.insert(items.begin(), items.end()); }
    std::set<std::string> reasons;  // every one any file held

    // ---- Breaking -------------------------------------------------------------------
    // Right before the program starts: a file's first reads may fail.
    void AtStart(bool broken) {
        if (broken) {
            ArmFail(p_.settings, sim::Op::GetProfileString, 1 + Below(30));
            if (Chance(0.5)) Lock(Pick({p_.settings, p_.reasons, p_.password}), Between(1, 60));
        }
        startLines_ = Lines(sim_.FileBytes(p_.reasons).value_or(""));
        reasons.insert(startLines_.begin(), startLines_.end());
    }
    int faults = 0;  // calls armed to fail, spells begun, files written anew
    // One thing goes wrong with one file.
    void Break() {
        const std::string path = Pick({p_.settings, p_.settings, p_.reasons, p_.password, p_.password});
        const int what = Below(10);
        if (what < 4) {
            static const sim::Op ops[] = {sim::Op::GetProfileString, sim::Op::WriteProfileString, sim::Op::ReadFile,
                                          sim::Op::WriteFile};
            ArmFail(path, ops[Below(4)]);
        } else if (what < 8) {
            Lock(path, Chance(0.2) ? Between(60, 400) : Between(1, 60));
        } else {
            Replace(path);
        }
    }

    // Another file of the program's: the n-th write or read of it from now
    // fails.
    void FailSoon(const std::string& path, sim::Op op) { ArmFail(path, op); }

    // ---- Checks, as the platform is called (the spy tells) --------------------------
    void BeforeCall() { failedNow_ = false; }
    void ProfileRead(const std::string& section, const std::string& key, const std::string& path) {
        const bool failed = failedNow_ || !Reads(path, static_cast<std::size_t>(-1));
        if (Fold(path) == Fold(p_.settings)) {
            if (failed) Fault("settings read [" + section + "] " + key);
            if (failed) OutOfStep(section, key);
        } else if (IsPassword(path) && failed) {
            passwordReadFailed_ = true;
        }
        if (IsPassword(path)) passwordRead_ = Truth();
    }
    void FileRead(const std::string& path, bool got) {
        if (got || !sim_.FileBytes(path)) return;
        if (Fold(path) == Fold(p_.settings)) Fault("settings file read");
        if (IsPassword(path)) passwordReadFailed_ = true;
    }
    void Wrote(const std::string& path, const std::string& section, const std::string& key, const std::string& value,
               bool ok, const std::optional<std::string>& before) {
        const std::optional<std::string> after = sim_.FileBytes(path);
        if (!ok) {
            if (after != before) fail_("a failed write to " + path + " changed the file");
            if (Fold(path) == Fold(p_.settings)) {
                Fault("settings write [" + section + "] " + key);
                OutOfStep(section, key);
            }
            return;
        }
        if (Fold(path) == Fold(p_.settings) && !section.empty()) {
            auto it = settings_.find(Name(section, key));
            if (it == settings_.end()) return;
            if (!it->second.allowed.count(value))
                fail_("wrote [" + section + "] " + key + "=\"" + value + "\", which the user never chose");
            SetInStep(it->second, true);
        } else if (Fold(path) == Fold(p_.reasons)) {
            SavedReasons(value, before.value_or(""));
        } else if (IsPassword(path)) {
            passwords.insert(ini::Read(after.value_or(""), "dcp", "password", kPasswordBuffer));
        }
    }
    // Every setting's value in the file is one the user chose.
    void CheckSettings(const std::string& file) {
        for (const auto& [name, s] : settings_) {
            const std::string value = ini::Read(file, s.section, s.key, kBuffer);
            if (!s.allowed.count(value))
                return fail_("the settings file holds [" + s.section + "] " + s.key + "=\"" + value +
                             "\", which the user never chose");
        }
    }
    std::string Describe() const {
        std::string out;
        for (const auto& [name, s] : settings_)
            if (!s.inStep) out += " " + s.section + "." + s.key;
        return out.empty() ? "" : "settings not in step:" + out;
    }

private:
    static constexpr std::size_t kBuffer = 750;
    static constexpr std::size_t kPasswordBuffer = 752;
    struct Setting {
        std::string section, key;
        std::set<std::string> allowed;
        bool inStep = true;
    };
    struct Arm {
        sim::Op op;
        std::string path;
        int left;
    };
    struct Spell {
        enum Kind { Locked, ReadOnly, Breaks } kind;
        std::size_t breaksAfter = 0;
    };

    double Between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool Chance(double p) { return Between(0, 1) < p; }
    std::string Pick(std::initializer_list<std::string> from) {
        return *(from.begin() + Below(static_cast<int>(from.size())));
    }
    static std::string Fold(const std::string& path) { return ToLowerAscii(path); }
    static std::string Name(const std::string& section, const std::string& key) {
        return ToLowerAscii(section) + "\n" + ToLowerAscii(key);
    }
    bool IsPassword(const std::string& path) const {
        return Fold(path) == Fold(p_.password) || Fold(path) == Fold(p_.userPassword);
    }
    void Fault(const std::string&) {
        statsDirty = true;
    }
    void OutOfStep(const std::string& section, const std::string& key) {
        auto it = settings_.find(Name(section, key));
        if (it != settings_.end()) SetInStep(it->second, false);
    }
    void SetInStep(Setting& s, bool inStep) {
        if (s.inStep != inStep) outOfStep_ += inStep ? -1 : 1;
        s.inStep = inStep;
    }
    // As the simulated platform reads a file, given the spells.
    bool Reads(const std::string& path, std::size_t maxBytes) const {
        const std::optional<std::string> bytes = sim_.FileBytes(path);
        if (!bytes) return true;  // none: reads as empty, as it should
        auto it = spells_.find(Fold(path));
        if (it == spells_.end()) return true;
        if (it->second.kind == Spell::Locked) return false;
        return it->second.kind != Spell::Breaks || std::min(maxBytes, bytes->size()) <= it->second.breaksAfter;
    }
    // The password the files hold, by the rule that the user's own copy is
    // the newer one.
    std::string Truth() const {
        if (const std::optional<std::string> own = sim_.FileBytes(p_.userPassword)) {
            const std::string v = ini::Read(*own, "dcp", "password", kPasswordBuffer);
            if (!v.empty()) return v;
        }
        return ini::Read(sim_.FileBytes(p_.password).value_or(""), "dcp", "password", kPasswordBuffer);
    }

    sim::Verdict Hook(sim::Op op, const std::string& path) {
        for (auto it = arms_.begin(); it != arms_.end(); ++it) {
            if (it->op != op || Fold(it->path) != Fold(path) || --it->left > 0) continue;
            arms_.erase(it);
            note_("    fails: op " + std::to_string(static_cast<int>(op)) + " on " + path);
            failedNow_ = true;
            return sim::Verdict::Fail;
        }
        return sim::Verdict::Proceed;
    }
    void ArmFail(const std::string& path, sim::Op op, int n = 0) {
        for (const Arm& a : arms_)
            if (Fold(a.path) == Fold(path)) return;  // one at a time per file
        if (!n) n = 1 + Below(8);
        ++faults;
        note_("file: call " + std::to_string(n) + " of op " + std::to_string(static_cast<int>(op)) + " on " + path +
              " will fail");
        arms_.push_back({op, path, n});
    }
    void Lock(const std::string& path, double seconds) {
        const std::optional<std::string> bytes = sim_.FileBytes(path);
        if (!bytes || spells_.count(Fold(path))) return;
        ++faults;
        Spell spell{static_cast<Spell::Kind>(Below(3))};
        sim::SimPlatform::FileFlags flags;
        if (spell.kind == Spell::Locked) flags.unreadable = true;
        if (spell.kind == Spell::ReadOnly) flags.readOnly = true;
        if (spell.kind == Spell::Breaks) flags.breaksAfter = spell.breaksAfter = static_cast<std::size_t>(Below(static_cast<int>(bytes->size()) + 1));
        static const char* const kinds[] = {"locked", "read-only", "breaking after " };
        note_("file: " + path + " " + kinds[spell.kind] +
              (spell.kind == Spell::Breaks ? std::to_string(spell.breaksAfter) + " bytes" : "") + " for " +
              std::to_string(seconds) + " s");
        sim_.SetFileFlags(path, flags);
        spells_[Fold(path)] = spell;
        if (Fold(path) == Fold(p_.settings)) statsDirty = true;
        sim_.Schedule(seconds, [this, path] {
            note_("file: " + path + " is itself again");
            spells_.erase(Fold(path));
            if (sim_.FileBytes(path)) sim_.SetFileFlags(path, {});
            if (Fold(path) == Fold(p_.settings)) statsDirty = true;
        });
    }
    std::string Junk(int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            char c = static_cast<char>(random_() & 0xff);
            if (c == '=' || c == '[') c = '#';
            out += c;
        }
        return out;
    }
    static std::vector<std::string> Lines(const std::string& bytes) {
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at < bytes.size()) {
            std::size_t end = bytes.find('\n', at);
            std::string line = bytes.substr(at, end == std::string::npos ? end : end - at);
            if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(line);
            at = end == std::string::npos ? bytes.size() : end + 1;
        }
        return out;
    }
    // Another program writes the file anew.
    void Replace(const std::string& path) {
        const std::optional<std::string> old = sim_.FileBytes(path);
        if (spells_.count(Fold(path))) return;
        ++faults;
        std::string bytes = old.value_or("");
        const int how = Below(8);
        if (how < 3) {
            bytes.resize(static_cast<std::size_t>(Below(static_cast<int>(bytes.size()) + 1)));
        } else if (how < 5) {
            bytes += "\r\n" + Junk(Below(300)) + "\r\n";
        } else if (how == 5) {
            bytes = ";" + std::string((std::size_t{1} << 20) + 4096, 'x') + "\r\n" + bytes;
        } else if (how == 6) {
            bytes = Junk(Below(300));
        } else if (IsPassword(path)) {
            bytes = "[dcp]\r\nPASSWORD=pw" + std::to_string(Below(10000)) + "\r\n";
        } else if (Fold(path) == Fold(p_.reasons)) {
            bytes = "someone's " + std::to_string(Below(100)) + "\r\nanother's\r\n";
        } else {
            bytes.resize(static_cast<std::size_t>(Below(static_cast<int>(bytes.size()) + 1)));
        }
        static const char* const hows[] = {"cut", "cut", "cut", "garbage after", "garbage after", "padded past 1 MB",
                                           "garbage", "another"};
        note_("file: another program writes " + path + " anew (" + hows[how] + ", " + std::to_string(bytes.size()) +
              " bytes)");
        sim_.SetFileBytes(path, bytes);
        if (Fold(path) == Fold(p_.settings)) {
            for (auto& [name, s] : settings_) {
                const std::string was = ini::Read(old.value_or(""), s.section, s.key, kBuffer);
                const std::string now = ini::Read(bytes, s.section, s.key, kBuffer);
                if (was == now) continue;
                s.allowed.insert(now);
                SetInStep(s, false);
            }
            for (const char* key : {"day", "hour", "minute"})
                if (ini::Read(old.value_or(""), "stats", key, kBuffer) != ini::Read(bytes, "stats", key, kBuffer))
                    statsReplaced = true;
            statsDirty = true;
        } else if (IsPassword(path)) {
            passwords.insert(ini::Read(bytes, "dcp", "password", kPasswordBuffer));
        } else {
            for (const std::string& line : Lines(bytes)) reasons.insert(line);
        }
    }
    // A save: the list, then nothing or an unchanged tail of the file
    // before; no line of the start the program never held is lost.
    void SavedReasons(const std::string& now, const std::string& before) {
        std::string list;
        for (const std::string& line : editorList()) list += line + "\r\n";
        if (now.compare(0, list.size(), list) != 0)
            return fail_("a reasons save wrote other than the list: \"" + now.substr(0, 60) + "\"");
        const std::string tail = now.substr(list.size());
        if (tail.size() > before.size() || before.compare(before.size() - tail.size(), tail.size(), tail) != 0)
            return fail_("a reasons save wrote a tail that was not the file's: \"" + tail.substr(0, 60) + "\"");
        const std::vector<std::string> after = Lines(now);
        const std::set<std::string> kept(after.begin(), after.end());
        const std::set<std::string> start(startLines_.begin(), startLines_.end());
        for (const std::string& line : Lines(before))
            if (start.count(line) && !held_.count(line) && !kept.count(line))
                return fail_("a reasons save lost the line \"" + line + "\", never in the program's list");
        reasons.insert(after.begin(), after.end());
    }

public:
    // The list the editor saves.
    std::function<std::vector<std::string>()> editorList;

private:
    sim::SimPlatform& sim_;
    std::mt19937& random_;
    const Paths p_;
    std::function<void(const std::string&)> note_, fail_;
    std::map<std::string, Setting> settings_;
    int outOfStep_ = 0;
    std::vector<Arm> arms_;
    std::map<std::string, Spell> spells_;
    bool failedNow_ = false;
    std::optional<std::string> passwordRead_;
    bool passwordReadFailed_ = false;
    std::set<std::string> held_;
    std::vector<std::string> startLines_;
};

}  // namespace qm::testing::schedule
