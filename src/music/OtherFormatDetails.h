#pragma once

#include "files/FolderWalker.h"
#include "music/AlbumCaption.h"
#include "tags/AudioFormats.h"

#include <filesystem>
#include <vector>

// What the formats that followed mp3, wma and ogg add to the album details: a FLAC, WavPack or
// APE file that is the folder's only file of its kind is an image, and a CUE sheet beside it
// names the album.
namespace korvane {

// The sheet's names first; the image's own tags fill what the sheet lacks. Nothing unless
// `format` may be an image, `image` is the folder's only file of its kind and a .cue lies
// beside it (one named after the image first).
void applyCueSheet(const tags::AudioFormatInfo& format, const std::filesystem::path& image,
                   const std::vector<FolderEntry>& listing, codepage::Choice choice,
                   tags::AudioProperties& properties, QList<CloseText>& closeTexts);

} // namespace korvane
