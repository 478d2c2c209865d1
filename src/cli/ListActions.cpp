#include "cli/ListActions.h"

#include "bases/BaseFill.h"
#include "bases/BaseWriter.h"
#include "catalogue/CatalogueList.h"
#include "export/ExportFormats.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/XlsxWorkbook.h"
#include "music/CollectionStats.h"
#include "music/Duplicates.h"
#include "music/MusicList.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "text/OutputText.h"

#include <QDate>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace korvane::cli {

struct ListActionKind {
    const char* name;
    // Shown in --help; nullptr when the action takes no argument, in brackets when it may be left
    // out (then a following word that starts with "--" is the next action, not the argument).
    const char* argument;
    // Throws UsageError when the argument does not suit the list; nullptr when any will do.
    void (*check)(const CatalogueList& list, const QString& argument);
    void (*run)(ListActionTarget& target, const QString& argument);
    const char* help;
    const exporter::ExportFormatRow* format = nullptr; // an export runs its row instead of run
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

// --print: one line per row, the caption then the cells, tab-separated, UTF-8. A tab or line
// break inside a text becomes a space, so that a row stays one line of fields.
void printAction(ListActionTarget& target, const QString&) {
    const CatalogueList& list = target.list;
    for (int index = 0; index < list.count(); ++index) {
        const CatalogueRow& row = list.row(index);
        QString line = text::singleLine(row.caption);
        for (const QString& cell : row.cells)
            line += u'\t' + text::singleLine(cell);
        // Columns past the cells, made from the row's values (the music list's totals).
        for (int column = static_cast<int>(list.columns().size()); column < list.columnCount();
             ++column)
            line += u'\t' + text::singleLine(list.text(index, column));
        line += u'\n';
        target.context.out << line.toUtf8().constData();
    }
    flushOutput(target.context.out);
}

// "genre" or "country", a colon, and the rest of an argument such as "genre:missing".
std::pair<bases::BaseKind, QString> baseArgument(const char* action, const QString& argument) {
    const qsizetype colon = argument.indexOf(u':');
    const QString base = argument.left(colon);
    if (colon < 0 || (base != QLatin1String("genre") && base != QLatin1String("country")))
        throw UsageError(std::string(action) + " needs genre: or country: before its value, not " +
                         argument.toStdString());
    return {base == QLatin1String("genre") ? bases::BaseKind::GenreBase
                                           : bases::BaseKind::CountryBase,
            argument.mid(colon + 1)};
}

void requireMusicList(const CatalogueList& list, const char* action) {
    if (qobject_cast<const MusicList*>(&list) == nullptr)
        throw UsageError(std::string(action) + " works on the music list only");
}

// --fill genre|country:missing|all: the window's "Заполнить ..." commands, from the base in the
// program folder.
void checkFill(const CatalogueList& list, const QString& argument) {
    requireMusicList(list, "--fill");
    const QString mode = baseArgument("--fill", argument).second;
    if (mode != QLatin1String("missing") && mode != QLatin1String("all"))
        throw UsageError("--fill needs missing or all after the colon, not " +
                         argument.toStdString());
}

void fillAction(ListActionTarget& target, const QString& argument) {
    const auto [kind, mode] = baseArgument("--fill", argument);
    bases::BaseFill fill;
    fill.run({kind,
              mode == QLatin1String("all") ? bases::FillMode::All : bases::FillMode::OnlyMissing,
              target.programFolder.file(bases::baseFileName(kind)),
              target.settings.groupAlbumSeparatorForBases()},
             target.list);
    if (fill.state() == bases::FillState::Failed)
        throw CommandError(fill.error().toStdString());
}

// --save-base genre|country:PATH: the window's "Сохранить в базу ..." commands, PATH standing for
// the name chosen in the save dialog. The confirmation goes to stderr.
void checkSaveBase(const CatalogueList& list, const QString& argument) {
    requireMusicList(list, "--save-base");
    if (baseArgument("--save-base", argument).second.isEmpty())
        throw UsageError("--save-base needs a file after the colon");
}

void saveBaseAction(ListActionTarget& target, const QString& argument) {
    if (target.list.isEmpty())
        return;
    const auto [kind, path] = baseArgument("--save-base", argument);
    const bases::SaveResult saved =
        bases::saveBase(target.list, kind, target.settings.groupAlbumSeparatorForBases(), path);
    if (saved.problem)
        throw CommandError(saved.error().toStdString());
    target.context.err << bases::savedStatusText(saved.path).toStdString() << '\n';
}

// An export's failure, with the text the window shows in its error box.
template <typename Export> void runExport(Export&& write) {
    try {
        write();
    } catch (const ReportedError& error) {
        throw CommandError(error.message().toStdString());
    }
}

// The exports' [FILE]: not a folder.
void checkOutputFile(const CatalogueList&, const QString& argument) {
    if (argument != QLatin1String("-") && QFileInfo(argument).isDir())
        throw UsageError("an output file is needed, not the folder " + argument.toStdString());
}

// An export of the table: the workbook to FILE; the others into save_dir under the file names of
// set.ini, the Unicode ones into FILE or, for "-", to standard output (without the CSV's
// byte-order mark, which is for spreadsheets). The window's status text for each file written,
// which names it, goes to stderr; the window has none for the workbook, whose line only names it.
void exportAction(const exporter::ExportFormatRow& row, ListActionTarget& target,
                  const QString& path) {
    if (target.list.isEmpty())
        return;
    runExport([&] {
        ExportSource source = borrowedSource(target.kind, target.list);
        source.title = target.postTitle;
        source.count = target.postCount;
        const ExportChoices choices{target.toggles, path, target.postTemplate, target.postLimit};
        if (row.publishable && path == QLatin1String("-")) {
            for (const std::string& part :
                 exportParts(row, source, target.programFolder, target.settings, choices))
                target.context.out << part;
            flushOutput(target.context.out);
            return;
        }
        for (const QString& file :
             writeExport(row, source, target.programFolder, target.settings, choices)) {
            if (row.encoding == exporter::Encoding::Workbook)
                target.context.err << "written: " << file.toStdString() << '\n';
            else if (row.encoding == exporter::Encoding::Cp1251OrUtf8)
                target.context.err
                    << exporter::txtCreatedText(file, target.toggles.txtUtf8).toStdString() << '\n';
            else
                target.context.err << exporter::fileCreatedText(file).toStdString() << '\n';
        }
    });
}

// --duplicates and --stats [FILE|-]: JSON to FILE, or to standard output for - or no FILE.
void writeJson(ListActionTarget& target, const QString& path, const QByteArray& json) {
    if (path.isEmpty() || path == QLatin1String("-")) {
        target.context.out << json.constData();
        flushOutput(target.context.out);
        return;
    }
    runExport(
        [&] { exporter::replaceFile(path, std::string_view(json.constData(), json.size())); });
    target.context.err << "written: " << path.toStdString() << '\n';
}

void checkDuplicatesOutput(const CatalogueList& list, const QString& argument) {
    requireMusicList(list, "--duplicates");
    checkOutputFile(list, argument);
}

void checkStatsOutput(const CatalogueList& list, const QString& argument) {
    requireMusicList(list, "--stats");
    checkOutputFile(list, argument);
}

void duplicatesAction(ListActionTarget& target, const QString& path) {
    requireMusicList(target.list, "--duplicates");
    const QString separator = target.settings.groupAlbumSeparator();
    const auto& rows = target.list.rows();
    writeJson(target, path, duplicatesJson(rows, findDuplicates(rows, separator), separator));
}

void statsAction(ListActionTarget& target, const QString& path) {
    requireMusicList(target.list, "--stats");
    writeJson(target, path,
              statsJson(collectionStats(target.list.rows(), target.settings.groupAlbumSeparator(),
                                        target.toggles.albumTotals)));
}

// Add an action here: one row and one function. The exports come from their table, between
// these two.
const ListActionKind kListActionsBefore[] = {
    {"--sort", "COLUMN", checkSortColumn, sortAction,
     "sort by a column: 0 the caption, n the n-th cell"},
    {"--print", nullptr, nullptr, printAction,
     "the rows as tab-separated UTF-8 lines, caption first"},
    {"--fill", "genre|country:missing|all", checkFill, fillAction,
     "fill Style or Country from the base, where missing or everywhere"},
    {"--save-base", "genre|country:PATH", checkSaveBase, saveBaseAction,
     "write a new genre or country base from the list"},
};
const ListActionKind kListActionsAfter[] = {
    {"--duplicates", "[FILE|-]", checkDuplicatesOutput, duplicatesAction,
     "groups of rows that hold the same album, as JSON to FILE or to stdout"},
    {"--stats", "[FILE|-]", checkStatsOutput, statsAction,
     "the collection's statistics, as JSON to FILE or to stdout"},
};

// Every action, in the order of --help.
const std::vector<ListActionKind>& listActionKinds() {
    static const std::vector<ListActionKind> kinds = [] {
        std::vector<ListActionKind> all(std::begin(kListActionsBefore),
                                        std::end(kListActionsBefore));
        std::vector<const exporter::ExportFormatRow*> exports;
        for (const exporter::ExportFormatRow& row : exporter::exportFormats())
            exports.push_back(&row);
        std::sort(exports.begin(), exports.end(),
                  [](const auto* a, const auto* b) { return a->helpOrder < b->helpOrder; });
        for (const exporter::ExportFormatRow* row : exports) {
            const bool fileOptional = row->flagArgument != nullptr && row->flagArgument[0] == '[';
            all.push_back({row->flag, row->flagArgument, fileOptional ? checkOutputFile : nullptr,
                           nullptr, row->flagHelp, row});
        }
        all.insert(all.end(), std::begin(kListActionsAfter), std::end(kListActionsAfter));
        return all;
    }();
    return kinds;
}

} // namespace

