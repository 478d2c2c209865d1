#include "music/OtherFormatDetails.h"

#include "tags/CueSheetReader.h"

#include <string>
#include <string_view>

namespace korvane {
namespace {

// The cue sheet of an image: the image must be the folder's only file of its kind; a sheet
// named after the image ("a.cue" or "a.flac.cue") comes before any other .cue.
const FolderEntry* cueOf(std::string_view ending, const std::filesystem::path& image,
                         const std::vector<FolderEntry>& listing) {
    const std::string imageName = image.filename().string();
    const std::string stem = image.stem().string();
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

} // namespace

void applyCueSheet(const tags::AudioFormatInfo& format, const std::filesystem::path& image,
                   const std::vector<FolderEntry>& listing, codepage::Choice choice,
                   tags::AudioProperties& properties, QList<CloseText>& closeTexts) {
    if (!format.image)
        return;
    const FolderEntry* sheet = cueOf(format.ending, image, listing);
    if (sheet == nullptr)
        return;
    tags::CueSheetReader cue(choice);
    if (!cue.load(image.parent_path() / sheet->name))
        return;
    addCloseTexts(cue.eightBit.decisions(), closeTexts);
    const auto prefer = [](const std::string& value, std::string& tag) {
        if (!tags::trimBlanks(value).empty())
            tag = value;
    };
    prefer(cue.performer, properties.artist);
    prefer(cue.title, properties.album);
    prefer(tags::yearFromDate(cue.date), properties.year);
    prefer(cue.genre, properties.genre);
    prefer(cue.comment, properties.comment);
}

} // namespace korvane
