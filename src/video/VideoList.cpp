#include "video/VideoList.h"

namespace korvane {

VideoList::VideoList(QObject* parent)
    : CatalogueList({{QStringLiteral("Имя файла"), 300, Qt::AlignLeft},
                     {QStringLiteral("Размер (mb)"), 40, Qt::AlignHCenter},
                     {QStringLiteral("Разрешение"), 70, Qt::AlignHCenter},
                     {QStringLiteral("Длительность"), 0, Qt::AlignHCenter},
                     {QStringLiteral("fps"), 40, Qt::AlignHCenter},
                     {QStringLiteral("Кодек"), 100, Qt::AlignLeft}},
                    parent) {}

} // namespace korvane
