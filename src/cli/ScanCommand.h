#pragma once

#include "cli/Cli.h"
#include "cli/ListActions.h"

#include <QElapsedTimer>

#include <functional>
#include <vector>

// What the music and video commands share: their words (roots, options, list actions) and the
// progress line they draw on a terminal.
namespace korvane::cli {

struct ScanArguments {
    QStringList roots; // each an existing folder, absolute and clean
    std::vector<ListAction> actions;
};

// Reads a scan command's words: list actions, then the words `option` takes (it returns true for
// each word it used), the rest are roots. Throws UsageError for an unknown option or no root, and
// CommandError for a root that is not a folder, before anything is scanned.
ScanArguments parseScanArguments(const QStringList& args, const CatalogueList& list,
                                 const char* command,
                                 const std::function<bool(const QString&)>& option = {});

// A progress line on stderr when it is a terminal, redrawn at most ten times a second and wiped
// when the scan ends.
class ProgressLine {
public:
    explicit ProgressLine(Context& context);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Redraws with text() when the line is due; text is only called then.
    void tick(const std::function<QString()>& text);

private:
    Context& m_context;
    QElapsedTimer m_clock;
    bool m_shown = false;
};

} // namespace korvane::cli
