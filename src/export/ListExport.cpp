#include "export/ListExport.h"

#include "export/BbcodeExport.h"
#include "export/CsvExport.h"
#include "export/ExportFormats.h"
#include "export/HtmlExport.h"
#include "export/JsonExport.h"
#include "export/OutputFile.h"
#include "export/PostTemplate.h"
#include "export/TxtExport.h"
#include "export/XlsxWorkbook.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/LocaleText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace korvane::exporter {
namespace {

const QString kWorkbookFolderPrefix = QStringLiteral("korvane-");

std::optional<QString> writeLines(const QString& path, bool utf8,
                                  const std::function<void(const LineSink&)>& writeAll) {
    ReplacementFile file(path);
    writeAll([&file, utf8](const QString& line) { file.writeLine(line, utf8); });
    file.commit();
    return path;
}

std::optional<QString> writeHtml(const QString& templatePath,
                                 const std::function<void(const LineSink&)>& writeRows,
                                 const QString& path, bool totals = false) {
    const auto parts = splitTemplate(fillTotalsHeadings(readCp1251File(templatePath), totals));
    // Without its placeholder a template has no place for the table: better no page than a
    // page without the list or with the rows in the middle of the markup.
    if (!parts)
        throw ReportedError(
            QCoreApplication::translate("ListExport",
                                        "В шаблоне \"%1\" нет метки \"%2\"; файл \"%3\" не создан.")
                .arg(QDir::toNativeSeparators(templatePath), kTablePlaceholder,
                     QDir::toNativeSeparators(path)));
    ReplacementFile file(path);
    writePage([&file](const QString& text) { file.writeText(text); }, *parts, writeRows);
    file.commit();
    return path;
}

PostMarkup postMarkup(TextFormat format) {
    return format == TextFormat::Plain ? PostMarkup::Plain : PostMarkup::Bbcode;
}

QString shippedTemplateName(TextFormat format, bool music, const Toggles& toggles) {
    if (format == TextFormat::Plain)
        return music ? kMusicPlainTemplate : kVideoPlainTemplate;
    if (!music)
        return kVideoBbcodeTemplate;
    return toggles.bbcodeSpoilers ? kMusicSpoilerTemplate : kMusicBbcodeTemplate;
}

// A forum post of the list (BBCode or plain text) from its template, in pieces.
std::vector<PostChunk> renderListPost(TextFormat format, const CatalogueList& list,
                                      const Settings& settings, const Toggles& toggles,
                                      const QDateTime& now, const PostSource& post) {
    const bool music = qobject_cast<const MusicList*>(&list) != nullptr;
    const PostTemplate postTemplate =
        loadPostTemplate(post.templatePath, shippedTemplateName(format, music, toggles), music);
    const QString date = text::shortDate(now.date());
    const QString title = !post.title.isEmpty() ? post.title
                          : music               ? QStringLiteral("mp3 collection")
                                                : QStringLiteral("Video collection");
    PostContent content = music ? musicPostContent(list.rows(),
                                                   {toggles.albumBoldFont, toggles.musicInCat,
                                                    settings.groupAlbumSeparator(),
                                                    settings.txtSeparator(), toggles.albumTotals},
                                                   title, date)
                                : videoPostContent(list.rows(), title, date);
    content.count = post.count;
    return renderPost(postTemplate, content, postMarkup(format));
}

} // namespace

QString fileCreatedText(const QString& path) {
    return QCoreApplication::translate("ListExport", "файл \"") + path +
           QCoreApplication::translate("ListExport", "\" создан");
}

QString fileCreatedMessage(const QString& path) {
    return fileCreatedText(path) +
           QCoreApplication::translate("ListExport", " (двойной клик для открытия)");
}

