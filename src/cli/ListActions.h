#pragma once

#include "cli/Cli.h"

#include "session/CatalogueSession.h"
#include "settings/Toggles.h"

#include <optional>
#include <vector>

namespace korvane {
class CatalogueList;
class Settings;
} // namespace korvane

// The actions that the music and video commands run, in the order given on the command line, on
// the list that the scan built. Each action is one row of the table in ListActions.cpp and one
// function.
namespace korvane::cli {

// What an action works on.
struct ListActionTarget {
    ListKind kind;
    CatalogueList& list;
    Context& context;
    const ProgramFolder& programFolder;      // the bases and the templates
    const Settings& settings;                // the program folder's set.ini, never written
    Toggles toggles;                         // after the command line's overrides
    int sortColumn = 0;                      // `sortColumn`: the column of the last --sort
    QString postTemplate = {};               // --template FILE; empty: the program folder's
    std::optional<qsizetype> postLimit = {}; // --post-limit N; empty: set.ini's
    QString postTitle = {};                  // the posts' title; empty: the list's own
    qsizetype postCount = -1;                // the posts' count; -1: every row
};

struct ListActionKind;

// One action of the command line with its argument (empty when it takes none).
struct ListAction {
    const ListActionKind* kind;
    QString argument;
};

// When args[index] names a list action: appends it to actions, moves index past it and its
// argument, and returns true. Throws UsageError when its argument is missing or does not suit
// list (checked before any scan runs).
bool takeListAction(const QStringList& args, int& index, const CatalogueList& list,
                    std::vector<ListAction>& actions);

// Runs the actions in order; an action throws UsageError or CommandError on failure.
void runListActions(const std::vector<ListAction>& actions, ListActionTarget& target);

// --since-published and --mark-published: the actions run on what changed since the list was last
// published (everything when it never was), and the list becomes the published one once they
// have run. The snapshot is kept in korvane.db of the program folder.
void runPublishedActions(const std::vector<ListAction>& actions, ListActionTarget& target,
                         bool sincePublished, bool markPublished);

// The actions' lines for --help.
QString listActionsUsage();

} // namespace korvane::cli
