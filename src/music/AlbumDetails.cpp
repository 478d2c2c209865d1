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

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

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

// A reader's Load that cannot fail the row: a file that cannot be opened, or any error while
// reading, leaves the reader at its initial values. A stop ends a long read the same way.
template <typename Reader>
void loadOrReset(Reader& reader, const AudioFile& file, const std::stop_token& stop) {
    try {
        if (file.readable && tags::loadFromFile(reader, file.path, stop))
            return;
    } catch (const std::exception&) {
    }
    reader.reset();
}

// The three frames of the second ID3v2 reader, read on first use and at most once per file.
// Whatever it raises (an unopenable file, a short tag, an unknown encoding) reads as a tag
// without those frames.
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
    try {
        tags::Id3v2FrameReader tag(m_choice);
        tag.setFileName(m_path);
        tag.setActive(true);
        const tags::Id3v2TextList& lead = tag.texts.leadArtist();
        const tags::Id3v2TextList& content = tag.texts.contentType();
        m_texts.leadArtist = lead.empty() ? std::string() : lead[0];
        m_texts.album = tag.texts.album();
        m_texts.contentType = content.empty() ? std::string() : content[0];
    } catch (const std::exception&) {
        m_texts = Texts();
    }
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
                const std::stop_token& stop, Details& details) {
    tags::MpegAudioReader mpeg(options.tagEncoding);
    loadOrReset(mpeg, file, stop);
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
                const std::stop_token& stop, Details& details) {
    tags::WmaReader wma;
    loadOrReset(wma, file, stop);
    details.bitrate = QStringLiteral("wma ") + QString::number(wma.bitRate);
    applyAlbumTags({wma.artist, wma.album, wma.year, wma.genre, wma.comment}, separator, options,
                   details);
}

void oggDetails(const AudioFile& file, const QString& separator, const Toggles& options,
                const std::stop_token& stop, Details& details) {
    tags::OggVorbisReader ogg(options.tagEncoding);
    loadOrReset(ogg, file, stop);
    addCloseTexts(ogg.eightBit, details);
    details.bitrate = QStringLiteral("ogg ") + QString::number(ogg.bitRate());
    // The mp3-only rule shows DATE as written; the rule of every format its first four digits.
    const std::string year = options.mp3NamesOnly ? ogg.date : tags::yearFromDate(ogg.date);
    applyAlbumTags({ogg.artist, ogg.album, year, ogg.genre, ogg.comment}, separator, options,
                   details);
}

} // namespace

void readAlbumDetails(const QString& folder, MusicRow& row, const QString& separator,
                      const Toggles& options, const std::stop_token& stop) {
    readAlbumDetails(folder, folderEntries(folder), row, separator, options, stop);
}

bool holdsAudio(const std::vector<FolderEntry>& listing, bool otherFormats) {
    const std::size_t kinds = otherFormats ? kEndings.size() : kClassicKinds;
    return std::any_of(listing.begin(), listing.end(), [kinds](const FolderEntry& entry) {
        return entry.type != DT_DIR && kindOf(entry.name, kinds) != AudioKind::None;
    });
}

void readAlbumDetails(const QString& folder, const std::vector<FolderEntry>& listing, MusicRow& row,
                      const QString& separator, const Toggles& options, const std::stop_token& stop,
                      const QString& mark) {
    const AudioFile file = chooseAudioFile(folder, listing, options.otherFormats);
    Details details{row.caption, kNone};
    switch (file.kind) {
    case AudioKind::Mp3:
        mp3Details(file, separator, options, stop, details);
        break;
    case AudioKind::Wma:
        wmaDetails(file, separator, options, stop, details);
        break;
    case AudioKind::Ogg:
        oggDetails(file, separator, options, stop, details);
        break;
    case AudioKind::None:
        break;
    default:
        readOtherFormatDetails(
            static_cast<OtherFormat>(static_cast<int>(file.kind) - kClassicKinds),
            {file.path, file.readable}, listing, separator, options, details);
        break;
    }
    // A tag of megabytes would slow every sort and export; no reader needs more than this.
    row.caption = text::cutText(details.caption, text::kMaxRowTextLength) + mark;
    if (!details.closeTexts.isEmpty())
        row.closeTexts = details.closeTexts;
    row.cells.append(details.bitrate);
    row.cells.append(text::cutText(details.style, text::kMaxRowTextLength));
    row.cells.append(text::cutText(details.country, text::kMaxRowTextLength));
}

} // namespace korvane
