<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>BaseFill</name>
    <message>
        <source>Чтение базы...</source>
        <translation>Reading the base...</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Заполнение жанров...</source>
        <translation>Filling in genres...</translation>
    </message>
</context>
<context>
    <name>BaseWriter</name>
    <message>
        <source>База сохранена в &quot;</source>
        <translation>Base saved to &quot;</translation>
    </message>
</context>
<context>
    <name>CatalogueStore</name>
    <message>
        <source>Не удалось открыть файл каталога %1.</source>
        <translation>Could not open the catalogue file %1.</translation>
    </message>
    <message>
        <source>повреждён</source>
        <translation>is damaged</translation>
    </message>
    <message>
        <source>Не удалось создать файл каталога %1.</source>
        <translation>Could not create the catalogue file %1.</translation>
    </message>
    <message>
        <source>не является каталогом Korvane</source>
        <translation>is not a Korvane catalogue</translation>
    </message>
    <message>
        <source>Файл каталога %1 записан более новой версией Korvane. Списки не восстановлены и не будут сохранены.</source>
        <translation>The catalogue file %1 was written by a newer version of Korvane. The lists were not restored and will not be saved.</translation>
    </message>
    <message>
        <source>Файл каталога %1 %2, и его не удалось отложить.</source>
        <translation>The catalogue file %1 %2, and it could not be set aside.</translation>
    </message>
    <message>
        <source>Файл каталога %1 %2. Он сохранён как %3, списки начаты заново.</source>
        <translation>The catalogue file %1 %2. It was kept as %3, and the lists start afresh.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл каталога %1.</source>
        <translation>Could not read the catalogue file %1.</translation>
    </message>
    <message>
        <source>Списки в файле каталога %1 сохранены другой программой Korvane после того, как были прочитаны. Ничего не сохранено.</source>
        <translation>The lists in the catalogue file %1 were saved by another Korvane after they were read. Nothing was saved.</translation>
    </message>
    <message>
        <source>Не удалось записать файл каталога %1: %2.</source>
        <translation>Could not write the catalogue file %1: %2.</translation>
    </message>
</context>
<context>
    <name>CatalogueUpdate</name>
    <message>
        <source>Новых: %1, изменённых: %2, удалённых: %3</source>
        <translation>New: %1, changed: %2, removed: %3</translation>
    </message>
    <message>
        <source>; исключённых: %1</source>
        <translation>; excluded: %1</translation>
    </message>
    <message>
        <source>; недоступно: </source>
        <translation>; unavailable: </translation>
    </message>
</context>
<context>
    <name>CollectionStats</name>
    <message>
        <source>Форматы</source>
        <translation>Formats</translation>
    </message>
    <message>
        <source>Битрейт</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Жанры</source>
        <translation>Genres</translation>
    </message>
    <message>
        <source>Десятилетия</source>
        <translation>Decades</translation>
    </message>
    <message>
        <source>Страны</source>
        <translation>Countries</translation>
    </message>
