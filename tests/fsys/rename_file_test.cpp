#include "fsys/file_failure.h"
#include "fsys/posix/system_calls.h"
#include "fsys/rename_file.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>
#include <utility>

namespace quillmark {
namespace {

using test::readFile;
using test::SystemCallFault;
using test::TempFolder;

FileFailureCode renameCode(const std::string& source, const std::string& prefix,
                           std::string_view name, std::string* description = nullptr) {
    try {
        renameWithoutReplacing(source, prefix, name);
    } catch (const FileFailure& failure) {
        if (description != nullptr) {
            *description = failure.description();
        }
        return failure.code();
    }
    return FileFailureCode::None;
}

class RenameFile : public ::testing::Test {
protected:
    TempFolder folder;
    std::string prefix = folder.path() + "/";
};

TEST_F(RenameFile, MovesTheFileUnchanged) {
    const std::string source = folder.write("old.z64", "rom bytes");
    EXPECT_EQ(renameCode(source, prefix, "Game (USA).v64"), FileFailureCode::None);
    EXPECT_EQ(folder.snapshot(),
              (std::map<std::string, std::string>{{"Game (USA).v64", "rom bytes"}}));
}

TEST_F(RenameFile, ExistingTargetIsNeverReplaced) {
    const std::string source = folder.write("a.v64", "first");
    folder.write("b.v64", "second");
    EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::FileAlreadyExists);
    const std::map<std::string, std::string> expected{{"a.v64", "first"}, {"b.v64", "second"}};
    EXPECT_EQ(folder.snapshot(), expected);

    // The same holds on the fallback paths for file systems without a no-replace rename.
    {
        SystemCallFault noRenameat2(SystemCallFault::Call::RenameNoReplace, EINVAL);
        EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::FileAlreadyExists);
        EXPECT_EQ(folder.snapshot(), expected);
        SystemCallFault noLinks(SystemCallFault::Call::Link, EPERM);
        EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::FileAlreadyExists);
        EXPECT_EQ(folder.snapshot(), expected);
    }
}

TEST_F(RenameFile, FallbacksStillRename) {
    const std::string source = folder.write("a.v64", "data");
    {
        SystemCallFault noRenameat2(SystemCallFault::Call::RenameNoReplace, ENOSYS);
        EXPECT_EQ(renameCode(source, prefix, "linked.v64"), FileFailureCode::None);
        SystemCallFault noLinks(SystemCallFault::Call::Link, EOPNOTSUPP);
        EXPECT_EQ(renameCode(folder.file("linked.v64"), prefix, "checked.v64"),
                  FileFailureCode::None);
    }
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"checked.v64", "data"}}));
}

// A rival's rename to the same name, made while the first one is under way.
struct {
    std::string source, prefix;
    FileFailureCode code;
} rival;

TEST_F(RenameFile, RivalRenamesOnTheLastResortPathKeepBothFiles) {
    const std::string source = folder.write("a.v64", "first");
    rival = {folder.write("b.v64", "second"), prefix, FileFailureCode::None};
    SystemCallFault noRenameat2(SystemCallFault::Call::RenameNoReplace, EINVAL);
    SystemCallFault noLinks(SystemCallFault::Call::Link, EPERM);
    systemCalls().renameReplacing = [](const char* from, const char* to) {
        if (const std::string other = std::exchange(rival.source, ""); !other.empty()) {
            rival.code = renameCode(other, rival.prefix, "Game (USA).v64");
        }
        return realSystemCalls().renameReplacing(from, to);
    };
    EXPECT_EQ(renameCode(source, prefix, "Game (USA).v64"), FileFailureCode::None);
    EXPECT_EQ(rival.code, FileFailureCode::FileAlreadyExists);
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"Game (USA).v64", "first"},
                                                                     {"b.v64", "second"}}));
}

// Another program at work on the claimed name while the last-resort path
// holds it: its act runs once, right after the claim is made or right before
// the rename goes over it (a copy, a move, the source moved away too).
struct {
    std::function<void()> atClaim, atRename;
} claimRival;
void actOnce(std::function<void()>& act) {
    if (act) {
        std::exchange(act, nullptr)();
    }
}

