#include "music/AlbumDetails.h"

#include "files/FileName.h"
#include "music/AlbumCaption.h"
#include "music/MusicList.h"
#include "music/OtherFormatDetails.h"
#include "tags/AudioFormats.h"
#include "text/LocaleText.h"
#include "text/OutputText.h"

#include <algorithm>
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

bool isBlank(std::string_view text) {
    return tags::trimBlanks(text).empty();
}

// The readers hand out UTF-8.
QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kNone = QStringLiteral("-");

// mp3 rows follow the toggles of their own: the names only with "artist from tags", the style
// and the country note always.
void mp3Details(const tags::AudioFileInfo& info, const QString& separator, const Toggles& options,
                AlbumCells& details) {
    const tags::AudioProperties& p = info.properties;
    if (options.artistFromID3 && !isBlank(p.artist) && !isBlank(p.album))
        details.caption = fromUtf8(p.artist) + separator + fromUtf8(p.album);
    if (options.albumUppercase)
        groupInCapitals(details.caption, separator);
    if (options.yearInColumn)
        appendYear(details.caption, fromUtf8(p.year));
    details.bitrate = QString::number(info.bitRate);
    if (options.showVBR && info.vbr)
        details.bitrate.prepend(QStringLiteral("VBR "));
    details.style = p.genre.empty() ? kNone : fromUtf8(p.genre);
    details.country = countryNote(fromUtf8(p.comment));
}

// Every other format: the bitrate cell "<name> <kbit/s>", the names by the rules mp3 follows.
// A stop ends a long read, and the file reads as one that cannot be read.
void albumDetails(const AudioFile& file, const std::vector<FolderEntry>& listing,
                  const QString& separator, const Toggles& options, const std::stop_token& stop,
                  AlbumCells& details) {
    const tags::AudioFormatInfo& format = tags::formatInfo(*file.format);
    tags::AudioFileInfo info;
    if (file.readable)
        info = tags::readAudioFile(format.format, file.path, options.tagEncoding, stop);
    addCloseTexts(info.decisions, details);
    if (format.format == AudioFormat::Mp3) {
        mp3Details(info, separator, options, details);
        return;
    }
    tags::AudioProperties& p = info.properties;
    applyCueSheet(format, file.path, listing, options.tagEncoding, p, details);
    // The mp3-only rule shows Ogg's DATE as written; the rule of every format its first four
    // digits.
    const std::string_view year =
        format.format == AudioFormat::Ogg && options.mp3NamesOnly ? info.date : p.year;
    applyAlbumTags({p.artist, p.album, year, p.genre, p.comment}, separator, options, details);
    details.bitrate = fromUtf8(format.cellName) + u' ' + QString::number(info.bitRate);
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
                      const QString& separator, const Toggles& options, const std::stop_token& stop,
                      const QString& mark) {
    const AudioFile file = chooseAudioFile(folder, listing, options.otherFormats);
    AlbumCells details{row.caption, kNone};
    if (file.format)
        albumDetails(file, listing, separator, options, stop, details);
    // A tag of megabytes would slow every sort and export; no reader needs more than this.
    row.caption = text::cutText(details.caption, text::kMaxRowTextLength) + mark;
    if (!details.closeTexts.isEmpty())
        row.closeTexts = details.closeTexts;
    row.cells.append(details.bitrate);
    row.cells.append(text::cutText(details.style, text::kMaxRowTextLength));
    row.cells.append(text::cutText(details.country, text::kMaxRowTextLength));
}

} // namespace korvane
