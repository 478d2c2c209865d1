#include "tags/AudioFormats.h"

#include "tags/FlacReader.h"
#include "tags/Id3v2FrameReader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"
#include "tags/WmaReader.h"

#include <algorithm>

namespace korvane::tags {
namespace {

bool endsWithNoCase(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size())
        return false;
    return std::equal(ending.begin(), ending.end(), name.end() - ending.size(), [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

bool isBlank(std::string_view text) {
    return trimBlanks(text).empty();
}

void addDecisions(const EightBitTexts& texts, AudioFileInfo& info) {
    info.decisions.insert(info.decisions.end(), texts.decisions().begin(), texts.decisions().end());
}

// The first entry of a list; empty for a list without entries.
std::string first(const std::vector<std::string>& list) {
    return list.empty() ? std::string() : list.front();
}

// The second ID3v2 reader, on the file itself: a damaged tag reads as one without the frames.
Id3v2FrameTexts frameTexts(const std::filesystem::path& path, codepage::Choice choice) {
    Id3v2FrameReader tag(choice);
    tag.load(path);
    return tag.texts;
}

void mp3Names(const MpegAudioReader& mpeg, const std::filesystem::path& path,
              codepage::Choice choice, AudioProperties& p) {
    const Id3v2Reader& v2 = mpeg.id3v2;
    const Id3v1Reader& v1 = mpeg.id3v1;
    // Version 2.4 lists the frames' values apart: the second reader decides alone there.
    std::optional<Id3v2FrameTexts> frames;
    const auto fromFrames = [&]() -> const Id3v2FrameTexts& {
        if (!frames)
            frames = frameTexts(path, choice);
        return *frames;
    };
    if (v2.exists && !isBlank(v2.artist) && !isBlank(v2.album)) {
        p.artist = v2.artist;
        p.album = v2.album;
    } else if (v2.exists && v2.version >= 4) {
        p.artist = first(fromFrames().leadArtist);
        p.album = fromFrames().album;
    } else if (v1.exists) {
        p.artist = v1.fullArtist();
        p.album = v1.fullAlbum();
    }
    if (v2.exists && !isBlank(v2.genre)) {
        p.genre = trimBlanks(v2.genre);
    } else if (v2.exists && v2.version >= 4) {
        p.genre = first(fromFrames().contentType);
    } else if (v1.exists) {
        const std::string genre = v1.genreName();
        p.genre = trimBlanks(genre);
    }
    const std::string_view year = v1.year;
    if (v2.exists && !isBlank(v2.year))
        p.year = v2.year;
    else if (v1.exists && year.size() == 4 &&
             year.find_first_not_of("0123456789") == std::string_view::npos)
        p.year = year;
    p.comment = v2.comment;
}

AudioFileInfo readMp3(const std::filesystem::path& path, codepage::Choice choice,
                      const std::stop_token& stop) {
    AudioFileInfo info;
    MpegAudioReader mpeg(choice);
    info.result = loadFromFile(mpeg, path, stop);
    if (!info.result)
        return info;
    mp3Names(mpeg, path, choice, info.properties);
    info.properties.sampleRate = static_cast<std::int32_t>(mpeg.frame.sampleRate());
    info.properties.channels = mpeg.frame.mode == 3 ? 1 : 2;
    info.properties.audioBytes = mpeg.audioEnd - mpeg.audioStart;
    info.bitRate = mpeg.bitRate();
    info.vbr = mpeg.vbr.found;
    info.playSeconds = mpeg.playSeconds();
    addDecisions(mpeg.id3v2.eightBit, info);
    addDecisions(mpeg.id3v1.eightBit, info);
    return info;
}

AudioFileInfo readWma(const std::filesystem::path& path, const std::stop_token& stop) {
    AudioFileInfo info;
    WmaReader wma;
    info.result = loadFromFile(wma, path, stop);
    if (!info.result)
        return info;
    info.properties = {wma.artist,  wma.album,      wma.year,     wma.genre,
                       wma.comment, wma.sampleRate, wma.channels, wma.duration};
    info.bitRate = wma.bitRate;
    info.playSeconds = wma.playSeconds;
    return info;
}

AudioFileInfo readOgg(const std::filesystem::path& path, codepage::Choice choice,
                      const std::stop_token& stop) {
    AudioFileInfo info;
    OggVorbisReader ogg(choice);
    info.result = loadFromFile(ogg, path, stop);
    if (!info.result)
        return info;
    info.properties = {ogg.artist,   ogg.album,      yearFromDate(ogg.date),
                       ogg.genre,    ogg.comment,    ogg.sampleRate,
                       ogg.channels, ogg.duration(), ogg.audioBytes};
    info.date = ogg.date;
    info.bitRate = ogg.bitRate();
    info.playSeconds = ogg.duration();
    addDecisions(ogg.eightBit, info);
    return info;
}

// The formats whose readers give AudioProperties themselves.
template <typename Reader>
AudioFileInfo readProperties(Reader reader, const std::filesystem::path& path,
                             const std::stop_token& stop) {
    AudioFileInfo info;
    info.result = loadFromFile(reader, path, stop);
    if (!info.result)
        return info;
    info.properties = reader.properties;
    info.bitRate = reader.properties.bitRate();
    info.playSeconds = reader.properties.durationSeconds;
    if constexpr (requires { reader.tag.eightBit; })
        addDecisions(reader.tag.eightBit, info);
    if constexpr (requires { reader.eightBit; })
        addDecisions(reader.eightBit, info);
    return info;
}

} // namespace

const AudioFormatInfo& formatInfo(AudioFormat format) {
    return kAudioFormats[static_cast<std::size_t>(format)];
}

std::optional<AudioFormat> formatOfName(std::string_view name, bool otherFormats) {
    for (const AudioFormatInfo& info : kAudioFormats) {
        if ((otherFormats || info.classic) && endsWithNoCase(name, info.ending))
            return info.format;
    }
    return std::nullopt;
}

AudioFileInfo readAudioFile(AudioFormat format, const std::filesystem::path& path,
                            codepage::Choice choice, const std::stop_token& stop) {
    switch (format) {
    case AudioFormat::Mp3:
        return readMp3(path, choice, stop);
    case AudioFormat::Wma:
        return readWma(path, stop);
    case AudioFormat::Ogg:
        return readOgg(path, choice, stop);
    case AudioFormat::Flac:
        return readProperties(FlacReader(choice), path, stop);
    case AudioFormat::M4a:
        return readProperties(Mp4Reader(choice), path, stop);
    case AudioFormat::Opus:
        return readProperties(OpusReader(choice), path, stop);
    case AudioFormat::WavPack:
        return readProperties(WavPackReader(choice), path, stop);
    case AudioFormat::MonkeysAudio:
        return readProperties(MonkeysAudioReader(choice), path, stop);
    }
    return {};
}

} // namespace korvane::tags
