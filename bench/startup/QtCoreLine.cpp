// The start-up floor of a command-line program on Qt Core: start the application object and
// print one line.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts("usage: one line");
    return 0;
}
