// The three files in every shape a disk can leave them: huge, binary, cut off
// mid-line, read-only, locked by another program (unreadable, or breaking
// midway through a read) and a folder in the file's place.  Start-up always
// succeeds and shows what could be read; nothing the user stored is lost to
// start-up or to the commands that write; a write that fails leaves the old
// bytes as they were.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dcp/password.h"
#include "reasons/reasons_file.h"
#include "tests/program_fixture.h"

namespace qm::testing {
namespace {

using Flags = sim::SimPlatform::FileFlags;

const std::string kSystemFolder = "C:\\WINDOWS\\SYSTEM";
const std::string kPasswordFile = kSystemFolder + "\\quillmoor.pws";
const std::string kUserFolder = "C:\\Users\\joe\\AppData\\Roaming";
const std::string kUserPasswordFile = kUserFolder + "\\quillmoor\\quillmoor.pws";

// Every byte value once, NUL first.
std::string AllBytes() {
    std::string out;
    for (int b = 0; b < 256; ++b) out += static_cast<char>(b);
    return out;
}
// The same without the line ends, so that it stays one line.
std::string AllBytesButLineEnds() {
    std::string out;
    for (char c : AllBytes())
        if (c != '\r' && c != '\n') out += c;
    return out;
}
// Several MB of comment lines, past the reasons reader's 8 MB.
std::string Padding() {
    const std::string line = "; " + std::string(1000, 'p') + "\r\n";
    std::string out;
    out.reserve((reasons::kMaxFileBytes / line.size() + 2) * line.size());
    while (out.size() <= reasons::kMaxFileBytes) out += line;
    return out;
}
const std::string& Huge() {
    static const std::string padding = Padding();
    return padding;
}

// `bytes` with its one `from` replaced by `to`.
std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(bytes.find(from, at + 1), std::string::npos) << from;
    return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
}

// A file's shape: its bytes and flags, and whether its values can be read
// and a write can go through.
struct Shape {
    const char* name;
    std::string bytes;
    Flags flags;
    bool readable, writable;
};

// The shapes of one file whose entries are `body` (whole lines): `cut` is a
// prefix of `body` ending mid-line; `breaks` a read that fails this far in.
std::vector<Shape> Shapes(const std::string& body, const std::string& cut, std::size_t breaks) {
    return {
        {"huge", body + Huge(), {}, true, true},
        {"binary", body + AllBytes(), {}, true, true},
        {"truncated", cut, {}, true, true},
        {"read-only", body, {.readOnly = true}, true, false},
        {"unreadable", body, {.unreadable = true}, false, false},
        {"breaks midway", body + Huge(), {.breaksAfter = breaks}, false, false},
        {"folder", "", {.folder = true}, false, false},
    };
}

class Files : public ::testing::Test {};

// ---- settings ------------------------------------------------------------

const std::string kSettingsBody = kDecorations + "[interval]\r\ninterval=5\r\n[stats]\r\nminute=3\r\nhour=2\r\nday=1\r\n";

std::vector<Shape> SettingsShapes() {
    std::vector<Shape> shapes = Shapes(kSettingsBody, kSettingsBody + "[upchat]\r\nauto upch", 100);
    // Cut inside the stats section: "hou" is no entry, so the hour and day
    // read as none and the tick adds them empty after the cut line, kept.
    shapes.push_back({"truncated mid-entry", kDecorations + "[interval]\r\ninterval=5\r\n[stats]\r\nminute=3\r\nhou",
                      {}, true, true});
    return shapes;
}

// The file at `path` in this shape beside a client signed on in Lobby: the
// program starts, shows its window and posts both entry lines.
void StartWith(World& w, const std::string& path, const Shape& shape) {
    w.Client();
    if (path != kSettings) w.sim.SetFileBytes(kSettings, kDecorations);
    w.sim.SetFileBytes(path, shape.bytes);
    w.sim.SetFileFlags(path, shape.flags);
    ASSERT_TRUE(w.program.Start()) << shape.name;
    EXPECT_TRUE(w.sim.Visible(w.sim.MainWindow())) << shape.name;
    EXPECT_EQ(w.client.Transcript("Lobby").size(), 2u) << shape.name;
}

// A setting command writes its one entry; the idle tick its minute (hour
// and day rewritten as they were).  A file that cannot be read keeps its
// bytes through both.
TEST_F(Files, SettingsStartShowWhatReadsAndKeepAllButTheEntryWritten) {
    for (const Shape& shape : SettingsShapes()) {
        World w;
        StartWith(w, kSettings, shape);
        w.entryLines = w.client.Transcript("Lobby").size();
        ASSERT_EQ(w.entryLines, 2u) << shape.name;
        const std::string entry2 = w.client.Transcript("Lobby")[1];
        const bool wholeTotal = shape.readable && std::string(shape.name) != "truncated mid-entry";
        EXPECT_NE(entry2.find(wholeTotal ? Dhm("1", "2", "3") : shape.readable ? Dhm("0", "0", "3") : Dhm("0", "0", "0")),
                  std::string::npos)
            << shape.name << ": " << entry2;
        EXPECT_EQ(w.form.lblInterval, shape.readable ? "5" : "1") << shape.name;
        EXPECT_EQ(w.menus.Item("interval").caption, shape.readable ? "interval: 5" : "interval: 1") << shape.name;
        EXPECT_EQ(w.sim.FileBytes(kSettings), shape.bytes) << shape.name << ": start-up wrote";

        w.Answer("interval", "7");
        w.IdleOn();
        w.Minutes(1);
        std::string expected = shape.bytes;
        if (shape.writable) {
            expected = Replaced(expected, "interval=5", "interval=7");
            if (std::string(shape.name) == "truncated mid-entry")
                expected = Replaced(expected, "minute=3\r\nhou", "minute=4\r\nhou\r\nHOUR=\r\nDAY=\r\n");
            else
                expected = Replaced(expected, "minute=3", "minute=4");
        }
        EXPECT_TRUE(w.sim.FileBytes(kSettings) == expected) << shape.name << ": the file is now\n"
                                                           << w.sim.FileBytes(kSettings).value_or("(none)").substr(0, 400);
        EXPECT_EQ(w.form.lblInterval, "7") << shape.name << ": the command takes even where the file does not";
    }
}

// ---- reasons ---------------------------------------------------------------

const std::string kReasonsBody = "first\r\nsecond\r\n" + AllBytesButLineEnds() + "\r\n";

std::vector<Shape> ReasonsShapes() {
    std::vector<Shape> shapes = Shapes(kReasonsBody, kReasonsBody + "thi", 70000);
    shapes[1].bytes = kReasonsBody;  // binary: the body's third line holds every byte value but the line ends
    return shapes;
}

// What the list takes of each shape, in order.
Texts ReasonsRead(const Shape& shape) {
    const std::string name = shape.name;
    Texts read = {"first", "second", AllBytesButLineEnds()};
    if (name == "truncated") read.push_back("thi");
    if (name == "huge") read.push_back("; " + std::string(1000, 'p'));  // the padding lines, up to 8 MB
    if (name == "breaks midway") read.push_back("; " + std::string(1000, 'p'));
    if (!shape.readable && name != "breaks midway") read.clear();
    return read;
}

// "done edit" with nothing changed gives back the file's bytes (a last line
// gets its line end); with a reason added only that goes in, after the part
// of the file the list took.  A list that did not take a file it could not
// read whole writes nothing.
TEST_F(Files, ReasonsStartWithWhatReadsAndDoneEditKeepsTheRest) {
    for (const Shape& shape : ReasonsShapes()) {
        World w;
        StartWith(w, kReasonsFile, shape);
        const Texts items = w.form.List1.Items();
        const Texts read = ReasonsRead(shape);
        const std::string name = shape.name;
        if (name == "huge" || name == "breaks midway") {
            ASSERT_GE(items.size(), 4u) << shape.name;
            EXPECT_EQ(Texts(items.begin(), items.begin() + 4), read) << shape.name;
            for (const std::string& item : items)
                ASSERT_TRUE(item.size() < 1100) << shape.name << ": a part line was taken";
        } else {
            EXPECT_TRUE(items == read) << shape.name << ": " << items.size() << " reasons";
        }
        EXPECT_EQ(w.sim.FileBytes(kReasonsFile), shape.bytes) << shape.name << ": start-up wrote";

        w.Choose({"idle options", "edit reasons"});
        w.ChooseOption("done edit");
        std::string expected = shape.bytes;
        if (shape.writable && name == "truncated") expected += "\r\n";
        EXPECT_TRUE(w.sim.FileBytes(kReasonsFile) == expected) << shape.name << ": done edit, nothing changed";

        w.Choose({"idle options", "edit reasons"});
        w.Answer("addareason", "added");
        w.ChooseOption("done edit");
        if (shape.writable) {
            std::size_t listPart = 0;
            for (const std::string& item : items) listPart += item.size() + 2;
            expected.insert(listPart, "added\r\n");
        }
        EXPECT_TRUE(w.sim.FileBytes(kReasonsFile) == expected)
            << shape.name << ": done edit, one added; now "
            << w.sim.FileBytes(kReasonsFile).value_or("(none)").size() << " bytes, expected " << expected.size();
        EXPECT_EQ(w.form.List1.Items().back(), "added") << shape.name << ": the list is in use where the file is not";
    }
}

// ---- password --------------------------------------------------------------

const std::string kPwsBody = "[dcp]\r\nPASSWORD=\"old\"\r\n";

// The password a file of that shape gives: unknown when it does not read, and
// none where a folder stands.
std::optional<std::string> Known(const Shape& shape, const std::string& password) {
    if (shape.flags.folder) return "";
    return shape.readable ? std::optional<std::string>(password) : std::nullopt;
}

// The password file in the system folder in each shape: one that takes the
// write has only its password changed; one that does not keeps its bytes and
// the user's own copy takes it, read from then on.
TEST_F(Files, PasswordFileKeepsAllButThePasswordOrTheUsersCopyTakesIt) {
    for (const Shape& shape : Shapes(kPwsBody, "[dcp]\r\nPASSWORD=\"ol", 10)) {
        World w;
        w.sim.SetUserDataFolder(kUserFolder);
        StartWith(w, kPasswordFile, shape);
        const std::string name = shape.name;
        EXPECT_EQ(w.program.protection.Password(),
                  Known(shape, name == "truncated" ? "\"ol" : "old"))
            << shape.name;
        EXPECT_TRUE(w.sim.FileBytes(kPasswordFile) == shape.bytes) << shape.name << ": start-up wrote";

        w.Answer("setpassword", "new");
        if (shape.writable) {
            const std::string from = name == "truncated" ? "PASSWORD=\"ol" : "PASSWORD=\"old\"";
            EXPECT_TRUE(w.sim.FileBytes(kPasswordFile) == Replaced(shape.bytes, from, "PASSWORD=\"new\""))
                << shape.name << ": " << w.sim.FileBytes(kPasswordFile).value_or("(none)").substr(0, 100);
            EXPECT_EQ(w.sim.FileBytes(kUserPasswordFile), std::nullopt) << shape.name;
        } else {
            EXPECT_TRUE(w.sim.FileBytes(kPasswordFile) == shape.bytes) << shape.name << ": a failed write changed it";
            EXPECT_EQ(w.sim.FileBytes(kUserPasswordFile), "[dcp]\r\nPASSWORD=\"new\"\r\n") << shape.name;
        }
        EXPECT_TRUE(w.sim.MessageBoxes().empty()) << shape.name;
        EXPECT_EQ(w.program.protection.Password(), "new") << shape.name;
        EXPECT_EQ(dcp::ReadPassword(w.sim), "new") << shape.name << ": stored";
    }
}

// The user's own copy in each shape, the system folder refusing every write:
// a copy that takes the write has only its password changed; one that does
// not keeps its bytes, and the password is used for this run.
TEST_F(Files, UsersPasswordCopyKeepsAllButThePasswordOrItsBytes) {
    for (const Shape& shape : Shapes(kPwsBody, "[dcp]\r\nPASSWORD=\"ol", 10)) {
        World w;
        w.sim.SetUserDataFolder(kUserFolder);
        w.sim.RemoveFolder(kSystemFolder);
        StartWith(w, kUserPasswordFile, shape);
        const std::string name = shape.name;
        EXPECT_EQ(w.program.protection.Password(),
                  Known(shape, name == "truncated" ? "\"ol" : "old"))
            << shape.name;

        w.Answer("setpassword", "new");
        if (shape.writable) {
            const std::string from = name == "truncated" ? "PASSWORD=\"ol" : "PASSWORD=\"old\"";
            EXPECT_TRUE(w.sim.FileBytes(kUserPasswordFile) == Replaced(shape.bytes, from, "PASSWORD=\"new\""))
                << shape.name;
            EXPECT_TRUE(w.sim.MessageBoxes().empty()) << shape.name;
        } else {
            EXPECT_TRUE(w.sim.FileBytes(kUserPasswordFile) == shape.bytes) << shape.name << ": a failed write changed it";
            ASSERT_EQ(w.sim.MessageBoxes().size(), 1u) << shape.name;
            EXPECT_EQ(w.sim.MessageBoxes()[0].text, "the password could not be saved; it is used until quillmoor ends.");
        }
        EXPECT_EQ(w.sim.FileBytes(kPasswordFile), std::nullopt) << shape.name;
        EXPECT_EQ(w.program.protection.Password(), "new") << shape.name;
    }
}

}  // namespace
}  // namespace qm::testing

