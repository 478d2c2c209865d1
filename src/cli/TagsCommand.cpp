#include "cli/Commands.h"

#include "cli/ScanCommand.h"
#include "files/FileName.h"
#include "music/AlbumCaption.h"
#include "tags/ApeTagReader.h"
#include "tags/AudioFormats.h"
#include "tags/CueSheetReader.h"
#include "tags/FlacReader.h"
#include "tags/Id3v1Reader.h"
#include "tags/Id3v2FrameReader.h"
#include "tags/Id3v2Reader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"
#include "tags/WmaReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>
#include <optional>

// korvane-cli tags FILE: every audio reader run on the file, one JSON member per reader. A new
// format is a row of the format table and one function below; a new tag, one line in
// kTagReaders.
namespace korvane::cli {
namespace {

using Path = std::filesystem::path;

// Every reader hands out UTF-8.
QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Texts of the Ogg reader and the newer formats are UTF-8 already.
QString utf8(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

QJsonArray texts(const std::vector<std::string>& items) {
    QJsonArray array;
    for (const std::string& item : items)
        array.append(text(item));
    return array;
}

QJsonValue number(std::int64_t value) {
    return QJsonValue(static_cast<qint64>(value));
}

// Each 8-bit text the reader decoded: its bytes, the code page chosen and by how many bits that
// reading beat the next one (negative when Windows-1251 stayed although another read a little
// better); "close" marks the choices a person may want to look at.
QJsonArray eightBitJson(const tags::EightBitTexts& eightBit) {
    QJsonArray array;
    for (const tags::TextDecision& d : eightBit.decisions()) {
        const std::string_view name = codepage::name(d.decision.encoding);
        array.append(QJsonObject{
            {"bytes", QString::fromLatin1(QByteArray::fromStdString(d.bytes).toHex())},
            {"text", text(d.text)},
            {"code_page", QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))},
            {"margin", d.decision.margin},
            {"close", d.decision.close},
        });
    }
    return array;
}

QJsonObject frameJson(const tags::MpegFrameInfo& frame) {
    QString header;
    for (const std::uint8_t byte : frame.header)
        header += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return {
        {"found", frame.found},
        {"position", number(frame.position)},
        {"size", frame.size},
        {"xing", frame.xing},
        {"header", header},
        {"version_index", frame.versionIndex},
        {"layer_index", frame.layerIndex},
        {"protection", frame.protection},
        {"bitrate_index", frame.bitrateIndex},
        {"sample_rate_index", frame.sampleRateIndex},
        {"padding", frame.padding},
        {"private", frame.privateBit},
        {"mode", frame.mode},
        {"mode_extension", frame.modeExtension},
        {"rights_bit", frame.rightsBit},
        {"original", frame.original},
        {"emphasis", frame.emphasis},
        {"table_bitrate", frame.bitRate()},
        {"sample_rate", number(frame.sampleRate())},
    };
}

// "loaded" as this command has always written it. For what a file may lack (the ID3 tags, the
// MPEG stream, WMA's header) it says that the reader could look at the file, and, where a header
// is wanted, that the file holds as many bytes as its signature; for a format known by its
// signature, that the file is one.
bool lookedAt(const tags::ReadResult& result) {
    return !result.isUnreadable();
}

bool holdsBytes(const Path& file, std::uintmax_t count) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return !error && size >= count;
}

QJsonObject mpegJson(const Path& file, codepage::Choice choice) {
    tags::MpegAudioReader mpeg(choice);
    const bool loaded = lookedAt(mpeg.load(file));
    const tags::VbrHeader& vbr = mpeg.vbr;
    return {
        {"loaded", loaded},
        {"file_length", number(mpeg.fileLength)},
        {"bitrate", mpeg.bitRate()},
        {"encoder_mark", text(mpeg.encoderMark)},
        {"vbr", QJsonObject{{"found", vbr.found},
                            {"id", text(vbr.id)},
                            {"frames", number(vbr.frames)},
                            {"bytes", number(vbr.bytes)},
                            {"scale", vbr.scale},
                            {"vendor", text(vbr.vendor)},
                            {"stream_bitrate", vbr.streamBitRate}}},
        {"frame", frameJson(mpeg.frame)},
        {"audio_start", number(mpeg.audioStart)},
        {"audio_end", number(mpeg.audioEnd)},
        {"declared_audio_size", number(mpeg.declaredAudioSize)},
    };
}

