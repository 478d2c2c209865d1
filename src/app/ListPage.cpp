#include "app/ListPage.h"

#include "app/PageScanHost.h"
#include "catalogue/CatalogueList.h"
#include "catalogue/ListFilter.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicScan.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "widgets/ListColumns.h"
#include "widgets/RowEditor.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>
#include <utility>

namespace korvane {
namespace {

constexpr int kPageMargin = 2;
// Made when shown, in the language the window was started in.
QString stopCaption() {
    return QCoreApplication::translate("korvane::ListPage", "Остановить");
}
QString searchingText() {
    return QCoreApplication::translate("korvane::ListPage", "Подождите, идёт поиск файлов...");
}

std::vector<int> designWidths(const CatalogueList& list) {
    std::vector<int> widths;
    for (const CatalogueList::Column& column : list.columns())
        widths.push_back(column.width);
    return widths;
}

} // namespace

QString titleCaption() {
    return QStringLiteral("Korvane v.0.984  by Zelmir  (korvane@zelmir.org)");
}

QString partialListNote() {
    return QCoreApplication::translate("korvane::ListPage", " (поиск остановлен, список неполный)");
}

QPoint exportPopupPosition(const QPushButton* button) {
    // A click leaves the pointer on the button: the menu opens there. Pressed from the keyboard,
    // the button is wherever the pointer is not, and the menu opens under it.
    const QPoint pointer = QCursor::pos();
    if (button->rect().contains(button->mapFromGlobal(pointer)))
        return pointer;
    return button->mapToGlobal(QPoint(0, button->height()));
}

PageScanHost::PageScanHost(ListPage& page)
    : m_page(page), m_job(page.job()), m_rows(page.job(), [&page](std::vector<CatalogueRow> rows) {
          page.m_list.appendRows(std::move(rows));
          if (page.m_kind.followsNewRows)
              page.m_view->scrollToBottom();
      }) {}

void PageScanHost::addRow(CatalogueRow row) {
    m_rows.add(std::move(row));
}

void PageScanHost::setStatusText(const QString& text) {
    if (!m_progress.due())
        return;
    m_job.post([&frame = m_page.m_frame, text, position = m_position] {
        frame.setProgressValue(position);
        frame.setStatusText(text);
    });
}

void PageScanHost::setProgressMaximum(int maximum) {
    m_job.post([&page = m_page, maximum] {
        page.m_frame.setProgressMaximum(maximum);
        page.m_list.reserveRows(maximum + 1);
    });
}

void PageScanHost::phaseBegan() {
    // The video page says it is searching once its files are probed; the music page said so at
    // the click.
    if (!m_page.m_kind.commandsOffWhileScanning)
        m_job.post([&page = m_page] { page.m_frame.setCaption(searchingText()); });
}

void PageScanHost::stopHonoured() {
    m_rows.flush();
    m_job.post([&page = m_page] { page.m_scanButton->setText(page.m_kind.scanCaption); });
}

ListPage::ListPage(ListPageKind kind, CatalogueList& list, PageFrame& frame, QWidget* parent)
    : QWidget(parent), m_kind(std::move(kind)), m_list(list), m_frame(frame) {
    m_job = new Job(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    // The window keeps its designed look until the user asks for the filter.
    m_filterField = new QLineEdit(this);
    m_filterField->setPlaceholderText(tr("Фильтр: слова из любого столбца (Esc - сбросить)"));
    m_filterField->setClearButtonEnabled(true);
    m_filterField->hide();
    layout->addWidget(m_filterField);
    buildView();
    layout->addWidget(m_view, 1);
    buildButtons();
    setListCommandsEnabled(false);
}

void ListPage::buildView() {
    m_view = new QTableView(this);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(true);
    m_view->setWordWrap(false);
    // Tab leaves the list for its buttons; the arrows move within it.
    m_view->setTabKeyNavigation(false);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->verticalHeader()->hide();
    applyFont();
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_filter = new ListFilter(m_list, m_kind.headerRole, this);
    m_view->setModel(m_filter);
    m_columns = new ListColumns(m_view, designWidths(m_list));

    // "Редактировать" (Ctrl+E) and "Удалить" (Del): the shortcuts work while the list has the
    // focus.
    m_rowMenu = new QMenu(m_view);
    m_editAction = m_rowMenu->addAction(tr("Редактировать"));
    m_editAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_deleteAction = m_rowMenu->addAction(tr("Удалить"));
    m_deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction* action : {m_editAction, m_deleteAction}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        m_view->addAction(action);
    }

    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ListPage::headerClicked);
    connect(m_view, &QTableView::doubleClicked, this, &ListPage::editClicked);
    connect(m_editAction, &QAction::triggered, this, &ListPage::editClicked);
    connect(m_deleteAction, &QAction::triggered, this, &ListPage::deleteClicked);
    connect(m_view, &QWidget::customContextMenuRequested, this, &ListPage::rowMenuRequested);

