#include "cli/Commands.h"

#include "cli/ScanCommand.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "music/MusicScan.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"

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
    {"--other-formats", &Toggles::otherFormats},
    {"--mp3-names-only", &Toggles::mp3NamesOnly},
    {"--fold-discs", &Toggles::foldDiscs},
    {"--totals", &Toggles::albumTotals},
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

// The scan's progress as a line on a terminal.
class ProgressHost final : public MusicScanHost {
public:
    explicit ProgressHost(Context& context) : m_line(context) {}

    void setStatusText(const QString& text) override {
        m_status = text;
        tick();
    }
    void setProgressMaximum(int maximum) override { m_maximum = maximum; }
    void setProgressPosition(int position) override { m_position = position; }

private:
    void tick() {
        m_line.tick([this] {
            return QStringLiteral("%1/%2 %3")
                .arg(m_position)
                .arg(m_maximum)
                .arg(m_status.trimmed());
        });
    }

    ProgressLine m_line;
    QString m_status;
    int m_maximum = 0;
    int m_position = 0;
};

} // namespace

int runMusicCommand(const QStringList& args, Context& context) {
    const ProgramFolder folder = programFolder(context);
    SettingsFile settingsFile = readSettings(folder, context);
    const Settings settings(settingsFile);
    Toggles toggles = settings.toggles();
    MusicList list;
    // The totals' columns are there for --sort as soon as they are switched on.
    list.setTotalsShown(toggles.albumTotals);
    const ScanArguments arguments =
        parseScanArguments(args, list, "music", [&toggles, &list](const QString& word) {
            const bool known = applyToggleOption(word, toggles);
            list.setTotalsShown(toggles.albumTotals);
            return known;
        });

    if (arguments.txtUtf8)
        toggles.txtUtf8 = *arguments.txtUtf8;
    MusicScanOptions options = readMusicScanOptions(settings, toggles, settings.testersModeText());
    if (arguments.tagEncoding)
        options.toggles.tagEncoding = *arguments.tagEncoding;
    if (arguments.requestsInFlight)
        options.requestsInFlight = *arguments.requestsInFlight;
    std::unique_ptr<CatalogueStore> store;
    if (arguments.store || arguments.update)
        store = openCatalogue(folder, context);
    if (arguments.update) {
        StoredList stored = loadStoredList(*store, StoredListName::Music);
        remakeMusicRows(stored.rows, options.toggles, options.separator);
        list.resetRows(std::move(stored.rows));
        list.setLeftOut(std::move(stored.leftOut));
        ProgressHost host(context);
        const MusicUpdateResult result =
            updateMusic(list, arguments.roots, options, host,
                        [&arguments](const QString&) { return arguments.mayEmpty; });
        context.err << updateSummary(result.counts).toStdString() << '\n';
    } else {
        // One scan per root, as consecutive scans in the window: each appends its rows, and a
        // root named twice is listed once.
        for (const QString& root : arguments.roots) {
            ProgressHost host(context);
            addMusicRoot(list, root, options, host);
        }
    }
    if (store)
        storeList(*store, StoredListName::Music, list, musicAlbumCount(list, toggles.musicInCat));
    ListActionTarget target{ListKind::Music, list, context, folder, settings, toggles};
    target.postTemplate = arguments.postTemplate;
    target.postLimit = arguments.postLimit;
    runPublishedActions(arguments.actions, target, arguments.sincePublished,
                        arguments.markPublished);
    return kExitOk;
}

} // namespace korvane::cli
