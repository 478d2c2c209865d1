#include "video/FfmpegDetector.h"

#include "video/CodecTable.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

#include <array>
#include <cerrno>
#include <string>
#include <string_view>

namespace korvane::video {
namespace {

// Enough to find the streams and picture sizes of every common container; FFmpeg's own defaults
// (5 MB, 5 s) are only needed for exotic streams that start late.
constexpr std::int64_t kProbeSize = 2 * 1024 * 1024;
constexpr std::int64_t kAnalyzeMicroseconds = 2 * AV_TIME_BASE;

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;

// Demuxers that open pictures and text files, which are not video clips: single images, the
// animated-image formats and FFmpeg's text-art readers.
bool isPictureOrTextFormat(std::string_view name) {
    constexpr std::string_view kNames[] = {"image2", "image2pipe", "gif", "apng", "tty",
                                           "bin",    "xbin",       "adf", "idf"};
    for (std::string_view known : kNames) {
        if (name == known)
            return true;
    }
    return name.ends_with("_pipe"); // png_pipe, jpeg_pipe, bmp_pipe, webp_pipe, ...
}

struct CodecCode {
    AVCodecID id;
    std::uint32_t code;
};

// The code of the codec table that names each codec, for streams whose container has no code
// of its own that the table knows (MP4, Matroska, MPEG program streams, FFmpeg's own tags).
constexpr CodecCode kCodecCodes[] = {
    {AV_CODEC_ID_H264, fourCC("H264")},        {AV_CODEC_ID_HEVC, fourCC("H265")},
    {AV_CODEC_ID_H263, fourCC("H263")},        {AV_CODEC_ID_H263P, fourCC("H263")},
    {AV_CODEC_ID_H263I, fourCC("I263")},       {AV_CODEC_ID_H261, fourCC("H261")},
    {AV_CODEC_ID_MPEG4, fourCC("MP4V")},       {AV_CODEC_ID_MSMPEG4V1, fourCC("MPG4")},
    {AV_CODEC_ID_MSMPEG4V2, fourCC("MP42")},   {AV_CODEC_ID_MSMPEG4V3, fourCC("MP43")},
    {AV_CODEC_ID_MJPEG, fourCC("MJPG")},       {AV_CODEC_ID_MJPEGB, fourCC("mjpb")},
    {AV_CODEC_ID_WMV1, fourCC("WMV1")},        {AV_CODEC_ID_WMV2, fourCC("WMV2")},
    {AV_CODEC_ID_WMV3, fourCC("WMV3")},        {AV_CODEC_ID_MPEG2VIDEO, fourCC("MP2V")},
    {AV_CODEC_ID_DVVIDEO, fourCC("dvsd")},     {AV_CODEC_ID_CINEPAK, fourCC("cvid")},
    {AV_CODEC_ID_MSVIDEO1, fourCC("MSVC")},    {AV_CODEC_ID_MSRLE, fourCC("MRLE")},
    {AV_CODEC_ID_HUFFYUV, fourCC("HFYU")},     {AV_CODEC_ID_ZLIB, fourCC("ZLIB")},
    {AV_CODEC_ID_MSZH, fourCC("MSZH")},        {AV_CODEC_ID_SVQ1, fourCC("SVQ1")},
    {AV_CODEC_ID_SVQ3, fourCC("SVQ3")},        {AV_CODEC_ID_VP3, fourCC("VP31")},
    {AV_CODEC_ID_FLIC, fourCC("FLIC")},        {AV_CODEC_ID_TSCC, fourCC("TSCC")},
    {AV_CODEC_ID_CLJR, fourCC("CLJR")},        {AV_CODEC_ID_INDEO3, fourCC("IV31")},
    {AV_CODEC_ID_INDEO4, fourCC("IV41")},      {AV_CODEC_ID_INDEO5, fourCC("IV50")},
    {AV_CODEC_ID_RV20, fourCC("RV20")},        {AV_CODEC_ID_RV30, fourCC("RV30")},
    {AV_CODEC_ID_ASV1, fourCC("ASV1")},        {AV_CODEC_ID_ASV2, fourCC("ASV2")},
    {AV_CODEC_ID_ULTI, fourCC("ULTI")},        {AV_CODEC_ID_QPEG, fourCC("QPEG")},
    {AV_CODEC_ID_VCR1, fourCC("VCR1")},        {AV_CODEC_ID_KMVC, fourCC("KMVC")},
    {AV_CODEC_ID_MSS1, fourCC("MSS1")},        {AV_CODEC_ID_MSS2, fourCC("MSS2")},
    {AV_CODEC_ID_AASC, fourCC("AASC")},        {AV_CODEC_ID_TRUEMOTION1, fourCC("DUCK")},
    {AV_CODEC_ID_TRUEMOTION2, fourCC("TM20")}, {AV_CODEC_ID_BINKVIDEO, fourCC("BINK")},
    {AV_CODEC_ID_LOCO, fourCC("LOCO")},        {AV_CODEC_ID_VIXL, fourCC("VIXL")},
    {AV_CODEC_ID_XAN_WC4, fourCC("Xxan")},     {AV_CODEC_ID_ESCAPE124, fourCC("ESCP")},
};

// Whether the codec table has a name for a container's code.
bool tableKnows(std::uint32_t code) {
    return codecDescription(compressionCodeText(code)) != kUnknownCodec;
}

// The media type the detector would report for a video stream. MPEG-1 comes out as the
// detector's decoder output, YUV 4:1:1, which the video list shows as "MPEG-1"; MPEG-2 as a
// VIDEOINFOHEADER2 of MP2V, "MPEG2 Video".
StreamMediaType mediaTypeOf(const AVCodecParameters& parameters) {
    VideoFormat format = VideoFormat::VideoInfo;
    std::uint32_t code = 0;
    if (parameters.codec_id == AV_CODEC_ID_MPEG1VIDEO) {
        code = fourCC("Y41P");
    } else if (parameters.codec_id == AV_CODEC_ID_MPEG2VIDEO) {
        format = VideoFormat::VideoInfo2;
        code = fourCC("MP2V");
    } else if (parameters.codec_tag != 0 && tableKnows(parameters.codec_tag)) {
        code = parameters.codec_tag;
    } else if (parameters.codec_id == AV_CODEC_ID_RAWVIDEO) {
        // Packed RGB is BI_RGB (0); YUV layouts have codes of their own.
        code = avcodec_pix_fmt_to_codec_tag(AVPixelFormat(parameters.format));
    } else {
        code = parameters.codec_tag;
        for (const CodecCode& known : kCodecCodes) {
            if (known.id == parameters.codec_id) {
                code = known.code;
                break;
            }
        }
        if (code == 0) // no code at all; FFmpeg's own AVI code is the best guess
            code = av_codec_get_tag(
                std::array<const AVCodecTag*, 2>{avformat_get_riff_video_tags(), nullptr}.data(),
                parameters.codec_id);
    }
    BitmapHeader header;
    header.width = parameters.width;
    header.height = parameters.height;
    header.compression = code;
    return {formatTypeOf(format), makeFormatBlock(format, header)};
}

// Cover art of audio files is a picture, not a video stream.
bool isVideoStream(const AVStream& stream) {
    return stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
           (stream.disposition & (AV_DISPOSITION_ATTACHED_PIC | AV_DISPOSITION_STILL_IMAGE)) == 0;
}

// Reading the stream information decodes the first frames of every stream. Containers whose
// header already tells every video stream's picture size, frame rate and length (AVI, MP4,
// Matroska, ASF mostly) and files without video are answered from the header alone.
bool headerIsEnough(const AVFormatContext& context) {
    if (context.ctx_flags & AVFMTCTX_NOHEADER) // MPEG program and transport streams
        return false;
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVStream& stream = *context.streams[i];
        if (!isVideoStream(stream))
            continue;
        const AVCodecParameters& parameters = *stream.codecpar;
        const bool sized = parameters.width > 0 && parameters.height > 0;
        const bool timed = stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0;
        const bool hasLength = (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) ||
                               (context.duration != AV_NOPTS_VALUE && context.duration > 0);
        if (!sized || !timed || !hasLength || parameters.codec_id == AV_CODEC_ID_NONE)
            return false;
    }
    return true;
}

// The probe reads the one file it was given. Playlist and manifest demuxers (HLS, DASH, a
// reference movie) open further files through the context's io_open: those opens are refused,
// so that a FIFO or device named in a playlist can never hang the scan.
struct SingleOpen {
    int (*open)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) = nullptr;
    int count = 0;
};

