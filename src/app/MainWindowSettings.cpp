// What the window reads from set.ini at start and writes back at close.
#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "widgets/ListColumns.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QTabWidget>
#include <QTimer>

namespace korvane {

void MainWindow::mainLoad() {
    if (const QString message = unreadableSettingsMessage(m_settings); !message.isEmpty()) {
        m_desktop.showMessage(message);
        m_unreadableSettingsReported = true;
    }
    const Settings settings(m_settings);
    if (settings.maximized()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        const Settings::WindowPlace place = settings.windowPlace({y(), x(), height(), width()});
        move(place.left, place.top);
        resize(place.width, place.height);
    }
    m_musicPage->setRoot(settings.musicRoot());
    m_videoPage->setRoot(settings.videoFolder());
    m_musicPage->setRecentRoots(settings.recentRoots(true));
    m_videoPage->setRecentRoots(settings.recentRoots(false));
    fillRecentMenu();
    testersMode = settings.testersModeText();
    setToggles(settings.toggles());
    m_ui.musicColumns->restore(settings.columnWidths(true));
    m_ui.videoColumns->restore(settings.columnWidths(false));
    checkSaveDir();
    if (testersMode == QLatin1String("1")) {
        m_ui.testersAction->setEnabled(true);
        m_ui.testersAction->setVisible(true);
    }
    m_ui.pages->setCurrentIndex(0);
    m_ui.keepLists->setChecked(settings.keepLists());
    m_ui.desktopFont->setChecked(settings.desktopFont());
    const Settings::Language language = settings.language();
    (language == Settings::Language::Russian   ? m_ui.languageRussian
     : language == Settings::Language::English ? m_ui.languageEnglish
                                               : m_ui.languageAutomatic)
        ->setChecked(true);
    // Queued: the window is painted first, the rows arrive after.
    if (m_ui.keepLists->isChecked())
        QTimer::singleShot(0, this, &MainWindow::restoreLists);
}

void MainWindow::checkSaveDir() {
    Settings settings(m_settings);
    const QString saveDir = settings.saveDirToCheck(programFolder());
    if (QFileInfo(saveDir).isDir())
        return;
    settings.setSaveDir(programFolder().dirWithSeparator());
    m_desktop.showMessage(tr("Папка для сохранения списокв \"") + saveDir +
                          tr("\" не найдена, все списки будут сохранятся в каталоге "
                             "программы, изменить это можно в настройках"));
}

void MainWindow::refreshAfterDialog() {
    testersMode = Settings(m_settings).testersModeText();
    if (testersMode == QLatin1String("1")) {
        m_ui.testersAction->setEnabled(true);
        m_ui.testersAction->setVisible(true);
    }
    checkSaveDir();
}

int MainWindow::execModal(QDialog& dialog) {
    const int result = dialog.exec();
    try {
        refreshAfterDialog();
    } catch (const ReportedError& error) {
        m_desktop.showError(error.userMessage());
    }
    return result;
}

void MainWindow::mainSave() {
    Settings settings(m_settings);
    settings.setToggles(toggles());
    settings.setMusicRoot(m_musicPage->root());
    settings.setVideoFolder(m_videoPage->root());
    settings.setRecentRoots(true, m_musicPage->recentRoots());
    settings.setRecentRoots(false, m_videoPage->recentRoots());
    settings.setWindowPlace({y(), x(), height(), width()});
    settings.setMaximized(isMaximized());
    settings.setColumnWidths(true, m_ui.musicColumns->userWidths());
    settings.setColumnWidths(false, m_ui.videoColumns->userWidths());
    settings.setKeepLists(m_ui.keepLists->isChecked());
}

} // namespace korvane
