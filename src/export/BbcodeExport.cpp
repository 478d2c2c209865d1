#include "export/BbcodeExport.h"

#include "export/OutputFile.h"
#include "export/RowCells.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace korvane::exporter {
namespace {

QStringList postLines(const PostTemplate& postTemplate, const PostContent& content) {
    QString text = joinPost(renderPost(postTemplate, content, PostMarkup::Bbcode));
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

QString bbcodeEscape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        escaped += c;
        if (c == u'[')
            escaped += QStringLiteral("[b][/b]");
    }
    return escaped;
}

PostTemplate loadPostTemplate(const QString& path, const QString& shippedName, bool music) {
    QByteArray bytes;
    QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty()) {
        QFile shipped(QStringLiteral(":/templates/") + shippedName);
        shipped.open(QIODevice::ReadOnly);
        bytes = shipped.readAll();
        shown = shippedName;
    } else {
        QString reason;
        std::optional<QByteArray> read = text::readTextFile(path, &reason, kMaxTemplateBytes);
        if (!read)
            throw ReportedError(FileProblem{FileProblem::Action::Open, path, 0, reason});
        bytes = std::move(*read);
    }
    TemplateError error;
    std::optional<PostTemplate> parsed = PostTemplate::parse(
        QString::fromUtf8(bytes), music ? musicPostPlaceholders() : videoPostPlaceholders(), error);
    if (!parsed)
        throw ReportedError(
            (error.line > 0
                 ? QCoreApplication::translate("PostTemplate",
                                               "Шаблон \"%1\", строка %2: %3. Ничего не записано.")
                       .arg(shown)
                       .arg(error.line)
                       .arg(error.message)
                 : QCoreApplication::translate("PostTemplate",
                                               "Шаблон \"%1\": %2. Ничего не записано.")
                       .arg(shown, error.message)));
    return std::move(*parsed);
}

PostContent musicPostContent(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style,
                             const QString& title, const QString& date) {
    static const QRegularExpression year(QStringLiteral(" \\((\\d{4})\\)$"));
    PostContent content;
    content.title = title;
    content.date = date;
    content.categories = style.categories;
    content.boldGroups = style.bold;
    content.groupSeparator = style.groupSeparator;
    content.fieldSeparator = style.fieldSeparator;
    QString category;
    for (const CatalogueRow& row : rows) {
        PostContent::Entry entry;
        if (MusicList::isCategoryHeader(row)) {
            category = row.caption;
            entry.kind =
                style.categories ? PostContent::Entry::Category : PostContent::Entry::LooseHeading;
            entry.values.insert(QStringLiteral("category"), category);
            content.entries.push_back(std::move(entry));
            continue;
        }
        const QString& folder = row.caption;
        const qsizetype at =
            style.groupSeparator.isEmpty() ? -1 : folder.indexOf(style.groupSeparator);
        entry.values = {
            {QStringLiteral("folder"), folder},
            {QStringLiteral("group"), at > 0 ? folder.left(at) : QString()},
            {QStringLiteral("album"),
             at > 0 ? folder.mid(at + style.groupSeparator.size()) : folder},
            {QStringLiteral("year"), year.match(folder).captured(1)},
            {QStringLiteral("category"), category},
            {QStringLiteral("size"), cell(row, SizeCell)},
            {QStringLiteral("bitrate"), cell(row, BitrateCell)},
            {QStringLiteral("style"), cell(row, StyleCell)},
            {QStringLiteral("country"), cell(row, CountryCell)},
        };
        if (style.totals && hasAlbumTotals(row.values)) {
            const QString tracks = albumTracksText(row.values);
            const QString time = albumTimeText(row.values);
            entry.values.insert(QStringLiteral("tracks"), tracks);
            entry.values.insert(QStringLiteral("time"), time);
            entry.values.insert(QStringLiteral("totals"), style.fieldSeparator + tracks +
                                                              QStringLiteral(" tracks") +
                                                              style.fieldSeparator + time);
        }
        content.entries.push_back(std::move(entry));
    }
    return content;
}

PostContent videoPostContent(const std::vector<CatalogueRow>& rows, const QString& title,
                             const QString& date) {
    PostContent content;
    content.title = title;
    content.date = date;
    for (const CatalogueRow& row : rows) {
        PostContent::Entry entry;
        entry.values = {
            {QStringLiteral("folder"), row.caption}, // the letter of the file's name
            {QStringLiteral("file"), row.caption},
            {QStringLiteral("size"), cell(row, VideoSizeCell)},
            {QStringLiteral("resolution"), cell(row, ResolutionCell)},
            {QStringLiteral("duration"), cell(row, DurationCell)},
            {QStringLiteral("fps"), cell(row, FpsCell)},
            {QStringLiteral("codec"), cell(row, CodecCell)},
        };
        content.entries.push_back(std::move(entry));
    }
    return content;
}

QStringList musicBbcodeLines(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style) {
    return postLines(loadPostTemplate({}, kMusicBbcodeTemplate, true),
                     musicPostContent(rows, style, QStringLiteral("mp3 collection"), {}));
}

QStringList videoBbcodeLines(const std::vector<CatalogueRow>& rows) {
    return postLines(loadPostTemplate({}, kVideoBbcodeTemplate, false),
                     videoPostContent(rows, QStringLiteral("Video collection"), {}));
}

} // namespace korvane::exporter
