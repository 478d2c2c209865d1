#pragma once

#include "catalogue/CatalogueList.h"
#include "text/CodePageDetector.h"

#include <cstdint>
#include <vector>

namespace korvane {

namespace video {
struct VideoCells;
struct VideoStreamInfo;
} // namespace video

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

    // A scanned file's row: its length and what the probe found as values, the texts made from
    // them (formatVideoRow). `shownPath` is the file's path below the root as the user reads it.
    static VideoRow videoRow(const QString& shownPath, const QString& separator,
                             std::uint64_t lengthInBytes, const video::VideoStreamInfo& stream,
                             RowOrigin origin);
    // A row of texts alone. The cells are Windows-1251 texts, as the probe gives them.
    void appendVideoRow(const QString& caption, const video::VideoCells& cells,
                        RowOrigin origin = {});

    // The caption (the path with each "/" as the separator), Size, Resolution and fps of a row
    // from its values (Duration and Codec are the probe's texts and stay); a column edited by
    // hand keeps its text, and a row that holds only texts is left as it is.
    static void formatVideoRow(VideoRow& row, const QString& shownPath, const QString& separator);
    // Rows restored from the catalogue, made again with the current separator and code page.
    static void remakeVideoRows(std::vector<VideoRow>& rows, const QString& separator,
                                codepage::Choice names);
};

} // namespace korvane
