#include "cli/Cli.h"
#include "files/FileName.h"
#include "text/OutputText.h"

#include <QCoreApplication>

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    korvane::text::useCNumberFormat();
    // Paths are handed to the file system as the bytes given, also when they are not UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(korvane::files::decodeFileName(argv[i]));
    return korvane::cli::run(arguments, QCoreApplication::applicationDirPath(), std::cout,
                             std::cerr, isatty(STDERR_FILENO) != 0);
}
