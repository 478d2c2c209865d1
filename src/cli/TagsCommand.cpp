#include "cli/Commands.h"

namespace korvane::cli {

// Filled in with the audio readers.
int runTagsCommand(const QStringList&, Context&) {
    throw CommandError("the audio readers are not built yet");
}

} // namespace korvane::cli
