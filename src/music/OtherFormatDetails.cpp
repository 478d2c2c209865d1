#include "music/OtherFormatDetails.h"

#include "tags/AudioProperties.h"
#include "tags/CueSheetReader.h"
#include "tags/FlacReader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"

#include <array>
#include <string>
#include <string_view>

namespace korvane {
namespace {

// In the order of OtherFormat: the shown name, which is also the file ending after the dot.
constexpr std::array<std::string_view, 5> kNames = {"flac", "m4a", "opus", "wv", "ape"};

// A reader that cannot fail the row: a file that cannot be opened, is not of its kind or is
// damaged gives nothing.
template <typename Reader>
tags::AudioProperties readProperties(const ChosenFile& file, Reader reader, AlbumCells& cells) {
    if (!file.readable || !reader.load(file.path))
        return {};
    if constexpr (requires { reader.tag.eightBit; })
        addCloseTexts(reader.tag.eightBit, cells);
    if constexpr (requires { reader.eightBit; })
        addCloseTexts(reader.eightBit, cells);
    return reader.properties;
}

tags::AudioProperties readProperties(OtherFormat format, const ChosenFile& file,
                                     codepage::Choice choice, AlbumCells& cells) {
    switch (format) {
    case OtherFormat::Flac:
        return readProperties(file, tags::FlacReader(choice), cells);
    case OtherFormat::M4a:
        return readProperties(file, tags::Mp4Reader(choice), cells);
    case OtherFormat::Opus:
        return readProperties(file, tags::OpusReader(choice), cells);
    case OtherFormat::WavPack:
        return readProperties(file, tags::WavPackReader(choice), cells);
    case OtherFormat::MonkeysAudio:
        return readProperties(file, tags::MonkeysAudioReader(choice), cells);
    }
    return {};
}

// The cue sheet of an image: the image must be the folder's only file of its kind; a sheet
// named after the image ("a.cue" or "a.flac.cue") comes before any other .cue.
const FolderEntry* cueOf(std::string_view ending, const ChosenFile& image,
                         const std::vector<FolderEntry>& listing) {
    const std::string imageName = image.path.filename().string();
    const std::string stem = image.path.stem().string();
    const FolderEntry* first = nullptr;
    int images = 0;
    for (const FolderEntry& entry : listing) {
        if (endsWithNoCase(entry.name, ending))
            ++images;
        else if (endsWithNoCase(entry.name, ".cue")) {
            const std::string_view base =
                std::string_view(entry.name).substr(0, entry.name.size() - 4);
            if (base == stem || base == imageName)
                first = &entry;
            else if (first == nullptr)
                first = &entry;
        }
    }
    return images == 1 ? first : nullptr;
}

// The sheet's names first; the image's own tags fill what the sheet lacks.
void applyCueSheet(const std::filesystem::path& path, codepage::Choice choice,
                   tags::AudioProperties& properties, AlbumCells& cells) {
    tags::CueSheetReader cue(choice);
    if (!cue.load(path))
        return;
    addCloseTexts(cue.eightBit, cells);
    const auto prefer = [](const std::string& sheet, std::string& tag) {
        if (!tags::trimBlanks(sheet).empty())
            tag = sheet;
    };
    prefer(cue.performer, properties.artist);
    prefer(cue.title, properties.album);
    prefer(tags::yearFromDate(cue.date), properties.year);
    prefer(cue.genre, properties.genre);
    prefer(cue.comment, properties.comment);
}

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void readOtherFormatDetails(OtherFormat format, const ChosenFile& file,
                            const std::vector<FolderEntry>& listing, const QString& separator,
                            const Toggles& options, AlbumCells& cells) {
    const std::string_view name = kNames[static_cast<std::size_t>(format)];
    tags::AudioProperties properties = readProperties(format, file, options.tagEncoding, cells);
    if (format == OtherFormat::Flac || format == OtherFormat::WavPack ||
        format == OtherFormat::MonkeysAudio) {
        if (const FolderEntry* cue = cueOf("." + std::string(name), file, listing))
            applyCueSheet(file.path.parent_path() / cue->name, options.tagEncoding, properties,
                          cells);
    }

    applyAlbumTags({properties.artist, properties.album, properties.year, properties.genre,
                    properties.comment},
                   separator, options, cells);
    cells.bitrate = utf8(name) + u' ' + QString::number(properties.bitRate());
}

} // namespace korvane
