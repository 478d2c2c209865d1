#pragma once

#include "settings/ProgramFolder.h"
#include "text/CodePageDetector.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <stdexcept>

// korvane-cli: the window's commands without the window. Each command lives in a unit of its own
// (TagsCommand.cpp, MusicCommand.cpp, ...) and is listed in the table of Cli.cpp.
namespace korvane::cli {

// Exit statuses of the command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A command's words are wrong: exit status 2, the message and the usage on stderr.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The command could not do its work: exit status 1, the one-line message on stderr.
struct CommandError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Context {
    std::ostream& out; // UTF-8
    std::ostream& err;
    bool errIsTerminal = false; // progress lines only go to a terminal
    QString executableDir = {}; // the folder of korvane-cli
    QString programDir = {};    // --dir DIR; empty when not given
};

// Flushes standard output; a write or flush that failed (a full disk, a closed pipe) throws
// CommandError, so that the run does not report success.
void flushOutput(std::ostream& out);

// Where a command reads set.ini, the bases and the templates: --dir's folder, else the program
// folder of korvane-cli itself, portable or installed.
ProgramFolder programFolder(const Context& context);

// Runs one command line (the arguments after the program name) and returns the exit status.
int run(const QStringList& arguments, const QString& executableDir, std::ostream& out,
        std::ostream& err, bool errIsTerminal = false);

// "--encoding auto|cp1251|koi8-r|cp866|cp1252" at args[i]: stores the choice, moves i past both
// words and returns true; false when args[i] is another word. A missing or unknown word after it
// is a UsageError.
bool takeEncodingOption(const QStringList& args, int& i, std::optional<codepage::Choice>& choice);

// The text of `korvane-cli --help`.
QString usageText();

} // namespace korvane::cli
