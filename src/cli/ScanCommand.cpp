#include "cli/ScanCommand.h"

#include "catalogue/CatalogueStore.h"
#include "files/FileName.h"
#include "settings/Settings.h"

#include <QDir>

#include <filesystem>

namespace korvane::cli {

ScanArguments parseScanArguments(const QStringList& args, const CatalogueList& list,
                                 const char* command,
                                 const std::function<bool(const QString&)>& option) {
    ScanArguments result;
    for (int i = 0; i < args.size();) {
        const QString& word = args.at(i);
        if (takeListAction(args, i, list, result.actions) ||
            takeEncodingOption(args, i, result.tagEncoding))
            continue;
        ++i;
        if (word == QLatin1String("--store") || word == QLatin1String("--update")) {
            (word == QLatin1String("--store") ? result.store : result.update) = true;
            continue;
        }
        if (word == QLatin1String("--txt-encoding")) {
            const QString encoding = i < args.size() ? args.at(i++).toLower() : QString();
            if (encoding != QLatin1String("utf-8") && encoding != QLatin1String("cp1251"))
                throw UsageError("--txt-encoding takes utf-8 or cp1251");
            result.txtUtf8 = encoding == QLatin1String("utf-8");
            continue;
        }
        if (word == QLatin1String("--template")) {
            if (i >= args.size())
                throw UsageError("--template needs FILE");
            result.postTemplate = args.at(i++);
            continue;
        }
        if (word == QLatin1String("--post-limit")) {
            bool ok = false;
            const qsizetype limit = i < args.size() ? args.at(i++).toLongLong(&ok) : 0;
            if (!ok || limit < 0)
                throw UsageError("--post-limit needs a number of characters (0: one file)");
            result.postLimit = limit;
            continue;
        }
        if (word == QLatin1String("--jobs")) {
            bool ok = false;
            const int jobs = i < args.size() ? args.at(i++).toInt(&ok) : 0;
            if (!ok || jobs < 1)
                throw UsageError("--jobs needs a number of requests in flight (1: one at a time)");
            result.requestsInFlight = jobs;
            continue;
        }
        if (word == QLatin1String("--since-published")) {
            result.sincePublished = true;
            continue;
        }
        if (word == QLatin1String("--mark-published")) {
            result.markPublished = true;
            continue;
        }
        if (word == QLatin1String("--allow-empty")) {
            result.mayEmpty = true;
            continue;
        }
        if (option && option(word))
            continue;
        if (word.startsWith(QLatin1String("--")))
            throw UsageError(std::string("unknown ") + command + " option " + word.toStdString());
        result.roots.append(word);
    }
    if (result.roots.isEmpty() && !result.update)
        throw UsageError(std::string(command) + " needs at least one ROOT folder");
    if (result.mayEmpty && !result.update)
        throw UsageError("--allow-empty goes with --update");
    for (QString& root : result.roots) {
        // The root's bytes as given, whatever their encoding: the scans carry them on.
        const std::filesystem::path path = files::encodeFileName(root).toStdString();
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        const QString absolute =
            QDir::cleanPath(files::decodeFileName(std::filesystem::absolute(path, error).string()));
        // A root named here that does not exist is a typo rather than an unplugged disk: storing
        // the update would drop every row of the stored roots.
        if (!exists)
            throw CommandError("no such folder: " + path.string());
        if (!std::filesystem::is_directory(path, error))
            throw CommandError("not a folder: " + path.string());
        root = absolute;
    }
    return result;
}

void reportUnreadableSettings(const SettingsFile& settings, Context& context) {
    if (const QString message = unreadableSettingsMessage(settings); !message.isEmpty())
        context.err << "korvane-cli: " << message.toStdString() << '\n';
}

SettingsFile readSettings(const ProgramFolder& folder, Context& context) {
    SettingsFile settings(folder.settingsPath());
    reportUnreadableSettings(settings, context);
    return settings;
}

namespace {

// The scan's progress as a line on a terminal: the music scan redraws it with its status text,
// the video scan with each row.
class ProgressHost final : public ScanHost {
public:
    ProgressHost(Context& context, ListKind kind) : m_line(context), m_kind(kind) {}

