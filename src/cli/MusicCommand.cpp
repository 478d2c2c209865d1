#include "cli/Commands.h"

#include "cli/ScanCommand.h"
#include "music/MusicList.h"
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

} // namespace

int runMusicCommand(const QStringList& args, Context& context) {
    CatalogueSession session(programFolder(context));
    reportUnreadableSettings(session.settingsFile(), context);
    const Settings settings(session.settingsFile());
    SessionChoices choices{settings.toggles(), settings.testersModeText()};
    MusicList& list = session.musicList();
    // The totals' columns are there for --sort as soon as they are switched on.
    list.setTotalsShown(choices.toggles.albumTotals);
    const ScanArguments arguments =
        parseScanArguments(args, list, "music", [&choices, &list](const QString& word) {
            const bool known = applyToggleOption(word, choices.toggles);
            list.setTotalsShown(choices.toggles.albumTotals);
            return known;
        });
    choices.tagEncoding = arguments.tagEncoding;
    choices.requestsInFlight = arguments.requestsInFlight;
    runScanCommand(session, ListKind::Music, arguments, choices, context);
    return kExitOk;
}

} // namespace korvane::cli