namespace qm::testing {
namespace {

// Values past the reader's 749 bytes: the label takes what fits, and the
// idle tick, which advances only the minute, leaves the hour and the day it
// could not read whole as they are.
TEST_F(Files, SettingsValuesPastTheReadersLimitAreShownCutAndKeptWhole) {
    World w;
    w.Client();
    const std::string interval(800, '5'), day(1000, '1');
    const std::string bytes =
        kDecorations + "[interval]\r\ninterval=" + interval + "\r\n[stats]\r\nminute=3\r\nhour=2\r\nday=" + day + "\r\n";
    w.sim.SetFileBytes(kSettings, bytes);
    ASSERT_TRUE(w.program.Start());
    EXPECT_EQ(w.client.Transcript("Lobby").size(), 2u);
    EXPECT_EQ(w.form.lblInterval, interval.substr(0, kSettingBufferSize - 1));
    w.IdleOn();
    w.Minutes(1);
    EXPECT_TRUE(w.sim.FileBytes(kSettings) == Replaced(bytes, "minute=3", "minute=4"))
        << "the day is now " << w.Stored("day").size() << " bytes";
}

// Reasons past the list's 32767, and a file that is one line past the
// reader's limit: the list takes what fits, "done edit" keeps the rest.
TEST_F(Files, ReasonsPastTheListOrTheReaderAreKeptByDoneEdit) {
    std::string many;
    for (int i = 0; i < ReasonList::kMaxCount + 100; ++i) many += "r" + std::to_string(i) + "\r\n";
    const std::string oneLine = "first\r\n" + std::string(reasons::kMaxFileBytes + 10, '\0');
    const struct {
        const char* name;
        const std::string& bytes;
        int count;
    } cases[] = {{"many", many, ReasonList::kMaxCount}, {"one line past the limit", oneLine, 1}};
    for (const auto& c : cases) {
        World w;
        w.Client();
        w.sim.SetFileBytes(kSettings, kDecorations);
        w.sim.SetFileBytes(kReasonsFile, c.bytes);
        ASSERT_TRUE(w.program.Start()) << c.name;
        EXPECT_EQ(w.client.Transcript("Lobby").size(), 2u) << c.name;
        EXPECT_EQ(w.form.List1.ListCount(), c.count) << c.name;
        EXPECT_EQ(w.form.List1.List(0), c.count == 1 ? "first" : "r0") << c.name;
        w.Choose({"idle options", "edit reasons"});
        w.sim.EditorModel()->Select(0);
        w.ChooseOption("delete a reason");
        w.ChooseOption("done edit");
        const std::string expected = c.bytes.substr(c.bytes.find('\n') + 1);
        EXPECT_TRUE(w.sim.FileBytes(kReasonsFile) == expected)
            << c.name << ": " << w.sim.FileBytes(kReasonsFile).value_or("(none)").size() << " bytes, expected "
            << expected.size();
    }
}

// A hidden or system reasons file is still the user's: its reasons are not
// lost to the first "done edit".  Either sound outcome passes: the file read
// at start-up and the reason added after its lines, or the file left alone.
TEST_F(Files, ReasonsFileHiddenOrSystemIsNotOverwrittenByDoneEdit) {
    const std::string bytes = "first\r\nsecond\r\n";
    for (const Flags flags : {Flags{.hidden = true}, Flags{.system = true}}) {
        World w;
        w.Client();
        w.sim.SetFileBytes(kSettings, kDecorations);
        w.sim.SetFileBytes(kReasonsFile, bytes);
        w.sim.SetFileFlags(kReasonsFile, flags);
        ASSERT_TRUE(w.program.Start());
        w.Choose({"idle options", "edit reasons"});
        w.Answer("addareason", "added");
        w.ChooseOption("done edit");
        const Texts items = w.form.List1.Items();
        const std::string file = w.sim.FileBytes(kReasonsFile).value_or("(none)");
        EXPECT_TRUE(file == bytes || file == bytes + "added\r\n")
            << (flags.hidden ? "hidden" : "system") << ": now \"" << file << "\"";
        EXPECT_EQ(items.back(), "added");
    }
}

// The user's own copy is the newer password whenever it exists; one locked
// by another program is unknown, and the older one in the system folder is
// not typed in its place.
TEST_F(Files, LockedUsersPasswordCopyDoesNotBringBackTheOlderOne) {
    for (const Flags flags : {Flags{.unreadable = true}, Flags{.breaksAfter = 10}}) {
        World w;
        w.sim.SetUserDataFolder(kUserFolder);
        w.Client();
        w.sim.SetFileBytes(kSettings, kDecorations);
        w.sim.SetFileBytes(kPasswordFile, kPwsBody);
        w.sim.SetFileBytes(kUserPasswordFile, "[dcp]\r\nPASSWORD=\"newer\"\r\n");
        w.sim.SetFileFlags(kUserPasswordFile, flags);
        ASSERT_TRUE(w.program.Start());
        EXPECT_EQ(w.program.protection.Password(), std::nullopt) << (flags.unreadable ? "unreadable" : "breaks");
    }
}

// A settings file locked for a while holds the stored total back, never
// resets it: once it reads again, the minutes counted meanwhile go onto the
// total it holds.
void LockedForTwoMinutes(const Flags& locked) {
    World w;
    w.Client();
    w.sim.SetFileBytes(kSettings, kSettingsBody);
    ASSERT_TRUE(w.program.Start());
    w.IdleOn();
    w.sim.SetFileFlags(kSettings, locked);
    w.Minutes(2);
    EXPECT_TRUE(w.sim.FileBytes(kSettings) == kSettingsBody);
    w.sim.SetFileFlags(kSettings, {});
    w.Minutes(1);
    EXPECT_TRUE(w.sim.FileBytes(kSettings) == Replaced(kSettingsBody, "minute=3", "minute=6"))
        << w.sim.FileBytes(kSettings).value_or("(none)");
}

TEST_F(Files, SettingsUnreadableForAWhileKeepTheStoredTotal) { LockedForTwoMinutes({.unreadable = true}); }

// Every read breaking (a range locked by another program): the three entries
// would read as "" alike.
TEST_F(Files, SettingsWhoseReadsBreakForAWhileKeepTheStoredTotal) {
    LockedForTwoMinutes({.breaksAfter = 10});
}

}  // namespace
}  // namespace qm::testing
