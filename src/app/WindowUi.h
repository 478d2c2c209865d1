#pragma once

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace korvane {

class ListColumns;
class ListFilter;
class ListPage;

// The main window's widgets and actions, its pages' among them: found by these fields, never by
// their place in a menu. Reachable by the window's files and by tests.
struct WindowUi {
    QTabWidget* pages = nullptr;
    QTableView* musicView = nullptr;
    QTableView* videoView = nullptr;
    QPushButton* musicScanButton = nullptr; // "Создать лист с music коллекцией"
    QPushButton* musicClearButton = nullptr;  // "Очистить music лист"
    QPushButton* musicExportButton = nullptr; // "Экспорт в ..."
    QPushButton* videoScanButton = nullptr;   // "Добавить Клипы"
    QPushButton* videoClearButton = nullptr;  // "Очистить video лист"
    QPushButton* videoExportButton = nullptr; // "Экспорт в ..."
    QProgressBar* progressBar = nullptr;      // status panel 0
    QLabel* statusText = nullptr;             // status panel 1

    QMenu* fileMenu = nullptr;   // "Файл"
    QMenu* recentMenu = nullptr; // "Недавние папки": the roots each list scanned last
    QMenu* exportMenu = nullptr; // "Экспорт"
    QMenu* musicExportMenu = nullptr;   // "music листа"
    QMenu* videoExportMenu = nullptr;   // "video листа"
    QMenu* musicSaveAsMenu = nullptr;   // "Сохранить как..." in "music листа"
    QMenu* videoSaveAsMenu = nullptr;   // "Сохранить как..." in "video листа"
    QMenu* settingsMenu = nullptr;      // "Настройки"
    QMenu* basesMenu = nullptr;         // "База данных"
    QMenu* helpMenu = nullptr;          // "Справка"
    QAction* manualAction = nullptr;    // "Руководство" (F1)
    QAction* aboutAction = nullptr;     // "О программе"
    QAction* musicScanAction = nullptr; // "с music коллекцией"
    QAction* videoScanAction = nullptr; // "с video коллекцией"
    QAction* exitAction = nullptr;      // "Выход", Ctrl+Q
    QAction* settingsAction = nullptr;  // "Настройки", Ctrl+P
    QAction* testersAction = nullptr;   // "Для тестеров"

    // "База данных": four fills from the bases, two saves of new bases from the music list.
    QAction* fillMissingGenres = nullptr;
    QAction* fillAllGenres = nullptr;
    QAction* fillMissingCountries = nullptr;
    QAction* fillAllCountries = nullptr;
    QAction* saveGenreBase = nullptr;
    QAction* saveCountryBase = nullptr;

    QMenu* collectionMenu = nullptr;     // "Коллекция"
    QAction* statsAction = nullptr;      // "Статистика"
    QAction* duplicatesAction = nullptr; // "Найти дубликаты"

    QAction* artistFromID3 = nullptr;
    QAction* yearInColumn = nullptr;
    QAction* albumUppercase = nullptr;
    QAction* albumBoldFont = nullptr;
    QAction* musicInCat = nullptr;
    QAction* showVBR = nullptr;
    QAction* showGroupNotAlbum = nullptr;
    QAction* otherFormats = nullptr;
    QAction* mp3NamesOnly = nullptr;
    QAction* foldDiscs = nullptr;
    QAction* albumTotals = nullptr;
    QAction* txtUtf8 = nullptr;
    QAction* allVideoFiles = nullptr;
    QAction* bbcodeSpoilers = nullptr; // "Категории для форума под спойлерами"
    // In every export menu: the Unicode exports write what changed since the last post;
    // each of them marks the list as published.
    QAction* sincePublished = nullptr; // "Новое с последней публикации"
    QAction* markPublished = nullptr;  // "Отметить как опубликованный"

    ListColumns* musicColumns = nullptr;
    ListColumns* videoColumns = nullptr;
    QAction* keepLists = nullptr;   // "Помнить списки между запусками"
    QAction* desktopFont = nullptr; // "Шрифт рабочего стола в списках"
    // "Язык интерфейса": "Автоматически", "Русский", "English", applied at the next start.
    QMenu* languageMenu = nullptr;
    QAction* languageAutomatic = nullptr;
    QAction* languageRussian = nullptr;
    QAction* languageEnglish = nullptr;
    QAction* musicUpdateAction = nullptr; // "Обновить коллекцию"
    QAction* videoUpdateAction = nullptr; // "Обновить клипы"
    QAction* musicClearAction = nullptr;  // "Очистить music лист", as the page's button
    QAction* videoClearAction = nullptr;  // "Очистить video лист"

    QMenu* musicContextMenu = nullptr;
    QAction* musicEditAction = nullptr;   // "Редактировать", Ctrl+E
    QAction* musicDeleteAction = nullptr; // "Удалить", Del
    QMenu* videoContextMenu = nullptr;
    QAction* videoEditAction = nullptr;
    QAction* videoDeleteAction = nullptr;
    QMenu* musicExportPopup = nullptr; // the export button's menu
    QMenu* videoExportPopup = nullptr;

    // The filter above each list, hidden until Ctrl+F; Esc clears and hides it.
    QAction* filterAction = nullptr; // Ctrl+F
    QLineEdit* musicFilterField = nullptr;
    QLineEdit* videoFilterField = nullptr;
    ListFilter* musicFilter = nullptr;
    ListFilter* videoFilter = nullptr;

    // The pages' widgets into the fields above.
    void takePages(const ListPage& music, const ListPage& video);
};

} // namespace korvane
