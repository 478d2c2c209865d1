#include "tags/ByteSource.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvane::tags;

namespace {

// Counts the reads that reach the bytes.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(std::string_view bytes) : m_memory(bytes) {}
    std::int64_t size() const override { return m_memory.size(); }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override {
        ++reads;
        return m_memory.readAt(offset, buffer, count);
    }
    int reads = 0;

private:
    MemorySource m_memory;
};

} // namespace

TEST(ReadAheadSource, GivesTheSameBytesAsItsSource) {
    std::string bytes(100000, '\0');
    std::mt19937 random(7);
    for (char& c : bytes)
        c = static_cast<char>(random());
    MemorySource plain(bytes);
    CountingSource counted(bytes);
    ReadAheadSource cached(counted, 4096);
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t offset = static_cast<std::int64_t>(random() % 101000) - 500;
        const std::size_t count = random() % 9000;
        ASSERT_EQ(cached.read(offset, count), plain.read(offset, count)) << offset << " " << count;
    }
    EXPECT_EQ(cached.size(), plain.size());
}

TEST(ReadAheadSource, HeadAndTailReadsCostOneReadEach) {
    const std::string bytes(1000000, 'x');
    CountingSource counted(bytes);
    ReadAheadSource cached(counted);
    cached.read(0, 10);        // tag header
    cached.read(10, 500);      // frames
    cached.read(999872, 128);  // ID3v1
    cached.read(999857, 15);   // Lyrics3 trailer
    cached.read(2000, 3458);   // first audio block
    cached.read(996414, 3458); // tail block
    EXPECT_EQ(counted.reads, 2);
}

TEST(TextHelpers, TrimAndZeroTerminate) {
    EXPECT_EQ(trimBlanks(std::string_view("\0 a b\t\r\n\0", 9)), "a b");
    EXPECT_EQ(trimRightBlanks(" a "), " a");
    EXPECT_EQ(untilZero(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(replaceAll("a\rb\r", "\r", "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
}

TEST(TextHelpers, ParseDecimal) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"0", 0},
        {"000123", 123},
        {"+7", 7},
        {"-42", -42},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"12a", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseDecimal(text), value);
    }
}

TEST(ByteView, Syncsafe) {
    const ByteView view(std::string_view("\x00\x00\x02\x2C\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(view.syncsafe32(0), 300u);
    EXPECT_EQ(view.syncsafe32(4), 0x0FFFFFFFu);
    EXPECT_EQ(view.syncsafe32(6), 0u);
}
