#include "tags/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::tags {

std::string ByteSource::read(std::int64_t offset, std::size_t count) {
    std::string out;
    if (offset < 0 || offset >= size())
        return out;
    // Never allocate more than the source holds, whatever size a header claims.
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), size() - offset));
    out.resize(count);
    out.resize(readAt(offset, out.data(), count));
    return out;
}

std::unique_ptr<FileSource> FileSource::open(const std::filesystem::path& path,
                                             std::error_code& error) {
    error.clear();
    // O_NONBLOCK: a pipe named like an audio file must not hold the scan until someone writes
    // to it; regular files ignore the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = std::error_code(errno, std::generic_category());
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = std::error_code(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, std::generic_category());
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd, info.st_size));
}

ReadResult cannotOpen(const std::filesystem::path& fileName, const std::error_code& error) {
    return ReadResult::unreadable("Cannot open file \"" + fileName.string() + "\". " +
                                  error.message());
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

std::size_t StoppableSource::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (m_stop.stop_requested())
        throw ReadStopped();
    return m_source.readAt(offset, buffer, count);
}

std::size_t MemorySource::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (offset < 0 || offset >= size())
        return 0;
    const std::size_t start = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(count, m_bytes.size() - start);
    std::memcpy(buffer, m_bytes.data() + start, n);
    return n;
}

std::size_t ReadAheadSource::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    const std::int64_t total = size();
    if (offset < 0 || offset >= total || count == 0)
        return 0;
    const std::int64_t wanted = std::min<std::int64_t>(
        static_cast<std::int64_t>(std::min<std::size_t>(count, INT64_MAX)), total - offset);
    Window* hit = nullptr;
    for (Window& window : m_windows) {
        if (window.covers(offset, wanted))
            hit = &window;
    }
    if (hit == nullptr) {
        // Reads larger than a window go straight through.
        if (wanted > static_cast<std::int64_t>(m_window))
            return m_source.readAt(offset, buffer, static_cast<std::size_t>(wanted));
        hit = m_windows[0].lastUse <= m_windows[1].lastUse ? &m_windows[0] : &m_windows[1];
        const auto window = static_cast<std::int64_t>(m_window);
        hit->start = std::max<std::int64_t>(0, std::min(offset, total - window));
        hit->bytes.resize(static_cast<std::size_t>(std::min(window, total - hit->start)));
        hit->bytes.resize(m_source.readAt(hit->start, hit->bytes.data(), hit->bytes.size()));
    }
    hit->lastUse = ++m_clock;
    // A short read of the underlying source leaves the window shorter than asked.
    const std::int64_t available =
        hit->start + static_cast<std::int64_t>(hit->bytes.size()) - offset;
    if (available <= 0)
        return 0;
    const auto n = static_cast<std::size_t>(std::min(wanted, available));
    std::memcpy(buffer, hit->bytes.data() + (offset - hit->start), n);
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
std::uint64_t ByteView::be64(std::size_t offset) const {
    return bigEndian(offset, 8);
}
std::uint32_t ByteView::syncsafe32(std::size_t offset) const {
    const std::uint32_t raw = be32(offset);
    return ((raw >> 3) & 0x0FE00000u) | ((raw >> 2) & 0x001FC000u) | ((raw >> 1) & 0x00003F80u) |
           (raw & 0x7Fu);
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

namespace {
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
} // namespace

std::string_view trimRightBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return trimRightBlanks(text);
}

std::u16string_view trimBlanks(std::u16string_view text) {
    while (!text.empty() && text.front() <= u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ')
        text.remove_suffix(1);
    return text;
}

std::string_view untilZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::optional<std::int64_t> parseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Accumulate downwards so that the most negative value fits too.
    std::int64_t value = 0;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest)
            return std::nullopt;
        value = -value;
    }
    return value;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (!from.empty()) {
        const std::size_t found = text.find(from, pos);
        if (found == std::string_view::npos)
            break;
        out.append(text.substr(pos, found - pos));
        out.append(to);
        pos = found + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::int64_t leadingId3v2Size(ByteSource& source) {
    const std::string head = source.read(0, 10);
    const ByteView view(head);
    if (!view.startsWith(0, "ID3"))
        return 0;
    std::int64_t size = (std::int64_t{view.u8(6)} << 21) + (std::int64_t{view.u8(7)} << 14) +
                        (std::int64_t{view.u8(8)} << 7) + view.u8(9) + 10;
    if (view.u8(5) & 0x10) // footer present
        size += 10;
    return size > source.size() ? 0 : size;
}

} // namespace korvane::tags