    // Undo and redo work anywhere on the page; in the filter field its own text's undo comes
    // first.
    const std::pair<QKeySequence, void (ListPage::*)()> historyKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), &ListPage::undo},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &ListPage::redo},
    };
    for (const auto& [keys, step] : historyKeys) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, step);
    }

    connect(m_filterField, &QLineEdit::textChanged, this, &ListPage::filterChanged);
    auto* close = new QAction(m_filterField);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    close->setShortcutContext(Qt::WidgetShortcut);
    m_filterField->addAction(close);
    connect(close, &QAction::triggered, this, &ListPage::closeFilter);
}

void ListPage::buildButtons() {
    auto* row = new QHBoxLayout;
    m_scanButton = new QPushButton(m_kind.firstScanCaption, this);
    m_clearButton = new QPushButton(m_kind.clearCaption, this);
    m_exportButton = new QPushButton(tr("Экспорт в ..."), this);
    for (QPushButton* button : {m_scanButton, m_clearButton, m_exportButton})
        row->addWidget(button);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    // The music button's 189 pixels fit its caption in Tahoma; where a wider font stands in, the
    // button grows rather than cutting its caption.
    m_scanButton->setMinimumWidth(m_kind.scanMinimumWidth);
    m_scanButton->setToolTip(m_kind.scanToolTip);
    m_clearButton->setToolTip(tr("Очищает область таблицы"));
    m_exportButton->setToolTip(tr("экспорт списка в разные форматы"));

    connect(m_scanButton, &QPushButton::pressed, this, &ListPage::armStop);
    connect(m_scanButton, &QPushButton::clicked, this, &ListPage::scanClicked);
    connect(m_clearButton, &QPushButton::clicked, this, &ListPage::clearClicked);
    connect(m_exportButton, &QPushButton::clicked, this, [this] {
        if (m_exportPopup != nullptr)
            m_exportPopup->popup(exportPopupPosition(m_exportButton));
    });
}

void ListPage::setMenuCommands(const MenuCommands& commands) {
    m_menu = commands;
    setListCommandsEnabled(false);
}

void ListPage::setExportPopup(QMenu* popup) {
    m_exportPopup = popup;
}

void ListPage::armStop() {
    m_stopArmed = m_scanning;
}

void ListPage::scanClicked() {
    // A press that began while a scan ran was meant for its stop command: when the click arrives
    // after the scan ended, it does nothing rather than open the folder picker.
    const bool meantAsStop = std::exchange(m_stopArmed, false);
    if (m_job->isRunning()) {
        // An export is no scan to stop.
        if (m_scanning)
            m_job->requestStop();
        else
            refuseWhileRunning();
        return;
    }
    if (meantAsStop)
        return;
    if (pickFolder(m_frame.desktop(), m_kind.pickerTitle, m_root))
        scanRoot();
    else if (m_kind.cancelledPickerEnablesCommands)
        commandsOn();
}

bool ListPage::scanCanStart() const {
    return m_scanButton->isEnabled() && !m_job->isRunning();
}

