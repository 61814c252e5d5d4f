#include "fsys/file_failure.h"
#include "fsys/rename_file.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::readFile;
using test::SystemCallFault;
using test::TempFolder;

FileFailureCode renameCode(const std::string& source, const std::string& prefix,
                           std::string_view name) {
    try {
        renameWithoutReplacing(source, prefix, name);
    } catch (const FileFailure& failure) {
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

TEST_F(RenameFile, NamesThatLeaveTheFolderAreRefused) {
    const std::string source = folder.write("a.v64", "data");
    for (const std::string_view name :
         {std::string_view("AC/DC.v64"), std::string_view("../up.v64"), std::string_view("."),
          std::string_view(".."), std::string_view(""), std::string_view("nul\0byte.v64", 13)}) {
        EXPECT_EQ(renameCode(source, prefix, name), FileFailureCode::BadFileName) << name;
    }
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"a.v64", "data"}}));
    EXPECT_TRUE(isAcceptableFileName("Tom & Jerry - Fists of Furry (USA).v64"));
    EXPECT_TRUE(isAcceptableFileName("back\\slash.v64")); // not a separator here
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
    EXPECT_EQ(folder.snapshot(), (std::map<std::string, std::string>{{"a.v64", "data"}}));
}

} // namespace
} // namespace quillmark
