#include "app/MainWindow.h"
#include "app/QtDesktop.h"
#include "text/OutputText.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane by Zelmir"));
    korvane::text::useCNumberFormat();

    // The system's own buttons ("Да", "Нет", "Отмена") speak Russian like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    korvane::QtDesktop desktop;
    korvane::MainWindow window(korvane::ProgramFolder(QApplication::applicationDirPath()), desktop);
    desktop.setOwner(&window);
    try {
        window.mainLoad();
    } catch (const korvane::SettingsWriteError& error) {
        desktop.showError(error.message());
    }
    window.show();
    return QApplication::exec();
}
