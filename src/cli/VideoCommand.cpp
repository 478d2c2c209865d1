#include "cli/Commands.h"

#include "cli/ScanCommand.h"
#include "files/ProgramModule.h"
#include "settings/Settings.h"
#include "video/FfmpegDetector.h"
#include "video/VideoList.h"

namespace korvane::cli {

int runVideoCommand(const QStringList& args, Context& context) {
    CatalogueSession session(programFolder(context));
    reportUnreadableSettings(session.settingsFile(), context);
    const Settings settings(session.settingsFile());
    SessionChoices choices{settings.toggles(), settings.testersModeText()};
    // --all-files lists every file; --no-all-files only those with a video stream.
    const ScanArguments arguments =
        parseScanArguments(args, session.videoList(), "video", [&choices](const QString& word) {
            if (word != QLatin1String("--all-files") && word != QLatin1String("--no-all-files"))
                return false;
            choices.toggles.allVideoFiles = word == QLatin1String("--all-files");
            return true;
        });
    // The video scan makes one request at a time.
    if (arguments.requestsInFlight)
        throw UsageError("--jobs is an option of the music command");
    // Without the probe every clip would be listed, and stored, as "0 x 0": fail before the scan.
    requireModuleEntry(video::kProbeModuleName, video::kProbeModuleEntry);
    choices.tagEncoding = arguments.tagEncoding;
    runScanCommand(session, ListKind::Video, arguments, choices, context);
    return kExitOk;
}

} // namespace korvane::cli
