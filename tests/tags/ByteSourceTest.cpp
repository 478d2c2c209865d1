#include "tags/ByteSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

using namespace korvane::tags;

TEST(ByteView, ValuesPastTheEndReadAsZero) {
    const ByteView view(std::string_view("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(view.be32(0), 0x01020304u);
    EXPECT_EQ(view.le32(1), 0x05040302u);
    EXPECT_EQ(view.be32(2), 0u);
    EXPECT_EQ(view.u8(5), 0u);
    EXPECT_EQ(view.bytes(3, 100), "\x04\x05");
    EXPECT_TRUE(view.bytes(9, 1).empty());
    EXPECT_FALSE(view.fits(4, 2));
    EXPECT_FALSE(view.fits(SIZE_MAX, 2));
    EXPECT_TRUE(view.startsWith(1, "\x02\x03"));
    EXPECT_FALSE(view.startsWith(4, "\x05\x06"));
}

TEST(ByteSource, ReadsNeverAllocateMoreThanTheSourceHolds) {
    MemorySource source("abcdef");
    EXPECT_EQ(source.read(2, 0x7FFFFFFF), "cdef");
    EXPECT_EQ(source.read(6, 10), "");
    EXPECT_EQ(source.read(-1, 10), "");
}

TEST(FileSource, OpensRegularFilesOnly) {
    const auto path = std::filesystem::temp_directory_path() / "korvane_bytesource_test.bin";
    std::ofstream(path, std::ios::binary) << "0123456789";
    std::error_code error;
    auto file = FileSource::open(path, error);
    ASSERT_TRUE(file);
    EXPECT_FALSE(error);
    EXPECT_EQ(file->size(), 10);
    EXPECT_EQ(file->read(7, 8), "789");
    std::filesystem::remove(path);
    EXPECT_FALSE(FileSource::open(path, error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(FileSource::open(std::filesystem::temp_directory_path(), error));
    EXPECT_EQ(error, std::errc::is_a_directory);
}

TEST(FileSource, APipeIsRefusedWithoutWaitingForAWriter) {
    const auto path = std::filesystem::temp_directory_path() / "korvane_bytesource_fifo.mp3";
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::error_code error;
    EXPECT_FALSE(FileSource::open(path, error)); // would block forever without O_NONBLOCK
    EXPECT_EQ(error, std::errc::invalid_argument);
    std::filesystem::remove(path);
}

// Reads go through until a stop is requested; from then on every read, the tiny ones of a
// reader looping on a damaged count too, throws.
TEST(StoppableSource, ReadsUntilAStopThenThrows) {
    const std::string bytes(1024, 'x');
    MemorySource memory(bytes);
    std::stop_source stop;
    const std::stop_token token = stop.get_token();
    StoppableSource source(memory, token);
    char four[4];
    EXPECT_EQ(source.readAt(0, four, sizeof four), 4u);
    EXPECT_EQ(source.size(), 1024);
    stop.request_stop();
    EXPECT_THROW(source.readAt(0, four, sizeof four), ReadStopped);
    EXPECT_THROW(source.readAt(1000, four, sizeof four), ReadStopped);
}
