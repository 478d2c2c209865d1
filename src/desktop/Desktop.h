#pragma once

#include <QString>

#include <optional>

// The platform services the commands use, behind one interface so that tests can answer for the
// user: message boxes, the folder and save-file dialogs, the shell's "open", the beep.
namespace korvane {

class Desktop {
public:
    virtual ~Desktop() = default;

    // A plain message with an OK button, titled with the application title.
    virtual void showMessage(const QString& text) = 0;
    // The program's general error box.
    virtual void showError(const QString& text) = 0;
    // A Yes/No question; true for "Да".
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // The folder dialog: the chosen folder, or nothing on cancel. `preselect` is empty or an
    // existing folder.
    virtual std::optional<QString> chooseFolder(const QString& caption,
                                                const QString& preselect) = 0;
    // The save-file dialog starting in `folder` with `fileName` filled in and the name filter
    // `filter` ("*.txt", "HTML (*.htm *.html)"). It does not ask before replacing: the caller does.
    virtual std::optional<QString> chooseSaveFile(const QString& folder, const QString& fileName,
                                                  const QString& filter) = 0;
    // Hands a file to the desktop's default application for its type; false when no application
    // took it (none registered for the type, or the opener failed).
    virtual bool openWithShell(const QString& path) = 0;
    // A message naming a file, with a button that opens the file's folder in the file manager.
    virtual void showMessageWithFolder(const QString& text, const QString& path) = 0;
    // The desktop's usual question before a save replaces an existing file; true for "replace".
    virtual bool confirmReplace(const QString& path) = 0;
    // Whether an application is registered to open .xlsx workbooks; a desktop that cannot tell
    // answers no.
    virtual bool spreadsheetAppRegistered() { return false; }
    // Puts the text on the clipboard, where a forum post goes next.
    virtual void setClipboardText(const QString& text) = 0;
    virtual void beep() = 0;
};

// `pickFolder`: the one way the program asks for a folder. A folder that no longer exists is
// cleared first (callers rely on that to forget a vanished folder); an existing one is
// preselected. True and the chosen path in `folder` when the user chose one.
bool pickFolder(Desktop& desktop, const QString& caption, QString& folder);

} // namespace korvane
