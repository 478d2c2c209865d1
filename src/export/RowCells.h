#pragma once

#include "catalogue/CatalogueList.h"

namespace korvane::exporter {

// A row's cell by index, empty while a scan has not appended it yet.
inline QString cell(const CatalogueRow& row, int index) {
    return row.cells.value(index);
}

// Indexes of the video cells.
enum VideoCell { VideoSizeCell = 0, ResolutionCell, DurationCell, FpsCell, CodecCell };

} // namespace korvane::exporter