QString txtCreatedText(const QString& path, bool utf8) {
    return fileCreatedText(path) + QCoreApplication::translate("ListExport", " в кодировке ") +
           (utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1251"));
}

QString txtCreatedMessage(const QString& path, bool utf8) {
    return txtCreatedText(path, utf8) +
           QCoreApplication::translate("ListExport", " (двойной клик для открытия)");
}

QString outputPath(const Settings& settings, const OutputNameKey& name) {
    return settings.saveDir() + settings.outputName(name);
}

namespace {

// The chosen file, or the fixed name in save_dir.
QString targetPath(const QString& path, const Settings& settings, const OutputNameKey& name) {
    return path.isEmpty() ? outputPath(settings, name) : path;
}

} // namespace

std::optional<QString> writeMusicTxt(const std::vector<CatalogueRow>& rows,
                                     const Settings& settings, const Toggles& toggles,
                                     const QDate& today, const QString& path) {
    if (rows.empty())
        return std::nullopt;
    const QString separator = settings.txtSeparator();
    const QString date = text::shortDate(today);
    return writeLines(targetPath(path, settings, outputNames::musicTxt), toggles.txtUtf8,
                      [&](const LineSink& sink) {
                          musicTxtLines(rows, separator, toggles.yearInColumn, date, sink,
                                        toggles.albumTotals);
                      });
}

std::optional<QString> writeVideoTxt(const std::vector<CatalogueRow>& rows,
                                     const Settings& settings, const QDate& today, bool utf8,
                                     const QString& path) {
    if (rows.empty())
        return std::nullopt;
    const QString date = text::shortDate(today);
    return writeLines(targetPath(path, settings, outputNames::videoTxt), utf8,
                      [&](const LineSink& sink) { videoTxtLines(rows, date, sink); });
}

std::optional<QString> writeMusicHtml(const std::vector<CatalogueRow>& rows,
                                      const Settings& settings, const Toggles& toggles,
                                      const ProgramFolder& programFolder, const QString& path) {
    if (rows.empty())
        return std::nullopt;
    const QString separator = settings.groupAlbumSeparator();
    return writeHtml(
        programFolder.file(QStringLiteral("mp3blank.htm")),
        [&](const LineSink& sink) {
            musicHtmlRows(rows, toggles.albumBoldFont, separator, sink, toggles.albumTotals);
        },
        targetPath(path, settings, outputNames::musicHtml), toggles.albumTotals);
}

std::optional<QString> writeVideoHtml(const std::vector<CatalogueRow>& rows,
                                      const Settings& settings, const ProgramFolder& programFolder,
                                      const QString& path) {
    if (rows.empty())
        return std::nullopt;
    return writeHtml(
        programFolder.file(QStringLiteral("videoblank.htm")),
        [&](const LineSink& sink) { videoHtmlRows(rows, sink); },
        targetPath(path, settings, outputNames::videoHtml));
}

QString textOutputPath(TextFormat format, const CatalogueList& list, const Settings& settings) {
    return outputPath(settings,
                      exportFormat(format).name(qobject_cast<const MusicList*>(&list) != nullptr));
}

PostSource postSource(TextFormat format, bool musicList, const ProgramFolder& programFolder,
                      const Settings& settings, const Toggles& toggles,
                      const QString& chosenTemplate, std::optional<qsizetype> limit) {
    PostSource source;
    source.limit = limit ? *limit : settings.postLimit();
    if (!chosenTemplate.isEmpty()) {
        source.templatePath = chosenTemplate;
        return source;
    }
    // A program folder from before the templates has none: the built-in copy stands in.
    const QString own = programFolder.file(shippedTemplateName(format, musicList, toggles));
    if (QFileInfo::exists(own) || QFileInfo(own).isSymLink())
        source.templatePath = own;
    return source;
}

std::string listText(TextFormat format, const CatalogueList& list, const Settings& settings,
                     const Toggles& toggles, const QDateTime& now, const PostSource& post) {
    const bool music = qobject_cast<const MusicList*>(&list) != nullptr;
    const auto& rows = list.rows();
    const bool totals = music && toggles.albumTotals;
    QStringList captions;
    for (const CatalogueList::Column& column : list.columns())
        captions << column.caption;
    if (totals)
        captions << kAlbumTotalsCaptions;
    if (format == TextFormat::Bbcode || format == TextFormat::Plain)
        return joinPost(renderListPost(format, list, settings, toggles, now, post)).toStdString();
    if (format == TextFormat::Csv)
        return csvText(captions, rows, music, totals).toUtf8().toStdString();
    return (music ? musicJson(captions, rows, toggles.musicInCat, now, totals)
                  : videoJson(captions, rows, now))
        .toUtf8()
        .toStdString();
}

std::vector<std::string> listParts(TextFormat format, const CatalogueList& list,
                                   const Settings& settings, const Toggles& toggles,
                                   const QDateTime& now, const PostSource& post) {
    if (format != TextFormat::Bbcode && format != TextFormat::Plain)
        return {listText(format, list, settings, toggles, now, post)};
    std::vector<std::string> parts;
    for (const QString& part : splitPost(renderListPost(format, list, settings, toggles, now, post),
                                         post.limit, postMarkup(format)))
        parts.push_back(part.toUtf8().toStdString());
    return parts;
}

QString partPath(const QString& path, qsizetype part) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString numbered = dot > 0 ? name.left(dot) + u'.' + QString::number(part) + name.mid(dot)
                                     : name + u'.' + QString::number(part);
    return path.left(path.size() - name.size()) + numbered;
}

