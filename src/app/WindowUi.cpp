#include "app/WindowUi.h"

#include "app/ListPage.h"

namespace korvane {

void WindowUi::takePages(const ListPage& music, const ListPage& video) {
    musicView = music.view();
    musicScanButton = music.scanButton();
    musicClearButton = music.clearButton();
    musicExportButton = music.exportButton();
    musicColumns = music.columns();
    musicContextMenu = music.rowMenu();
    musicEditAction = music.editAction();
    musicDeleteAction = music.deleteAction();
    musicExportPopup = music.exportPopup();
    musicFilterField = music.filterField();
    musicFilter = music.filter();

    videoView = video.view();
    videoScanButton = video.scanButton();
    videoClearButton = video.clearButton();
    videoExportButton = video.exportButton();
    videoColumns = video.columns();
    videoContextMenu = video.rowMenu();
    videoEditAction = video.editAction();
    videoDeleteAction = video.deleteAction();
    videoExportPopup = video.exportPopup();
    videoFilterField = video.filterField();
    videoFilter = video.filter();
}

} // namespace korvane
