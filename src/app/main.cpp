#include "app/InterfaceLanguage.h"
#include "app/MainWindow.h"
#include "app/QtDesktop.h"
#include "export/ListExport.h"
#include "settings/ProgramFolder.h"
#include "text/OutputText.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane by Zelmir"));
    // The desktop entry and the icon that an installation puts in the system's folders, so that
    // task bars show the window as that entry.
    QApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.korvane.Korvane")));
    korvane::text::useCNumberFormat();

    const korvane::ProgramFolder folder =
        korvane::ProgramFolder::ofExecutable(QApplication::applicationDirPath());
    // The language is read before any text is made; a change in the settings applies from the
    // next start.
    korvane::SettingsFile settings(folder.settingsPath());
    const korvane::InterfaceTranslation translation(
        korvane::chooseInterfaceLanguage(korvane::Settings(settings).language(),
                                         QLocale::system().uiLanguages()),
        folder);

    // Workbooks handed to the spreadsheet application stay in their folders; a day later the
    // application has long read them.
    korvane::exporter::removeStaleWorkbookFolders(QDir::tempPath(), QDateTime::currentDateTime());

    korvane::QtDesktop desktop;
    korvane::MainWindow window(folder, desktop);
    desktop.setOwner(&window);
    try {
        window.mainLoad();
    } catch (const korvane::ReportedError& error) {
        desktop.showError(error.userMessage());
    }
    window.show();
    return QApplication::exec();
}
