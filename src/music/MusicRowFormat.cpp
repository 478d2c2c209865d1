#include "music/MusicRowFormat.h"

#include "files/FileName.h"
#include "files/FolderWalker.h"
#include "music/AlbumCaption.h"
#include "music/AlbumTotals.h"
#include "music/DiscFolders.h"
#include "tags/ByteSource.h"
#include "text/OutputText.h"

namespace korvane {
namespace {

const QString kNone = QStringLiteral("-");
const QString kHeaderCell = QStringLiteral(" ");

bool isBlank(QStringView text) {
    return tags::trimBlanks(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<size_t>(text.size())))
        .empty();
}

} // namespace

QString musicFolderText(const QString& shownRelative, bool categories, const QString& separator) {
    QString text = shownRelative;
    if (categories) {
        const qsizetype first = text.indexOf(u'/');
        if (first >= 0)
            text = text.mid(first + 1);
    }
    return text.replace(u'/', separator);
}

void formatMusicRow(MusicRow& row, const QString& folderText, const Toggles& toggles,
                    const QString& separator) {
    const RowValues& v = row.values;
    if (v.kind == RowValues::Kind::Header) {
        setUneditedText(row, 0, v.category);
        for (int cell = 1; cell <= 4; ++cell)
            setUneditedText(row, cell, kHeaderCell);
        return;
    }
    if (v.kind != RowValues::Kind::Album)
        return;
    QString caption = folderText;
    QString bitrate = kNone;
    if (!v.format.isEmpty()) {
        const bool mp3 = v.format == QLatin1String("mp3");
        // mp3 rows take their names and country from the tags always; the other formats not
        // under the mp3-only rule.
        const bool names = mp3 || !toggles.mp3NamesOnly;
        if (names && toggles.artistFromID3 && !isBlank(v.artist()) && !isBlank(v.album()))
            caption = v.artist().toString() + separator + v.album().toString();
        if (names && toggles.albumUppercase)
            groupInCapitals(caption, separator);
        if (toggles.yearInColumn)
            appendYear(caption, v.year().toString());
        bitrate = QString::number(v.bitrate);
        if (!mp3)
            bitrate = v.format + u' ' + bitrate;
        else if (toggles.showVBR && v.vbr)
            bitrate.prepend(QStringLiteral("VBR "));
        if (toggles.albumTotals && !v.mixedRates.isEmpty())
            bitrate = v.mixedRates;
    }
    // A tag of megabytes would slow every sort and export; no reader needs more than this.
    setUneditedText(row, 0,
                    text::cutText(caption, text::kMaxRowTextLength) + discCountMark(v.discs));
    if (v.bytes >= 0)
        setUneditedText(row, 1, sizeTextOfBytes(static_cast<std::uint64_t>(v.bytes)));
    setUneditedText(row, 2, bitrate);
}

QString albumTracksText(const RowValues& values) {
    return hasAlbumTotals(values) ? QString::number(values.tracks) : QString();
}

QString albumTimeText(const RowValues& values) {
    return hasAlbumTotals(values) ? playTimeText(values.seconds) : QString();
}

void remakeMusicRows(std::vector<MusicRow>& rows, const Toggles& toggles,
                     const QString& separator) {
    const QString* category = nullptr;
    QStringList formats; // the few kinds of audio file, one copy each
    for (MusicRow& row : rows) {
        RowValues& v = row.values;
        if (const qsizetype known = formats.indexOf(v.format); known >= 0)
            v.format = formats[known];
        else
            formats.append(v.format);
        if (v.kind == RowValues::Kind::Texts && MusicList::isCategoryHeader(row)) {
            v.kind = RowValues::Kind::Header;
            v.category = row.caption;
        } else if (v.kind == RowValues::Kind::Texts && category != nullptr) {
            v.category = *category;
        }
        // Rows of one category share its name.
        if (category != nullptr && v.category == *category)
            v.category = *category;
        if (v.kind == RowValues::Kind::Header)
            category = &v.category;
        if (v.kind != RowValues::Kind::Album && v.kind != RowValues::Kind::Header)
            continue;
        const QString shown = files::displayFileName(row.origin.relative, toggles.tagEncoding);
        formatMusicRow(row, musicFolderText(shown, !v.category.isEmpty(), separator), toggles,
                       separator);
    }
}

} // namespace korvane
