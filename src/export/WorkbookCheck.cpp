#include "export/WorkbookCheck.h"

#include <QFile>

#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace korvane::exporter {
namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
// Workbooks far beyond any list; also the bound on what one part may inflate to.
constexpr qint64 kMaxWorkbookBytes = 1024LL * 1024 * 1024;

// Little-endian reads that check the bounds first.
class Bytes {
public:
    explicit Bytes(const QByteArray& data) : m_data(data) {}
    size_t size() const { return static_cast<size_t>(m_data.size()); }
    bool has(size_t at, size_t count) const { return at <= size() && count <= size() - at; }
    uint16_t u16(size_t at) const { return static_cast<uint16_t>(byte(at) | byte(at + 1) << 8); }
    uint32_t u32(size_t at) const {
        return static_cast<uint32_t>(u16(at)) | static_cast<uint32_t>(u16(at + 2)) << 16;
    }
    const char* at(size_t offset) const { return m_data.constData() + offset; }

private:
    unsigned byte(size_t at) const {
        return static_cast<unsigned char>(m_data[static_cast<qsizetype>(at)]);
    }
    const QByteArray& m_data;
};

std::optional<QByteArray> inflateRaw(const char* data, size_t size, size_t expected) {
    if (expected > static_cast<size_t>(kMaxWorkbookBytes))
        return std::nullopt;
    QByteArray out(static_cast<qsizetype>(expected), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = static_cast<uInt>(size);
    // One byte of room more than expected, so that a longer stream shows.
    char spare = 0;
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(expected);
    int result = inflate(&stream, Z_FINISH);
    if (result == Z_BUF_ERROR && stream.avail_out == 0) {
        stream.next_out = reinterpret_cast<Bytef*>(&spare);
        stream.avail_out = 1;
        result = inflate(&stream, Z_FINISH);
    }
    const bool whole = result == Z_STREAM_END && stream.total_out == expected;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    return out;
}

bool isXmlPart(const std::string& name) {
    return name.ends_with(".xml") || name.ends_with(".rels");
}

// Expat rather than QXmlStreamReader: the parts of a 200,000-row sheet are some 80 MB of XML,
// which expat checks several times faster.
bool wellFormed(const QByteArray& xml) {
    const XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr)
        return false;
    const bool whole =
        XML_Parse(parser, xml.constData(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return whole;
}

} // namespace

std::optional<std::vector<ZipPart>> readZipParts(const QByteArray& zip, QString* error) {
    const auto fail = [error](const QString& reason) -> std::optional<std::vector<ZipPart>> {
        if (error != nullptr)
            *error = reason;
        return std::nullopt;
    };
    const Bytes bytes(zip);
    if (bytes.size() < kEndOfDirectorySize)
        return fail(QStringLiteral("The file is too short for a zip file."));
    // The end record sits at the very end, before a comment of at most 64 KiB.
    size_t end = bytes.size() - kEndOfDirectorySize;
    const size_t lowest = end > 0xFFFF ? end - 0xFFFF : 0;
    while (bytes.u32(end) != kEndOfDirectory) {
        if (end == lowest)
            return fail(QStringLiteral("The zip directory is missing."));
        --end;
    }
    const size_t count = bytes.u16(end + 10);
    size_t entry = bytes.u32(end + 16);
    std::vector<ZipPart> parts;
    for (size_t i = 0; i < count; ++i) {
        if (!bytes.has(entry, kDirectoryEntrySize) || bytes.u32(entry) != kDirectoryEntry)
            return fail(QStringLiteral("The zip directory is damaged."));
        const uint16_t method = bytes.u16(entry + 10);
        const uint32_t crc = bytes.u32(entry + 16);
        const uint32_t packedSize = bytes.u32(entry + 20);
        const uint32_t size = bytes.u32(entry + 24);
        const size_t nameLength = bytes.u16(entry + 28);
        const size_t skipped = nameLength + bytes.u16(entry + 30) + bytes.u16(entry + 32);
        const size_t local = bytes.u32(entry + 42);
        if (!bytes.has(entry + kDirectoryEntrySize, skipped))
            return fail(QStringLiteral("The zip directory is damaged."));
        std::string name(bytes.at(entry + kDirectoryEntrySize), nameLength);
        entry += kDirectoryEntrySize + skipped;

        const auto damaged = [&fail, &name] {
            return fail(
                QStringLiteral("The part \"%1\" is incomplete.").arg(QString::fromStdString(name)));
        };
        if (!bytes.has(local, kLocalHeaderSize) || bytes.u32(local) != kLocalHeader)
            return damaged();
        const size_t data =
            local + kLocalHeaderSize + bytes.u16(local + 26) + bytes.u16(local + 28);
        if (!bytes.has(data, packedSize))
            return damaged();
        std::optional<QByteArray> content;
        if (method == kStored && packedSize == size)
            content = QByteArray(bytes.at(data), static_cast<qsizetype>(size));
        else if (method == kDeflated)
            content = inflateRaw(bytes.at(data), packedSize, size);
        if (!content || crc32(0, reinterpret_cast<const Bytef*>(content->constData()),
                              static_cast<uInt>(content->size())) != crc)
            return damaged();
        parts.push_back({std::move(name), std::move(*content)});
    }
    return parts;
}

QString workbookProblem(const QString& file) {
    QString reason;
    const std::optional<QByteArray> zip = [&] {
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly) || input.size() > kMaxWorkbookBytes) {
            reason = input.errorString();
            return std::optional<QByteArray>();
        }
        return std::optional<QByteArray>(input.readAll());
    }();
    if (!zip)
        return reason;
    const auto parts = readZipParts(*zip, &reason);
    if (!parts)
        return reason;
    for (const ZipPart& part : *parts) {
        if (isXmlPart(part.name) && !wellFormed(part.data))
            return QStringLiteral("The part \"%1\" is not well-formed XML.")
                .arg(QString::fromStdString(part.name));
    }
    for (const char* required :
         {"[Content_Types].xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}) {
        if (std::none_of(parts->begin(), parts->end(),
                         [required](const ZipPart& part) { return part.name == required; }))
            return QStringLiteral("The part \"%1\" is missing.").arg(QString::fromLatin1(required));
    }
    return {};
}

} // namespace korvane::exporter
