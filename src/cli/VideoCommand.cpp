#include "cli/Commands.h"

#include "cli/ScanCommand.h"
#include "files/ProgramModule.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "video/FfmpegDetector.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoScan.h"

namespace korvane::cli {
namespace {

// The scan's progress as a line on a terminal.
class VideoProgressHost final : public VideoScanHost {
public:
    explicit VideoProgressHost(Context& context) : m_line(context) {}

    void setStatusText(const QString& text) override { m_status = text; }
    void rowAppended() override {
        m_line.tick([this] {
            return QStringLiteral("%1/%2 %3").arg(m_position).arg(m_maximum + 1).arg(m_status);
        });
    }
    void setProgressMaximum(int maximum) override { m_maximum = maximum; }
    void setProgressPosition(int position) override { m_position = position; }

private:
    ProgressLine m_line;
    QString m_status;
    int m_maximum = 0;
    int m_position = 0;
};

} // namespace

int runVideoCommand(const QStringList& args, Context& context) {
    const ProgramFolder folder = programFolder(context);
    SettingsFile settingsFile = readSettings(folder, context);
    const Settings settings(settingsFile);
    VideoList list;
    Toggles toggles = settings.toggles();
    // --all-files lists every file; --no-all-files only those with a video stream.
    const ScanArguments arguments =
        parseScanArguments(args, list, "video", [&toggles](const QString& word) {
            if (word != QLatin1String("--all-files") && word != QLatin1String("--no-all-files"))
                return false;
            toggles.allVideoFiles = word == QLatin1String("--all-files");
            return true;
        });
    // The video scan makes one request at a time.
    if (arguments.requestsInFlight)
        throw UsageError("--jobs is an option of the music command");
    const VideoFiles files = toggles.allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo;
    // Without the probe every clip would be listed, and stored, as "0 x 0": fail before the scan.
    requireModuleEntry(video::kProbeModuleName, video::kProbeModuleEntry);

    const QString separator = settings.groupAlbumSeparator();
    const codepage::Choice names = arguments.tagEncoding.value_or(settings.tagEncoding());
    video::VideoInfo probe;
    std::unique_ptr<CatalogueStore> store;
    if (arguments.store || arguments.update)
        store = openCatalogue(folder, context);
    if (arguments.update) {
        StoredList stored = loadStoredList(*store, StoredListName::Video);
        VideoList::remakeVideoRows(stored.rows, separator, names);
        list.resetRows(std::move(stored.rows));
        list.setLeftOut(std::move(stored.leftOut));
        VideoProgressHost host(context);
        const VideoUpdateResult result = updateVideos(
            list, arguments.roots, separator, probe, host, files,
            [&arguments](const QString&) { return arguments.mayEmpty; }, names);
        context.err << updateSummary(result.counts).toStdString() << '\n';
    } else {
        // One scan per root, as consecutive scans in the window: each appends its rows, and a
        // root named twice is listed once.
        for (const QString& root : arguments.roots) {
            VideoProgressHost host(context);
            addVideoRoot(list, root, separator, probe, host, files, {}, names);
        }
    }
    if (store)
        storeList(*store, StoredListName::Video, list, list.count());
    if (arguments.txtUtf8)
        toggles.txtUtf8 = *arguments.txtUtf8;
    ListActionTarget target{ListKind::Video, list, context, folder, settings, toggles};
    target.postTemplate = arguments.postTemplate;
    target.postLimit = arguments.postLimit;
    runPublishedActions(arguments.actions, target, arguments.sincePublished,
                        arguments.markPublished);
    return kExitOk;
}

} // namespace korvane::cli