    void setStatusText(const QString& text) override {
        m_status = text;
        if (m_kind == ListKind::Music)
            tick();
    }
    void rowAppended() override { tick(); }
    void setProgressMaximum(int maximum) override { m_maximum = maximum; }
    void setProgressPosition(int position) override { m_position = position; }

private:
    void tick() {
        m_line.tick([this] {
            // The video scan counts its files from 0.
            return m_kind == ListKind::Music ? QStringLiteral("%1/%2 %3")
                                                   .arg(m_position)
                                                   .arg(m_maximum)
                                                   .arg(m_status.trimmed())
                                             : QStringLiteral("%1/%2 %3")
                                                   .arg(m_position)
                                                   .arg(m_maximum + 1)
                                                   .arg(m_status);
        });
    }

    ProgressLine m_line;
    ListKind m_kind;
    QString m_status;
    int m_maximum = 0;
    int m_position = 0;
};

// The catalogue (korvane.db of the program folder) for --store and --update. A damaged file's
// message goes to stderr and an empty catalogue is used; a refused or unusable one is a
// CommandError.
CatalogueStore& openCatalogue(CatalogueSession& session, Context& context) {
    CatalogueStore& store = session.catalogue();
    if (!store.isUsable())
        throw CommandError(store.message().toStdString());
    if (store.state() == CatalogueStore::State::SetAside)
        context.err << "korvane-cli: " << store.message().toStdString() << '\n';
    return store;
}

// The stored list for --update; an empty one when nothing is stored yet.
StoredList loadStoredList(CatalogueStore& store, StoredListName name) {
    const CatalogueStore::State before = store.state();
    std::optional<StoredList> stored = store.load(name);
    // Damage that shows only while the rows are read sets the file aside: the run stops there
    // rather than going on with an empty list.
    if (!store.isUsable() ||
        (store.state() == CatalogueStore::State::SetAside && before != store.state()))
        throw CommandError(store.message().toStdString());
    return stored ? std::move(*stored) : StoredList{};
}

} // namespace

void runScanCommand(CatalogueSession& session, ListKind kind, const ScanArguments& arguments,
                    const SessionChoices& choices, Context& context) {
    CatalogueList& list = session.list(kind);
    if (arguments.store || arguments.update)
        openCatalogue(session, context);
    if (arguments.update) {
        session.putStored(kind, loadStoredList(session.catalogue(), storedName(kind)), choices);
        ProgressHost host(context, kind);
        const RunOutcome outcome =
            session.runHere(kind, ListRunPlan::update(list, arguments.roots), choices, host,
                            [&arguments](const QString&) { return arguments.mayEmpty; });
        context.err << (updateSummary(outcome.counts) + smallFoldersNote(outcome.smallFolders))
                           .toStdString()
                    << '\n';
    } else {
        // One scan per root, as consecutive scans in the window: each appends its rows, and a
        // root named twice is listed once.
        int smallFolders = 0;
        for (const QString& root : arguments.roots) {
            ProgressHost host(context, kind);
            smallFolders +=
                session.runHere(kind, ListRunPlan::addRoot(list, root), choices, host).smallFolders;
        }
        // The note's "; " joins it to a status text; alone on its line it goes.
        if (smallFolders > 0)
            context.err << smallFoldersNote(smallFolders).mid(2).toStdString() << '\n';
    }
    if (arguments.store || arguments.update) {
        if (!session.store(kind))
            throw CommandError(session.catalogue().message().toStdString());
    }
    Toggles toggles = choices.toggles;
    if (arguments.txtUtf8)
        toggles.txtUtf8 = *arguments.txtUtf8;
    SettingsFile& settingsFile = session.settingsFile();
    const Settings settings(settingsFile);
    ListActionTarget target{kind, list, context, session.programFolder(), settings, toggles};
    target.postTemplate = arguments.postTemplate;
    target.postLimit = arguments.postLimit;
    runPublishedActions(arguments.actions, target, arguments.sincePublished,
                        arguments.markPublished);
}

ProgressLine::ProgressLine(Context& context) : m_context(context) {
    m_clock.start();
}

ProgressLine::~ProgressLine() {
    if (m_shown)
        m_context.err << "\r\033[K" << std::flush;
}

void ProgressLine::tick(const std::function<QString()>& text) {
    if (!m_context.errIsTerminal || m_clock.elapsed() < 100)
        return;
    m_clock.restart();
    QString line = text();
    if (line.size() > 100)
        line = line.left(48) + QStringLiteral("...") + line.right(49);
    m_context.err << "\r\033[K" << line.toUtf8().constData() << std::flush;
    m_shown = true;
}

} // namespace korvane::cli
