#include "video/VideoList.h"

#include "text/LocaleText.h"
#include "video/VideoCells.h"

#include <algorithm>

namespace korvane {

VideoList::VideoList(QObject* parent)
    : CatalogueList(
          {
              {QStringLiteral("Имя файла"), 300, Qt::AlignLeft},
              {QStringLiteral("Размер (mb)"), 40, Qt::AlignHCenter},
              {QStringLiteral("Разрешение"), 70, Qt::AlignHCenter},
              {QStringLiteral("Длительность"), 0, Qt::AlignHCenter},
              {QStringLiteral("fps"), 40, Qt::AlignHCenter},
              {QStringLiteral("Кодек"), 100, Qt::AlignLeft},
          },
          parent) {}

VideoRow VideoList::videoRow(const QString& caption, const video::VideoCells& cells,
                             RowOrigin origin) {
    QStringList texts;
    for (const std::string* cell :
         {&cells.size, &cells.resolution, &cells.duration, &cells.fps, &cells.codec})
        texts.append(text::fromCp1251(*cell));
    return {caption, texts, std::move(origin)};
}

void VideoList::appendVideoRow(const QString& caption, const video::VideoCells& cells,
                               RowOrigin origin) {
    appendRow(videoRow(caption, cells, std::move(origin)));
}

int VideoList::removeRowKeepingSelection(int index) {
    removeRowAt(index);
    if (isEmpty())
        return -1;
    return std::min(index, count() - 1);
}

} // namespace korvane
