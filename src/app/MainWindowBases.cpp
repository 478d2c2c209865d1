#include "app/MainWindow.h"

// Handlers of the "База данных" menu.
namespace korvane {

void MainWindow::N10Click() {}

void MainWindow::N13Click() {}

void MainWindow::N12Click() {}

void MainWindow::N14Click() {}

void MainWindow::N9Click() {}

void MainWindow::N11Click() {}

} // namespace korvane