int openOnlyOnce(AVFormatContext* context, AVIOContext** io, const char* url, int flags,
                 AVDictionary** options) {
    auto* state = static_cast<SingleOpen*>(context->opaque);
    if (state->count++ > 0)
        return AVERROR(EPERM);
    return state->open(context, io, url, flags, options);
}

int refuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

// Demuxers that open further files with contexts of their own, out of io_open's reach: the
// concat lists and IMF compositions. Every other demuxer may be tried.
const char* singleFileDemuxers() {
    static const std::string names = [] {
        std::string list;
        void* state = nullptr;
        while (const AVInputFormat* format = av_demuxer_iterate(&state)) {
            const std::string_view name = format->name;
            if (name == "concat" || name == "imf")
                continue;
            if (!list.empty())
                list += ',';
            list += name;
        }
        return list;
    }();
    return names.c_str();
}

// Audio, subtitles and data: a format type that is none of the video ones.
constexpr Guid kOtherFormat{};

class FfmpegDetector final : public MediaDetector {
public:
    bool open(const std::string& path) override;
    std::optional<int> streamCount() override;
    bool selectStream(int index) override;
    std::optional<StreamMediaType> mediaType() override;
    std::optional<double> streamLength() override;
    std::optional<double> frameRate() override;
    std::optional<std::string> codecName() override;

private:
    FormatContextPtr m_context;
    AVStream* m_stream = nullptr;
};

