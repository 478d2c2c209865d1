#include "music/AlbumDetails.h"

#include "files/FileName.h"
#include "music/AlbumCaption.h"
#include "music/MusicList.h"
#include "music/OtherFormatDetails.h"
#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"
#include "tags/Id3v2FrameReader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/WmaReader.h"
#include "text/LocaleText.h"
#include "text/OutputText.h"

#include <QPersistentModelIndex>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace korvane {
namespace {

// The other formats follow the three of old, in the order of OtherFormat.
enum class AudioKind { Mp3, Wma, Ogg, Flac, M4a, Opus, Wv, Ape, None };

// The endings in the order of preference; the index is the AudioKind.
constexpr std::array<std::string_view, 8> kEndings = {".mp3", ".wma",  ".ogg", ".flac",
                                                      ".m4a", ".opus", ".wv",  ".ape"};
constexpr std::size_t kClassicKinds = 3;

// The album's one audio file. `readable` is false for an entry that is not a regular file (a
// folder named like an mp3, a dangling link, a pipe that would block the open): it is taken as
// the file of its kind all the same, and reads as a file that cannot be opened.
struct AudioFile {
    AudioKind kind = AudioKind::None;
    std::filesystem::path path;
    bool readable = false;
};

AudioKind kindOf(std::string_view name, std::size_t kinds) {
    for (std::size_t i = 0; i < kinds; ++i) {
        if (endsWithNoCase(name, kEndings[i]))
            return static_cast<AudioKind>(i);
    }
    return AudioKind::None;
}

// The first mp3 of the listing, else the first wma, else the first ogg, then (with the other
// formats on) flac, m4a, opus, wv, ape; only the chosen entry is examined further, and only
// when the listing cannot tell that it is a regular file.
AudioFile chooseAudioFile(const QString& folder, const std::vector<FolderEntry>& listing,
                          bool otherFormats) {
    const std::size_t kinds = otherFormats ? kEndings.size() : kClassicKinds;
    AudioFile chosen;
    const FolderEntry* pick = nullptr;
    for (const FolderEntry& entry : listing) {
        const AudioKind kind = kindOf(entry.name, kinds);
        if (kind < chosen.kind) {
            chosen.kind = kind;
            pick = &entry;
            if (kind == AudioKind::Mp3)
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

// A file that cannot be opened, is not of its kind or is damaged leaves the reader at its
// initial values: the row still gets its cells. Long reads run the pump now and then, so that
// the window stays alive; a pump saying false ends the read.
template <typename Reader>
void loadOrReset(Reader& reader, const AudioFile& file, const Pump& pump) {
    if (!file.readable || !tags::loadFromFile(reader, file.path, pump))
        reader.reset();
}

// The three frames of the second ID3v2 reader, read on first use and at most once per file.
// A damaged tag (an unopenable file, a short tag, an unknown encoding) reads as a tag without
// those frames.
class SecondTag {
public:
    SecondTag(const std::filesystem::path& path, codepage::Choice choice)
        : m_path(path), m_choice(choice) {}
    const std::string& leadArtist() { return texts().leadArtist; }
    const std::string& album() { return texts().album; }
    const std::string& contentType() { return texts().contentType; }

private:
    struct Texts {
        std::string leadArtist; // the first entry; empty for a list without entries
        std::string album;
        std::string contentType;
    };
    const Texts& texts();

    const std::filesystem::path& m_path;
    codepage::Choice m_choice;
    bool m_read = false;
    Texts m_texts;
};

const SecondTag::Texts& SecondTag::texts() {
    if (m_read)
        return m_texts;
    m_read = true;
    tags::Id3v2FrameReader tag(m_choice);
    tag.load(m_path); // damaged leaves it empty
    const std::vector<std::string>& lead = tag.texts.leadArtist;
    const std::vector<std::string>& content = tag.texts.contentType;
    m_texts.leadArtist = lead.empty() ? std::string() : lead.front();
    m_texts.album = tag.texts.album;
    m_texts.contentType = content.empty() ? std::string() : content.front();
    return m_texts;
}

using Details = AlbumCells;

// Artist and album from the tags: ID3v2, then the second reader for version 4 and later (which
// then decides alone), then ID3v1. Nothing when no rule finds both names.
void namesFromTags(const tags::MpegAudioReader& mpeg, SecondTag& second, const QString& separator,
                   QString& caption) {
    const tags::Id3v2Reader& v2 = mpeg.id3v2;
    const tags::Id3v1Reader& v1 = mpeg.id3v1;
    std::string_view artist;
    std::string_view album;
    if (v2.exists && !isBlank(v2.artist) && !isBlank(v2.album)) {
        artist = v2.artist;
        album = v2.album;
    } else if (v2.exists && v2.version >= 4) {
        artist = second.leadArtist();
        album = second.album();
    } else if (v1.exists) {
        artist = v1.fullArtist();
        album = v1.fullAlbum();
    }
    if (!isBlank(artist) && !isBlank(album))
        caption = fromUtf8(artist) + separator + fromUtf8(album);
}

QString mp3Style(const tags::MpegAudioReader& mpeg, SecondTag& second) {
    const tags::Id3v2Reader& v2 = mpeg.id3v2;
    const tags::Id3v1Reader& v1 = mpeg.id3v1;
    if (v2.exists && !isBlank(v2.genre))
        return fromUtf8(tags::trimBlanks(v2.genre));
    if (v2.exists && v2.version >= 4) {
        const std::string& content = second.contentType();
        return content.empty() ? kNone : fromUtf8(content);
    }
    const std::string genre = v1.exists ? v1.genreName() : std::string();
    return isBlank(genre) ? kNone : fromUtf8(tags::trimBlanks(genre));
}

// The ID3v2 year, else a four-digit ID3v1 year.
std::string_view mp3Year(const tags::MpegAudioReader& mpeg) {
    if (mpeg.id3v2.exists && !isBlank(mpeg.id3v2.year))
        return mpeg.id3v2.year;
    const std::string_view year = mpeg.id3v1.year;
    if (mpeg.id3v1.exists && year.size() == 4 &&
        year.find_first_not_of("0123456789") == std::string_view::npos)
        return year;
    return {};
}

void mp3Details(const AudioFile& file, const QString& separator, const Toggles& options,
                const Pump& pump, Details& details) {
    tags::MpegAudioReader mpeg(options.tagEncoding);
    loadOrReset(mpeg, file, pump);
    SecondTag second(file.path, options.tagEncoding);
    const tags::Id3v2Reader& v2 = mpeg.id3v2;

    if (options.artistFromID3)
        namesFromTags(mpeg, second, separator, details.caption);
    if (options.albumUppercase)
        groupInCapitals(details.caption, separator);
    if (options.yearInColumn)
        appendYear(details.caption, fromUtf8(mp3Year(mpeg)));

    details.bitrate = QString::number(mpeg.bitRate());
    if (options.showVBR && mpeg.vbr.found)
        details.bitrate.prepend(QStringLiteral("VBR "));
    details.style = mp3Style(mpeg, second);
    details.country = countryNote(fromUtf8(v2.comment));
    addCloseTexts(mpeg.id3v2.eightBit, details);
    addCloseTexts(mpeg.id3v1.eightBit, details);
}

void wmaDetails(const AudioFile& file, const QString& separator, const Toggles& options,
                const Pump& pump, Details& details) {
    tags::WmaReader wma;
    loadOrReset(wma, file, pump);
    details.bitrate = QStringLiteral("wma ") + QString::number(wma.bitRate);
    applyAlbumTags({wma.artist, wma.album, wma.year, wma.genre, wma.comment}, separator, options,
                   details);
}

void oggDetails(const AudioFile& file, const QString& separator, const Toggles& options,
                const Pump& pump, Details& details) {
    tags::OggVorbisReader ogg(options.tagEncoding);
    loadOrReset(ogg, file, pump);
    addCloseTexts(ogg.eightBit, details);
    details.bitrate = QStringLiteral("ogg ") + QString::number(ogg.bitRate());
    // The mp3-only rule shows DATE as written; the rule of every format its first four digits.
    const std::string year = options.mp3NamesOnly ? ogg.date : tags::yearFromDate(ogg.date);
    applyAlbumTags({ogg.artist, ogg.album, year, ogg.genre, ogg.comment}, separator, options,
                   details);
}

} // namespace

void readAlbumDetails(const QString& folder, MusicList& list, int row, const QString& separator,
                      const Toggles& options, const Pump& pump) {
    readAlbumDetails(folder, folderEntries(folder), list, row, separator, options, pump);
}

bool holdsAudio(const std::vector<FolderEntry>& listing, bool otherFormats) {
    const std::size_t kinds = otherFormats ? kEndings.size() : kClassicKinds;
    return std::any_of(listing.begin(), listing.end(), [kinds](const FolderEntry& entry) {
        return entry.type != DT_DIR && kindOf(entry.name, kinds) != AudioKind::None;
    });
}

void readAlbumDetails(const QString& folder, const std::vector<FolderEntry>& listing,
                      MusicList& list, int row, const QString& separator, const Toggles& options,
                      const Pump& pump, const QString& mark) {
    const AudioFile file = chooseAudioFile(folder, listing, options.otherFormats);
    Details details{list.row(row).caption, kNone};
    // A pump during a long read may sort the list or remove the row.
    const QPersistentModelIndex place = list.index(row, 0);
    switch (file.kind) {
    case AudioKind::Mp3:
        mp3Details(file, separator, options, pump, details);
        break;
    case AudioKind::Wma:
        wmaDetails(file, separator, options, pump, details);
        break;
    case AudioKind::Ogg:
        oggDetails(file, separator, options, pump, details);
        break;
    case AudioKind::None:
        break;
    default:
        readOtherFormatDetails(
            static_cast<OtherFormat>(static_cast<int>(file.kind) - kClassicKinds),
            {file.path, file.readable}, listing, separator, options, details);
        break;
    }
    if (!place.isValid())
        return;
    row = place.row();
    // A tag of megabytes would slow every sort and export; no reader needs more than this.
    details.caption = text::cutText(details.caption, text::kMaxRowTextLength) + mark;
    if (details.caption != list.row(row).caption)
        list.setCaption(row, details.caption);
    if (!details.closeTexts.isEmpty())
        list.setCloseTexts(row, details.closeTexts);
    list.appendCell(row, details.bitrate);
    list.appendCell(row, text::cutText(details.style, text::kMaxRowTextLength));
    list.appendCell(row, text::cutText(details.country, text::kMaxRowTextLength));
    if (file.kind == AudioKind::Mp3 && pump)
        pump();
}

} // namespace korvane
