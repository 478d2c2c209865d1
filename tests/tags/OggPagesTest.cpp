#include "tags/OggPages.h"

#include "WmaOggFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

struct Packets {
    std::vector<std::string> complete;
    std::optional<std::string> broken; // the incomplete packet that ended the reading
    std::vector<std::int64_t> pageEnds;
};

Packets readAll(const std::string& bytes, OggPacketReader::Limits limits = {}) {
    MemorySource source(bytes);
    Packets out;
    const auto first = readOggPage(source, 0);
    if (!first)
        return out;
    OggPacketReader reader(source, *first, limits);
    // Each call consumes at least one page or segment, and the page limit ends it.
    while (const auto packet = reader.next()) {
        if (!packet->complete) {
            out.broken = packet->bytes;
            EXPECT_FALSE(reader.next());
            break;
        }
        out.complete.push_back(packet->bytes);
        out.pageEnds.push_back(packet->pageEnd);
    }
    return out;
}

} // namespace

TEST(OggPages, PageHeader) {
    const std::string page =
        rawPage(0x05, 0x0102030405060708, 0xA1B2C3D4, std::string("\x10\xFF\x00", 3), "");
    MemorySource source(page);
    const auto read = readOggPage(source, 0);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->headerType, 0x05);
    EXPECT_EQ(read->granulePosition, 0x0102030405060708u);
    EXPECT_EQ(read->serial, 0xA1B2C3D4u);
    EXPECT_EQ(read->segmentCount, 3);
    EXPECT_EQ(read->bodySize, 16 + 255);
    EXPECT_EQ(read->bodyOffset(), 30);
    // The body runs past the end: the header still reads, the packets will not.
    EXPECT_EQ(read->end(), 30 + 271);
}

TEST(OggPages, NoPage) {
    std::string version1 = rawPage(0, 0, 0, "\x01", "x");
    version1[4] = '\x01';
    const std::string good = rawPage(0, 0, 0, std::string(10, '\x01'), std::string(10, 'x'));
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"capture pattern wrong", "OggT" + good.substr(4)},
        {"version 1", version1},
        {"cut inside the header", good.substr(0, 26)},
        {"cut inside the lacing values", good.substr(0, 30)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        MemorySource source(bytes);
        EXPECT_FALSE(readOggPage(source, 0));
    }
}

