#pragma once

#include "tags/ByteSource.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The Ogg container (RFC 3533): pages with a 27-byte header and a table of lacing values, and
// the packets that the lacing values cut the page bodies into. A packet ends at the first lacing
// value below 255; one that ends a page with 255 goes on in the next page of its stream.
namespace korvane::tags {

struct OggPage {
    static constexpr std::int64_t kHeaderSize = 27; // the lacing values follow
    enum Flag : std::uint8_t { Continued = 1, First = 2, Last = 4 };

    std::int64_t offset = 0; // where "OggS" stands
    std::uint8_t headerType = 0;
    std::uint64_t granulePosition = 0;
    std::uint32_t serial = 0;
    std::uint32_t sequence = 0;
    std::uint8_t segmentCount = 0;
    std::array<std::uint8_t, 255> lacing{};
    std::int64_t bodySize = 0; // the sum of the lacing values

    std::int64_t bodyOffset() const { return offset + kHeaderSize + segmentCount; }
    std::int64_t end() const { return bodyOffset() + bodySize; }
};

// The page header at `offset`: nothing unless "OggS" and version 0 stand there and the header
// with its lacing values lies wholly inside the source. The body may run past the end.
std::optional<OggPage> readOggPage(ByteSource& source, std::int64_t offset);

struct OggPacket {
    std::string bytes;
    // False when the source ended, the stream broke off or a limit was reached inside it:
    // `bytes` then holds what was there.
    bool complete = false;
    // The end of the page on which the packet ended (or where reading stopped), at most the
    // end of the source.
    std::int64_t pageEnd = 0;
};

// The packets of one logical stream in order, from its first page on. Pages of other streams
// in between are stepped over. Every page read counts against the page limit and every packet
// against the byte limit, so a hostile file costs bounded time and memory.
class OggPacketReader {
public:
    struct Limits {
        int pages = 4096;
        std::size_t packetBytes = std::size_t{16} << 20;
    };
    OggPacketReader(ByteSource& source, const OggPage& firstPage, Limits limits);
    explicit OggPacketReader(ByteSource& source, const OggPage& firstPage)
        : OggPacketReader(source, firstPage, Limits()) {}

    // The next packet; nothing when no part of one is left to read.
    std::optional<OggPacket> next();

private:
    bool nextPage();
    void skipContinuation();
    std::int64_t pageEnd() const;

    ByteSource& m_source;
    Limits m_limits;
    OggPage m_page;
    int m_segment = 0;           // the next lacing value of m_page to use
    std::int64_t m_position = 0; // where that segment's bytes start
    int m_pagesRead = 1;
    bool m_ended = false;
};

// The granule position of the stream's last page that has one (not -1): the last page of that
// serial found in the final 128 KiB that lies wholly inside the source and starts at or after
// `from`. Nothing when there is none.
std::optional<std::uint64_t> lastGranulePosition(ByteSource& source, std::uint32_t serial,
                                                 std::int64_t from);

} // namespace korvane::tags
