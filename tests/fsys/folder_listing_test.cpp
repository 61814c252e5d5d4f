#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

TEST(FolderListing, RegularFilesAndLinksToThemSortedIgnoringCase) {
    TempFolder folder;
    for (const char* name : {"b.v64", "A.z64", "a.z64", "C", "_x", "10.n64", "ÄRGER.v64"}) {
        folder.write(name, "data");
    }
    folder.write(".hidden", "data");
    fs::create_directory(folder.file("subfolder"));
    fs::create_symlink(folder.file("b.v64"), folder.file("link-to-file"));
    fs::create_symlink(folder.file("subfolder"), folder.file("link-to-folder"));
    fs::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);

    // "A.z64" and "a.z64" are equal ignoring case: the exact bytes decide.
    // Letters compare as lower case, so "_" sorts before them.
    const std::vector<std::string> expected = {"10.n64", "_x", "A.z64",        "a.z64",
                                               "b.v64",  "C",  "link-to-file", "ÄRGER.v64"};
    EXPECT_EQ(listFolderFiles(folder.path()), expected);
    // A trailing separator changes nothing.
    EXPECT_EQ(listFolderFiles(folder.path() + "/"), expected);
}

TEST(FolderListing, SubfoldersAndLinksToThemWithoutFilesOrHiddenOnes) {
    TempFolder folder;
    folder.write("file.v64", "data");
    for (const char* name : {"roms", "Archive", ".hidden", "b"}) {
        fs::create_directory(folder.file(name));
    }
    fs::create_symlink(folder.file("roms"), folder.file("link-to-folder"));
    fs::create_symlink(folder.file("file.v64"), folder.file("link-to-file"));
    const std::vector<std::string> expected = {"Archive", "b", "link-to-folder", "roms"};
    EXPECT_EQ(listSubfolders(folder.path()), expected);
    EXPECT_THROW(listSubfolders(folder.file("file.v64")), FileFailure);
}

TEST(FolderListing, EmptyFolderAndFailures) {
    TempFolder folder;
    EXPECT_TRUE(listFolderFiles(folder.path()).empty());
    try {
        listFolderFiles(folder.file("missing"));
        FAIL() << "a missing folder was listed";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.code(), FileFailureCode::FileNotFound);
    }
    // Not a shorter list: a folder that fails part way through (after "." and "..") fails.
    test::SystemCallFault midway(test::SystemCallFault::Call::Readdir, EIO, 2);
    EXPECT_THROW(listFolderFiles(folder.path()), FileFailure);
    test::SystemCallFault fault(test::SystemCallFault::Call::Opendir, EACCES);
    try {
        listFolderFiles(folder.path());
        FAIL() << "an unreadable folder was listed";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.code(), FileFailureCode::PermissionDenied);
    }
}

TEST(FolderListing, OrderIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(fileNameLess("abc", "ABD"));
    EXPECT_TRUE(fileNameLess("ABC", "abc")); // tie broken by bytes: 'A' < 'a'
    EXPECT_FALSE(fileNameLess("abc", "ABC"));
    EXPECT_TRUE(fileNameLess("ab", "abc"));
    EXPECT_TRUE(fileNameLess("Z", "\xC3\x84")); // non-ASCII sorts by byte, after letters
}

} // namespace
} // namespace quillmark
