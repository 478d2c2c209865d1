#include "cli/Cli.h"
#include "text/OutputText.h"

#include <QCoreApplication>

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    korvane::text::useCNumberFormat();
    return korvane::cli::run(app.arguments().mid(1), QCoreApplication::applicationDirPath(),
                             std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
