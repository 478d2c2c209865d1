#pragma once

#include "cli/Cli.h"

// One function per command; each throws UsageError or CommandError on failure.
namespace korvane::cli {

int runTagsCommand(const QStringList& args, Context& context);
int runMusicCommand(const QStringList& args, Context& context);
int runProbeCommand(const QStringList& args, Context& context);
int runVideoCommand(const QStringList& args, Context& context);

} // namespace korvane::cli
