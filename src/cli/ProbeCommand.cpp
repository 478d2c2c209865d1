#include "cli/Commands.h"

#include "files/FileName.h"
#include "text/LocaleText.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

namespace korvane::cli {

int runProbeCommand(const QStringList& args, Context& context) {
    if (args.size() != 1)
        throw UsageError("probe needs exactly one FILE");
    const QString path = args.first();
    // The name's bytes as given, whatever their encoding.
    const std::string nativePath = files::encodeFileName(path).toStdString();
    std::error_code error;
    if (!std::filesystem::is_regular_file(nativePath, error))
        throw CommandError("no such file: " + nativePath);

    video::VideoInfo info;
    info.fileName = nativePath;
    info.probe();
    const video::VideoStreamInfo& result = info.video;
    const video::VideoCells cells =
        video::videoCells(video::readableFileLength(nativePath), result);

    // Codec texts are code page bytes, like every text of the video list.
    const auto text = [](const std::string& bytes) { return text::fromCp1251(bytes); };
    const QJsonObject row{
        {"size", text(cells.size)},         {"resolution", text(cells.resolution)},
        {"duration", text(cells.duration)}, {"fps", text(cells.fps)},
        {"codec", text(cells.codec)},
    };
    const QJsonObject json{
        {"file", files::displayFileName(path)},
        {"codec", text(result.codec)},
        {"duration", text(result.duration)},
        {"frame_rate", result.frameRate},
        {"width", result.width},
        {"height", result.height},
        {"cells", row},
    };
    context.out << QJsonDocument(json).toJson(QJsonDocument::Indented).toStdString();
    return kExitOk;
}

} // namespace korvane::cli
