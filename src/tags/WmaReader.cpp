#include "tags/WmaReader.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvane::tags {
namespace {

// A GUID as the file stores it: the first three groups little-endian, the last eight bytes in
// order.
struct Guid {
    std::array<char, 16> bytes{};
    std::string_view view() const { return {bytes.data(), bytes.size()}; }
};

constexpr Guid makeGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint64_t d) {
    Guid guid;
    for (int i = 0; i < 4; ++i)
        guid.bytes[i] = static_cast<char>((a >> (8 * i)) & 0xFF);
    for (int i = 0; i < 2; ++i) {
        guid.bytes[4 + i] = static_cast<char>((b >> (8 * i)) & 0xFF);
        guid.bytes[6 + i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    }
    for (int i = 0; i < 8; ++i)
        guid.bytes[8 + i] = static_cast<char>((d >> (8 * (7 - i))) & 0xFF);
    return guid;
}

constexpr Guid kHeaderObject = makeGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D900AA0062CE6C);
constexpr Guid kFileProperties = makeGuid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE400C00C205365);
constexpr Guid kStreamProperties = makeGuid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE600C00C205365);
constexpr Guid kContentDescription = makeGuid(0x75B22633, 0x668E, 0x11CF, 0xA6D900AA0062CE6C);
constexpr Guid kExtendedContentDescription =
    makeGuid(0xD2D0A440, 0xE307, 0x11D2, 0x97F000A0C95EA850);

// Every object begins with its GUID and its 64-bit size.
constexpr std::uint64_t kObjectHeaderSize = 24;
// Offsets from the start of an object.
constexpr std::uint64_t kPlayDurationAt = 64;       // file properties: 100 ns units
constexpr std::uint64_t kPrerollAt = 80;            // file properties: milliseconds
constexpr std::uint64_t kMaximumBitRateAt = 100;    // file properties
constexpr std::uint64_t kWaveFormatChannelsAt = 80; // stream properties: the wave format
constexpr std::uint64_t kDescriptionAt = 24;        // both content descriptions

constexpr std::size_t kTextLimit = 250; // characters

// Indexes of the collected texts; 0 takes the texts that are read and dropped.
enum Tag { TagTitle = 1, TagArtist, TagAlbum, TagTrack, TagYear, TagGenre, TagComment, TagCount };
constexpr std::array<std::u16string_view, TagCount> kExtendedNames = {
    u"",         u"WM/TITLE", u"WM/AUTHOR", u"WM/ALBUMTITLE",
    u"WM/TRACK", u"WM/YEAR",  u"WM/GENRE",  u"WM/DESCRIPTION"};

struct FileData {
    std::uint64_t playDuration = 0;
    std::uint64_t preroll = 0;
    std::int32_t maximumBitRate = 0;
    std::uint16_t channels = 0;
    std::int32_t sampleRate = 0;
    std::int32_t averageBytesPerSecond = 0;
    std::array<std::u16string, TagCount> tag;
};

// The header ends before a value that it promises.
struct Truncated {};

// Sequential little-endian reads over the source. A seek may go past the end; the next read
// there fails.
class Cursor {
public:
    explicit Cursor(ByteSource& source) : m_source(source), m_end(source.size()) {}

    std::int64_t position() const { return m_position; }
    void seek(std::int64_t start, std::uint64_t offset) {
        m_position = start;
        skip(offset);
    }
    void skip(std::uint64_t count) {
        const auto room = static_cast<std::uint64_t>(m_end - std::min(m_position, m_end));
        m_position = count > room ? m_end + 1 : m_position + static_cast<std::int64_t>(count);
    }
    std::string take(std::size_t count) {
        if (count == 0)
            return {};
        if (m_position > m_end || count > static_cast<std::uint64_t>(m_end - m_position))
            throw Truncated();
        std::string bytes = m_source.read(m_position, count);
        if (bytes.size() != count)
            throw Truncated();
        m_position += static_cast<std::int64_t>(count);
        return bytes;
    }
    std::uint16_t u16() { return ByteView(take(2)).le16(0); }
    std::uint32_t u32() { return ByteView(take(4)).le32(0); }
    std::uint64_t u64() { return ByteView(take(8)).le64(0); }

private:
    ByteSource& m_source;
    std::int64_t m_end;
    std::int64_t m_position = 0;
};

// UTF-16LE, at most 250 characters kept as they are (zeros too); the rest of the bytes skipped.
std::u16string readText(Cursor& in, std::uint16_t length) {
    const std::size_t characters = std::min<std::size_t>(length / 2, kTextLimit);
    const std::string bytes = in.take(characters * 2);
    std::u16string text(characters, u'\0');
    for (std::size_t i = 0; i < characters; ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    in.skip(length - characters * 2);
    return text;
}

// The index of a descriptor name among the seven, after trimming and ASCII upper case; 0 when
// it is none of them.
std::size_t extendedIndex(std::u16string_view name) {
    std::u16string upper(trimBlanks(name));
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    const auto found = std::find(kExtendedNames.begin() + 1, kExtendedNames.end(), upper);
    return found == kExtendedNames.end() ? 0
                                         : static_cast<std::size_t>(found - kExtendedNames.begin());
}

void readContentDescription(Cursor& in, FileData& data) {
    // Title, author, rights notice, description, rating; the rights notice and the rating are
    // read into the unused slot 0.
    constexpr std::array<std::size_t, 5> kDestinations = {TagTitle, TagArtist, 0, TagComment, 0};
    std::array<std::uint16_t, 5> lengths{};
    for (std::uint16_t& length : lengths)
        length = in.u16();
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] != 0)
            data.tag[kDestinations[i]] = readText(in, lengths[i]);
    }
}

