#pragma once

#include "cli/Cli.h"

#include <sstream>
#include <string>

namespace korvane::cli {

// One run of the command line with its exit status and what it wrote.
struct CliOutcome {
    int status;
    std::string out;
    std::string err;
};

// Runs a command line with the build's bin folder as the default program folder.
inline CliOutcome runCli(const QStringList& args) {
    std::ostringstream out, err;
    const int status = run(args, QStringLiteral(KORVANE_BIN_DIR), out, err);
    return {status, out.str(), err.str()};
}

} // namespace korvane::cli
