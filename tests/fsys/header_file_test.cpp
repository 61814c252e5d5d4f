#include "fsys/file_failure.h"
#include "fsys/header_file.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::SystemCallFault;
using test::TempFolder;

FileFailureCode failureOf(const std::string& path) {
    try {
        readHeaderBytes(path);
    } catch (const FileFailure& failure) {
        return failure.code();
    }
    return FileFailureCode::None;
}

TEST(HeaderFile, ShortFilesReadAsZerosPastTheirEnd) {
    TempFolder folder;
    // A long file first: its bytes must not show through in the short ones.
    const HeaderBytes full = readHeaderBytes(folder.write("long", std::string(100, '\xAB')));
    EXPECT_EQ(full.length, 64u);
    EXPECT_EQ(full.bytes[63], 0xAB);

    for (const std::size_t size : {0u, 3u, 40u}) {
        const HeaderBytes header =
            readHeaderBytes(folder.write("short" + std::to_string(size), std::string(size, 'x')));
        EXPECT_TRUE(header.regularFile);
        EXPECT_EQ(header.length, size);
        for (std::size_t i = 0; i < kHeaderSize; ++i) {
            EXPECT_EQ(header.bytes[i], i < size ? 'x' : 0) << "size " << size << " index " << i;
        }
    }
}

TEST(HeaderFile, FifoIsNotReadAndDoesNotBlock) {
    TempFolder folder;
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // No writer ever opens the pipe: a blocking open or read would hang here.
    const HeaderBytes header = readHeaderBytes(fifo);
    EXPECT_FALSE(header.regularFile);
    EXPECT_EQ(header.length, 0u);
}

TEST(HeaderFile, FailuresCarryTheirCodes) {
    TempFolder folder;
    const std::string rom = folder.write("rom", std::string(64, 'r'));
    EXPECT_EQ(failureOf(folder.file("missing")), FileFailureCode::FileNotFound);
    EXPECT_EQ(failureOf(folder.file("missing/deeper")), FileFailureCode::FileNotFound);
    EXPECT_EQ(failureOf(rom + "/below-a-file"), FileFailureCode::PathNotFound);
    {
        SystemCallFault fault(SystemCallFault::Call::Open, EACCES);
        EXPECT_EQ(failureOf(rom), FileFailureCode::PermissionDenied);
    }
    {
        SystemCallFault fault(SystemCallFault::Call::Read, EIO);
        EXPECT_EQ(failureOf(rom), FileFailureCode::DeviceIoError);
    }
    {
        SystemCallFault fault(SystemCallFault::Call::Open, ENOMEDIUM);
        EXPECT_EQ(failureOf(rom), FileFailureCode::DiskNotReady);
    }
    {
        // An interrupted call is made again, not reported.
        SystemCallFault interruptedOpen(SystemCallFault::Call::Open, EINTR, 0, 2);
        SystemCallFault interruptedRead(SystemCallFault::Call::Read, EINTR, 0, 2);
        EXPECT_EQ(failureOf(rom), FileFailureCode::None);
    }
    // Every fault is gone again.
    EXPECT_EQ(failureOf(rom), FileFailureCode::None);
}

TEST(FileFailure, DescriptionNamesCodeCauseAndPath) {
    const FileFailure failure = failureFromErrno(EACCES, "/roms/a.v64");
    EXPECT_EQ(failure.number(), 70);
    EXPECT_EQ(failure.description(), "Permission denied (Permission denied): /roms/a.v64");
    EXPECT_EQ(failureFromErrno(ELOOP, "x").code(), FileFailureCode::PathFileAccessError);
    EXPECT_EQ(failureFromErrno(ENAMETOOLONG, "x").code(), FileFailureCode::BadFileName);
}

} // namespace
} // namespace quillmark
