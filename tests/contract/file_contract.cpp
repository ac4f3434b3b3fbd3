// Files behave the same on every backend: a file exists when it is a plain
// one, is written whole and read up to a limit, and what cannot be named or
// opened reads as nothing and takes nothing.
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

using FileContract = ContractTest;

TEST_F(FileContract, FileExistsOnlyForAPlainOneInAnyLetterCase) {
    const std::string folder = NewFolder("exists");
    const std::tuple<const char*, const char*, FileKind, bool> files[] = {
        {"plain.rea", "x", FileKind::Plain, true},       {"empty.rea", "", FileKind::Plain, true},
        {"readonly.rea", "x", FileKind::ReadOnly, true}, {"hidden.rea", "x", FileKind::Hidden, false},
        {"system.rea", "x", FileKind::System, false},    {"folder.rea", "", FileKind::Folder, false}};
    for (auto [name, bytes, kind, exists] : files)
        EXPECT_EQ(p.FileExists(MakeFile(folder + "\\" + name, bytes, kind)), exists) << name;
    EXPECT_TRUE(p.FileExists(folder + "\\PLAIN.Rea"));
    for (const std::string& path : {folder + "\\missing.rea", folder + "\\no such folder\\plain.rea", std::string()})
        EXPECT_FALSE(p.FileExists(path)) << path;
}

TEST_F(FileContract, FilesAreWrittenWholeAndReadUpToALimit) {
    const std::string folder = NewFolder("whole");
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    const std::string path = folder + "\\bytes.dat", big(200000, 'L');  // more than one chunk either way
    for (const std::string& written : {big, bytes, std::string()}) {  // each shorter than the one before
        ASSERT_TRUE(p.WriteFile(path, written));
        EXPECT_EQ(p.ReadFile(path, 1 << 20), written);
        for (std::size_t cut : {100000u, 10u, 0u}) EXPECT_EQ(p.ReadFile(path, cut), written.substr(0, cut)) << cut;
    }
    // A hidden file is rewritten, as the profile functions do.
    const std::string hidden = MakeFile(folder + "\\hidden.pws", "old", FileKind::Hidden);
    EXPECT_TRUE(p.WriteFile(hidden, "new"));
    EXPECT_EQ(p.ReadFile(hidden, 100), "new");
    EXPECT_FALSE(p.FileExists(hidden));
}

TEST_F(FileContract, WhatCannotBeNamedOrOpenedIsNothingAndTakesNothing) {
    const std::string folder = NewFolder("nothing");
    const std::string locked = MakeFile(folder + "\\locked.dat", "old", FileKind::ReadOnly),
                      aFolder = MakeFile(folder + "\\a folder", "", FileKind::Folder),
                      missing = folder + "\\missing.dat", noFolder = folder + "\\no such folder\\x.dat";
    for (const std::string& path : {missing, noFolder, aFolder, std::string()})
        EXPECT_EQ(p.ReadFile(path, 100), std::nullopt) << path;
    for (const std::string& path : {noFolder, locked, aFolder, std::string()})
        EXPECT_FALSE(p.WriteFile(path, "new")) << path;
    EXPECT_EQ(p.ReadFile(locked, 100), "old");
    EXPECT_FALSE(p.FileExists(noFolder));
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", ""));  // no path would mean the Windows folder
    EXPECT_EQ(p.GetProfileString("s", "k", "", 100), "");
}

