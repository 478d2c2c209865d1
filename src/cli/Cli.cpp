#include "cli/Cli.h"

#include "cli/Commands.h"
#include "cli/ListActions.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace korvane::cli {
namespace {

struct Command {
    const char* name;
    int (*function)(const QStringList& args, Context& context);
    const char* synopsis;
};

// Add a command here and its synopsis shows in --help.
const Command kCommands[] = {
    {"music", runMusicCommand,
     "music ROOT... [options] [actions]  the music scan of each root in turn; options\n"
     "    --categories --groups-without-albums --artist-from-tags --uppercase --year --vbr\n"
     "    --bold --other-formats --mp3-names-only --fold-discs --totals (each also --no-...)\n"
     "    override the toggles of set.ini (--totals: columns of tracks and playing time);\n"
     "    --store keeps the list as the stored music list (korvane.db); --update [ROOT...]\n"
     "    updates the stored list from its own roots (or the roots named), reading only what\n"
     "    changed, and stores it; a root that holds none of its stored albums keeps its rows\n"
     "    unless --allow-empty is given; --txt-encoding utf-8|cp1251 for --txt; --template\n"
     "    FILE and --post-limit N (characters, 0: one file) for --bbcode and --plain;\n"
     "    --since-published runs the actions on what changed since the list was last\n"
     "    published, --mark-published makes the list the published one; --encoding\n"
     "    auto|cp1251|koi8-r|cp866|cp1252 reads 8-bit tag texts, cue sheets and folder names\n"
     "    in that code page (auto: each decided from its letters) instead of the setting of\n"
     "    set.ini; --jobs N keeps N requests to the disk in flight (1: one at a time; without\n"
     "    it, requestsInFlight of set.ini, or 8 on a network share, 1 on a spinning disk, 2\n"
     "    elsewhere)"},
    {"tags", runTagsCommand,
     "tags FILE [--encoding ...] every field of every audio reader, as JSON, with the code\n"
     "    page chosen for each 8-bit text and how sure the choice was"},
    {"video", runVideoCommand,
     "video ROOT... [actions]    the video scan of each root in turn; --all-files lists the\n"
     "    files without a video stream too (--no-all-files); --txt-encoding, --encoding,\n"
     "    --store and --update [ROOT...] as for music, with the stored video list; --template\n"
     "    and --post-limit, --since-published and --mark-published as for music"},
    {"probe", runProbeCommand,
     "probe FILE                 the video probe's result and the video list's cells, as JSON"},
};

const Command* findCommand(const QString& name) {
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace

QString usageText() {
    QString text = QStringLiteral(
        "usage: korvane-cli [--dir DIR] COMMAND ...\n\n"
        "  --dir DIR    the program folder (set.ini, bases, templates); default: the folder of\n"
        "               korvane-cli, or when installed ~/.config/korvane and "
        "~/.local/share/korvane\n"
        "  --help       this text\n\ncommands:\n");
    for (const Command& command : kCommands)
        text += QStringLiteral("  korvane-cli ") + QString::fromUtf8(command.synopsis) + u'\n';
    text += QStringLiteral("\nactions of the list commands, run in the order given:\n") +
            listActionsUsage();
    text += QStringLiteral("\nexit status: 0 success, 1 failure, 2 usage error\n");
    return text;
}

void flushOutput(std::ostream& out) {
    errno = 0;
    out.flush();
    if (!out)
        throw CommandError(std::string("standard output could not be written") +
                           (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
}

bool takeEncodingOption(const QStringList& args, int& i, std::optional<codepage::Choice>& choice) {
    if (args.at(i) != QLatin1String("--encoding"))
        return false;
    const QString word = i + 1 < args.size() ? args.at(i + 1).toLower() : QString();
    choice = codepage::choiceFromName(word.toStdString());
    if (!choice)
        throw UsageError("--encoding takes auto, cp1251, koi8-r, cp866 or cp1252");
    i += 2;
    return true;
}

ProgramFolder programFolder(const Context& context) {
    return context.programDir.isEmpty() ? ProgramFolder::ofExecutable(context.executableDir)
                                        : ProgramFolder(context.programDir);
}

int run(const QStringList& arguments, const QString& executableDir, std::ostream& out,
        std::ostream& err, bool errIsTerminal) {
    Context context{out, err, errIsTerminal, executableDir, {}};
    QStringList args = arguments;
    try {
        while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
            const QString option = args.takeFirst();
            if (option == QLatin1String("--help")) {
                out << usageText().toStdString();
                flushOutput(out);
                return kExitOk;
            }
            if (option != QLatin1String("--dir"))
                throw UsageError("unknown option " + option.toStdString());
            if (args.isEmpty())
                throw UsageError("--dir needs a folder");
            context.programDir = args.takeFirst();
            if (!QDir(context.programDir).exists())
                throw CommandError("no such folder: " + context.programDir.toStdString());
        }
        if (args.isEmpty())
            throw UsageError("no command given");
        const QString name = args.takeFirst();
        const Command* command = findCommand(name);
        if (command == nullptr)
            throw UsageError("unknown command " + name.toStdString());
        const int status = command->function(args, context);
        if (status == kExitOk)
            flushOutput(out);
        return status;
    } catch (const UsageError& error) {
        err << "korvane-cli: " << error.what() << "\n\n" << usageText().toStdString();
        return kExitUsage;
    } catch (const std::runtime_error& error) {
        // CommandError, and the few failures below it that have no command of their own, such
        // as a user without a home folder.
        err << "korvane-cli: " << error.what() << '\n';
        return kExitFailure;
    }
}

} // namespace korvane::cli
