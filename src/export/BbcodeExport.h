#pragma once

#include "catalogue/CatalogueList.h"
#include "export/PostTemplate.h"

#include <QStringList>

#include <vector>

// Lists as forum posts, from templates: BBCode (a bold title line with the count, then one line
// per row) and plain text. The shipped templates sit in the program folder beside the HTML
// templates; a copy is built in for a folder that lacks them.
namespace korvane::exporter {

// Every "[" followed by an empty bold element ("[[b][/b]"), so that no text of a name can open or
// close a tag: a forum shows the bracket and the empty element leaves no trace.
QString bbcodeEscape(const QString& text);

struct MusicBbcodeStyle {
    bool bold = true;        // the group name in [b]
    bool categories = false; // category header rows as red headings
    QString groupSeparator;  // ends the group name inside a Folder text
    QString fieldSeparator;  // between size, bitrate, style and country
    bool totals = false;     // album totals: {{tracks}}, {{time}} and {{totals}} filled
};

// The shipped templates' file names.
inline const QString kMusicBbcodeTemplate = QStringLiteral("mp3list.bbcode.tpl");
inline const QString kMusicSpoilerTemplate = QStringLiteral("mp3list.spoiler.tpl");
inline const QString kMusicPlainTemplate = QStringLiteral("mp3list.plain.tpl");
inline const QString kVideoBbcodeTemplate = QStringLiteral("videolist.bbcode.tpl");
inline const QString kVideoPlainTemplate = QStringLiteral("videolist.plain.tpl");

// Largest template read: a template is a page of text.
inline constexpr qint64 kMaxTemplateBytes = 1024 * 1024;

// The template in `path` (UTF-8), or the built-in copy of the shipped template `shippedName`
// when `path` is empty. Throws ReportedError naming the file, and the line where there is one.
PostTemplate loadPostTemplate(const QString& path, const QString& shippedName, bool music);

// What the music and the video list show in a post. A row's Folder text gives {{folder}},
// {{group}}, {{album}} and {{year}} (the " (1979)" the year option appends). With album totals,
// a row whose totals were read gives {{tracks}}, {{time}} and {{totals}} (the two after the
// field separator each: " | 12 tracks | 1:02:33"); empty otherwise.
PostContent musicPostContent(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style,
                             const QString& title, const QString& date);
PostContent videoPostContent(const std::vector<CatalogueRow>& rows, const QString& title,
                             const QString& date);

// "[b]mp3 collection — альбомов: N[/b]", then per album the Folder text, size, bitrate, style and
// country; a category header row becomes an empty line and a bold red heading in categories mode,
// a plain line of its name otherwise. The shipped template's lines.
QStringList musicBbcodeLines(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style);

// "[b]Video collection — файлов: N[/b]", then per file its name and cells as the TXT list joins
// them.
QStringList videoBbcodeLines(const std::vector<CatalogueRow>& rows);

} // namespace korvane::exporter