// A file another program has open, sharing nothing or reading it: a write
// is all or nothing.  It fails, the old bytes stay whole (never cut or
// emptied), nothing else is left in the folder; once the file is let go it
// is written as ever.
TEST_F(FileContract, WriteThatFailsLeavesTheOldFileWholeAndNothingBeside) {
    const std::string old = std::string(300, 'o') + "\r\n";
    const std::string big(200000, 'n');  // more than one chunk
    for (Hold how : {Hold::Locked, Hold::InUse}) {
        const char* label = how == Hold::Locked ? "locked" : "in use";
        const std::string folder = NewFolder("held");
        const std::string path = MakeFile(folder + "\\quillmoor.rea", old);
        HoldFile(path, how);
        EXPECT_EQ(p.ReadFile(path, 1 << 20), how == Hold::Locked ? std::nullopt : std::optional(old)) << label;
        EXPECT_FALSE(p.WriteFile(path, big)) << label;
        EXPECT_FALSE(p.WriteFile(path, "short")) << label;
        EXPECT_FALSE(p.DeleteFile(path)) << label;
        EXPECT_TRUE(p.FileExists(path)) << label;
        ReleaseFile(path);
        EXPECT_EQ(p.ReadFile(path, 1 << 20), old) << label;
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"quillmoor.rea"}) << label;
        EXPECT_TRUE(p.WriteFile(path, big)) << label;
        EXPECT_EQ(p.ReadFile(path, 1 << 20), big) << label;
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"quillmoor.rea"}) << label;
    }
}

// A hidden or system file rewritten stays hidden or system (and so is still
// no plain file); the folder holds it alone.
TEST_F(FileContract, RewrittenFileKeepsBeingHiddenOrSystem) {
    for (FileKind kind : {FileKind::Hidden, FileKind::System}) {
        const std::string folder = NewFolder("kept");
        const std::string path = MakeFile(folder + "\\quillmoor.pws", "old", kind);
        EXPECT_TRUE(p.WriteFile(path, "new"));
        EXPECT_EQ(p.ReadFile(path, 100), "new");
        EXPECT_FALSE(p.FileExists(path)) << (kind == FileKind::Hidden ? "hidden" : "system");
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"quillmoor.pws"});
    }
}

// Windows' "A" functions would cut a name at a zero byte inside and so reach
// another file: such a name names nothing.
TEST_F(FileContract, PathWithAZeroByteInsideNamesNothing) {
    const std::string real = MakeFile(NewFolder("zero") + "\\real.dat", "content", FileKind::Plain);
    const std::string cut = real + std::string(1, '\0') + ".txt";  // names real.dat if cut at the zero
    EXPECT_EQ(p.ReadFile(cut, 100), std::nullopt);
    EXPECT_FALSE(p.WriteFile(cut, "new"));
    EXPECT_FALSE(p.FileExists(cut));
    EXPECT_FALSE(p.DeleteFile(cut));
    EXPECT_FALSE(p.CreateFolder(cut));
    EXPECT_FALSE(p.WriteProfileString("s", "k", "v", cut));
    EXPECT_EQ(p.GetProfileString("s", "k", cut, 100), "");
    EXPECT_EQ(p.ReadFile(real, 100), "content");
}

TEST_F(FileContract, FoldersAreMadeWithTheFoldersAboveAndOnlyAFileIsDeleted) {
    const std::string folder = NewFolder("folders");
    const std::string plain = MakeFile(folder + "\\plain.dat", "x");
    EXPECT_TRUE(p.CreateFolder(folder + "\\a\\b\\c"));
    EXPECT_TRUE(p.CreateFolder(folder + "\\a\\b"));  // already there
    EXPECT_TRUE(p.WriteFile(folder + "\\a\\b\\c\\made.dat", "m"));
    EXPECT_FALSE(p.CreateFolder(plain));
    EXPECT_FALSE(p.CreateFolder(""));
    EXPECT_TRUE(p.DeleteFile(plain));
    EXPECT_EQ(std::tuple(p.FileExists(plain), p.ReadFile(plain, 10)), std::tuple(false, std::optional<std::string>()));
    for (const std::string& path : {plain, folder + "\\a", std::string()}) EXPECT_FALSE(p.DeleteFile(path)) << path;
    EXPECT_TRUE(p.WriteFile(folder + "\\a\\b\\c\\made.dat", "again"));
}

}  // namespace
}  // namespace qm::contract