void ListPage::setScanEnabled(bool enabled) {
    m_scanButton->setEnabled(enabled);
    if (m_menu.scan != nullptr)
        m_menu.scan->setEnabled(enabled);
}

void ListPage::offerStop() {
    // Every phase stops on the button and the menu command, the folder walk too; no second scan
    // can start while one runs.
    m_scanButton->setText(stopCaption());
    setScanEnabled(true);
}

void ListPage::scanRoot() {
    if (refuseWhileRunning())
        return;
    if (m_kind.commandsOffWhileScanning) {
        setListCommandsEnabled(false);
        m_frame.setExportMenuEnabled(false);
    }
    offerStop();
    if (m_kind.commandsOffWhileScanning) {
        m_frame.setCaption(searchingText());
        m_frame.setStatusText(u' ' + searchingText());
    }
    if (m_kind.rootWithSeparator)
        m_root = withTrailingSeparator(m_root);
    m_recentRoots.removeIf([this](const QString& root) { return isSameRoot(root, m_root); });
    m_recentRoots.prepend(m_root);
    while (m_recentRoots.size() > Settings::kRecentRoots)
        m_recentRoots.removeLast();
    emit recentRootsChanged();
    run(ListRunPlan::addRoot(m_list, m_root));
}

void ListPage::updateClicked() {
    if (refuseWhileRunning())
        return;
    if (m_list.isEmpty()) {
        m_frame.setStatusText(tr(" Нечего обновлять: %1 лист пуст").arg(m_kind.name));
        return;
    }
    offerStop();
    m_menu.update->setEnabled(false);
    if (m_kind.commandsOffWhileScanning)
        m_frame.setStatusText(u' ' + searchingText());
    run(ListRunPlan::update(m_list, {}));
}

bool ListPage::refuseWhileRunning() {
    if (!m_job->isRunning())
        return false;
    m_frame.setStatusText(tr(" Подождите: работа со списком ещё не закончена"));
    return true;
}

void ListPage::run(ListRunPlan plan) {
    // Rows a scan adds or an update remakes are no command to undo, and an undo must not take
    // them away.
    m_history.clear();
    const bool update = !plan.appendsRows() && !plan.refreshes();
    auto shared = std::make_shared<ListRun>(m_frame.session().makeRun(
        m_kind.list, std::move(plan), {m_frame.toggles(), m_frame.testersModeText()}));
    auto host = std::make_shared<PageScanHost>(*this);
    m_scanning = true;
    m_job->start(
        [this, shared, host](const std::stop_token& stop) {
            shared->work(*host, stop, [this, &stop](const QString& root) {
                return m_job->ask(stop, [this, root] { return confirmEmptyRoot(root); });
            });
            host->flush();
        },
        [this, shared, update] {
            m_scanning = false;
            m_history.clear();
            runEnded(shared->apply(), update);
        });
}

void ListPage::runEnded(const RunOutcome& outcome, bool update) {
    m_menu.update->setEnabled(true);
    // A stopped update or refresh left the list as it was.
    if (!update) {
        if (!outcome.firstFileFolder.isEmpty())
            m_root = outcome.firstFileFolder;
        m_partial = outcome.stopped && !outcome.refreshed;
        if (!m_kind.commandsOffWhileScanning)
            m_columns->fitToValues();
    }
    listFilled();
    QString status = !update && !outcome.refreshed
                         ? tr(" Генерация листа закончена, выберите способ "
                              "сохранения (HTML, TXT, EXCEL)")
                     : outcome.stopped ? tr(" Обновление остановлено, список прежний")
                                       : u' ' + updateSummary(outcome.counts);
    if (!update && m_kind.scanNote)
        status += m_kind.scanNote();
    if (!outcome.stopped || !update)
        status += smallFoldersNote(outcome.smallFolders);
    m_frame.setStatusText(status);
    m_frame.setProgressValue(0);
    if (m_kind.commandsOffWhileScanning && !m_frame.isClosing())
        m_frame.desktop().beep();
}

