#include "cli/ListActions.h"

#include "app/CatalogueList.h"

#include <string>

namespace korvane::cli {

struct ListActionSpec {
    const char* name;
    const char* argument; // shown in --help; nullptr when the action takes no argument
    // Throws UsageError when the argument does not suit the list; nullptr when any will do.
    void (*check)(const CatalogueList& list, const QString& argument);
    void (*run)(ListActionTarget& target, const QString& argument);
    const char* help;
};

namespace {

// --sort COLUMN: the window's header click on that column (0 the caption, n the n-th cell).
void checkSortColumn(const CatalogueList& list, const QString& argument) {
    bool ok = false;
    const int column = argument.toInt(&ok);
    if (!ok || column < 0 || column >= list.columnCount())
        throw UsageError("--sort needs a column from 0 to " +
                         std::to_string(list.columnCount() - 1) + ", not " +
                         argument.toStdString());
}

void sortAction(ListActionTarget& target, const QString& argument) {
    target.sortColumn = argument.toInt();
    target.list.sortByColumn(target.sortColumn);
}

// --print: one line per row, the caption then the cells, tab-separated, UTF-8.
void printAction(ListActionTarget& target, const QString&) {
    for (const CatalogueRow& row : target.list.rows()) {
        QString line = row.caption;
        for (const QString& cell : row.cells)
            line += u'\t' + cell;
        line += u'\n';
        target.context.out << line.toUtf8().constData();
    }
    target.context.out.flush();
}

// Add an action here: one row and one function.
const ListActionSpec kListActions[] = {
    {"--sort", "COLUMN", checkSortColumn, sortAction,
     "sort by a column: 0 the caption, n the n-th cell"},
    {"--print", nullptr, nullptr, printAction,
     "the rows as tab-separated UTF-8 lines, caption first"},
};

} // namespace

bool takeListAction(const QStringList& args, int& index, const CatalogueList& list,
                    std::vector<ListAction>& actions) {
    const QString& word = args.at(index);
    for (const ListActionSpec& spec : kListActions) {
        if (word != QLatin1String(spec.name))
            continue;
        QString argument;
        if (spec.argument != nullptr) {
            if (index + 1 >= args.size())
                throw UsageError(std::string(spec.name) + " needs " + spec.argument);
            argument = args.at(index + 1);
            if (spec.check != nullptr)
                spec.check(list, argument);
            ++index;
        }
        ++index;
        actions.push_back({&spec, argument});
        return true;
    }
    return false;
}

void runListActions(const std::vector<ListAction>& actions, ListActionTarget& target) {
    for (const ListAction& action : actions)
        action.spec->run(target, action.argument);
}

QString listActionsUsage() {
    QString text;
    for (const ListActionSpec& spec : kListActions) {
        QString words = QString::fromUtf8(spec.name);
        if (spec.argument != nullptr)
            words += u' ' + QString::fromUtf8(spec.argument);
        text +=
            QStringLiteral("    ") + words.leftJustified(22) + QString::fromUtf8(spec.help) + u'\n';
    }
    return text;
}

} // namespace korvane::cli
