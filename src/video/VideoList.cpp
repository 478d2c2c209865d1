#include "video/VideoList.h"

#include "files/FileName.h"
#include "text/LocaleText.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"

#include <QCoreApplication>
#include <algorithm>

namespace korvane {

VideoList::VideoList(QObject* parent)
    : CatalogueList(
          {
              {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Имя файла")), 300, Qt::AlignLeft},
              {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Размер (mb)")), 40, Qt::AlignHCenter},
              {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Разрешение")), 70, Qt::AlignHCenter},
              {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Длительность")), 0, Qt::AlignHCenter},
              {QStringLiteral("fps"), 40, Qt::AlignHCenter},
              {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Кодек")), 100, Qt::AlignLeft},
          },
          parent) {}

VideoRow VideoList::videoRow(const QString& shownPath, const QString& separator,
                             std::uint64_t lengthInBytes, const video::VideoStreamInfo& stream,
                             RowOrigin origin) {
    VideoRow row{{}, {}, std::move(origin)};
    RowValues& v = row.values;
    v.kind = RowValues::Kind::Video;
    v.bytes = static_cast<qint64>(lengthInBytes);
    v.width = stream.width;
    v.height = stream.height;
    v.frameRate = stream.frameRate;
    formatVideoRow(row, shownPath, separator);
    // The length and the codec as the probe words them: texts no rule shapes.
    setUneditedText(row, VideoDurationCell + 1, text::fromCp1251(stream.duration));
    setUneditedText(row, VideoCodecCell + 1, text::fromCp1251(video::codecCell(stream.codec)));
    return row;
}

void VideoList::appendVideoRow(const QString& caption, const video::VideoCells& cells,
                               RowOrigin origin) {
    QStringList texts;
    for (const std::string* cell :
         {&cells.size, &cells.resolution, &cells.duration, &cells.fps, &cells.codec})
        texts.append(text::fromCp1251(*cell));
    appendRow({caption, texts, std::move(origin)});
}

void VideoList::formatVideoRow(VideoRow& row, const QString& shownPath, const QString& separator) {
    const RowValues& v = row.values;
    if (v.kind != RowValues::Kind::Video)
        return;
    setUneditedText(row, 0, QString(shownPath).replace(u'/', separator));
    setUneditedText(row, VideoSizeCell + 1,
                    text::fromCp1251(video::sizeCell(static_cast<std::uint64_t>(v.bytes))));
    setUneditedText(row, VideoResolutionCell + 1,
                    text::fromCp1251(video::resolutionCell(v.width, v.height)));
    setUneditedText(row, VideoFpsCell + 1, text::fromCp1251(video::fpsCell(v.frameRate)));
}

void VideoList::remakeVideoRows(std::vector<VideoRow>& rows, const QString& separator,
                                codepage::Choice names) {
    for (VideoRow& row : rows) {
        if (row.values.kind == RowValues::Kind::Video)
            formatVideoRow(row, files::displayFileName(row.origin.relative, names), separator);
    }
}

} // namespace korvane
