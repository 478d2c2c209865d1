#pragma once

#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>

// MP4 / M4A audio (AAC or ALAC): the box tree of moov for the first sound track (mdhd for the
// duration, stsd for the codec, rate and channels), the mdat boxes for the size of the media
// data, and the iTunes metadata list moov/udta/meta/ilst for the names. Texts are UTF-8.
// A fragmented movie (ffmpeg's empty_moov, DASH downloads) adds the sound track's samples in
// the movie fragments (moof) to its length, unless mvex/mehd states the whole length. With other
// tracks beside the sound (a video), the audio bytes are the sound track's own samples (stsz and
// the fragments' runs), not every mdat.
namespace korvane::tags {

class Mp4Reader {
public:
    explicit Mp4Reader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = Mp4Reader(eightBit.choice()); }
    // Read when the file starts with an ftyp box and holds a moov box; not this format without
    // ftyp; damaged without moov. Every field is reset unless read.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    std::string brand; // ftyp's major brand, "M4A " for iTunes audio
    std::string codec; // the sample entry: "mp4a" (AAC), "alac", ...
    std::int32_t bitsPerSample = 0;
    std::uint32_t timescale = 0;     // of the sound track's mdhd
    std::uint64_t duration = 0;      // in timescale units, the fragments' samples included
    std::int64_t mediaDataBytes = 0; // the payload of every top-level mdat
    std::string albumArtist;         // aART
    AudioProperties properties;      // artist is ©ART, else aART
    // Items are declared UTF-8; one whose bytes are not is read as an 8-bit text.
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