bool FfmpegDetector::open(const std::string& path) {
    av_log_set_level(AV_LOG_QUIET);
    m_context.reset();
    m_stream = nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set_int(&options, "probesize", kProbeSize, 0);
    av_dict_set_int(&options, "analyzeduration", kAnalyzeMicroseconds, 0);
    av_dict_set(&options, "format_whitelist", singleFileDemuxers(), 0);
    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        av_dict_free(&options);
        return false;
    }
    SingleOpen single{raw->io_open};
    raw->opaque = &single;
    raw->io_open = openOnlyOnce;
    // Plain paths only: "file:" keeps names with a colon from being taken for a protocol.
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options); // what the demuxer did not take
    if (opened < 0)
        return false;
    FormatContextPtr context(raw);
    if (context->iformat && isPictureOrTextFormat(context->iformat->name))
        return false;
    if (!headerIsEnough(*context) && avformat_find_stream_info(context.get(), nullptr) < 0)
        return false;
    // Later reads must not reach the state on this stack.
    single.count = 1;
    context->opaque = nullptr;
    context->io_open = refuseOpen;
    m_context = std::move(context);
    return true;
}

std::optional<int> FfmpegDetector::streamCount() {
    if (!m_context)
        return std::nullopt;
    return int(m_context->nb_streams);
}

bool FfmpegDetector::selectStream(int index) {
    if (!m_context || index < 0 || unsigned(index) >= m_context->nb_streams)
        return false;
    m_stream = m_context->streams[index];
    return true;
}

std::optional<StreamMediaType> FfmpegDetector::mediaType() {
    if (!m_stream)
        return std::nullopt;
    if (!isVideoStream(*m_stream))
        return StreamMediaType{kOtherFormat, {}};
    return mediaTypeOf(*m_stream->codecpar);
}

std::optional<double> FfmpegDetector::streamLength() {
    if (!m_stream)
        return std::nullopt;
    if (m_stream->duration != AV_NOPTS_VALUE && m_stream->duration > 0 &&
        m_stream->time_base.den > 0)
        return double(m_stream->duration) * av_q2d(m_stream->time_base);
    // Matroska and some program streams know only the whole file's length.
    if (m_context->duration != AV_NOPTS_VALUE && m_context->duration > 0)
        return double(m_context->duration) / AV_TIME_BASE;
    return std::nullopt;
}

std::optional<double> FfmpegDetector::frameRate() {
    if (!m_stream)
        return std::nullopt;
    for (const AVRational rate : {m_stream->avg_frame_rate, m_stream->r_frame_rate}) {
        if (rate.num > 0 && rate.den > 0)
            return av_q2d(rate);
    }
    return std::nullopt;
}

std::optional<std::string> FfmpegDetector::codecName() {
    if (!m_stream || m_stream->codecpar->codec_id == AV_CODEC_ID_NONE)
        return std::nullopt;
    return std::string(avcodec_get_name(m_stream->codecpar->codec_id));
}

} // namespace

} // namespace korvane::video

// The caller owns the detector; the module stays loaded for the rest of the run.
extern "C" __attribute__((visibility("default"))) korvane::video::MediaDetector*
korvaneCreateFfmpegDetector() {
    return new korvane::video::FfmpegDetector;
}

extern "C" __attribute__((visibility("default"))) const char* korvaneFfmpegVersion() {
    return av_version_info();
}