TEST(OggPages, Reassembly) {
    const std::string big(1000, 'b');
    const std::string exact(510, 'e'); // ends with a segment of 0
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> packets;
    };
    const Case cases[] = {
        {"one page, three packets", packetPages({"a", big, "c"}), {"a", big, "c"}},
        {"a packet over three pages", packetPages({"a", big, "c"}, 2), {"a", big, "c"}},
        {"one segment a page", packetPages({"a", big, "c"}, 1), {"a", big, "c"}},
        {"multiple of 255 bytes", packetPages({exact, "z"}, 2), {exact, "z"}},
        {"empty packet", packetPages({"a", "", "c"}), {"a", "", "c"}},
        {"another stream's pages stepped over",
         packetPages({"a", big}, 3, 7) + packetPages({"other"}, 255, 9) +
             packetPages({"c"}, 255, 7).replace(5, 1, "\x00", 1),
         {"a", big, "c"}},
        // The first page only finishes a packet that began elsewhere: the next one is first.
        {"first page continues a packet",
         rawPage(1, 0, 0, std::string("\xFF\x05\x01", 3), std::string(260, 't') + "n"),
         {"n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Packets read = readAll(c.bytes);
        EXPECT_EQ(read.complete, c.packets);
        EXPECT_FALSE(read.broken);
    }
}

TEST(OggPages, PageEnds) {
    // One segment a page: "a" ends on the first page, the 1000 bytes on the fifth, "c" on the
    // sixth.
    const std::string bytes = packetPages({"a", std::string(1000, 'b'), "c"}, 1);
    std::vector<std::int64_t> pageStarts;
    for (std::size_t at = bytes.find("OggS"); at != std::string::npos;
         at = bytes.find("OggS", at + 1))
        pageStarts.push_back(static_cast<std::int64_t>(at));
    ASSERT_EQ(pageStarts.size(), 6u);
    EXPECT_EQ(readAll(bytes).pageEnds,
              (std::vector<std::int64_t>{pageStarts[1], pageStarts[5],
                                         static_cast<std::int64_t>(bytes.size())}));
}

TEST(OggPages, PageEndWithLacingPastTheEnd) {
    // The packet is whole; the page's next segment promises 255 bytes the file does not hold.
    const std::string bytes =
        rawPage(2, 0, 0, std::string("\x03\xFF", 2), "abc" + std::string(9, 'x'));
    const Packets read = readAll(bytes);
    EXPECT_EQ(read.complete, std::vector<std::string>{"abc"});
    EXPECT_EQ(read.pageEnds, std::vector<std::int64_t>{static_cast<std::int64_t>(bytes.size())});
    EXPECT_EQ(read.broken, std::string(9, 'x'));
}

TEST(OggPages, BrokenStreams) {
    const std::string big(1000, 'b');
    const std::string pages = packetPages({"a", big}, 2);
    // Pages: "a" and 255 bytes; 510 bytes; the last 235 bytes.
    std::string notContinued = pages;
    // The second page loses its "continued" flag: the packet it should go on with is lost.
    notContinued[notContinued.find("OggS", 1) + 5] = '\x00';
    struct Case {
        const char* name;
        std::string bytes;
        OggPacketReader::Limits limits;
        std::vector<std::string> complete;
        std::optional<std::string> broken;
    };
    const Case cases[] = {
        {"file ends inside a page body",
         pages.substr(0, pages.size() - 100),
         {},
         {"a"},
         big.substr(0, 900)},
        {"lacing promises more than the file holds",
         rawPage(2, 0, 0, "\x01\xFF\xFF\x10", "a" + std::string(20, 'x')),
         {},
         {"a"},
         std::string(20, 'x')},
        {"junk instead of the next page",
         packetPages({"a", big}, 2).substr(0, 300) + "junk",
         {},
         {"a"},
         big.substr(0, 255)},
        {"next page does not continue the packet", notContinued, {}, {"a"}, big.substr(0, 255)},
        {"page limit", pages, {2, 1 << 20}, {"a"}, big.substr(0, 765)},
        {"byte limit", pages, {4096, 600}, {"a"}, big.substr(0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Packets read = readAll(c.bytes, c.limits);
        EXPECT_EQ(read.complete, c.complete);
        EXPECT_EQ(read.broken, c.broken);
    }
}

TEST(OggPages, ThousandsOfEmptyPagesStopAtTheLimit) {
    // 100,000 pages without segments: the reader gives up after its page limit.
    std::string bytes = packetPages({"a"});
    const std::string empty = rawPage(0, 0, 0, "", "");
    for (int i = 0; i < 100'000; ++i)
        bytes += empty;
    bytes += packetPages({"late"}).replace(5, 1, "\x00", 1);
    EXPECT_EQ(readAll(bytes).complete, std::vector<std::string>{"a"});
    EXPECT_EQ(readAll(bytes, {200'000, 1 << 20}).complete, (std::vector<std::string>{"a", "late"}));
}

TEST(OggPages, LastGranulePosition) {
    const std::string head = packetPages({"head"}, 255, 5, 0);
    const auto audio = [](std::uint64_t granule, std::uint32_t serial = 5) {
        return rawPage(0, granule, serial, "\x04", "data");
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::uint64_t> granule;
    };
    const Case cases[] = {
        {"the last page", head + audio(100) + audio(200), 200},
        {"a page without a granule (-1) is passed over", head + audio(100) + audio(UINT64_MAX),
         100},
        {"another stream's page is passed over", head + audio(100) + audio(900, 6), 100},
        {"a page cut at the end is passed over", head + audio(100) + audio(300).substr(0, 30), 100},
        {"junk after the last page", head + audio(100) + "OggS and more", 100},
        {"64-bit granule", head + audio(0x1'0000'0001), 0x1'0000'0001},
        {"only pages before `from`", head, std::nullopt},
        {"pages 128 KiB before the end are too far",
         head + audio(100) + std::string(128 * 1024, 'x'), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.bytes);
        EXPECT_EQ(lastGranulePosition(source, 5, static_cast<std::int64_t>(head.size())),
                  c.granule);
    }
}