QStringList writeListFiles(TextFormat format, const CatalogueList& list, const Settings& settings,
                           const Toggles& toggles, const QDateTime& now, const QString& path,
                           const PostSource& post) {
    if (list.isEmpty())
        return {};
    // Every part is made before the first is written: a template or limit that fails writes
    // nothing.
    const std::vector<std::string> parts = listParts(format, list, settings, toggles, now, post);
    QStringList written;
    if (parts.size() == 1) {
        replaceFile(path, exportFormat(format).encoding == Encoding::Utf8WithBom
                              ? "\xEF\xBB\xBF" + parts.front()
                              : parts.front());
        written << path;
    } else {
        for (size_t i = 0; i < parts.size(); ++i) {
            written << partPath(path, static_cast<qsizetype>(i + 1));
            replaceFile(written.last(), parts[i]);
        }
    }
    // A longer post of an earlier export left more parts: the forum must not get them again.
    if (format == TextFormat::Bbcode || format == TextFormat::Plain) {
        for (qsizetype part = parts.size() == 1 ? 1 : static_cast<qsizetype>(parts.size()) + 1;;
             ++part) {
            const QFileInfo stale(partPath(path, part));
            if (!stale.isFile() || stale.isSymLink() || !QFile::remove(stale.filePath()))
                break;
        }
    }
    return written;
}

std::optional<QString> writeListText(TextFormat format, const CatalogueList& list,
                                     const Settings& settings, const Toggles& toggles,
                                     const QDateTime& now, const QString& path) {
    const QStringList written = writeListFiles(format, list, settings, toggles, now, path);
    if (written.isEmpty())
        return std::nullopt;
    return written.first();
}

namespace {

// The same album or file in two lists: from the same place, or, without one, of the same caption.
QString rowIdentity(const CatalogueRow& row) {
    return row.origin.relative.isEmpty()
               ? QStringLiteral("caption:") + row.caption
               : QStringLiteral("origin:") + row.origin.root + u'\n' + row.origin.relative;
}

bool isHeader(const CatalogueRow& row, bool music) {
    return music && MusicList::isCategoryHeader(row);
}

QSet<QString> identities(const std::vector<CatalogueRow>& rows, bool music) {
    QSet<QString> keys;
    for (const CatalogueRow& row : rows)
        if (!isHeader(row, music))
            keys.insert(rowIdentity(row));
    return keys;
}

// The rows of `rows` whose identity `others` lacks, with `headers` each after the header row of
// its category.
void appendMissing(const std::vector<CatalogueRow>& rows, const QSet<QString>& others, bool music,
                   bool headers, std::vector<CatalogueRow>& out) {
    const CatalogueRow* header = nullptr;
    for (const CatalogueRow& row : rows) {
        if (isHeader(row, music)) {
            header = &row;
            continue;
        }
        if (others.contains(rowIdentity(row)))
            continue;
        if (header != nullptr && headers) {
            out.push_back({header->caption, header->cells});
            header = nullptr;
        }
        out.push_back({row.caption, row.cells, row.origin});
    }
}

} // namespace

RowsSincePublished rowsSincePublished(const std::vector<CatalogueRow>& current,
                                      const std::vector<CatalogueRow>& published,
                                      const QDateTime& publishedAt, bool musicList) {
    RowsSincePublished since;
    std::vector<CatalogueRow>& rows = since.rows;
    appendMissing(current, identities(published, musicList), musicList, true, rows);
    since.added = std::count_if(rows.begin(), rows.end(), [musicList](const CatalogueRow& row) {
        return !isHeader(row, musicList);
    });
    // The gone rows under one heading of their own: a category heading among them would end it.
    std::vector<CatalogueRow> removed;
    appendMissing(published, identities(current, musicList), musicList, false, removed);
    if (removed.empty())
        return since;
    const QString heading =
        QStringLiteral("Удалено с ") + text::shortDate(publishedAt.toLocalTime().date());
    // A music heading is a category header row; the video list has none, its heading is a row
    // without cells.
    rows.push_back({heading, musicList ? QStringList(4, QStringLiteral(" ")) : QStringList()});
    rows.insert(rows.end(), removed.begin(), removed.end());
    return since;
}

