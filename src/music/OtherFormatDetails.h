#pragma once

#include "files/FolderWalker.h"
#include "music/AlbumCaption.h"
#include "settings/Toggles.h"

#include <filesystem>
#include <vector>

// The album details of the formats that followed mp3, wma and ogg: FLAC, M4A, Opus, WavPack,
// Monkey's Audio, and a CUE sheet beside an image file.
namespace korvane {

enum class OtherFormat { Flac, M4a, Opus, WavPack, MonkeysAudio };

struct ChosenFile {
    std::filesystem::path path;
    bool readable = false; // false for an entry that is no regular file
};

// Fills the cells from `file` of `format`: the bitrate cell "<ext> <kbit/s>", the genre, the
// country note, and the Folder text as the toggles say. A FLAC, WavPack or APE file that is
// the folder's only file of its kind is an image: a .cue beside it gives the names first.
// A file that cannot be read gives a bitrate of 0 and "-" cells.
void readOtherFormatDetails(OtherFormat format, const ChosenFile& file,
                            const std::vector<FolderEntry>& listing, const QString& separator,
                            const Toggles& options, AlbumCells& cells);

} // namespace korvane