bool takeListAction(const QStringList& args, int& index, const CatalogueList& list,
                    std::vector<ListAction>& actions) {
    const QString& word = args.at(index);
    for (const ListActionKind& kind : listActionKinds()) {
        if (word != QLatin1String(kind.name))
            continue;
        QString argument;
        if (kind.argument != nullptr) {
            const bool optional = kind.argument[0] == '[';
            const bool given = index + 1 < args.size() &&
                               !(optional && args.at(index + 1).startsWith(QLatin1String("--")));
            if (!given && !optional)
                throw UsageError(std::string(kind.name) + " needs " + kind.argument);
            if (given) {
                argument = args.at(index + 1);
                if (kind.check != nullptr)
                    kind.check(list, argument);
                ++index;
            }
        }
        ++index;
        actions.push_back({&kind, argument});
        return true;
    }
    return false;
}

void runListActions(const std::vector<ListAction>& actions, ListActionTarget& target) {
    for (const ListAction& action : actions) {
        if (action.kind->format != nullptr)
            exportAction(*action.kind->format, target, action.argument);
        else
            action.kind->run(target, action.argument);
    }
}

void runPublishedActions(const std::vector<ListAction>& actions, ListActionTarget& target,
                         bool sincePublished, bool markPublished) {
    const QString catalogue = target.programFolder.file(QStringLiteral("korvane.db"));
    // A catalogue that cannot keep the snapshot fails the run before any action writes.
    if (markPublished && !sincePublished) {
        if (const QString problem = publishedStoreProblem(catalogue); !problem.isEmpty())
            throw CommandError(problem.toStdString());
    }
    const std::optional<ExportSource> changes = [&]() -> std::optional<ExportSource> {
        if (!sincePublished)
            return std::nullopt;
        try {
            return changesSincePublished(target.kind, target.list, catalogue);
        } catch (const ReportedError& error) {
            throw CommandError(error.message().toStdString());
        }
    }();
    if (changes) {
        ListActionTarget changed{target.kind,          *changes->list,      target.context,
                                 target.programFolder, target.settings,     target.toggles,
                                 target.sortColumn,    target.postTemplate, target.postLimit,
                                 changes->title,       changes->count};
        runListActions(actions, changed);
    } else {
        runListActions(actions, target);
    }
    if (markPublished)
        runExport([&] { korvane::markPublished(target.kind, target.list, catalogue); });
}

QString listActionsUsage() {
    const auto words = [](const ListActionKind& kind) {
        QString text = QString::fromUtf8(kind.name);
        if (kind.argument != nullptr)
            text += u' ' + QString::fromUtf8(kind.argument);
        return text;
    };
    // One column for the help texts, two blanks right of the longest action.
    qsizetype width = 0;
    for (const ListActionKind& kind : listActionKinds())
        width = std::max(width, words(kind).size() + 2);
    QString text;
    for (const ListActionKind& kind : listActionKinds())
        text += QStringLiteral("    ") + words(kind).leftJustified(width) +
                QString::fromUtf8(kind.help) + u'\n';
    return text;
}

} // namespace korvane::cli
