#pragma once

#include "cli/Cli.h"
#include "cli/ListActions.h"
#include "settings/Settings.h"

#include <QElapsedTimer>

#include <functional>
#include <optional>
#include <vector>

// What the music and video commands share: their words (roots, options, list actions) and the
// progress line they draw on a terminal.
namespace korvane::cli {

struct ScanArguments {
    QStringList roots; // each an existing folder, absolute and clean
    std::vector<ListAction> actions;
    bool store = false;  // --store: the list becomes the stored list
    bool update = false; // --update: the stored list is updated (roots may then be left out)
    std::optional<bool> txtUtf8;                 // --txt-encoding utf-8|cp1251
    std::optional<codepage::Choice> tagEncoding; // --encoding auto|cp1251|koi8-r|cp866|cp1252
    bool mayEmpty =
        false; // --allow-empty: the update may empty a root that holds none of its albums
    QString postTemplate;                // --template FILE for the forum posts of this run
    std::optional<qsizetype> postLimit;  // --post-limit N
    bool sincePublished = false;         // --since-published: the actions get what changed
    bool markPublished = false;          // --mark-published: the list becomes the published one
    std::optional<int> requestsInFlight; // --jobs N: requests to the file system in flight
};

// Reads a scan command's words: list actions, --store, --update, --txt-encoding ENCODING,
// --encoding CODEPAGE, --template FILE, --post-limit N and --jobs N,
// then the words `option` takes
// (it returns true for each word it used), the rest are roots. Throws UsageError for an unknown
// option or no root (without --update), and CommandError for a root that is not a folder, before
// anything is scanned.
ScanArguments parseScanArguments(const QStringList& args, const CatalogueList& list,
                                 const char* command,
                                 const std::function<bool(const QString&)>& option = {});

// set.ini of the program folder; one line on stderr when it is there but cannot be read.
SettingsFile readSettings(const ProgramFolder& folder, Context& context);
void reportUnreadableSettings(const SettingsFile& settings, Context& context);

// What the music and video commands do once their words are read: the scans of the roots, or
// the update of the stored list, --store, then the list actions.
void runScanCommand(CatalogueSession& session, ListKind kind, const ScanArguments& arguments,
                    const SessionChoices& choices, Context& context);

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
