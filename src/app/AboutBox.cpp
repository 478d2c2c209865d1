#include "app/AboutBox.h"

#include "export/XlsxWorkbook.h"
#include "video/FfmpegDetector.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace korvane {

QString aboutText() {
    return QCoreApplication::translate(
               "korvane::MainWindow",
               "Korvane 0.984\n"
               "Каталог музыкальной и видеоколлекции:\nсписки в HTML, TXT и Excel.\n\n"
               "Библиотеки:\n"
               "Qt %1\n"
               "FFmpeg %2\n"
               "libxlsxwriter %3\n\n"
               "Лицензия: GNU GPL версии 3 или более поздней.")
        .arg(QString::fromLatin1(qVersion()), QString::fromStdString(video::ffmpegVersion()),
             exporter::xlsxwriterVersion());
}

void showAboutBox(QWidget* parent) {
    QMessageBox box(QMessageBox::Information,
                    QCoreApplication::translate("korvane::MainWindow", "О программе"), aboutText(),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace korvane