QJsonObject id3v1Json(const Path& file, codepage::Choice choice) {
    tags::Id3v1Reader tag(choice);
    const bool loaded = lookedAt(tag.load(file));
    return {
        {"loaded", loaded},
        {"exists", tag.exists},
        {"version", tag.version},
        {"title", text(tag.title)},
        {"artist", text(tag.artist)},
        {"album", text(tag.album)},
        {"year", text(tag.year)},
        {"comment", text(tag.comment)},
        {"track", tag.track},
        {"genre_code", tag.genreCode},
        {"genre_name", text(tag.genreName())},
        {"lyrics_found", tag.lyricsFound},
        {"lyrics_size", number(tag.lyricsSize)},
        {"long_artist", text(tag.longArtist)},
        {"long_album", text(tag.longAlbum)},
        {"long_title", text(tag.longTitle)},
        {"long_comment", text(tag.longComment)},
        {"image", text(tag.image)},
        {"author", text(tag.author)},
        {"lyrics", text(tag.lyrics)},
        {"full_artist", text(tag.fullArtist())},
        {"full_album", text(tag.fullAlbum())},
        {"tail_size", number(tag.tailSize())},
        {"eight_bit", eightBitJson(tag.eightBit)},
    };
}

QJsonObject id3v2Json(const Path& file, codepage::Choice choice) {
    tags::Id3v2Reader tag(choice);
    const bool loaded = lookedAt(tag.load(file)) && holdsBytes(file, 10);
    return {
        {"loaded", loaded},
        {"exists", tag.exists},
        {"version", tag.version},
        {"size", number(tag.size)},
        {"title", text(tag.title)},
        {"artist", text(tag.artist)},
        {"album", text(tag.album)},
        {"track", tag.track},
        {"track_text", text(tag.trackText)},
        {"year", text(tag.year)},
        {"genre", text(tag.genre)},
        {"comment", text(tag.comment)},
        {"composer", text(tag.composer)},
        {"encoder", text(tag.encoder)},
        {"rights_notice", text(tag.rightsNotice)},
        {"language", text(tag.language)},
        {"link", text(tag.link)},
        {"size_text", text(tag.sizeText)},
        {"eight_bit", eightBitJson(tag.eightBit)},
    };
}

QJsonObject id3v2FramesJson(const Path& file, codepage::Choice choice) {
    tags::Id3v2FrameReader tag(choice);
    const tags::ReadResult result = tag.load(file);
    // This reader reports its damage in words.
    if (result.isDamaged())
        return QJsonObject{{"loaded", false}, {"error", QString::fromStdString(result.reason())}};
    const tags::Id3v2Header& header = tag.header();
    QJsonObject json{
        {"loaded", true},
        {"has_tag", header.hasTag},
        {"major_version", header.majorVersion},
        {"revision", header.revision},
        {"flags", header.flags},
        {"size", number(header.size)},
        {"extended_header_size", number(tag.extendedHeaderSize())},
        {"frame_ids", texts(tag.frameIds())},
        {"lead_artist", texts(tag.texts.leadArtist)},
        {"album", text(tag.texts.album)},
        {"content_type", texts(tag.texts.contentType)},
        {"eight_bit", eightBitJson(tag.eightBit)},
    };
    if (tag.frameIdsLeftOut() > 0)
        json.insert(QStringLiteral("frame_ids_left_out"),
                    number(static_cast<std::int64_t>(tag.frameIdsLeftOut())));
    return json;
}

QJsonObject wmaJson(const Path& file, codepage::Choice) {
    tags::WmaReader wma;
    const bool loaded = !wma.load(file).isDamaged() && holdsBytes(file, 16);
    return {
        {"loaded", loaded},
        {"valid", wma.valid},
        {"file_size", number(wma.fileSize)},
        {"channels", wma.channels},
        {"sample_rate", number(wma.sampleRate)},
        {"duration", wma.duration},
        {"bitrate", number(wma.bitRate)},
        {"title", text(wma.title)},
        {"artist", text(wma.artist)},
        {"album", text(wma.album)},
        {"track", number(wma.track)},
        {"year", text(wma.year)},
        {"genre", text(wma.genre)},
        {"comment", text(wma.comment)},
    };
}

QJsonObject oggJson(const Path& file, codepage::Choice choice) {
    tags::OggVorbisReader ogg(choice);
    const bool loaded = ogg.load(file).isRead();
    return {
        {"loaded", loaded},
        {"file_size", number(ogg.fileSize)},
        {"channels", ogg.channels},
        {"sample_rate", number(ogg.sampleRate)},
        {"nominal_bitrate", ogg.nominalBitRate},
        {"samples", number(ogg.samples)},
        {"id3v2_size", number(ogg.id3v2Size)},
        {"title", utf8(ogg.title)},
        {"artist", utf8(ogg.artist)},
        {"album", utf8(ogg.album)},
        {"track", ogg.track},
        {"date", utf8(ogg.date)},
        {"genre", utf8(ogg.genre)},
        {"comment", utf8(ogg.comment)},
        {"vendor", utf8(ogg.vendor)},
        {"duration", ogg.duration()},
        {"bitrate", number(ogg.bitRate())},
        {"eight_bit", eightBitJson(ogg.eightBit)},
    };
}

