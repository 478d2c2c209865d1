#include "app/ListPageKinds.h"

#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"

#include <QCoreApplication>

namespace korvane {

ListPageKind musicPageKind(MusicList& list, MusicRowEditor& editor) {
    ListPageKind kind;
    kind.list = ListKind::Music;
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

ListPageKind videoPageKind(VideoRowEditor& editor) {
    ListPageKind kind;
    kind.list = ListKind::Video;
    kind.name = QStringLiteral("video");
    kind.firstScanCaption = QCoreApplication::translate("korvane::ListPage", "Добавить Клипы");
    kind.scanCaption = QCoreApplication::translate("korvane::ListPage", "Добавить клипы");
    kind.clearCaption = QCoreApplication::translate("korvane::ListPage", "Очистить video лист");
    kind.scanToolTip = QCoreApplication::translate(
        "korvane::ListPage", "Выводит на экран имена файлов котрые вы выбрали и их размер");
    kind.pickerTitle = QCoreApplication::translate("korvane::ListPage", "Выберите папку с клипами");
    kind.cancelledPickerEnablesCommands = true;
    kind.followsNewRows = true;
    kind.editor = &editor;
    return kind;
}

} // namespace korvane
