#pragma once

#include "desktop/Desktop.h"

class QWidget;

namespace korvane {

// The real desktop: Qt's message boxes and file dialogs, the desktop's "open", the beep.
class QtDesktop final : public Desktop {
public:
    // The owner of the dialogs; set once the main window exists.
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& preselect) override;
    std::optional<QString> chooseSaveFile(const QString& folder, const QString& fileName,
                                          const QString& filter) override;
    bool openWithShell(const QString& path) override;
    void showMessageWithFolder(const QString& text, const QString& path) override;
    bool confirmReplace(const QString& path) override;
    bool spreadsheetAppRegistered() override;
    void setClipboardText(const QString& text) override;
    void beep() override;

private:
    QWidget* m_owner = nullptr;
};

} // namespace korvane