void ListPage::listFilled() {
    showCount();
    if (m_kind.commandsOffWhileScanning)
        m_columns->fitToValues();
    commandsOn();
}

void ListPage::commandsOn() {
    setListCommandsEnabled(true);
    m_frame.setExportMenuEnabled(true);
    m_scanButton->setText(m_kind.scanCaption);
    setScanEnabled(true);
    if (!m_kind.scanMenuCaption.isEmpty())
        m_menu.scan->setText(m_kind.scanMenuCaption);
}

bool ListPage::confirmEmptyRoot(const QString& root) {
    return m_frame.desktop().askYesNo(
        tr("Внимание!"), tr("В папке \"%1\" нет ничего из списка (диск не подключён?). Убрать из "
                            "списка всё, что было найдено в ней?")
                             .arg(QDir::toNativeSeparators(root)));
}

void ListPage::clearClicked() {
    recordHistory();
    m_view->setUpdatesEnabled(false);
    m_list.clear();
    m_view->setUpdatesEnabled(true);
    emptied();
}

void ListPage::emptied() {
    m_partial = false;
    m_frame.setCaption(titleCaption());
    if (m_kind.commandsOffWhileScanning) {
        // A delete of the last row in the middle of a scan clears the list too; the scan keeps
        // its stop command and turns the list's commands on when it ends.
        if (m_job->isRunning())
            return;
        m_scanButton->setText(m_kind.firstScanCaption);
        m_menu.scan->setText(m_kind.firstScanCaption);
    }
    setListCommandsEnabled(false);
    m_frame.listEmptied();
}

void ListPage::shown() {
    if (!m_list.isEmpty())
        showCount();
}

void ListPage::showCount() {
    QString caption = tr("В %1 коллекции: %2 позиций")
                          .arg(m_kind.name)
                          .arg(m_frame.session().itemCount(m_kind.list));
    if (m_partial)
        caption += partialListNote();
    m_frame.setCaption(caption);
}

void ListPage::setListCommandsEnabled(bool enabled) {
    m_clearButton->setEnabled(enabled);
    m_exportButton->setEnabled(enabled);
    if (m_menu.clear != nullptr)
        m_menu.clear->setEnabled(enabled);
    if (m_menu.exports != nullptr)
        m_menu.exports->menuAction()->setEnabled(enabled);
}

void ListPage::headerClicked(int column) {
    if (m_kind.asksBeforeSortingCategories && m_frame.toggles().musicInCat &&
        !m_frame.desktop().askYesNo(tr("Внимание!"),
                                    tr("Включена опция \"Музыка разделена на категории\", при "
                                       "сортировке все категории смешаются, отсорировать?\"")))
        return;
    recordHistory();
    m_frame.session().sort(m_kind.list, column);
}

void ListPage::editClicked() {
    const int index = selectedRow();
    if (index < 0)
        return;
    if (m_kind.showInEditor) {
        if (!m_kind.showInEditor(index))
            return;
    } else {
        m_kind.editor->setRow(m_list.row(index));
    }
    // Rows may move while the dialog is open (a scan goes on behind it): follow this one.
    const QPersistentModelIndex edited = m_list.index(index, 0);
    m_frame.execModal(*m_kind.editor);
    if (!m_kind.editor->saved() || !edited.isValid())
        return;
    recordHistory();
    m_list.applyEdit(edited.row(), m_kind.editor->row());
    if (m_kind.saved)
        m_kind.saved(edited.row());
}

void ListPage::deleteClicked() {
    if (m_list.isEmpty() || !m_view->hasFocus())
        return;
    // The selection is taken before the walk: removing the current row makes the view choose
    // another one, which must not be deleted in turn. Rows are counted as the view shows them.
    const QItemSelection selection = m_view->selectionModel()->selection();
    if (selection.isEmpty())
        return;
    const int selected = selection.first().top();
    std::vector<bool> doomed(static_cast<size_t>(m_list.count()), false);
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            doomed[static_cast<size_t>(listRow(row))] = true;
    }
    recordHistory();
    m_frame.session().deleteRows(m_kind.list, doomed);
    const int count = m_view->model()->rowCount();
    const int next = selected < count ? selected : selected - 1;
    if (next >= 0 && count > 0)
        m_view->selectRow(next);
    if (m_list.isEmpty()) {
        emptied();
        return;
    }
    showCount();
}

