#include "cli/Commands.h"

#include "tags/ID3v1.h"
#include "tags/ID3v2.h"
#include "tags/JvID3v2.h"
#include "tags/MPEGaudio.h"
#include "tags/OggVorbis.h"
#include "tags/WMAfile.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

// korvane-cli tags FILE: every audio reader run on the file, one JSON member per reader. A new
// reader is one function below and one line in kReaders.
namespace korvane::cli {
namespace {

using Path = std::filesystem::path;

// 8-bit tag texts are Windows-1251.
QString text(const std::string& bytes) {
    return QString::fromStdString(cp1251::toUtf8(bytes));
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

QJsonObject mpegJson(const Path& file) {
    tags::TMPEGaudio mpeg;
    const bool loaded = mpeg.Load(file);
    const tags::VBRData& vbr = mpeg.VBR;
    return {
        {"loaded", loaded},
        {"file_length", number(mpeg.FileLength)},
        {"bitrate", mpeg.BitRate()},
        {"encoder_mark", text(mpeg.EncoderMark)},
        {"vbr", QJsonObject{{"found", vbr.found},
                            {"id", text(vbr.id)},
                            {"frames", number(vbr.frames)},
                            {"bytes", number(vbr.bytes)},
                            {"scale", vbr.scale},
                            {"vendor", text(vbr.vendor)}}},
        {"frame", frameJson(mpeg.Frame)},
        {"audio_start", number(mpeg.AudioStart)},
        {"audio_end", number(mpeg.AudioEnd)},
        {"declared_audio_size", number(mpeg.DeclaredAudioSize)},
    };
}

QJsonObject id3v1Json(const Path& file) {
    tags::TID3v1 tag;
    const bool loaded = tag.Load(file);
    return {
        {"loaded", loaded},
        {"exists", tag.Exists},
        {"version", tag.Version},
        {"title", text(tag.Title)},
        {"artist", text(tag.Artist)},
        {"album", text(tag.Album)},
        {"year", text(tag.Year)},
        {"comment", text(tag.Comment)},
        {"track", tag.Track},
        {"genre_code", tag.GenreCode},
        {"genre_name", text(tag.GenreName())},
        {"lyrics_found", tag.LyricsFound},
        {"lyrics_size", number(tag.LyricsSize)},
        {"long_artist", text(tag.LongArtist)},
        {"long_album", text(tag.LongAlbum)},
        {"long_title", text(tag.LongTitle)},
        {"long_comment", text(tag.LongComment)},
        {"image", text(tag.Image)},
        {"author", text(tag.Author)},
        {"lyrics", text(tag.Lyrics)},
        {"full_artist", text(tag.FullArtist())},
        {"full_album", text(tag.FullAlbum())},
        {"tail_size", number(tag.TailSize())},
    };
}

QJsonObject id3v2Json(const Path& file) {
    tags::TID3v2 tag;
    const bool loaded = tag.Load(file);
    return {
        {"loaded", loaded},
        {"exists", tag.Exists},
        {"version", tag.Version},
        {"size", number(tag.Size)},
        {"title", text(tag.Title)},
        {"artist", text(tag.Artist)},
        {"album", text(tag.Album)},
        {"track", tag.Track},
        {"track_text", text(tag.TrackText)},
        {"year", text(tag.Year)},
        {"genre", text(tag.Genre)},
        {"comment", text(tag.Comment)},
        {"composer", text(tag.Composer)},
        {"encoder", text(tag.Encoder)},
        {"rights_notice", text(tag.RightsNotice)},
        {"language", text(tag.Language)},
        {"link", text(tag.Link)},
        {"size_text", text(tag.SizeText)},
    };
}

QJsonObject jvid3v2Json(const Path& file) {
    tags::TJvID3v2 tag;
    tag.setFileName(file);
    tag.setActive(true);
    const tags::JvID3Header& header = tag.Header();
    return {
        {"loaded", tag.Active()},
        {"has_tag", header.hasTag},
        {"major_version", header.majorVersion},
        {"revision", header.revision},
        {"flags", header.flags},
        {"size", number(header.size)},
        {"extended_header_size", number(tag.ExtendedHeaderSize())},
        {"frame_ids", texts(tag.FrameIds())},
        {"lead_artist", texts(tag.Texts.LeadArtist().items())},
        {"album", text(tag.Texts.Album())},
        {"content_type", texts(tag.Texts.ContentType().items())},
    };
}

QJsonObject wmaJson(const Path& file) {
    tags::TWMAfile wma;
    const bool loaded = wma.Load(file);
    // The WMA reader's texts are already Unicode.
    const auto unicode = [](const std::u16string& value) {
        return QString::fromStdU16String(value);
    };
    return {
        {"loaded", loaded},
        {"valid", wma.Valid},
        {"file_size", number(wma.FileSize)},
        {"channels", wma.Channels},
        {"sample_rate", number(wma.SampleRate)},
        {"duration", wma.Duration},
        {"bitrate", number(wma.BitRate)},
        {"title", unicode(wma.Title)},
        {"artist", unicode(wma.Artist)},
        {"album", unicode(wma.Album)},
        {"track", number(wma.Track)},
        {"year", unicode(wma.Year)},
        {"genre", unicode(wma.Genre)},
        {"comment", unicode(wma.Comment)},
    };
}

QJsonObject oggJson(const Path& file) {
    tags::TOggVorbis ogg;
    const bool loaded = ogg.Load(file);
    return {
        {"loaded", loaded},
        {"file_size", number(ogg.FileSize)},
        {"channels", ogg.Channels},
        {"sample_rate", number(ogg.SampleRate)},
        {"nominal_bitrate", ogg.NominalBitRate},
        {"samples", number(ogg.Samples)},
        {"id3v2_size", number(ogg.ID3v2Size)},
        {"title", text(ogg.Title)},
        {"artist", text(ogg.Artist)},
        {"album", text(ogg.Album)},
        {"track", ogg.Track},
        {"date", text(ogg.Date)},
        {"genre", text(ogg.Genre)},
        {"comment", text(ogg.Comment)},
        {"vendor", text(ogg.Vendor)},
        {"duration", ogg.Duration()},
        {"bitrate", number(ogg.BitRate())},
    };
}

struct Reader {
    const char* key;
    QJsonObject (*read)(const Path& file);
};

const Reader kReaders[] = {
    {"mpeg", mpegJson},
    {"id3v1", id3v1Json},
    {"id3v2", id3v2Json},
    {"jvid3v2", jvid3v2Json},
    {"wma", wmaJson},
    {"ogg", oggJson},
};

} // namespace

int runTagsCommand(const QStringList& args, Context& context) {
    if (args.size() != 1)
        throw UsageError("tags needs exactly one FILE");
    const QString name = args.first();
    if (!QFileInfo(name).isFile())
        throw CommandError("no such file: " + name.toStdString());
    const Path file(QFile::encodeName(name).toStdString());

    QJsonObject result;
    for (const Reader& reader : kReaders) {
        try {
            result.insert(QLatin1String(reader.key), reader.read(file));
        } catch (const std::exception& error) {
            // A reader that raises (the second ID3v2 reader does) reports its message.
            result.insert(
                QLatin1String(reader.key),
                QJsonObject{{"loaded", false}, {"error", QString::fromUtf8(error.what())}});
        }
    }
    context.out << QJsonDocument(result).toJson(QJsonDocument::Indented).toStdString();
    return kExitOk;
}

} // namespace korvane::cli
