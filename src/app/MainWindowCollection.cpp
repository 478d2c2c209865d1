// The collection as a whole: "Статистика" and "Найти дубликаты" over the music list.
#include "app/MainWindow.h"

#include "music/DuplicatesWindow.h"
#include "music/MusicList.h"
#include "music/StatsWindow.h"
#include "settings/Settings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableView>

namespace korvane {

void MainWindow::buildCollectionMenu() {
    m_ui.collectionMenu = menuBar()->addMenu(tr("&Коллекция"));
    m_ui.statsAction = m_ui.collectionMenu->addAction(tr("Статистика"));
    m_ui.duplicatesAction = m_ui.collectionMenu->addAction(tr("Найти дубликаты"));
    connect(m_ui.statsAction, &QAction::triggered, this, &MainWindow::showStats);
    connect(m_ui.duplicatesAction, &QAction::triggered, this, &MainWindow::showDuplicates);
}

// Both windows read the separator as the exports do; it may have changed in the settings.
void MainWindow::showStats() {
    const QString separator = Settings(m_settings).groupAlbumSeparator();
    if (m_statsWindow == nullptr)
        m_statsWindow = new StatsWindow(*m_musicList, separator, this);
    else
        m_statsWindow->setSeparator(separator);
    m_statsWindow->show();
    m_statsWindow->raise();
    m_statsWindow->activateWindow();
}

void MainWindow::showDuplicates() {
    const QString separator = Settings(m_settings).groupAlbumSeparator();
    if (m_duplicatesWindow == nullptr) {
        m_duplicatesWindow = new DuplicatesWindow(*m_musicList, separator, this);
        connect(m_duplicatesWindow, &DuplicatesWindow::rowActivated, this, [this](int row) {
            m_ui.pages->setCurrentIndex(0);
            m_musicPage->selectRow(row);
            m_ui.musicView->scrollTo(m_musicList->index(row, 0));
        });
    } else {
        m_duplicatesWindow->setSeparator(separator);
    }
    m_duplicatesWindow->show();
    m_duplicatesWindow->raise();
    m_duplicatesWindow->activateWindow();
}

} // namespace korvane
