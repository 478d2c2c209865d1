#include "app/MainWindow.h"

#include "catalogue/CatalogueStore.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "video/VideoList.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

// The catalogue: both lists kept between runs.
namespace korvane {
void MainWindow::watchLists() {
    // Changes are stored once the command that made them is over: a scan, an update or a fill
    // (with its dialog open) is stored whole when it ends.
    m_storeTimer = new QTimer(this);
    m_storeTimer->setSingleShot(true);
    m_storeTimer->setInterval(300);
    connect(m_storeTimer, &QTimer::timeout, this, [this] {
        if (musicJob().isRunning() || videoJob().isRunning() || QApplication::activeModalWidget())
            m_storeTimer->start();
        else
            storeLists();
    });
    for (CatalogueList* list :
         {static_cast<CatalogueList*>(m_musicList), static_cast<CatalogueList*>(m_videoList)}) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::dataChanged, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::modelReset, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::layoutChanged, this, &MainWindow::listChanged);
    }
}

CatalogueStore* MainWindow::catalogue() {
    const bool opened = m_session.catalogueOpened();
    CatalogueStore& store = m_session.catalogue();
    if (!opened) {
        if (!store.message().isEmpty())
            m_desktop.showMessage(store.userMessage());
        // What the window shows is what it read or made: another program's later store is
        // noticed at the next save.
        store.takeStoredVersion();
    }
    return store.isUsable() ? &store : nullptr;
}

void MainWindow::restoreLists() {
    // Nothing stored yet: no file is made just for looking.
    if (!m_ui.keepLists->isChecked() || !QFileInfo::exists(m_session.cataloguePath()))
        return;
    CatalogueStore* store = catalogue();
    if (store == nullptr)
        return;
    const CatalogueStore::State opened = store->state();
    std::optional<StoredList> music = store->load(StoredListName::Music);
    std::optional<StoredList> video = store->load(StoredListName::Video);
    if (store->state() != opened)
        m_desktop.showMessage(store->userMessage());
    showStoredLists(std::move(music), std::move(video));
}

// The stored lists in place of the window's; a list that is not stored leaves its rows alone.
void MainWindow::showStoredLists(std::optional<StoredList> music, std::optional<StoredList> video) {
    const SessionChoices choices{toggles(), QString()};
    if (video && m_session.putStored(ListKind::Video, std::move(*video), choices))
        m_videoPage->listFilled();
    if (music && m_session.putStored(ListKind::Music, std::move(*music), choices))
        m_musicPage->listFilled();
    m_storeTimer->stop(); // what was just read needs no storing
}

void MainWindow::storeLists() {
    m_storeTimer->stop();
    if (!m_ui.keepLists->isChecked())
        return;
    if (!m_session.catalogueOpened() && m_musicList->isEmpty() && m_videoList->isEmpty() &&
        !QFileInfo::exists(m_session.cataloguePath()))
        return;
    CatalogueStore* store = catalogue();
    if (store == nullptr)
        return;
    const auto save = [this] {
        return m_session.store(ListKind::Music) && m_session.store(ListKind::Video);
    };
    bool stored = save();
    // The command line (or another window) stored after this window read the lists: they are
    // never replaced without the user's word.
    if (!stored && store->foundNewer()) {
        if (!m_desktop.askYesNo(QStringLiteral("Korvane"),
                                tr("Списки в каталоге %1 сохранены другой программой Korvane после "
                                   "того, как окно их прочитало. Заменить их списками из окна?\n\n"
                                   "Нет: сохранённые списки останутся%2.")
                                    .arg(m_session.cataloguePath(),
                                         m_closing ? QString() : tr(" и будут показаны в окне")))) {
            if (!m_closing) {
                std::optional<StoredList> music = store->load(StoredListName::Music);
                std::optional<StoredList> video = store->load(StoredListName::Video);
                showStoredLists(std::move(music), std::move(video));
                setStatusText(tr(" Показаны списки, сохранённые другой программой "
                                 "Korvane"));
            }
            return;
        }
        store->takeStoredVersion();
        stored = save();
    }
    if (!stored)
        setStatusText(tr(" Не удалось сохранить списки в ") + m_session.cataloguePath());
}

void MainWindow::listChanged() {
    if (m_ui.keepLists->isChecked())
        m_storeTimer->start();
}

} // namespace korvane