// The common shape of the newer formats, with a reader's own members added.
QJsonObject propertiesJson(bool loaded, const tags::AudioProperties& p, QJsonObject own) {
    own.insert("loaded", loaded);
    own.insert("artist", utf8(p.artist));
    own.insert("album", utf8(p.album));
    own.insert("year", utf8(p.year));
    own.insert("genre", utf8(p.genre));
    own.insert("comment", utf8(p.comment));
    own.insert("sample_rate", p.sampleRate);
    own.insert("channels", p.channels);
    own.insert("duration", p.durationSeconds);
    own.insert("audio_bytes", number(p.audioBytes));
    own.insert("bitrate", p.bitRate());
    return own;
}

QJsonObject flacJson(const Path& file, codepage::Choice choice) {
    tags::FlacReader flac(choice);
    const bool loaded = flac.load(file).isRead();
    return propertiesJson(loaded, flac.properties,
                          {{"bits_per_sample", flac.bitsPerSample},
                           {"total_samples", number(flac.totalSamples)},
                           {"id3v2_size", number(flac.id3v2Size)},
                           {"eight_bit", eightBitJson(flac.eightBit)}});
}

QJsonObject opusJson(const Path& file, codepage::Choice choice) {
    tags::OpusReader opus(choice);
    const bool loaded = opus.load(file).isRead();
    return propertiesJson(loaded, opus.properties,
                          {{"input_sample_rate", opus.inputSampleRate},
                           {"pre_skip", opus.preSkip},
                           {"id3v2_size", number(opus.id3v2Size)},
                           {"eight_bit", eightBitJson(opus.eightBit)}});
}

QJsonObject mp4Json(const Path& file, codepage::Choice choice) {
    tags::Mp4Reader mp4(choice);
    const bool loaded = mp4.load(file).isRead();
    return propertiesJson(loaded, mp4.properties,
                          {{"brand", utf8(mp4.brand)},
                           {"codec", utf8(mp4.codec)},
                           {"bits_per_sample", mp4.bitsPerSample},
                           {"timescale", number(mp4.timescale)},
                           {"media_duration", number(static_cast<std::int64_t>(mp4.duration))},
                           {"media_data_bytes", number(mp4.mediaDataBytes)},
                           {"album_artist", utf8(mp4.albumArtist)},
                           {"eight_bit", eightBitJson(mp4.eightBit)}});
}

QJsonObject wavPackJson(const Path& file, codepage::Choice choice) {
    tags::WavPackReader wv(choice);
    const bool loaded = wv.load(file).isRead();
    return propertiesJson(loaded, wv.properties,
                          {{"block_start", number(wv.blockStart)},
                           {"version", wv.version},
                           {"total_samples", number(wv.totalSamples)},
                           {"bits_per_sample", wv.bitsPerSample},
                           {"lossless", wv.lossless},
                           {"eight_bit", eightBitJson(wv.tag.eightBit)}});
}

QJsonObject apeJson(const Path& file, codepage::Choice choice) {
    tags::MonkeysAudioReader ape(choice);
    const bool loaded = ape.load(file).isRead();
    return propertiesJson(loaded, ape.properties,
                          {{"header_start", number(ape.headerStart)},
                           {"version", ape.version},
                           {"compression_level", ape.compressionLevel},
                           {"blocks_per_frame", number(ape.blocksPerFrame)},
                           {"final_frame_blocks", number(ape.finalFrameBlocks)},
                           {"total_frames", number(ape.totalFrames)},
                           {"bits_per_sample", ape.bitsPerSample},
                           {"total_samples", number(ape.totalSamples)},
                           {"eight_bit", eightBitJson(ape.tag.eightBit)}});
}

QJsonObject apeTagJson(const Path& file, codepage::Choice choice) {
    tags::ApeTagReader tag(choice);
    const bool loaded = tag.load(file).isRead();
    return {
        {"loaded", loaded},
        {"version", number(tag.version)},
        {"start", number(tag.start)},
        {"size", number(tag.size)},
        {"id3v1_size", number(tag.id3v1Size)},
        {"item_count", number(tag.itemCount)},
        {"artist", utf8(tag.artist)},
        {"album_artist", utf8(tag.albumArtist)},
        {"album", utf8(tag.album)},
        {"year", utf8(tag.year)},
        {"genre", utf8(tag.genre)},
        {"comment", utf8(tag.comment)},
        {"eight_bit", eightBitJson(tag.eightBit)},
    };
}

