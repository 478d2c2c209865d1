#pragma once

#include "bases/BaseFill.h"
#include "settings/Settings.h"

#include <QDialog>

#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korvane {

class CatalogueList;
class Desktop;
class Job;

// The fill dialog: the small modal dialog in which a fill runs, with its label,
// its progress bar and one button, "Прекратить" while a run goes on and "Закрыть" once it is done.
// Created once with the main window; each showing runs the fill prepared before it. Closing it by
// the close box (or Escape) stops the run.
class BaseFillDialog : public QDialog {
    Q_OBJECT
public:
    BaseFillDialog(Desktop& desktop, SettingsFile& settings, QWidget* parent = nullptr);

    // The fill the next showing runs on `list`, as a run of the list's job (so that no scan of
    // the list runs meanwhile).
    void prepare(bases::BaseKind kind, bases::FillMode mode, const QString& basePath,
                 CatalogueList& list, Job& job);

    QLabel* label() const { return m_label; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* button() const { return m_button; }
    const bases::BaseFill& fill() const { return m_fill; }

    void reject() override;

signals:
    // A run's changes are about to go into the list.
    void listAboutToChange();
    // A run has ended, whichever way.
    void runFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startRun();
    void runEnded(const std::vector<bases::BaseFill::Change>& changes);
    void buttonClicked();
    void showFillState();

    Desktop& m_desktop;
    Settings m_settings;
    bases::FillRequest m_request;
    CatalogueList* m_list = nullptr;
    Job* m_job = nullptr;
    // Written by the run's thread while it runs; read here once it has ended.
    bases::BaseFill m_fill;
    QLabel* m_label;
    QProgressBar* m_progress;
    QPushButton* m_button;
};

} // namespace korvane