</context>
<context>
    <name>Columns</name>
    <message>
        <source>Папка</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Размер (mb)</source>
        <translation>Size (MB)</translation>
    </message>
    <message>
        <source>Битрейт</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Стиль</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>Страна</source>
        <translation>Country</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Разрешение</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Кодек</source>
        <translation>Codec</translation>
    </message>
    <message>
        <source>Треков</source>
        <translation>Tracks</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>ExportFormats</name>
    <message>
        <source>в HTML</source>
        <translation>to HTML</translation>
    </message>
    <message>
        <source>Сохранить в HTML</source>
        <translation>Save to HTML</translation>
    </message>
    <message>
        <source>Название HTML файла для music листа:</source>
        <translation>HTML file name for the music list:</translation>
    </message>
    <message>
        <source>Название HTML файла для Video листа:</source>
        <translation>HTML file name for the video list:</translation>
    </message>
    <message>
        <source>в TXT</source>
        <translation>to TXT</translation>
    </message>
    <message>
        <source>Сохранить в TXT</source>
        <translation>Save to TXT</translation>
    </message>
    <message>
        <source>Название TXT файла для music листа:</source>
        <translation>TXT file name for the music list:</translation>
    </message>
    <message>
        <source>Название TXT файла для Video листа:</source>
        <translation>TXT file name for the video list:</translation>
    </message>
    <message>
        <source>в EXCEL</source>
        <translation>to Excel</translation>
    </message>
    <message>
        <source>Создать в EXCEL</source>
        <translation>Create in Excel</translation>
    </message>
    <message>
        <source>Название киниги для mp3 листа:</source>
        <translation>Workbook name for the music list:</translation>
    </message>
    <message>
        <source>Название киниги для Video листа:</source>
        <translation>Workbook name for the video list:</translation>
    </message>
    <message>
        <source>BBCode (для форума)</source>
        <translation>BBCode (for a forum)</translation>
    </message>
    <message>
        <source>Файлы BBCode:</source>
        <translation>BBCode files:</translation>
    </message>
    <message>
        <source>Файлы CSV:</source>
        <translation>CSV files:</translation>
    </message>
    <message>
        <source>Файлы JSON:</source>
        <translation>JSON files:</translation>
    </message>
    <message>
        <source>Текст (для форума)</source>
        <translation>Text (for a forum)</translation>
    </message>
    <message>
        <source>Текст (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
</context>
<context>
    <name>FileProblem</name>
    <message>
        <source>Нет прав на запись в папку &quot;%1&quot;. Выберите другую папку или разрешите запись в эту.</source>
        <translation>You may not write in the folder &quot;%1&quot;. Choose another folder or allow writing in this one.</translation>
    </message>
    <message>
        <source>Нет прав на чтение этого файла. Разрешите его чтение или выберите другой файл.</source>
        <translation>You may not read this file. Allow reading it or choose another file.</translation>
    </message>
    <message>
        <source>Папка &quot;%1&quot; на диске, открытом только для чтения. Выберите папку на другом диске.</source>
        <translation>The folder &quot;%1&quot; is on a disk mounted read-only. Choose a folder on another disk.</translation>
    </message>
    <message>
        <source>На диске не хватило места. Освободите место или выберите папку на другом диске.</source>
        <translation>The disk is full. Free some space or choose a folder on another disk.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; не папка, а файл. Выберите другую папку.</source>
        <translation>&quot;%1&quot; is a file, not a folder. Choose another folder.</translation>
    </message>
    <message>
        <source>Папки &quot;%1&quot; нет. Создайте её или выберите другую папку.</source>
        <translation>The folder &quot;%1&quot; does not exist. Create it or choose another folder.</translation>
    </message>
    <message>
        <source>Такого файла нет. Проверьте, что он на месте, или выберите другой.</source>
        <translation>There is no such file. Check that it is in its place, or choose another.</translation>
    </message>
    <message>
        <source>Имя файла слишком длинное. Выберите имя короче.</source>
        <translation>The file name is too long. Choose a shorter name.</translation>
    </message>
    <message>
        <source>Ссылки на этот файл ведут по кругу. Исправьте ссылки или выберите другое имя.</source>
        <translation>The links to this file go round in a circle. Mend the links or choose another name.</translation>
    </message>
    <message>
        <source>Диск сообщил об ошибке. Проверьте диск и попробуйте ещё раз.</source>
        <translation>The disk reported an error. Check the disk and try again.</translation>
    </message>
    <message>
        <source>Под этим именем уже есть папка или устройство. Выберите другое имя.</source>
        <translation>A folder or device already has this name. Choose another name.</translation>
    </message>
    <message>
        <source>Это не обычный файл, а папка или устройство. Выберите файл.</source>
        <translation>This is a folder or device, not a regular file. Choose a file.</translation>
    </message>
    <message>
        <source>Файл защищён от записи. Разрешите запись в него или выберите другое имя.</source>
        <translation>The file is write-protected. Allow writing to it or choose another name.</translation>
    </message>
    <message>
        <source>Причина: %1. Проверьте файл и папку и попробуйте ещё раз.</source>
        <translation>Cause: %1. Check the file and its folder and try again.</translation>
    </message>
    <message>
        <source>Не удалось записать файл &quot;%1&quot;.</source>
        <translation>Could not write the file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл &quot;%1&quot;.</source>
        <translation>Could not read the file &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>ListExport</name>
    <message>
        <source>В шаблоне &quot;%1&quot; нет метки &quot;%2&quot;; файл &quot;%3&quot; не создан.</source>
        <translation>The template &quot;%1&quot; has no mark &quot;%2&quot;; the file &quot;%3&quot; was not created.</translation>
    </message>
    <message>
        <source>файл &quot;</source>
        <translation>file &quot;</translation>
    </message>
    <message>
        <source>&quot; создан</source>
        <translation>&quot; created</translation>
    </message>
    <message>
        <source> (двойной клик для открытия)</source>
        <translation> (double-click to open)</translation>
    </message>
    <message>
        <source> в кодировке </source>
        <translation> in the encoding </translation>
    </message>
    <message>
        <source>Список ушёл в Excel</source>
        <translation>The list went to the spreadsheet</translation>
    </message>
    <message>
        <source>Не могу найти пакет программ MS Office, в частности Excel</source>
        <translation>No spreadsheet application (such as Excel) was found</translation>
    </message>
    <message>
        <source>файлы &quot;%1&quot; … &quot;%2&quot; созданы, частей: %3</source>
        <translation>files &quot;%1&quot; … &quot;%2&quot; created, parts: %3</translation>
    </message>
    <message>
        <source> (двойной клик откроет первую)</source>
        <translation> (double-click opens the first)</translation>
    </message>
</context>
<context>
    <name>MusicList</name>
    <message>
        <source>Кодировка тегов угадана неуверенно: </source>
        <translation>The tags&apos; encoding is an uncertain guess: </translation>
    </message>
    <message>
        <source>. Выберите верную в редакторе строки или в настройках.</source>
        <translation>. Choose the right one in the row editor or in the settings.</translation>
    </message>
</context>
<context>
    <name>MusicScan</name>
    <message>
        <source>; пропущено маленьких папок: %1</source>
        <translation>; small folders left out: %1</translation>
    </message>
</context>
<context>
    <name>PostTemplate</name>
    <message>
        <source>Шаблон &quot;%1&quot;, строка %2: %3. Ничего не записано.</source>
        <translation>Template &quot;%1&quot;, line %2: %3. Nothing was written.</translation>
    </message>
    <message>
        <source>Шаблон &quot;%1&quot;: %2. Ничего не записано.</source>
        <translation>Template &quot;%1&quot;: %2. Nothing was written.</translation>
    </message>
    <message>
        <source>метка &quot;%1&quot; не закрыта знаками }}</source>
        <translation>the mark &quot;%1&quot; is not closed with }}</translation>
    </message>
    <message>
        <source>неизвестная метка {{%1}}</source>
        <translation>unknown mark {{%1}}</translation>
    </message>
    <message>
        <source>Строка &quot;%1&quot; с тем, что её окружает, не помещается в сообщение из %2 символов; файлы не созданы.</source>
        <translation>The row &quot;%1&quot; with what surrounds it does not fit in a post of %2 characters; no files were created.</translation>
    </message>
    <message>
        <source>текст вне блока; блоки начинаются строкой {{#имя}} и кончаются строкой {{/имя}}</source>
        <translation>text outside a block; blocks begin with a line {{#name}} and end with a line {{/name}}</translation>
    </message>
    <message>
        <source>{{/%1}} без {{#%1}}</source>
        <translation>{{/%1}} without {{#%1}}</translation>
    </message>
    <message>
        <source>неизвестный блок {{#%1}}</source>
        <translation>unknown block {{#%1}}</translation>
    </message>
    <message>
        <source>блок {{#%1}} второй раз</source>
        <translation>the block {{#%1}} a second time</translation>
    </message>
    <message>
        <source>блок {{#%1}} из строки %2 не закрыт</source>
        <translation>the block {{#%1}} from line %2 is not closed</translation>
    </message>
    <message>
        <source>блок {{#%1}} не закрыт до конца файла</source>
        <translation>the block {{#%1}} is not closed before the end of the file</translation>
    </message>
    <message>
        <source>нет блока {{#row}}</source>
        <translation>no {{#row}} block</translation>
    </message>
</context>
<context>
    <name>PublishedStore</name>
    <message>
        <source>Не удалось сохранить публикацию в файле каталога %1: %2</source>
        <translation>Could not save the publication in the catalogue file %1: %2</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Файл настроек &quot;%1&quot; не удалось прочитать (%2). Korvane работает с настройками по умолчанию и не изменит этот файл; замените его обычным текстовым файлом или удалите.</source>
        <translation>The settings file &quot;%1&quot; could not be read (%2). Korvane runs with the default settings and leaves this file alone; replace it with a plain text file or delete it.</translation>
    </message>
</context>
<context>
    <name>VideoScan</name>
    <message>
        <source>Подождите, идёт поиск файлов...</source>
        <translation>Please wait, looking for files...</translation>
    </message>
</context>
<context>
    <name>korvane::BaseFillDialog</name>
    <message>
        <source>Прекратить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>korvane::DuplicatesWindow</name>
    <message>
        <source>Найти дубликаты</source>
        <translation>Find duplicates</translation>
    </message>
    <message>
        <source>Альбом</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Размер (mb)</source>
        <translation>Size (MB)</translation>
    </message>
    <message>
        <source>Битрейт</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>Папка</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Двойной щелчок выделяет строку в списке</source>
        <translation>A double click selects the row in the list</translation>
    </message>
    <message>
        <source>Дубликатов не найдено.</source>
        <translation>No duplicates found.</translation>
    </message>
    <message>
        <source>Групп: %1, строк в них: %2. Файлы коллекции не удаляются и не перемещаются.</source>
        <translation>Groups: %1, rows in them: %2. The collection&apos;s files are neither deleted nor moved.</translation>
    </message>
</context>
<context>
    <name>korvane::ListPage</name>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Подождите, идёт поиск файлов...</source>
        <translation>Please wait, looking for files...</translation>
    </message>
    <message>
        <source> (поиск остановлен, список неполный)</source>
        <translation> (search stopped, the list is incomplete)</translation>
    </message>
    <message>
        <source>Фильтр: слова из любого столбца (Esc - сбросить)</source>
        <translation>Filter: words from any column (Esc clears)</translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Экспорт в ...</source>
        <translation>Export to ...</translation>
    </message>
    <message>
        <source>Очищает область таблицы</source>
        <translation>Clears the table</translation>
    </message>
    <message>
        <source>экспорт списка в разные форматы</source>
        <translation>export the list to various formats</translation>
    </message>
    <message>
        <source> Нечего обновлять: %1 лист пуст</source>
        <translation> Nothing to update: the %1 list is empty</translation>
    </message>
    <message>
        <source> Подождите: работа со списком ещё не закончена</source>
        <translation> Please wait: the work on the list is not finished yet</translation>
    </message>
    <message>
        <source> Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)</source>
        <translation> The list is ready; choose how to save it (HTML, TXT, Excel)</translation>
    </message>
    <message>
        <source> Обновление остановлено, список прежний</source>
        <translation> Update stopped, the list is as it was</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>В папке &quot;%1&quot; нет ничего из списка (диск не подключён?). Убрать из списка всё, что было найдено в ней?</source>
        <translation>The folder &quot;%1&quot; holds nothing of the list (is the disk not mounted?). Remove everything found in it from the list?</translation>
    </message>
    <message>
        <source>В %1 коллекции: %2 позиций</source>
        <translation>In the %1 collection: %2 items</translation>
    </message>
    <message>
        <source>Включена опция &quot;Музыка разделена на категории&quot;, при сортировке все категории смешаются, отсорировать?&quot;</source>
        <translation>The option &quot;Music divided into categories&quot; is on; sorting mixes all the categories. Sort?</translation>
    </message>
    <message>
        <source> Действие отменено (Ctrl+Shift+Z - повторить)</source>
        <translation> Undone (Ctrl+Shift+Z redoes)</translation>
    </message>
    <message>
        <source> Действие повторено</source>
        <translation> Redone</translation>
    </message>
    <message>
        <source> Фильтр: показано %1 из %2</source>
        <translation> Filter: showing %1 of %2</translation>
    </message>
    <message>
        <source>Создать лист с music коллекцией</source>
        <translation>Create a list of a music collection</translation>
    </message>
    <message>
        <source>Добавить в коллекцию</source>
        <translation>Add to the collection</translation>
    </message>
    <message>
        <source>Добавить в music коллекцию</source>
        <translation>Add to the music collection</translation>
    </message>
    <message>
        <source>Очистить music лист</source>
        <translation>Clear the music list</translation>
    </message>
    <message>
        <source>Выберите папку с mp3 коллекцией</source>
        <translation>Choose the folder of the music collection</translation>
    </message>
    <message>
        <source>; строк с сомнительной кодировкой тегов: %1</source>
        <translation>; rows with an uncertain tag encoding: %1</translation>
    </message>
    <message>
        <source>Добавить Клипы</source>
        <translation>Add Clips</translation>
    </message>
    <message>
        <source>Добавить клипы</source>
        <translation>Add clips</translation>
    </message>
    <message>
        <source>Очистить video лист</source>
        <translation>Clear the video list</translation>
    </message>
    <message>
        <source>Выводит на экран имена файлов котрые вы выбрали и их размер</source>
        <translation>Lists the files you choose with their sizes</translation>
    </message>
    <message>
        <source>Выберите папку с клипами</source>
        <translation>Choose the folder of the clips</translation>
    </message>
</context>
<context>
    <name>korvane::MainWindow</name>
    <message>
        <source>Korvane 0.984
Каталог музыкальной и видеоколлекции:
списки в HTML, TXT и Excel.

Библиотеки:
Qt %1
FFmpeg %2
libxlsxwriter %3

Лицензия: GNU GPL версии 3 или более поздней.</source>
        <translation>Korvane 0.984
A catalogue of a music and video collection:
lists in HTML, TXT and Excel.

Libraries:
Qt %1
FFmpeg %2
libxlsxwriter %3

Licence: GNU GPL version 3 or later.</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Списки в каталоге %1 сохранены другой программой Korvane после того, как окно их прочитало. Заменить их списками из окна?

Нет: сохранённые списки останутся%2.</source>
        <translation>The lists in the catalogue %1 were saved by another Korvane after this window read them. Replace them with the window&apos;s lists?

No: the saved lists stay%2.</translation>
    </message>
    <message>
        <source> и будут показаны в окне</source>
        <translation> and are shown in the window</translation>
    </message>
    <message>
        <source> Показаны списки, сохранённые другой программой Korvane</source>
        <translation> Showing the lists saved by another Korvane</translation>
    </message>
    <message>
        <source> Не удалось сохранить списки в </source>
        <translation> Could not save the lists in </translation>
    </message>
    <message>
        <source>&amp;Коллекция</source>
        <translation>&amp;Collection</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Найти дубликаты</source>
        <translation>Find duplicates</translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; сохранён, но открыть его не удалось: для файлов этого типа не назначена программа.</source>
        <translation>The file &quot;%1&quot; was saved but could not be opened: no application is set for files of this type.</translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; не найден.</source>
        <translation>The file &quot;%1&quot; was not found.</translation>
    </message>
    <message>
        <source>Сообщение для форума скопировано в буфер обмена</source>
        <translation>The forum post was copied to the clipboard</translation>
    </message>
    <message>
        <source>Часть 1 из %1 сообщения для форума скопирована в буфер обмена</source>
        <translation>Part 1 of %1 of the forum post was copied to the clipboard</translation>
    </message>
    <message>
        <source>Копировать для форума</source>
        <translation>Copy for a forum</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Создать лист</source>
        <translation>Create a list</translation>
    </message>
    <message>
        <source>с music коллекцией</source>
        <translation>of a music collection</translation>
    </message>
    <message>
        <source>с video коллекцией</source>
        <translation>of a video collection</translation>
    </message>
    <message>
        <source>Недавние папки</source>
        <translation>Recent folders</translation>
    </message>
    <message>
        <source>Обновить коллекцию</source>
        <translation>Update the collection</translation>
    </message>
    <message>
        <source>Обновить клипы</source>
        <translation>Update the clips</translation>
    </message>
    <message>
        <source>Очистить music лист</source>
        <translation>Clear the music list</translation>
    </message>
    <message>
        <source>Очистить video лист</source>
        <translation>Clear the video list</translation>
    </message>
    <message>
        <source>Экспорт</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Новое с последней публикации</source>
        <translation>New since the last publication</translation>
    </message>
    <message>
        <source>Отметить как опубликованный</source>
        <translation>Mark as published</translation>
    </message>
    <message>
        <source>music листа</source>
        <translation>of the music list</translation>
    </message>
    <message>
        <source>video листа</source>
        <translation>of the video list</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>&amp;Настройки</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>Брать Артист / Альбом из тегов</source>
        <translation>Take Artist / Album from the tags</translation>
    </message>
    <message>
        <source>Брать ГОД из тегов</source>
        <translation>Take the YEAR from the tags</translation>
    </message>
    <message>
        <source>Названия групп БОЛЬШИМИ буквами</source>
        <translation>Group names in CAPITALS</translation>
    </message>
    <message>
        <source>Названия групп ЖИРНЫМ шрифтом (только для html и Excel)</source>
        <translation>Group names in BOLD (HTML and Excel only)</translation>
    </message>
    <message>
        <source>Музыка разделена на категории (панк, ска, рок, попс...)</source>
        <translation>Music divided into categories (punk, ska, rock, pop...)</translation>
    </message>
    <message>
        <source>Помечать VBR битрейт</source>
        <translation>Mark VBR bitrates</translation>
    </message>
    <message>
        <source>Показывать группы без альбомов</source>
        <translation>Show groups without albums</translation>
    </message>
    <message>
        <source>Читать FLAC, APE, WavPack, M4A, Opus</source>
        <translation>Read FLAC, APE, WavPack, M4A, Opus</translation>
    </message>
    <message>
        <source>Артист / Альбом и страну брать из тегов только mp3</source>
        <translation>Artist / Album and country from mp3 tags only</translation>
    </message>
    <message>
        <source>Диски альбома (CD1, CD2...) одной строкой</source>
        <translation>An album&apos;s discs (CD1, CD2...) in one row</translation>
    </message>
    <message>
        <source>Списки TXT в кодировке UTF-8</source>
        <translation>TXT lists in UTF-8</translation>
    </message>
    <message>
        <source>Все файлы в списке клипов</source>
        <translation>All files in the clip list</translation>
    </message>
    <message>
        <source>Категории для форума под спойлерами</source>
        <translation>Forum categories under spoilers</translation>
    </message>
    <message>
        <source>Помнить списки между запусками</source>
        <translation>Keep the lists between runs</translation>
    </message>
    <message>
        <source>Шрифт рабочего стола в списках</source>
        <translation>The desktop&apos;s font in the lists</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Для тестеров</source>
        <translation>For testers</translation>
    </message>
    <message>
        <source>&amp;База данных</source>
        <translation>&amp;Database</translation>
    </message>
    <message>
        <source>Заполнить Жанр из базы (только где он не прописан)</source>
        <translation>Fill Genre from the base (only where it is missing)</translation>
    </message>
    <message>
        <source>Заполнить строчки где не прописан жанр?</source>
        <translation>Fill the rows without a genre?</translation>
    </message>
    <message>
        <source>Заполнить Жанр из базы (даже если он прописан)</source>
        <translation>Fill Genre from the base (even where it is set)</translation>
    </message>
    <message>
        <source>Заполнить все жанры?</source>
        <translation>Fill all genres?</translation>
    </message>
    <message>
        <source>Заполнить Страну из базы (только где она не прописана)</source>
        <translation>Fill Country from the base (only where it is missing)</translation>
    </message>
    <message>
        <source>Заполнить строчки где не прописана страна?</source>
        <translation>Fill the rows without a country?</translation>
    </message>
    <message>
        <source>Заполнить Страну из базы (даже если она прописана)</source>
        <translation>Fill Country from the base (even where it is set)</translation>
    </message>
    <message>
        <source>Заполнить все страны?</source>
        <translation>Fill all countries?</translation>
    </message>
    <message>
        <source>Сохранить в базу Группы\Жанры</source>
        <translation>Save to the Groups\Genres base</translation>
    </message>
    <message>
        <source>Сохранить в базу Группы\Страны</source>
        <translation>Save to the Groups\Countries base</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Руководство</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Язык интерфейса</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source> Язык интерфейса сменится при следующем запуске</source>
        <translation> The interface language changes at the next start</translation>
    </message>
    <message>
        <source>Автоматически</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>Русский</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Применяется при следующем запуске</source>
        <translation>Applied at the next start</translation>
    </message>
    <message>
        <source> Папка &quot;%1&quot; не найдена</source>
        <translation> The folder &quot;%1&quot; was not found</translation>
    </message>
    <message>
        <source>Папка для сохранения списокв &quot;</source>
        <translation>The output folder &quot;</translation>
    </message>
    <message>
        <source>&quot; не найдена, все списки будут сохранятся в каталоге программы, изменить это можно в настройках</source>
        <translation>&quot; was not found; every list is saved in the program&apos;s folder until you choose another in the settings</translation>
    </message>
    <message>
        <source>Число треков и время звучания альбома</source>
        <translation>Album tracks and playing time</translation>
    </message>
</context>
<context>
    <name>korvane::MusicRowEditor</name>
    <message>
        <source>Редактирование</source>
        <translation>Editing</translation>
    </message>
    <message>
        <source>Кодировка:</source>
        <translation>Encoding:</translation>
    </message>
    <message>
        <source>как прочитано</source>
        <translation>as read</translation>
    </message>
</context>
<context>
    <name>korvane::QtDesktop</name>
    <message>
        <source>Открыть папку</source>
        <translation>Open the folder</translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; уже существует. Заменить его?</source>
        <translation>The file &quot;%1&quot; already exists. Replace it?</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
</context>
<context>
    <name>korvane::RowEditor</name>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Папка:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Размер:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Битрейт:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Стиль:</source>
        <translation>Style:</translation>
    </message>
    <message>
        <source>Страна:</source>
        <translation>Country:</translation>
    </message>
    <message>
        <source>Имя файла:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Разрешение:</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source>Длительность:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>кадров</source>
        <translation>frames</translation>
    </message>
    <message>
        <source>Кодек:</source>
        <translation>Codec:</translation>
    </message>
</context>
<context>
    <name>korvane::SettingsDialog</name>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Минимальный размер папки
для удаления её из списка:</source>
        <translation>Folders of this size or less
are left out of the list:</translation>
    </message>
    <message>
        <source>Директория для сохранения файлов:</source>
        <translation>Folder for the saved files:</translation>
    </message>
    <message>
        <source>для music листа</source>
        <translation>for the music list</translation>
    </message>
    <message>
        <source>для Video листа</source>
        <translation>for the video list</translation>
    </message>
    <message>
        <source>Разделитель на который заменяется
знак \  в html, txt и excel файле:</source>
        <translation>Separator that replaces
the sign \ in HTML, TXT and Excel files:</translation>
    </message>
    <message>
        <source>Разделитель в TXT файле между
Битрейт, Размер, Жанр:</source>
        <translation>Separator in the TXT file between
Bitrate, Size, Genre:</translation>
    </message>
    <message>
        <source>Авто</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Авто: кодировка каждого текста определяется по его буквам</source>
        <translation>Auto: each text&apos;s encoding is told from its letters</translation>
    </message>
    <message>
        <source>Кодировка 8-битных тегов:</source>
        <translation>Encoding of 8-bit tags:</translation>
    </message>
    <message>
        <source>Сообщение для форума не длиннее
(символов, 0 - одним файлом):</source>
        <translation>Forum post at most
(characters, 0: one file):</translation>
    </message>
    <message>
        <source>Запросов к диску одновременно
(0 - по виду диска):</source>
        <translation>Disk requests at once
(0: by the kind of disk):</translation>
    </message>
    <message>
        <source>0: 8 на сетевом диске, 1 на жёстком диске, 2 на остальных</source>
        <translation>0: 8 on a network disk, 1 on a hard disk, 2 on others</translation>
    </message>
    <message>
        <source> Настройки Exceлевского файла </source>
        <translation> Workbook settings </translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Выберите папку</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>В названии листа не могут содержатся символы : \ / ? * [ ]</source>
        <translation>A sheet name cannot contain the characters : \ / ? * [ ]</translation>
    </message>
</context>
<context>
    <name>korvane::StatsWindow</name>
    <message>
        <source>Альбомов</source>
        <translation>Albums</translation>
    </message>
    <message>
        <source>Размер (ГБ)</source>
        <translation>Size (GB)</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Копировать для форума (BBCode)</source>
        <translation>Copy for a forum (BBCode)</translation>
    </message>
    <message>
        <source>Альбомов: %1, групп: %2, объём: %3 ГБ</source>
        <translation>Albums: %1, groups: %2, size: %3 GB</translation>
    </message>
    <message>
        <source>, треков: %1, время: %2 ч</source>
        <translation>, tracks: %1, time: %2 h</translation>
    </message>
</context>
<context>
    <name>korvane::TestersDialog</name>
    <message>
        <source>Настройки для тестеров</source>
        <translation>Settings for testers</translation>
    </message>
    <message>
        <source>Вкл / Выкл этот режим</source>
        <translation>Turn this mode on / off</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Минимальный лимит для неполных и unsorted альбомом</source>
        <translation>Minimum limit for incomplete and unsorted albums</translation>
    </message>
</context>
<context>
    <name>korvane::VideoRowEditor</name>
    <message>
        <source>Редактировать</source>
        <translation>Edit</translation>
    </message>
</context>
</TS>
