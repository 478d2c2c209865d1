#include "cli/Commands.h"

#include "app/ProgramFolder.h"
#include "app/SettingsFile.h"
#include "cli/ListActions.h"
#include "music/MusicList.h"
#include "music/MusicScan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <vector>

namespace korvane::cli {
namespace {

struct ToggleOption {
    const char* name; // "--categories"; "--no-categories" switches it off
    bool Toggles::*toggle;
};

const ToggleOption kToggleOptions[] = {
    {"--categories", &Toggles::musicInCat},
    {"--groups-without-albums", &Toggles::showGroupNotAlbum},
    {"--artist-from-tags", &Toggles::artistFromID3},
    {"--uppercase", &Toggles::albumUppercase},
    {"--year", &Toggles::yearInColumn},
    {"--vbr", &Toggles::showVBR},
    {"--bold", &Toggles::albumBoldFont},
};

// Sets the toggle that word names (or its --no- form); false when word names none.
bool applyToggleOption(const QString& word, Toggles& toggles) {
    for (const ToggleOption& option : kToggleOptions) {
        const QString on = QString::fromLatin1(option.name);
        const QString off = QStringLiteral("--no-") + on.mid(2);
        if (word == on || word == off) {
            toggles.*option.toggle = word == on;
            return true;
        }
    }
    return false;
}

// A progress line on a terminal, redrawn at most ten times a second.
class ProgressHost final : public MusicScanHost {
public:
    explicit ProgressHost(Context& context) : m_context(context) { m_clock.start(); }
    ~ProgressHost() override {
        if (m_shown)
            m_context.err << "\r\033[K" << std::flush;
    }

    bool pump() override {
        ++m_entries;
        tick();
        return true;
    }
    bool stopRequested() override { return false; }
    void setStatusText(const QString& text) override {
        m_status = text;
        tick(); // skipped folders do not pump
    }
    void setProgressMaximum(int maximum) override { m_maximum = maximum; }
    void setProgressPosition(int position) override { m_position = position; }

private:
    void tick() {
        if (m_context.errIsTerminal && m_clock.elapsed() >= 100) {
            m_clock.restart();
            show();
        }
    }
    void show() {
        QString line =
            m_maximum > 0
                ? QStringLiteral("%1/%2 %3").arg(m_position).arg(m_maximum).arg(m_status.trimmed())
                : QStringLiteral("listing folders: %1 entries").arg(m_entries);
        if (line.size() > 100)
            line = line.left(48) + QStringLiteral("...") + line.right(49);
        m_context.err << "\r\033[K" << line.toUtf8().constData() << std::flush;
        m_shown = true;
    }

    Context& m_context;
    QElapsedTimer m_clock;
    QString m_status;
    long long m_entries = 0;
    int m_maximum = 0;
    int m_position = 0;
    bool m_shown = false;
};

} // namespace

int runMusicCommand(const QStringList& args, Context& context) {
    const ProgramFolder programFolder(context.programDir);
    const SettingsFile settings(programFolder.settingsPath());
    Toggles toggles = readToggles(settings);
    MusicList list;
    QStringList roots;
    std::vector<ListAction> actions;
    for (int i = 0; i < args.size();) {
        const QString& word = args.at(i);
        if (takeListAction(args, i, list, actions))
            continue;
        if (applyToggleOption(word, toggles)) {
            ++i;
            continue;
        }
        if (word.startsWith(QLatin1String("--")))
            throw UsageError("unknown music option " + word.toStdString());
        roots.append(word);
        ++i;
    }
    if (roots.isEmpty())
        throw UsageError("music needs at least one ROOT folder");
    for (const QString& root : std::as_const(roots)) {
        const QFileInfo info(root);
        if (!info.exists())
            throw CommandError("no such folder: " + root.toStdString());
        if (!info.isDir())
            throw CommandError("not a folder: " + root.toStdString());
    }

    const MusicScanOptions options =
        readMusicScanOptions(settings, toggles, settings.readText(u"notdead", QStringLiteral("0")));
    // One scan per root, as consecutive scans in the window: each appends its rows.
    for (const QString& root : std::as_const(roots)) {
        ProgressHost host(context);
        MusicScan(QDir::cleanPath(QFileInfo(root).absoluteFilePath()), options, list, host);
    }
    ListActionTarget target{ListKind::Music, list, context, settings, toggles};
    runListActions(actions, target);
    return kExitOk;
}

} // namespace korvane::cli
