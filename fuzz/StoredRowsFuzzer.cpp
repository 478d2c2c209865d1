// The catalogue file from arbitrary bytes. An even first byte: the rest describes rows (LF between
// rows, TAB between root bytes, path bytes, caption and cells; the byte after each LF gives the
// hand-edit bits; a caption of 4 characters or more gives values too), which are stored and must
// read back exactly, roots and paths byte for byte.
// An odd first byte: the rest is the file korvane.db itself, which must open, load or be set
// aside without a fault.
#include "catalogue/CatalogueStore.h"
#include "files/FileName.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace korvane;

void check(bool condition) {
    if (!condition)
        std::abort();
}

QString name(std::string_view bytes) {
    return files::decodeFileName(bytes);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

StoredList listOf(std::string_view description) {
    StoredList list;
    for (std::string_view line : split(description, '\n')) {
        const std::uint32_t edited = line.empty() ? 0 : static_cast<unsigned char>(line[0]);
        if (!line.empty())
            line.remove_prefix(1);
        const std::vector<std::string_view> fields = split(line, '\t');
        CatalogueRow row;
        row.origin.root = name(fields[0]);
        row.origin.relative = fields.size() > 1 ? name(fields[1]) : QString();
        row.origin.signature = QByteArray(line.data(), static_cast<qsizetype>(line.size() / 2));
        row.caption = fields.size() > 2 ? QString::fromUtf8(fields[2]) : QString();
        for (std::size_t i = 3; i < fields.size(); ++i)
            row.cells << QString::fromUtf8(fields[i]);
        // Rows whose caption holds a TAB-free text of 4 or more characters carry values made
        // from it, so that they round-trip as well.
        if (row.caption.size() >= 4) {
            RowValues& v = row.values;
            v.kind = RowValues::Kind(row.caption.at(0).unicode() % 4);
            v.vbr = (edited & 2) != 0;
            v.setNames(row.caption.left(1), row.caption.mid(1, 2), row.caption.mid(3));
            v.bytes = static_cast<qint64>(line.size()) - 1;
            v.bitrate = static_cast<qint32>(edited);
            v.frameRate = static_cast<double>(line.size()) / 3;
            v.category = row.origin.relative;
            v.format = row.cells.value(0);
        }
        row.editedColumns = edited >> 1;
        row.isNew = (edited & 1) != 0;
        if ((edited & 0x80) != 0)
            list.leftOut.push_back(row.origin);
        list.rows.push_back(row);
    }
    list.count = static_cast<int>(list.rows.size());
    return list;
}

void roundTrip(const QString& path, std::string_view description) {
    const StoredList list = listOf(description);
    {
        CatalogueStore store(path);
        check(store.state() == CatalogueStore::State::Ready);
        check(store.save(StoredListName::Music, list));
    }
    CatalogueStore store(path);
    const std::optional<StoredList> back = store.load(StoredListName::Music);
    check(back.has_value() && back->count == list.count && back->rows.size() == list.rows.size());
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const CatalogueRow& a = list.rows[i];
        const CatalogueRow& b = back->rows[i];
        check(a == b && a.origin == b.origin && a.editedColumns == b.editedColumns &&
              a.isNew == b.isNew && a.values == b.values);
        // The bytes the file system would be given are the bytes the scan found.
        check(files::encodeFileName(b.origin.root) == files::encodeFileName(a.origin.root));
    }
    check(back->leftOut.size() <= list.leftOut.size());
    check(!store.load(StoredListName::Video).has_value());
}

void openAnyFile(const QString& path, std::string_view bytes) {
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    CatalogueStore store(path);
    for (const StoredListName list : {StoredListName::Music, StoredListName::Video}) {
        if (const std::optional<StoredList> loaded = store.load(list))
            check(loaded->count >= 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // A folder of its own for each run: the catalogue, its journals and what is set aside.
    static const QString folder =
        QStringLiteral("/tmp/korvane-stored-rows-fuzz-%1").arg(::getpid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/korvane.db");
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) == 0)
        roundTrip(path, rest);
    else
        openAnyFile(path, rest);
    return 0;
}