void ListPage::recordHistory() {
    m_history.record(m_list);
}

void ListPage::undo() {
    if (!m_history.canUndo() || refuseWhileRunning())
        return;
    m_history.undo(m_list);
    historyStepTaken(tr(" Действие отменено (Ctrl+Shift+Z - повторить)"));
}

void ListPage::redo() {
    if (!m_history.canRedo() || refuseWhileRunning())
        return;
    m_history.redo(m_list);
    historyStepTaken(tr(" Действие повторено"));
}

void ListPage::historyStepTaken(const QString& status) {
    if (m_list.isEmpty())
        emptied();
    else
        listFilled();
    m_frame.setStatusText(status);
}

void ListPage::rowMenuRequested(const QPoint& position) {
    // "Редактировать" and "Удалить" are enabled when a row is chosen; the actions serve the
    // shortcuts too, so they are enabled again when the menu closes.
    const bool rowChosen = m_view->model()->rowCount() > 0 && selectedRow() >= 0;
    m_editAction->setEnabled(rowChosen);
    m_deleteAction->setEnabled(rowChosen);
    connect(
        m_rowMenu, &QMenu::aboutToHide, this,
        [this] {
            m_editAction->setEnabled(true);
            m_deleteAction->setEnabled(true);
        },
        Qt::SingleShotConnection);
    m_rowMenu->popup(m_view->viewport()->mapToGlobal(position));
}

int ListPage::listRow(int viewRow) const {
    return m_filter->mapToSource(m_filter->index(viewRow, 0)).row();
}

int ListPage::selectedRow() const {
    // The views select whole rows. The ranges rather than selectedRows(), which checks every row
    // against every range: seconds for a selection of thousands of scattered rows.
    const QItemSelection selection = m_view->selectionModel()->selection();
    return selection.isEmpty() ? -1 : listRow(selection.first().top());
}

void ListPage::selectRow(int row) {
    const QModelIndex shown = m_filter->mapFromSource(m_list.index(row, 0));
    // A row the filter hides is not selected.
    if (!shown.isValid()) {
        m_view->selectionModel()->clearSelection();
        return;
    }
    m_view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
}

void ListPage::setDesktopFont(bool on) {
    m_desktopFont = on;
    // The application's font changes are told to the application object.
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
    applyFont();
}

void ListPage::applyFont() {
    // An empty font inherits the window's again. The header is told too: the platform gives
    // headers a font of their own, which the view's would not replace.
    const QFont font = m_desktopFont ? QApplication::font() : QFont();
    m_view->setFont(font);
    m_view->horizontalHeader()->setFont(font);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    if (m_desktopFont)
        m_columns->fitToFont();
}

bool ListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationFontChange)
        applyFont();
    return QWidget::eventFilter(watched, event);
}

void ListPage::showFilter() {
    m_filterField->show();
    m_filterField->setFocus(Qt::ShortcutFocusReason);
    m_filterField->selectAll();
}

void ListPage::filterChanged() {
    const bool wasActive = m_filter->isActive();
    m_filter->setText(m_filterField->text());
    if (!m_filter->isActive()) {
        if (wasActive)
            m_frame.setStatusText(m_statusBeforeFilter);
        return;
    }
    if (!wasActive)
        m_statusBeforeFilter = m_frame.statusText();
    m_frame.setStatusText(
        tr(" Фильтр: показано %1 из %2").arg(m_filter->shownItems()).arg(m_filter->allItems()));
}

void ListPage::closeFilter() {
    m_filterField->clear();
    m_filterField->hide();
    m_view->setFocus(Qt::ShortcutFocusReason);
}

} // namespace korvane