QString sincePublishedTitle(bool musicList, const QDateTime& publishedAt) {
    return (musicList ? QStringLiteral("mp3 collection") : QStringLiteral("Video collection")) +
           QStringLiteral(" — новое с ") + text::shortDate(publishedAt.toLocalTime().date());
}

QString workbookSentMessage() {
    return QCoreApplication::translate("ListExport", "Список ушёл в Excel");
}

QString noSpreadsheetMessage() {
    return QCoreApplication::translate("ListExport",
                                       "Не могу найти пакет программ MS Office, в частности Excel");
}

QString partsCreatedText(const QStringList& paths) {
    if (paths.size() == 1)
        return fileCreatedText(paths.first());
    return QCoreApplication::translate("ListExport", "файлы \"%1\" … \"%2\" созданы, частей: %3")
        .arg(paths.first(), paths.last())
        .arg(paths.size());
}

QString partsCreatedMessage(const QStringList& paths) {
    if (paths.size() == 1)
        return fileCreatedMessage(paths.first());
    return partsCreatedText(paths) +
           QCoreApplication::translate("ListExport", " (двойной клик откроет первую)");
}

SheetPlan musicSheet(const std::vector<CatalogueRow>& rows, const Settings& settings,
                     const Toggles& toggles) {
    return musicSheetPlan(rows, settings.outputName(outputNames::musicSheet),
                          settings.groupAlbumSeparator(), toggles.albumBoldFont, toggles.musicInCat,
                          toggles.albumTotals);
}

SheetPlan listSheet(const CatalogueList& list, const Settings& settings, const Toggles& toggles) {
    return qobject_cast<const MusicList*>(&list) != nullptr
               ? musicSheet(list.rows(), settings, toggles)
               : videoSheet(list.rows(), settings);
}

SheetPlan videoSheet(const std::vector<CatalogueRow>& rows, const Settings& settings) {
    return videoSheetPlan(rows, settings.outputName(outputNames::videoSheet));
}

QString writeWorkbookToTemporaryFolder(const SheetPlan& plan) {
    QTemporaryDir folder(QDir::tempPath() + u'/' + kWorkbookFolderPrefix +
                         QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        throw ReportedError(
            FileProblem{FileProblem::Action::Create, folder.path(), 0, folder.errorString()});
    folder.setAutoRemove(false);
    const QString path = folder.filePath(plan.sheetName + QStringLiteral(".xlsx"));
    try {
        writeWorkbook(plan, path);
    } catch (const ReportedError&) {
        folder.remove();
        throw;
    }
    return QDir::toNativeSeparators(path);
}

void discardTemporaryWorkbook(const QString& path) {
    const QFileInfo workbook(path);
    QFile::remove(workbook.filePath());
    QDir().rmdir(workbook.absolutePath());
}

QString workbookOutputPath(const Settings& settings, const SheetPlan& plan) {
    return settings.saveDir() + plan.sheetName + QStringLiteral(".xlsx");
}

int removeStaleWorkbookFolders(const QString& tempDir, const QDateTime& now) {
    const QDateTime limit = now.addDays(-1);
    int removed = 0;
    const QFileInfoList folders =
        QDir(tempDir).entryInfoList({kWorkbookFolderPrefix + QStringLiteral("??????")},
                                    QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.isSymLink() || folder.lastModified() >= limit)
            continue;
        QDir dir(folder.filePath());
        const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                        QDir::Hidden | QDir::System);
        const bool onlyWorkbooks =
            std::all_of(entries.begin(), entries.end(), [](const QFileInfo& entry) {
                return entry.isFile() && !entry.isSymLink() &&
                       entry.fileName().endsWith(QStringLiteral(".xlsx"));
            });
        if (onlyWorkbooks && dir.removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace korvane::exporter
