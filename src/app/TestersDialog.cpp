#include "app/TestersDialog.h"

#include "desktop/Desktop.h"
#include "settings/Settings.h"
#include "widgets/DialogSize.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {
namespace {

// The client size of the design, kept as the least size.
constexpr QSize kDesignSize(300, 86);

} // namespace

TestersDialog::TestersDialog(Desktop& desktop, QString settingsPath, QWidget* parent)
    : QDialog(parent), m_desktop(desktop), m_settingsPath(std::move(settingsPath)) {
    setWindowTitle(tr("Настройки для тестеров"));
    // The close box only: without CustomizeWindowHint X11 window managers add the others.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    m_mode = new QCheckBox(tr("Вкл / Выкл этот режим"), this);
    m_limit = new QLineEdit(this);
    m_limit->setMaximumWidth(50);
    m_apply = new QPushButton(tr("Применить"), this);
    m_cancel = new QPushButton(tr("Отмена"), this);

    auto* fields = new QVBoxLayout;
    fields->addWidget(m_mode);
    fields->addWidget(new QLabel(tr("Минимальный лимит для неполных и unsorted альбомом"), this));
    fields->addWidget(m_limit);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    fitDialogToContents(this, kDesignSize);

    connect(m_apply, &QPushButton::clicked, this, &TestersDialog::apply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TestersDialog::showEvent(QShowEvent* event) {
    load();
    fitDialogToContents(this, kDesignSize);
    QDialog::showEvent(event);
}

void TestersDialog::load() {
    SettingsFile file(m_settingsPath);
    const Settings settings(file);
    m_mode->setChecked(settings.testersModeText() == QLatin1String("1"));
    m_limit->setText(settings.testersMinLimitText());
}

void TestersDialog::apply() {
    try {
        SettingsFile file(m_settingsPath);
        Settings settings(file);
        settings.setTestersMode(m_mode->isChecked());
        settings.setTestersMinLimitText(m_limit->text());
    } catch (const ReportedError& error) {
        m_desktop.showError(error.userMessage());
    }
    accept();
}

} // namespace korvane
