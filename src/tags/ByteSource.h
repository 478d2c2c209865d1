#pragma once

#include "tags/ReadResult.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// What every audio reader reads from: a file or a memory buffer behind one interface, so that
// tests and fuzzers feed memory, and a bounds-checked view for picking values out of bytes.
namespace korvane::tags {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The length in bytes (64-bit: files of 2 GiB and more work).
    virtual std::int64_t size() const = 0;
    // Copies at most `count` bytes from `offset` into `buffer` and returns how many it copied;
    // fewer (or none) at the end, never more than exist. A failing read throws ReadError, which the
    // readers turn into a damaged result.
    virtual std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) = 0;

    // Reads at most `count` bytes from `offset` into a string (shorter at the end).
    std::string read(std::int64_t offset, std::size_t count);
};

struct ReadError : std::exception {
    const char* what() const noexcept override { return "read error"; }
};

// A read-only file. open() returns nothing, and says why, when the file cannot be opened
// (missing, a folder, a pipe, no permission).
class FileSource final : public ByteSource {
public:
    static std::unique_ptr<FileSource> open(const std::filesystem::path& path,
                                            std::error_code& error);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::int64_t size() const override { return m_size; }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

private:
    FileSource(int fd, std::int64_t size) : m_fd(fd), m_size(size) {}
    int m_fd;
    std::int64_t m_size;
};

// Bytes held by the caller, which must outlive the source.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::int64_t size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

private:
    std::string_view m_bytes;
};

// Serves small reads from two windows of the underlying source, so that a reader's many little
// reads (tag header, frame headers, the first audio block, the tail) cost one or two system
// reads. Near the end of the source a window ends at the end, so the tail reads share one.
class ReadAheadSource final : public ByteSource {
public:
    explicit ReadAheadSource(ByteSource& source, std::size_t window = 16384)
        : m_source(source), m_window(window) {}
    std::int64_t size() const override { return m_source.size(); }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

private:
    struct Window {
        std::vector<char> bytes;
        std::int64_t start = 0;
        std::uint64_t lastUse = 0;
        bool covers(std::int64_t offset, std::int64_t count) const {
            return offset >= start &&
                   offset + count <= start + static_cast<std::int64_t>(bytes.size());
        }
    };
    ByteSource& m_source;
    std::size_t m_window;
    Window m_windows[2];
    std::uint64_t m_clock = 0;
};

// Thrown out of a read when the caller asked to stop.
struct ReadStopped : std::exception {
    const char* what() const noexcept override { return "stopped"; }
};

// Lets a caller stop a long read (a huge file with no frames, a damaged header that makes a
// reader loop on tiny reads): every read first looks at the stop token and throws ReadStopped
// once a stop was requested.
class StoppableSource final : public ByteSource {
public:
    StoppableSource(ByteSource& source, const std::stop_token& stop)
        : m_source(source), m_stop(stop) {}
    std::int64_t size() const override { return m_source.size(); }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

private:
    ByteSource& m_source;
    const std::stop_token& m_stop;
};

// Runs a reader's parse and turns what a source throws (a failed or a stopped read) into the
// reader's answer, so that nothing but a ReadResult leaves a reader.
template <typename Parse> ReadResult guardReads(Parse&& parse) {
    try {
        return parse();
    } catch (const ReadError&) {
        return ReadResult::readFailed();
    } catch (const ReadStopped&) {
        return ReadResult::stopped();
    }
}

// The shell of a reader's load(file name): reset, open the file read-only (damaged "Cannot open
// file ..." when it cannot be opened), and parse it through a read-ahead window, so that a
// reader's many small reads cost one or two system reads. A stop ends the read (StoppableSource),
// and the reader answers "stopped".
ReadResult cannotOpen(const std::filesystem::path& fileName, const std::error_code& error);

template <typename Reader>
ReadResult loadFromFile(Reader& reader, const std::filesystem::path& fileName,
                        const std::stop_token& stop = {}) {
    reader.reset();
    std::error_code error;
    const auto file = FileSource::open(fileName, error);
    if (!file)
        return cannotOpen(fileName, error);
    if (!stop.stop_possible()) {
        ReadAheadSource source(*file);
        return reader.load(source);
    }
    // Outside the window, so that every read of the reader looks, the tiny ones too.
    ReadAheadSource window(*file);
    StoppableSource source(window, stop);
    return reader.load(source);
}

// A bounds-checked view of a buffer: every value lying (partly) past the end reads as zero, or
// as a shorter text; fits() tells whether a range lies wholly inside.
class ByteView {
public:
    ByteView() = default;
    explicit ByteView(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t size() const { return m_bytes.size(); }
    bool fits(std::size_t offset, std::size_t count) const {
        return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
    }

    std::uint8_t u8(std::size_t offset) const;
    std::uint16_t be16(std::size_t offset) const;
    std::uint32_t be24(std::size_t offset) const;
    std::uint32_t be32(std::size_t offset) const;
    std::uint64_t be64(std::size_t offset) const;
    // ID3v2 sizes are syncsafe: the low 7 bits of 4 bytes, most significant first.
    std::uint32_t syncsafe32(std::size_t offset) const;
    std::uint16_t le16(std::size_t offset) const;
    std::uint32_t le32(std::size_t offset) const;
    std::uint64_t le64(std::size_t offset) const;
    // At most `count` bytes from `offset`; empty past the end.
    std::string_view bytes(std::size_t offset, std::size_t count) const;
    // True when the bytes at `offset` are exactly `expected`.
    bool startsWith(std::size_t offset, std::string_view expected) const;
    // The view from `offset` on, at most `count` bytes.
    ByteView sub(std::size_t offset, std::size_t count = std::string_view::npos) const {
        return ByteView(bytes(offset, count));
    }

private:
    std::uint64_t bigEndian(std::size_t offset, int width) const;
    std::uint64_t littleEndian(std::size_t offset, int width) const;
    std::string_view m_bytes;
};

// Text helpers shared by the tag readers (8-bit texts, bytes below 0x21 count as blanks).
std::string_view trimBlanks(std::string_view text);
// UTF-16 texts the same way: characters of code 0x20 and below count as blanks.
std::u16string_view trimBlanks(std::u16string_view text);
std::string_view trimRightBlanks(std::string_view text);
// The text up to its first zero byte: fixed-size tag fields are zero-terminated.
std::string_view untilZero(std::string_view text);
// A whole text of an optional sign and decimal digits, as a number; nothing when it is not one
// or does not fit in 64 bits.
std::optional<std::int64_t> parseDecimal(std::string_view text);
// Every occurrence of `from` replaced by `to`, scanning left to right without overlaps.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// The size of an ID3v2 tag at the start of the source (its 10-byte header, body and footer);
// 0 when there is none or its size runs past the end.
std::int64_t leadingId3v2Size(ByteSource& source);

} // namespace korvane::tags
