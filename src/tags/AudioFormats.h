#pragma once

#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"
#include "tags/ReadResult.h"
#include "tags/TagText.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string_view>
#include <vector>

// The one table from a kind of audio file to its reader, for the album details and for
// korvane-cli tags, and the one shape every reader's answer takes there.
namespace korvane::tags {

// In the album details' order of preference: a folder's first .mp3, else its first .wma, and
// so on. The first three are the formats of old; the others follow with the setting.
enum class AudioFormat { Mp3, Wma, Ogg, Flac, M4a, Opus, WavPack, MonkeysAudio };

struct AudioFormatInfo {
    AudioFormat format;
    std::string_view ending;   // of the file name, compared without regard to ASCII case
    std::string_view cellName; // before the kbit/s in the bitrate cell; none for mp3
    std::string_view tagsKey;  // the member of korvane-cli tags
    bool classic;              // one of the three formats of old
    bool image;                // may be a disc image that a cue sheet beside it describes
};

inline constexpr std::array<AudioFormatInfo, 8> kAudioFormats = {{
    {AudioFormat::Mp3, ".mp3", "", "mpeg", true, false},
    {AudioFormat::Wma, ".wma", "wma", "wma", true, false},
    {AudioFormat::Ogg, ".ogg", "ogg", "ogg", true, false},
    {AudioFormat::Flac, ".flac", "flac", "flac", false, true},
    {AudioFormat::M4a, ".m4a", "m4a", "mp4", false, false},
    {AudioFormat::Opus, ".opus", "opus", "opus", false, false},
    {AudioFormat::WavPack, ".wv", "wv", "wavpack", false, true},
    {AudioFormat::MonkeysAudio, ".ape", "ape", "ape", false, true},
}};

const AudioFormatInfo& formatInfo(AudioFormat format);
// The format whose ending the name has; only the three of old unless `otherFormats`.
std::optional<AudioFormat> formatOfName(std::string_view name, bool otherFormats);

// What the reader of any format gives: its answer, the names and the sound, the bitrate the
// list shows and the 8-bit texts it decoded. Anything but Read leaves the rest at its initial
// values.
struct AudioFileInfo {
    ReadResult result = ReadResult::notThisFormat();
    // For mp3 the names by the rules of its tags: artist and album both from the ID3v2 tag,
    // else (version 2.4) from the frames' lists, else from ID3v1; the genre likewise, blank
    // ones dropped; the year of ID3v2, else a four-digit ID3v1 year; the comment of ID3v2.
    AudioProperties properties;
    std::string date;         // as written, where the format keeps it apart (Ogg's DATE)
    std::int32_t bitRate = 0; // kbit/s as each format counts it
    bool vbr = false;         // mp3: a Xing or VBRI header
    // How long the file plays, from its headers (never by decoding): what the album totals add.
    double playSeconds = 0;
    std::vector<TextDecision> decisions;
};

// Reads the file as `format`; a stop ends a long read (the file then counts as unreadable).
AudioFileInfo readAudioFile(AudioFormat format, const std::filesystem::path& path,
                            codepage::Choice choice, const std::stop_token& stop = {});

} // namespace korvane::tags
