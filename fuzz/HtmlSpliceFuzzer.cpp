// The HTML export on arbitrary bytes: the part before the first zero byte is the template, the
// rest holds rows, one per line, cells after TABs. Every text is taken as Windows-1251.
#include "export/HtmlExport.h"
#include "export/OutputFile.h"
#include "text/LocaleText.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

QString joined(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// The escaped text holds no markup and reads back as the original.
void checkEscape(const QString& text) {
    const QString escaped = korvane::exporter::htmlEscape(text);
    if (escaped.contains(u'<') || escaped.contains(u'>'))
        std::abort();
    QString back = escaped;
    back.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    back.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    back.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    if (back != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = bytes.find('\0');
    const QString templateText = text::fromCp1251(bytes.substr(0, zero));
    const QString rowText =
        zero == std::string_view::npos ? QString() : text::fromCp1251(bytes.substr(zero + 1));

    std::vector<CatalogueRow> rows;
    for (const QString& line : rowText.split(u'\n')) {
        QStringList cells = line.split(u'\t');
        const QString caption = cells.takeFirst();
        checkEscape(caption);
        rows.push_back({caption, cells});
    }
    const bool bold = size > 0 && (data[0] & 1) != 0;
    const QStringList musicLines = exporter::musicHtmlRows(rows, bold, QStringLiteral("  \\  "));
    const QStringList videoLines = exporter::videoHtmlRows(rows);

    const auto parts = exporter::splitTemplate(templateText);
    // A page exactly when the template has the placeholder.
    if (parts.has_value() != templateText.contains(exporter::kTablePlaceholder))
        std::abort();
    if (!parts)
        return 0;
    for (const QStringList* lines : {&musicLines, &videoLines}) {
        // The page as the export writes it.
        QString page;
        exporter::writePage([&page](const QString& text) { page += text; }, *parts,
                            [lines](const exporter::LineSink& sink) {
                                for (const QString& line : *lines)
                                    sink(line);
                            });
        // The template with CR LF breaks, the rows in place of its first placeholder.
        const QString normalised = joined(exporter::splitLines(templateText));
        const qsizetype at = normalised.indexOf(exporter::kTablePlaceholder);
        QString expected = normalised;
        expected.replace(at, exporter::kTablePlaceholder.size(), joined(*lines));
        if (page != joined(exporter::splitLines(expected)))
            std::abort();
    }
    return 0;
}
