#include "tags/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::tags {

std::string ByteSource::read(std::int64_t offset, std::size_t count) {
    std::string out;
    if (offset < 0 || offset >= size())
        return out;
    // Never allocate more than the source holds, whatever size a header claims.
    count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count),
                                                            size() - offset));
    out.resize(count);
    out.resize(readAt(offset, out.data(), count));
    return out;
}

std::unique_ptr<FileSource> FileSource::open(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd, info.st_size));
}

FileSource::~FileSource() {
    ::close(m_fd);
}

std::size_t FileSource::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (offset < 0)
        return 0;
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t got = ::pread(m_fd, out + done, count - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw ReadError();
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t MemorySource::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (offset < 0 || offset >= size())
        return 0;
    const std::size_t start = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(count, m_bytes.size() - start);
    std::memcpy(buffer, m_bytes.data() + start, n);
    return n;
}

std::uint64_t ByteView::bigEndian(std::size_t offset, int width) const {
    if (!fits(offset, static_cast<std::size_t>(width)))
        return 0;
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(m_bytes[offset + i]);
    return value;
}

std::uint64_t ByteView::littleEndian(std::size_t offset, int width) const {
    if (!fits(offset, static_cast<std::size_t>(width)))
        return 0;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(m_bytes[offset + i]);
    return value;
}

std::uint8_t ByteView::u8(std::size_t offset) const {
    return static_cast<std::uint8_t>(bigEndian(offset, 1));
}
std::uint16_t ByteView::be16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bigEndian(offset, 2));
}
std::uint32_t ByteView::be24(std::size_t offset) const {
    return static_cast<std::uint32_t>(bigEndian(offset, 3));
}
std::uint32_t ByteView::be32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bigEndian(offset, 4));
}
std::uint16_t ByteView::le16(std::size_t offset) const {
    return static_cast<std::uint16_t>(littleEndian(offset, 2));
}
std::uint32_t ByteView::le32(std::size_t offset) const {
    return static_cast<std::uint32_t>(littleEndian(offset, 4));
}
std::uint64_t ByteView::le64(std::size_t offset) const {
    return littleEndian(offset, 8);
}

std::string_view ByteView::bytes(std::size_t offset, std::size_t count) const {
    if (offset >= m_bytes.size())
        return {};
    return m_bytes.substr(offset, count);
}

bool ByteView::startsWith(std::size_t offset, std::string_view expected) const {
    return fits(offset, expected.size()) && m_bytes.substr(offset, expected.size()) == expected;
}

} // namespace korvane::tags
