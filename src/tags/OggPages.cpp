#include "tags/OggPages.h"

#include <algorithm>

namespace korvane::tags {
namespace {

constexpr std::string_view kCapture = "OggS";
// A page holds at most 27 + 255 + 255 × 255 bytes, so the last one starts in the final 64 KiB
// of a whole stream; twice that leaves room for a little junk after it.
constexpr std::int64_t kTailSize = 128 * 1024;
constexpr std::uint64_t kNoGranule = ~std::uint64_t{0};

std::optional<OggPage> parsePage(const ByteView& view, std::int64_t offset) {
    if (!view.startsWith(0, kCapture) || view.u8(4) != 0 || !view.fits(0, OggPage::kHeaderSize))
        return std::nullopt;
    OggPage page;
    page.offset = offset;
    page.headerType = view.u8(5);
    page.granulePosition = view.le64(6);
    page.serial = view.le32(14);
    page.sequence = view.le32(18);
    page.segmentCount = view.u8(26);
    if (!view.fits(OggPage::kHeaderSize, page.segmentCount))
        return std::nullopt;
    for (int i = 0; i < page.segmentCount; ++i) {
        page.lacing[i] = view.u8(OggPage::kHeaderSize + i);
        page.bodySize += page.lacing[i];
    }
    return page;
}

} // namespace

std::optional<OggPage> readOggPage(ByteSource& source, std::int64_t offset) {
    const std::string header = source.read(offset, OggPage::kHeaderSize + 255);
    return parsePage(ByteView(header), offset);
}

OggPacketReader::OggPacketReader(ByteSource& source, const OggPage& firstPage, Limits limits)
    : m_source(source), m_limits(limits), m_page(firstPage), m_position(firstPage.bodyOffset()) {
    if (m_page.headerType & OggPage::Continued)
        skipContinuation();
}

// A page that continues a packet we never saw: its segments up to that packet's end are skipped.
void OggPacketReader::skipContinuation() {
    bool ends = false;
    while (m_segment < m_page.segmentCount && !ends) {
        ends = m_page.lacing[m_segment] < 255;
        m_position += m_page.lacing[m_segment++];
    }
}

// A page whose lacing runs past the end of the source ends with the source.
std::int64_t OggPacketReader::pageEnd() const {
    return std::min(m_page.end(), m_source.size());
}

bool OggPacketReader::nextPage() {
    std::int64_t offset = m_page.end();
    while (m_pagesRead < m_limits.pages) {
        const auto page = readOggPage(m_source, offset);
        if (!page)
            return false;
        ++m_pagesRead;
        if (page->serial == m_page.serial) {
            m_page = *page;
            m_segment = 0;
            m_position = m_page.bodyOffset();
            return true;
        }
        offset = page->end();
    }
    return false;
}

std::optional<OggPacket> OggPacketReader::next() {
    OggPacket packet;
    bool started = false;
    const auto stop = [&]() -> std::optional<OggPacket> {
        m_ended = true;
        if (!started)
            return std::nullopt;
        packet.pageEnd = pageEnd();
        return packet;
    };
    while (!m_ended) {
        if (m_segment == m_page.segmentCount) {
            if (!nextPage())
                return stop();
            // A packet that breaks off before a page that does not continue it is lost.
            const bool continued = m_page.headerType & OggPage::Continued;
            if (started && !continued)
                return stop();
            if (!started && continued)
                skipContinuation();
            continue; // the page may hold no segment (left) at all
        }
        // The run of segments up to the packet's end or the page's end, read at once.
        std::size_t length = 0;
        bool ends = false;
        while (m_segment < m_page.segmentCount && !ends) {
            length += m_page.lacing[m_segment];
            ends = m_page.lacing[m_segment++] < 255;
        }
        started = true;
        if (length > m_limits.packetBytes - packet.bytes.size())
            return stop();
        const std::string run = m_source.read(m_position, length);
        m_position += static_cast<std::int64_t>(length);
        packet.bytes += run;
        if (run.size() < length)
            return stop();
        if (ends) {
            packet.complete = true;
            packet.pageEnd = pageEnd();
            return packet;
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> lastGranulePosition(ByteSource& source, std::uint32_t serial,
                                                 std::int64_t from) {
    const std::int64_t size = source.size();
    const std::int64_t start = std::max({std::int64_t{0}, from, size - kTailSize});
    if (start >= size)
        return std::nullopt;
    const std::string tail = source.read(start, static_cast<std::size_t>(size - start));
    const std::string_view bytes(tail);
    for (std::size_t at = bytes.rfind(kCapture); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : bytes.rfind(kCapture, at - 1)) {
        const auto page =
            parsePage(ByteView(bytes.substr(at)), start + static_cast<std::int64_t>(at));
        if (page && page->serial == serial && page->end() <= size &&
            page->granulePosition != kNoGranule)
            return page->granulePosition;
    }
    return std::nullopt;
}

} // namespace korvane::tags
