#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace korvane {

class Desktop;

// "Настройки для тестеров": testers mode and its size limit for unsorted and
// incomplete albums. Reads set.ini afresh through a new settings object each time it is shown.
class TestersDialog : public QDialog {
    Q_OBJECT
public:
    TestersDialog(Desktop& desktop, QString settingsPath, QWidget* parent = nullptr);

    QCheckBox* modeBox() const { return m_mode; }
    QLineEdit* limitField() const { return m_limit; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* cancelButton() const { return m_cancel; }

    void load();
    void apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Desktop& m_desktop;
    QString m_settingsPath;
    QCheckBox* m_mode;
    QLineEdit* m_limit;
    QPushButton* m_apply;
    QPushButton* m_cancel;
};

} // namespace korvane
