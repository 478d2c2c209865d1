#include "bases/BaseFillDialog.h"

#include "catalogue/CatalogueList.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <memory>

namespace korvane {
namespace {

// Made when shown, in the language the window was started in.
QString stopCaption() {
    return QCoreApplication::translate("korvane::BaseFillDialog", "Прекратить");
}
QString closeCaption() {
    return QCoreApplication::translate("korvane::BaseFillDialog", "Закрыть");
}

int progressValue(int64_t value) {
    return static_cast<int>(std::min<int64_t>(value, INT_MAX));
}

// A bar whose maximum is 0 turns into a busy indicator; an empty base or list shows an empty bar.
void setProgress(QProgressBar* bar, int64_t maximum, int64_t position) {
    bar->setRange(0, std::max(1, progressValue(maximum)));
    bar->setValue(progressValue(position));
}

} // namespace

BaseFillDialog::BaseFillDialog(Desktop& desktop, SettingsFile& settings, QWidget* parent)
    : QDialog(parent), m_desktop(desktop), m_settings(settings) {
    setWindowTitle(QStringLiteral("Korvane"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    m_label = new QLabel(this);
    m_label->setAlignment(Qt::AlignCenter);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    setProgress(m_progress, 0, 0);
    m_button = new QPushButton(stopCaption(), this);
    m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_label, 0, 0);
    layout->addWidget(m_progress, 1, 0);
    layout->addWidget(m_button, 0, 1, 2, 1);
    layout->setColumnStretch(0, 1);
    setFixedSize(330, 70);

    connect(m_button, &QPushButton::clicked, this, &BaseFillDialog::buttonClicked);
}

void BaseFillDialog::prepare(bases::BaseKind kind, bases::FillMode mode, const QString& basePath,
                             CatalogueList& list, Job& job) {
    m_request.kind = kind;
    m_request.mode = mode;
    m_request.basePath = basePath;
    m_list = &list;
    m_job = &job;
}

void BaseFillDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // The run starts once the dialog is up and its event loop runs, and only once per showing:
    // a message box over the dialog re-activates it, which must not start another run.
    QMetaObject::invokeMethod(this, &BaseFillDialog::startRun, Qt::QueuedConnection);
}

void BaseFillDialog::startRun() {
    if (!isVisible() || m_list == nullptr || m_job == nullptr || m_job->isRunning())
        return;
    m_button->setText(stopCaption());
    m_request.separator = m_settings.groupAlbumSeparatorForBases();
    auto changes = std::make_shared<std::vector<bases::BaseFill::Change>>();
    m_job->start(
        [this, request = m_request, rows = m_list->rows(), changes](const std::stop_token& stop) {
            // The label and the bar follow the run at most every few dozen milliseconds, and
            // whenever it enters another phase.
            Throttle throttle;
            QString shown;
            m_fill.run(request, rows, *changes, stop, [&] {
                if (!throttle.due() && m_fill.label() == shown)
                    return;
                shown = m_fill.label();
                m_job->post([this, label = shown, maximum = m_fill.progressMaximum(),
                             position = m_fill.progressPosition()] {
                    m_label->setText(label);
                    setProgress(m_progress, maximum, position);
                });
            });
        },
        [this, changes] { runEnded(*changes); });
}

void BaseFillDialog::runEnded(const std::vector<bases::BaseFill::Change>& changes) {
    if (bases::BaseFill::alters(*m_list, m_request.kind, changes))
        emit listAboutToChange();
    bases::BaseFill::apply(*m_list, m_request.kind, changes);
    showFillState();
    if (m_fill.state() == bases::FillState::Failed)
        m_desktop.showError(explainFileProblem(*m_fill.problem()));
    if (m_fill.state() == bases::FillState::Done)
        m_button->setText(closeCaption());
    emit runFinished();
}

void BaseFillDialog::showFillState() {
    m_label->setText(m_fill.label());
    setProgress(m_progress, m_fill.progressMaximum(), m_fill.progressPosition());
}

void BaseFillDialog::buttonClicked() {
    if (m_job != nullptr && m_job->isRunning()) {
        m_job->requestStop();
        return;
    }
    if (m_button->text() == closeCaption())
        close();
}

void BaseFillDialog::reject() {
    if (m_job != nullptr)
        m_job->requestStop();
    QDialog::reject();
}

} // namespace korvane
