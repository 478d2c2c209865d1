#include "music/AlbumDetails.h"

#include "files/FileName.h"
#include "music/AlbumCaption.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "music/OtherFormatDetails.h"
#include "tags/AudioFormats.h"
#include "text/LocaleText.h"
#include "text/OutputText.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace korvane {
namespace {

using tags::AudioFormat;

// The album's one audio file. `readable` is false for an entry that is not a regular file (a
// folder named like an mp3, a dangling link, a pipe that would block the open): it is taken as
// the file of its kind all the same, and reads as a file that cannot be opened.
struct AudioFile {
    std::optional<AudioFormat> format;
    std::filesystem::path path;
    bool readable = false;
};

// The first mp3 of the listing, else the first wma, else the first ogg, then (with the other
// formats on) flac, m4a, opus, wv, ape; only the chosen entry is examined further, and only
// when the listing cannot tell that it is a regular file.
AudioFile chooseAudioFile(const QString& folder, const std::vector<FolderEntry>& listing,
                          bool otherFormats) {
    AudioFile chosen;
    const FolderEntry* pick = nullptr;
    for (const FolderEntry& entry : listing) {
        const std::optional<AudioFormat> format = tags::formatOfName(entry.name, otherFormats);
        if (format && (!chosen.format || *format < *chosen.format)) {
            chosen.format = format;
            pick = &entry;
            if (format == AudioFormat::Mp3)
                break;
        }
    }
    if (pick == nullptr)
        return chosen;
    chosen.path =
        std::filesystem::path(files::encodeFileName(folder).toStdString() + '/' + pick->name);
    if (pick->type == DT_REG) {
        chosen.readable = true;
    } else if (pick->type == DT_LNK || pick->type == DT_UNKNOWN) {
        struct stat st;
        chosen.readable = stat(chosen.path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    return chosen;
}

// The readers hand out UTF-8, cut to `length`: a tag of megabytes would slow every sort and
// export.
QString fromUtf8(std::string_view text, qsizetype length = text::kMaxRowTextLength) {
    return text::cutText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                         length);
}

// Names and year are cut where the caption made of them is not cut yet.
constexpr qsizetype kNameLength = 2 * text::kMaxRowTextLength;

const QString kNone = QStringLiteral("-");

// A row's Style and Country: texts no rule shapes.
struct TextCells {
    QString style = kNone;
    QString country = kNone;
};

// The kind of audio file as a row names it, one copy per kind for every row.
const QString& formatName(const tags::AudioFormatInfo& format) {
    static const std::array<QString, tags::kAudioFormats.size()> names = [] {
        std::array<QString, tags::kAudioFormats.size()> made;
        for (const tags::AudioFormatInfo& info : tags::kAudioFormats)
            made[static_cast<size_t>(info.format)] = QString::fromLatin1(
                info.ending.substr(1).data(), static_cast<qsizetype>(info.ending.size() - 1));
        return made;
    }();
    return names[static_cast<size_t>(format.format)];
}

// What the album's audio file gives the row: the names and year as the tags hold them (a cue
// sheet's first for a disc image), the bitrate as values; the style and the country note as
// texts. A stop ends a long read, and the file reads as one that cannot be read.
void albumValues(const AudioFile& file, const std::vector<FolderEntry>& listing,
                 const Toggles& options, const std::stop_token& stop, RowValues& values,
                 TextCells& cells, QList<CloseText>& closeTexts) {
    const tags::AudioFormatInfo& format = tags::formatInfo(*file.format);
    tags::AudioFileInfo info;
    if (file.readable)
        info = tags::readAudioFile(format.format, file.path, options.tagEncoding, stop);
    addCloseTexts(info.decisions, closeTexts);
    tags::AudioProperties& p = info.properties;
    const bool mp3 = format.format == AudioFormat::Mp3;
    if (!mp3)
        applyCueSheet(format, file.path, listing, options.tagEncoding, p, closeTexts);
    values.format = formatName(format);
    // The mp3-only rule shows Ogg's DATE as written; the rule of every format its first four
    // digits.
    values.setNames(
        fromUtf8(p.artist, kNameLength), fromUtf8(p.album, kNameLength),
        fromUtf8(format.format == AudioFormat::Ogg && options.mp3NamesOnly ? info.date : p.year,
                 kNameLength));
    values.bitrate = static_cast<qint32>(info.bitRate);
    values.vbr = info.vbr;
    // mp3 shows any genre as written; the other formats a trimmed one unless it is blank.
    const std::string_view genre = mp3 ? std::string_view(p.genre) : tags::trimBlanks(p.genre);
    cells.style = genre.empty() ? kNone : fromUtf8(genre);
    // Under the mp3-only rule the other formats give no country note.
    if (mp3 || !options.mp3NamesOnly)
        cells.country = text::cutText(countryNote(fromUtf8(p.comment, p.comment.size())),
                                      text::kMaxRowTextLength);
}

} // namespace

void readAlbumDetails(const QString& folder, MusicRow& row, const QString& separator,
                      const Toggles& options, const std::stop_token& stop) {
    readAlbumDetails(folder, folderEntries(folder), row, separator, options, stop);
}

bool holdsAudio(const std::vector<FolderEntry>& listing, bool otherFormats) {
    return std::any_of(listing.begin(), listing.end(), [otherFormats](const FolderEntry& entry) {
        return entry.type != DT_DIR && tags::formatOfName(entry.name, otherFormats);
    });
}

void readAlbumDetails(const QString& folder, const std::vector<FolderEntry>& listing, MusicRow& row,
                      const QString& separator, const Toggles& options,
                      const std::stop_token& stop) {
    const AudioFile file = chooseAudioFile(folder, listing, options.otherFormats);
    const QString folderText = row.caption;
    row.values.kind = RowValues::Kind::Album;
    TextCells cells;
    if (file.format)
        albumValues(file, listing, options, stop, row.values, cells, row.closeTexts);
    formatMusicRow(row, folderText, options, separator);
    setUneditedText(row, StyleCell + 1, cells.style);
    setUneditedText(row, CountryCell + 1, cells.country);
}

} // namespace korvane
