#include "app/MainWindow.h"
#include "app/QtDesktop.h"
#include "export/ListExport.h"
#include "text/OutputText.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane by Zelmir"));
    // The desktop entry and the icon that an installation puts in the system's folders, so that
    // task bars show the window as that entry.
    QApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.korvane.Korvane")));
    korvane::text::useCNumberFormat();

    // The system's own buttons ("Да", "Нет", "Отмена") speak Russian like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Workbooks handed to the spreadsheet application stay in their folders; a day later the
    // application has long read them.
    korvane::exporter::removeStaleWorkbookFolders(QDir::tempPath(), QDateTime::currentDateTime());

    korvane::QtDesktop desktop;
    korvane::MainWindow window(
        korvane::ProgramFolder::ofExecutable(QApplication::applicationDirPath()), desktop);
    desktop.setOwner(&window);
    try {
        window.mainLoad();
    } catch (const korvane::ReportedError& error) {
        desktop.showError(error.userMessage());
    }
    window.show();
    return QApplication::exec();
}
