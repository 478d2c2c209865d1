// main() of the test programs that need a QApplication (widgets, dialogs, the main window).
#include "text/OutputText.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    korvane::text::useCNumberFormat();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
