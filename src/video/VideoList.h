#pragma once

#include "catalogue/CatalogueList.h"

namespace korvane {

namespace video {
struct VideoCells;
}

// A row of the video list: the file's relative name as caption, then Size, Resolution,
// Duration, fps and Codec.
using VideoRow = CatalogueRow;

enum VideoCell {
    VideoSizeCell = 0,
    VideoResolutionCell = 1,
    VideoDurationCell = 2,
    VideoFpsCell = 3,
    VideoCodecCell = 4,
};

// The list of the "video" page.
class VideoList : public CatalogueList {
    Q_OBJECT
public:
    explicit VideoList(QObject* parent = nullptr);

    // A scanned file's row. The cells are Windows-1251 texts, as the probe gives them.
    static VideoRow videoRow(const QString& caption, const video::VideoCells& cells,
                             RowOrigin origin);
    void appendVideoRow(const QString& caption, const video::VideoCells& cells,
                        RowOrigin origin = {});

    // Removes a row and returns the row to select next: the same index, or the new last row
    // when it was the last one; -1 when the list is empty now.
    int removeRowKeepingSelection(int index);
};

} // namespace korvane
