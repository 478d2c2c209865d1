#include "export/ExportFormats.h"

#include <QCoreApplication>

#include "export/XlsxWorkbook.h"
#include "music/MusicList.h"

#include <algorithm>
#include <array>

namespace korvane::exporter {
namespace {

bool isMusic(const CatalogueList& list) {
    return qobject_cast<const MusicList*>(&list) != nullptr;
}

QStringList written(const std::optional<QString>& path) {
    return path ? QStringList{*path} : QStringList{};
}

QStringList writeHtmlList(const ExportRequest& r) {
    const auto& rows = r.list.rows();
    return written(isMusic(r.list)
                       ? writeMusicHtml(rows, r.settings, r.toggles, r.programFolder, r.path)
                       : writeVideoHtml(rows, r.settings, r.programFolder, r.path));
}

QStringList writeTxtList(const ExportRequest& r) {
    const auto& rows = r.list.rows();
    const QDate today = r.now.date();
    return written(isMusic(r.list)
                       ? writeMusicTxt(rows, r.settings, r.toggles, today, r.path)
                       : writeVideoTxt(rows, r.settings, today, r.toggles.txtUtf8, r.path));
}

QStringList writeWorkbookList(const ExportRequest& r) {
    if (r.list.isEmpty())
        return {};
    writeWorkbook(listSheet(r.list, r.settings, r.toggles), r.path);
    return {r.path};
}

template <ExportFormat format> QStringList writeTextList(const ExportRequest& r) {
    return writeListFiles(format, r.list, r.settings, r.toggles, r.now,
                          r.path.isEmpty() ? textOutputPath(format, r.list, r.settings) : r.path,
                          r.post);
}

const std::array kFormats = {
    ExportFormatRow{
        ExportFormat::Html, MenuSection::Classic,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "в HTML")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Сохранить в HTML")),
        QStringLiteral("HTML (*.htm *.html)"), "--html", nullptr,
        "the HTML list from the template into save_dir, named as in set.ini", 1,
        outputNames::musicHtml, outputNames::videoHtml,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название HTML файла для music листа:")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название HTML файла для Video листа:")),
        Encoding::Cp1251, false, writeHtmlList},
    ExportFormatRow{
        ExportFormat::Txt, MenuSection::Classic,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "в TXT")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Сохранить в TXT")),
        QStringLiteral("TXT (*.txt)"), "--txt", nullptr,
        "the TXT list into save_dir, named as in set.ini", 0, outputNames::musicTxt,
        outputNames::videoTxt,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название TXT файла для music листа:")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название TXT файла для Video листа:")),
        Encoding::Cp1251OrUtf8, false, writeTxtList},
    // The sheet's name; the window hands the workbook to the spreadsheet application.
    ExportFormatRow{
        ExportFormat::Workbook, MenuSection::Classic,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "в EXCEL")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Создать в EXCEL")),
        QStringLiteral("Excel (*.xlsx)"), "--xlsx", "FILE",
        "the formatted workbook, written to FILE", 2, outputNames::musicSheet,
        outputNames::videoSheet,
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название киниги для mp3 листа:")),
        QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Название киниги для Video листа:")),
        Encoding::Workbook, false, writeWorkbookList},
    ExportFormatRow{ExportFormat::Bbcode, MenuSection::Unicode,
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "BBCode (для форума)")),
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "BBCode (для форума)")),
                    QStringLiteral("BBCode (*.txt)"), "--bbcode", "[FILE]",
                    "BBCode forum post into save_dir, to FILE, or to stdout for -", 3,
                    outputNames::musicBbcode, outputNames::videoBbcode,
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Файлы BBCode:")), QString(),
                    Encoding::Utf8, true, writeTextList<ExportFormat::Bbcode>},
    ExportFormatRow{ExportFormat::Csv, MenuSection::Unicode, QStringLiteral("CSV"),
                    QStringLiteral("CSV"), QStringLiteral("CSV (*.csv)"), "--csv", "[FILE]",
                    "CSV (UTF-8) into save_dir, to FILE, or to stdout for -", 5,
                    outputNames::musicCsv, outputNames::videoCsv,
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Файлы CSV:")), QString(),
                    Encoding::Utf8WithBom, true, writeTextList<ExportFormat::Csv>},
    ExportFormatRow{ExportFormat::Json, MenuSection::Unicode, QStringLiteral("JSON"),
                    QStringLiteral("JSON"), QStringLiteral("JSON (*.json)"), "--json", "[FILE]",
                    "JSON (UTF-8) into save_dir, to FILE, or to stdout for -", 6,
                    outputNames::musicJson, outputNames::videoJson,
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Файлы JSON:")), QString(),
                    Encoding::Utf8, true, writeTextList<ExportFormat::Json>},
    // Named in set.ini, but not in the settings dialog.
    ExportFormatRow{ExportFormat::Plain, MenuSection::Forum,
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Текст (для форума)")),
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Текст (для форума)")),
                    QStringLiteral(QT_TRANSLATE_NOOP("ExportFormats", "Текст (*.txt)")), "--plain",
                    "[FILE]",
                    "the forum post as plain text into save_dir, to FILE, or to stdout for -", 4,
                    outputNames::musicPlain, outputNames::videoPlain, QString(), QString(),
                    Encoding::Utf8, true, writeTextList<ExportFormat::Plain>},
};

} // namespace

std::span<const ExportFormatRow> exportFormats() {
    return kFormats;
}

const ExportFormatRow& exportFormat(ExportFormat format) {
    return *std::find_if(kFormats.begin(), kFormats.end(),
                         [format](const ExportFormatRow& row) { return row.format == format; });
}

QString shownText(const QString& text) {
    return QCoreApplication::translate("ExportFormats", text.toUtf8().constData());
}

} // namespace korvane::exporter
