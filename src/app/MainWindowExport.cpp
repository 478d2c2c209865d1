#include "app/MainWindow.h"

// Handlers of the export commands of both lists.
namespace korvane {

void MainWindow::exportMusicHtml() {}

void MainWindow::exportMusicTxt() {}

void MainWindow::exportMusicExcel() {}

void MainWindow::exportVideoHtml() {}

void MainWindow::exportVideoTxt() {}

void MainWindow::exportVideoExcel() {}

} // namespace korvane
