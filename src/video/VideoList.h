#pragma once

#include "app/CatalogueList.h"

namespace korvane {

// A row of the video list: the file name relative to the scanned folder as caption, then the
// cells Size, Resolution, Duration, fps and Codec.
using VideoRow = CatalogueRow;

// The list of the "video" page.
class VideoList : public CatalogueList {
    Q_OBJECT
public:
    explicit VideoList(QObject* parent = nullptr);
};

} // namespace korvane
