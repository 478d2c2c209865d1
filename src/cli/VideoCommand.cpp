#include "cli/Commands.h"

#include "app/ProgramFolder.h"
#include "app/SettingsFile.h"
#include "cli/ListActions.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoScan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <vector>

namespace korvane::cli {
namespace {

// A progress line on a terminal, redrawn at most ten times a second.
class VideoProgressHost final : public VideoScanHost {
public:
    explicit VideoProgressHost(Context& context) : m_context(context) { m_clock.start(); }
    ~VideoProgressHost() override {
        if (m_shown)
            m_context.err << "\r\033[K" << std::flush;
    }

    bool pump() override {
        if (m_context.errIsTerminal && m_clock.elapsed() >= 100) {
            m_clock.restart();
            show();
        }
        return true;
    }
    bool stopRequested() override { return false; }
    void setStatusText(const QString& text) override { m_status = text; }
    void setProgressMaximum(int maximum) override { m_maximum = maximum; }
    void setProgressPosition(int position) override { m_position = position; }

private:
    void show() {
        QString line = QStringLiteral("%1/%2 %3").arg(m_position).arg(m_maximum + 1).arg(m_status);
        if (line.size() > 100)
            line = line.left(48) + QStringLiteral("...") + line.right(49);
        m_context.err << "\r\033[K" << line.toUtf8().constData() << std::flush;
        m_shown = true;
    }

    Context& m_context;
    QElapsedTimer m_clock;
    QString m_status;
    int m_maximum = 0;
    int m_position = 0;
    bool m_shown = false;
};

} // namespace

int runVideoCommand(const QStringList& args, Context& context) {
    const ProgramFolder programFolder(context.programDir);
    const SettingsFile settings(programFolder.settingsPath());
    VideoList list;
    QStringList roots;
    std::vector<ListAction> actions;
    for (int i = 0; i < args.size();) {
        const QString& word = args.at(i);
        if (takeListAction(args, i, list, actions))
            continue;
        if (word.startsWith(QLatin1String("--")))
            throw UsageError("unknown video option " + word.toStdString());
        roots.append(word);
        ++i;
    }
    if (roots.isEmpty())
        throw UsageError("video needs at least one ROOT folder");
    for (const QString& root : std::as_const(roots)) {
        const QFileInfo info(root);
        if (!info.exists())
            throw CommandError("no such folder: " + root.toStdString());
        if (!info.isDir())
            throw CommandError("not a folder: " + root.toStdString());
    }

    const QString separator = readGroupAlbumSeparator(settings);
    video::VideoInfo probe;
    // One scan per root, as consecutive scans in the window: each appends its rows.
    for (const QString& root : std::as_const(roots)) {
        VideoProgressHost host(context);
        VideoScan(QDir::cleanPath(QFileInfo(root).absoluteFilePath()), separator, list, probe,
                  host);
    }
    ListActionTarget target{ListKind::Video, list, context, settings, readToggles(settings)};
    runListActions(actions, target);
    return kExitOk;
}

} // namespace korvane::cli