void readExtendedContentDescription(Cursor& in, FileData& data) {
    const std::uint16_t count = in.u16();
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::u16string name = readText(in, in.u16());
        const std::uint16_t type = in.u16();
        const std::uint16_t length = in.u16();
        if (type != 0) { // numbers, booleans and binary data are stepped over
            in.skip(length);
            continue;
        }
        std::u16string value = readText(in, length);
        if (const std::size_t index = extendedIndex(name))
            data.tag[index] = std::move(value);
    }
}

// False when the bytes do not start with an ASF header object.
bool readHeader(Cursor& in, FileData& data) {
    if (in.take(16) != kHeaderObject.view())
        return false;
    in.skip(8);
    const auto count = static_cast<std::int32_t>(in.u32());
    in.skip(2);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int64_t start = in.position();
        const std::string id = in.take(16);
        const std::uint64_t size = in.u64();
        // An object smaller than its own id and size would keep the walk in place: the rest of
        // the header cannot be trusted.
        if (size < kObjectHeaderSize)
            return true;
        if (id == kFileProperties.view()) {
            in.seek(start, kPlayDurationAt);
            data.playDuration = in.u64();
            in.seek(start, kPrerollAt);
            data.preroll = in.u64();
            in.seek(start, kMaximumBitRateAt);
            data.maximumBitRate = static_cast<std::int32_t>(in.u32());
        } else if (id == kStreamProperties.view()) {
            // The last stream object wins.
            in.seek(start, kWaveFormatChannelsAt);
            data.channels = in.u16();
            data.sampleRate = static_cast<std::int32_t>(in.u32());
            data.averageBytesPerSecond = static_cast<std::int32_t>(in.u32());
        } else if (id == kContentDescription.view()) {
            in.seek(start, kDescriptionAt);
            readContentDescription(in, data);
        } else if (id == kExtendedContentDescription.view()) {
            in.seek(start, kDescriptionAt);
            readExtendedContentDescription(in, data);
        }
        in.seek(start, size);
    }
    return true;
}

// WMA Lossless at 24 bits, 96 kHz, stereo is the densest stream a WMA codec makes; a header
// that claims more than twice that is garbage.
constexpr std::int32_t kMaximumBytesPerSecond = 2 * 96000 * 2 * 3;

bool plausible(const FileData& data) {
    return data.maximumBitRate > 0 && data.maximumBitRate <= 8 * kMaximumBytesPerSecond &&
           (data.channels == 1 || data.channels == 2) && data.sampleRate >= 8000 &&
           data.sampleRate <= 96000 && data.averageBytesPerSecond > 0 &&
           data.averageBytesPerSecond <= kMaximumBytesPerSecond;
}

} // namespace

ReadResult WmaReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult WmaReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult WmaReader::parse(ByteSource& source) {
    reset();
    FileData data;
    try {
        Cursor in(source);
        if (!readHeader(in, data))
            return ReadResult::notThisFormat();
    } catch (const Truncated&) {
        // Shorter than the header object's id: no header at all.
        if (source.size() < 16)
            return ReadResult::notThisFormat();
        return ReadResult::damaged("the header ends early");
    }
    // Values no WMA codec writes: another stream in an ASF file, or garbage.
    if (!plausible(data))
        return ReadResult::notThisFormat();

    valid = true;
    fileSize = source.size();
    channels = static_cast<std::uint8_t>(data.channels);
    sampleRate = data.sampleRate;
    duration = static_cast<double>(fileSize) * 8 / data.maximumBitRate;
    playSeconds = std::max(0.0, static_cast<double>(data.playDuration) / 1e7 -
                                    static_cast<double>(data.preroll) / 1e3);
    bitRate = data.averageBytesPerSecond * 8 / 1000;
    const auto text = [&data](Tag index) {
        return cp1251::utf8FromUtf16(trimBlanks(data.tag[index]));
    };
    title = text(TagTitle);
    artist = text(TagArtist);
    album = text(TagAlbum);
    // Digits are ASCII: any other character makes the conversion fail, as does a number
    // outside 32 bits.
    const auto number = parseDecimal(cp1251::fromUtf16(trimBlanks(data.tag[TagTrack])));
    if (number && *number == static_cast<std::int32_t>(*number))
        track = static_cast<std::int32_t>(*number);
    year = text(TagYear);
    genre = text(TagGenre);
    comment = text(TagComment);
    return ReadResult::read();
}

} // namespace korvane::tags