TEST_F(RenameFile, WhatAnotherProgramPutsUnderTheClaimedNameIsKept) {
    const std::string source = folder.file("a.v64"), target = folder.file("Game.v64");
    const auto cp = [&] { std::ofstream(target, std::ios::trunc) << "theirs"; };
    const auto mv = [&] { std::filesystem::rename(folder.write("other", "theirs"), target); };
    const auto moveAway = [&] { std::filesystem::rename(source, source + ".moved"), cp(); };
    using Files = std::map<std::string, std::string>;
    const Files kept{{"a.v64", "first"}, {"Game.v64", "theirs"}};
    const Files moved{{"a.v64.moved", "first"}, {"Game.v64", "theirs"}};
    const std::tuple<bool, std::function<void()>, FileFailureCode, Files> cases[] = {
        {false, cp, FileFailureCode::FileAlreadyExists, kept},
        {false, mv, FileFailureCode::FileAlreadyExists, kept},
        {false, moveAway, FileFailureCode::FileAlreadyExists, moved},
        {true, cp, FileFailureCode::FileAlreadyExists, kept},
        {true, moveAway, FileFailureCode::FileNotFound, moved},
    };
    SystemCallFault noRenameat2(SystemCallFault::Call::RenameNoReplace, EINVAL);
    SystemCallFault noLinks(SystemCallFault::Call::Link, EPERM);
    systemCalls().createExclusive = [](const char* path) {
        const int fd = realSystemCalls().createExclusive(path);
        return actOnce(claimRival.atClaim), fd;
    };
    systemCalls().renameReplacing = [](const char* from, const char* to) {
        return actOnce(claimRival.atRename), realSystemCalls().renameReplacing(from, to);
    };
    for (const auto& [atRename, act, code, after] : cases) {
        std::filesystem::remove_all(folder.path()),
            std::filesystem::create_directory(folder.path());
        folder.write("a.v64", "first");
        (atRename ? claimRival.atRename : claimRival.atClaim) = act;
        EXPECT_EQ(renameCode(source, prefix, "Game.v64"), code) << atRename;
        EXPECT_EQ(folder.snapshot(), after) << atRename;
    }
}

TEST_F(RenameFile, AClaimThatAKillLeftIsTakenOverButAnEmptyFileOfTheUserIsNot) {
    using Call = SystemCallFault::Call;
    // Left as kills leave them: marked, or unmarked with the file that tells
    // whose it is beside it; neither renamed over nor removed.
    for (const bool marked : {true, false}) {
        const std::string source = folder.write("a.v64", "data");
        {
            SystemCallFault noRenameat2(Call::RenameNoReplace, EINVAL), noLinks(Call::Link, EPERM);
            SystemCallFault stopped(Call::RenameReplacing, EIO),
                notRemoved(Call::Unlink, EIO, marked),
                notMarked(Call::Futimens, EIO, 0, marked ? 0 : -1);
            EXPECT_EQ(renameCode(source, prefix, "Game.v64"), FileFailureCode::DeviceIoError);
        }
        ASSERT_EQ(folder.snapshot().size(), marked ? 2u : 3u);
        EXPECT_EQ(renameCode(source, prefix, "Game.v64"), FileFailureCode::None);
        EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"Game.v64", "data"}}));
        std::filesystem::remove(folder.file("Game.v64"));
    }
    folder.write("Empty.v64", "");
    EXPECT_EQ(renameCode(folder.write("b.v64", "more"), prefix, "Empty.v64"),
              FileFailureCode::FileAlreadyExists);
    EXPECT_EQ(folder.snapshot(),
              (std::map<std::string, std::string>{{"Empty.v64", ""}, {"b.v64", "more"}}));
}

