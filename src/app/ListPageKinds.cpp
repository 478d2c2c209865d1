#include "app/ListPageKinds.h"

#include "app/PageScanHost.h"
#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "settings/Settings.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"

#include <QCoreApplication>

#include <memory>

namespace korvane {
namespace {

template <typename Result> RunOutcome outcomeOf(const Result& result) {
    return {result.scan.stopped, result.refreshed, result.counts, {}, 0};
}

} // namespace

ListPageKind musicPageKind(MusicList& list, MusicRowEditor& editor, PageFrame& frame) {
    ListPageKind kind;
    kind.name = QStringLiteral("music");
    kind.headerRole = MusicList::CategoryHeaderRole;
    kind.firstScanCaption =
        QCoreApplication::translate("korvane::ListPage", "Создать лист с music коллекцией");
    kind.scanCaption = QCoreApplication::translate("korvane::ListPage", "Добавить в коллекцию");
    kind.scanMenuCaption =
        QCoreApplication::translate("korvane::ListPage", "Добавить в music коллекцию");
    kind.clearCaption = QCoreApplication::translate("korvane::ListPage", "Очистить music лист");
    kind.pickerTitle =
        QCoreApplication::translate("korvane::ListPage", "Выберите папку с mp3 коллекцией");
    kind.scanMinimumWidth = 189;
    kind.commandsOffWhileScanning = true;
    kind.asksBeforeSortingCategories = true;
    kind.rootWithSeparator = true;
    kind.makeRun = [&list, &frame](ListRunPlan plan) {
        const MusicScanOptions options =
            readMusicScanOptions(frame.settings(), frame.toggles(), frame.testersModeText());
        auto run = std::make_shared<MusicRun>(std::move(plan));
        auto result = std::make_shared<MusicUpdateResult>();
        return PageRun{[run, result, options](PageScanHost& host, const std::stop_token& stop,
                                              const EmptyRootCheck& mayEmpty) {
                           *result = run->run(options, host, stop, mayEmpty);
                       },
                       [run, result, options, &list] {
                           run->apply(list, options, *result);
                           RunOutcome outcome = outcomeOf(*result);
                           outcome.smallFolders = result->scan.smallFolders;
                           return outcome;
                       }};
    };
    kind.count = [&list] { return musicAlbumCount(list, true); };
    kind.scanNote = [&list] {
        const int close = list.closeCodePageCount();
        return close > 0 ? QCoreApplication::translate(
                               "korvane::ListPage", "; строк с сомнительной кодировкой тегов: %1")
                               .arg(close)
                         : QString();
    };
    kind.editor = &editor;
    kind.showInEditor = [&list, &editor](int index) {
        const MusicRow& row = list.row(index);
        if (row.cells.contains(QStringLiteral(" ")))
            return false; // category header rows are not edited
        editor.setRow(row);
        return true;
    };
    kind.saved = [&list, &editor](int index) {
        // The user has chosen the reading: the row is no close call any more.
        if (editor.codePagePicked())
            list.setCloseTexts(index, {});
    };
    return kind;
}

ListPageKind videoPageKind(VideoList& list, VideoRowEditor& editor, PageFrame& frame) {
    ListPageKind kind;
    kind.name = QStringLiteral("video");
    kind.firstScanCaption = QCoreApplication::translate("korvane::ListPage", "Добавить Клипы");
    kind.scanCaption = QCoreApplication::translate("korvane::ListPage", "Добавить клипы");
    kind.clearCaption = QCoreApplication::translate("korvane::ListPage", "Очистить video лист");
    kind.scanToolTip = QCoreApplication::translate(
        "korvane::ListPage", "Выводит на экран имена файлов котрые вы выбрали и их размер");
    kind.pickerTitle = QCoreApplication::translate("korvane::ListPage", "Выберите папку с клипами");
    kind.cancelledPickerEnablesCommands = true;
    kind.followsNewRows = true;
    kind.makeRun = [&list, &frame](ListRunPlan plan) {
        const Settings settings(frame.settings());
        const QString separator = settings.groupAlbumSeparator();
        const VideoFiles files =
            frame.toggles().allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo;
        const codepage::Choice names = settings.tagEncoding();
        auto run = std::make_shared<VideoRun>(std::move(plan));
        auto result = std::make_shared<VideoUpdateResult>();
        return PageRun{[run, result, separator, files, names](PageScanHost& host,
                                                              const std::stop_token& stop,
                                                              const EmptyRootCheck& mayEmpty) {
                           video::VideoInfo probe;
                           *result = run->run(separator, probe, host, files, stop, mayEmpty, names);
                       },
                       [run, result, &list] {
                           run->apply(list, *result);
                           RunOutcome outcome = outcomeOf(*result);
                           outcome.firstFileFolder = result->scan.firstFileFolder;
                           return outcome;
                       }};
    };
    kind.count = [&list] { return list.count(); };
    kind.editor = &editor;
    return kind;
}

} // namespace korvane