QJsonObject cueJson(const Path& file, codepage::Choice choice) {
    tags::CueSheetReader cue(choice);
    // A cue sheet has no signature to tell it by, only its name, as in the album scan; read as
    // one, an audio file would be scanned for commands through its first megabyte.
    const bool loaded = endsWithNoCase(file.native(), ".cue") && cue.load(file).isRead();
    QJsonArray files;
    for (const std::string& name : cue.files)
        files.append(utf8(name));
    return {
        {"loaded", loaded},
        {"utf8", cue.utf8},
        {"performer", utf8(cue.performer)},
        {"title", utf8(cue.title)},
        {"date", utf8(cue.date)},
        {"genre", utf8(cue.genre)},
        {"comment", utf8(cue.comment)},
        {"files", files},
        {"eight_bit", eightBitJson(cue.eightBit)},
    };
}

struct Reader {
    const char* key;
    QJsonObject (*read)(const Path& file, codepage::Choice choice);
};

// The tags any file may carry.
const Reader kTagReaders[] = {
    {"id3v1", id3v1Json},  {"id3v2", id3v2Json}, {"id3v2_frames", id3v2FramesJson},
    {"apev2", apeTagJson}, {"cue", cueJson},
};

// The reader of each row of the format table.
QJsonObject formatJson(tags::AudioFormat format, const Path& file, codepage::Choice choice) {
    switch (format) {
    case tags::AudioFormat::Mp3:
        return mpegJson(file, choice);
    case tags::AudioFormat::Wma:
        return wmaJson(file, choice);
    case tags::AudioFormat::Ogg:
        return oggJson(file, choice);
    case tags::AudioFormat::Flac:
        return flacJson(file, choice);
    case tags::AudioFormat::M4a:
        return mp4Json(file, choice);
    case tags::AudioFormat::Opus:
        return opusJson(file, choice);
    case tags::AudioFormat::WavPack:
        return wavPackJson(file, choice);
    case tags::AudioFormat::MonkeysAudio:
        return apeJson(file, choice);
    }
    return {};
}

// Whether the format's reader found its stream: WMA's "loaded" says only that the header could
// be looked at.
bool recognised(tags::AudioFormat format, const QJsonObject& json) {
    return json[format == tags::AudioFormat::Wma ? QLatin1String("valid") : QLatin1String("loaded")]
        .toBool();
}

QLatin1String keyOf(const tags::AudioFormatInfo& format) {
    return QLatin1String(format.tagsKey.data(), static_cast<qsizetype>(format.tagsKey.size()));
}

} // namespace

int runTagsCommand(const QStringList& args, Context& context) {
    QStringList names;
    std::optional<codepage::Choice> given;
    for (int i = 0; i < args.size();) {
        if (!takeEncodingOption(args, i, given))
            names.append(args.at(i++));
    }
    if (names.size() != 1)
        throw UsageError("tags needs exactly one FILE");
    // Without --encoding, the setting of the program folder's set.ini.
    const codepage::Choice choice = given ? *given : [&context] {
        SettingsFile settings = readSettings(programFolder(context), context);
        return Settings(settings).tagEncoding();
    }();
    // The name's bytes as given, whatever their encoding.
    const Path file(files::encodeFileName(names.first()).toStdString());
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        throw CommandError("no such file: " + file.string());

    QJsonObject result;
    for (const Reader& reader : kTagReaders)
        result.insert(QLatin1String(reader.key), reader.read(file, choice));
    // A file that a format knows by its signature is not searched for MPEG frames, a search
    // that would otherwise walk the whole file (minutes for a long FLAC).
    QString recognisedBy;
    for (const tags::AudioFormatInfo& format : tags::kAudioFormats) {
        if (format.format == tags::AudioFormat::Mp3)
            continue;
        const QJsonObject json = formatJson(format.format, file, choice);
        if (recognisedBy.isEmpty() && recognised(format.format, json))
            recognisedBy = keyOf(format);
        result.insert(keyOf(format), json);
    }
    const tags::AudioFormatInfo& mpeg = tags::formatInfo(tags::AudioFormat::Mp3);
    result.insert(keyOf(mpeg),
                  recognisedBy.isEmpty()
                      ? formatJson(mpeg.format, file, choice)
                      : QJsonObject{{"loaded", false}, {"skipped", "the file is " + recognisedBy}});
    context.out << QJsonDocument(result).toJson(QJsonDocument::Indented).toStdString();
    return kExitOk;
}

} // namespace korvane::cli