TEST_F(RenameFile, FallbackCallsThatFailOnceOrAreInterrupted) {
    using Call = SystemCallFault::Call;
    // 1: no no-replace rename; 2: no hard links either. A failure removes the
    // link or the claim made so far; an interrupted call is made again.
    const std::pair<int, Call> calls[] = {{0, Call::RenameNoReplace},
                                          {1, Call::Link},
                                          {1, Call::Unlink},
                                          {2, Call::CreateExclusive},
                                          {2, Call::RenameReplacing}};
    std::string name = "a.v64";
    folder.write(name, "data");
    for (const int err : {EACCES, EINTR}) {
        for (const auto& [fallback, call] : calls) {
            using Fault = std::optional<SystemCallFault>;
            const Fault noRenameat2 =
                fallback > 0 ? Fault(std::in_place, Call::RenameNoReplace, EINVAL) : std::nullopt;
            const Fault noLinks =
                fallback > 1 ? Fault(std::in_place, Call::Link, EPERM) : std::nullopt;
            SystemCallFault fault(call, err, 0, 1);
            const std::string next = name == "a.v64" ? "b.v64" : "a.v64";
            const FileFailureCode code = renameCode(folder.file(name), prefix, next);
            EXPECT_EQ(code,
                      err == EINTR ? FileFailureCode::None : FileFailureCode::PermissionDenied)
                << fallback << " " << err;
            name = code == FileFailureCode::None ? next : name;
            EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{name, "data"}}));
        }
    }
}

TEST_F(RenameFile, AnInterruptedLinkAndUnlinkIsFinished) {
    // A kill between link and unlink leaves the file under both names; the
    // longest name a folder takes still leaves room for the temporary name.
    folder.write("b.z64", "other");
    std::string longest; // of 2-byte characters: the cut must not split one
    for (int i = 0; i < 125; ++i) {
        longest += "\xC3\xA9";
    }
    for (const std::string& name : {std::string("a.z64"), longest + ".z64"}) {
        const std::string source = folder.write(name, "data");
        ASSERT_EQ(::link(source.c_str(), folder.file("Game (USA).v64").c_str()), 0);
        EXPECT_EQ(renameCode(folder.file("b.z64"), prefix, "Game (USA).v64"),
                  FileFailureCode::FileAlreadyExists);
        EXPECT_EQ(renameCode(source, prefix, "Game (USA).v64"), FileFailureCode::None);
        EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"Game (USA).v64", "data"},
                                                                         {"b.z64", "other"}}));
        std::filesystem::remove(folder.file("Game (USA).v64"));
    }
}

TEST_F(RenameFile, CaseOnlyRenameOnACaseInsensitiveFileSystem) {
    folder.write("b.v64", "second");
    for (const bool inodePerSpelling : {false, true}) {
        const std::string source = folder.write("mario (usa).v64", "data");
        test::CaseInsensitiveFileSystem caseInsensitive(inodePerSpelling);
        EXPECT_EQ(renameCode(source, prefix, "Mario (USA).v64"), FileFailureCode::None);
        EXPECT_EQ(renameCode(folder.file("b.v64"), prefix, "MARIO (usa).v64"),
                  FileFailureCode::FileAlreadyExists);
        EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{
                                         {"Mario (USA).v64", "data"}, {"b.v64", "second"}}));
        std::filesystem::remove(folder.file("Mario (USA).v64"));
    }
}

TEST_F(RenameFile, SamePathSucceedsWithoutTouchingTheFile) {
    const std::string source = folder.write("Game.v64", "data");
    SystemCallFault anyRenameFails(SystemCallFault::Call::RenameNoReplace, EIO);
    EXPECT_EQ(renameCode(source, prefix, "Game.v64"), FileFailureCode::None);
    EXPECT_EQ(readFile(source), "data");
}

TEST_F(RenameFile, OtherNameOfTheSameFileIsNotACaseRename) {
    // Two hard links differing in case: on a case-sensitive file system they
    // are two names, and neither may disappear.
    const std::string source = folder.write("game.v64", "data");
    ASSERT_EQ(::link(source.c_str(), folder.file("GAME.v64").c_str()), 0);
    EXPECT_EQ(renameCode(source, prefix, "GAME.v64"), FileFailureCode::FileAlreadyExists);
    EXPECT_EQ(folder.snapshot().size(), 2u);
}

TEST_F(RenameFile, AFileLeftUnderTheTemporaryNameIsNamedInTheFailure) {
    // The case-only path: the two links make the target look like the source
    // under another case. The move to the temporary name works, the move on
    // to the target does not, and neither does the move back.
    const std::string source = folder.write("game.v64", "data");
    ASSERT_EQ(::link(source.c_str(), folder.file("GAME.v64").c_str()), 0);
    const std::string temporary = folder.file("game.v64.quillmark-0");
    SystemCallFault noWayBack(SystemCallFault::Call::RenameNoReplace, EIO, 3);
    try {
        renameWithoutReplacing(source, prefix, "GAME.v64");
        FAIL() << "the rename reported success";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.code(), FileFailureCode::PathFileAccessError);
        EXPECT_NE(failure.description().find(temporary), std::string::npos)
            << failure.description();
    }
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{
                                     {"GAME.v64", "data"}, {"game.v64.quillmark-0", "data"}}));
}

TEST_F(RenameFile, NamesThatLeaveTheFolderOrHideTheFileAreRefused) {
    const std::string source = folder.write("a.v64", "data");
    const std::pair<std::string_view, std::string_view> refused[] = {
        // name, described
        {"AC/DC.v64", "\"AC/DC.v64\" holds a path separator"},
        {"../up.v64", "\"../up.v64\" holds a path separator"},
        {".", "\".\" is the name of a folder"},
        {"..", "\"..\" is the name of a folder"},
        {"", "\"\" is empty"},
        {std::string_view("nul\0byte.v64", 12), "\"nul\\x00byte.v64\" holds a control character"},
        {".. (USA).v64", "\".. (USA).v64\" begins with a dot, which would hide the file"},
        {"\"Game\"\r (USA).v64", "\"\"Game\"\\x0D (USA).v64\" holds a control character"},
        {"Del\x7F.v64", "\\x7F.v64\" holds a control character"},
        {"C1 \xC2\x81.v64", "\\xC2\\x81.v64\" holds a control character"},
    };
    for (const auto& [name, described] : refused) {
        std::string description;
        EXPECT_EQ(renameCode(source, prefix, name, &description), FileFailureCode::BadFileName);
        EXPECT_NE(description.find(described), std::string::npos) << description;
    }
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"a.v64", "data"}}));
    EXPECT_TRUE(isAcceptableFileName("Tom & Jerry - Fists of Furry (USA).v64"));
    EXPECT_TRUE(isAcceptableFileName("back\\slash.v64"));   // not a separator here
    EXPECT_TRUE(isAcceptableFileName("\xC4RGER \xA0.v64")); // bytes above 0x7F are no controls
}

TEST_F(RenameFile, SystemFailuresMapToTheirCodes) {
    const std::string source = folder.write("a.v64", "data");
    EXPECT_EQ(renameCode(folder.file("gone.v64"), prefix, "b.v64"), FileFailureCode::FileNotFound);
    EXPECT_EQ(renameCode(source, folder.file("no-folder/"), "b.v64"),
              FileFailureCode::FileNotFound);
    {
        SystemCallFault fault(SystemCallFault::Call::RenameNoReplace, EACCES);
        EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::PermissionDenied);
    }
    {
        SystemCallFault fault(SystemCallFault::Call::RenameNoReplace, EXDEV);
        EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::DifferentDrive);
    }
    {
        SystemCallFault fault(SystemCallFault::Call::RenameNoReplace, EROFS);
        EXPECT_EQ(renameCode(source, prefix, "b.v64"), FileFailureCode::PermissionDenied);
    }
    {
        SystemCallFault fault(SystemCallFault::Call::Lstat, EIO);
        EXPECT_EQ(renameCode(source, prefix, "a.v64"), FileFailureCode::DeviceIoError);
    }
    // A name the file system cannot store (exFAT through FUSE says ENOENT).
    for (const int err : {EINVAL, ENOENT}) {
        using Call = SystemCallFault::Call;
        SystemCallFault noRenameat2(Call::RenameNoReplace, EINVAL), noLinks(Call::Link, EPERM),
            refused(Call::CreateExclusive, err);
        std::string description;
        EXPECT_EQ(renameCode(source, prefix, "Why?.v64", &description),
                  FileFailureCode::BadFileName);
        EXPECT_NE(description.find("refuses the name \"Why?.v64\""), std::string::npos)
            << description;
    }
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"a.v64", "data"}}));
}

} // namespace
} // namespace quillmark
