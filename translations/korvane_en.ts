<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>BaseFill</name>
    <message>
        <source>Чтение базы...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ОК</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнение жанров...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BaseWriter</name>
    <message>
        <source>База сохранена в &quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CatalogueStore</name>
    <message>
        <source>Не удалось открыть файл каталога %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>повреждён</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось создать файл каталога %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>не является каталогом Korvane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл каталога %1 записан более новой версией Korvane. Списки не восстановлены и не будут сохранены.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл каталога %1 %2, и его не удалось отложить.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл каталога %1 %2. Он сохранён как %3, списки начаты заново.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось прочитать файл каталога %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Списки в файле каталога %1 сохранены другой программой Korvane после того, как были прочитаны. Ничего не сохранено.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл каталога %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CatalogueUpdate</name>
    <message>
        <source>Новых: %1, изменённых: %2, удалённых: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; исключённых: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; недоступно: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Columns</name>
    <message>
        <source>Папка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер (mb)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Битрейт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стиль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Страна</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрешение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Кодек</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportFormats</name>
    <message>
        <source>в HTML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить в HTML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название HTML файла для music листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название HTML файла для Video листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в TXT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить в TXT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название TXT файла для music листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название TXT файла для Video листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>в EXCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Создать в EXCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название киниги для mp3 листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Название киниги для Video листа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BBCode (для форума)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файлы BBCode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файлы CSV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файлы JSON:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текст (для форума)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текст (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileProblem</name>
    <message>
        <source>Нет прав на запись в папку &quot;%1&quot;. Выберите другую папку или разрешите запись в эту.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет прав на чтение этого файла. Разрешите его чтение или выберите другой файл.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Папка &quot;%1&quot; на диске, открытом только для чтения. Выберите папку на другом диске.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>На диске не хватило места. Освободите место или выберите папку на другом диске.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; не папка, а файл. Выберите другую папку.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Папки &quot;%1&quot; нет. Создайте её или выберите другую папку.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Такого файла нет. Проверьте, что он на месте, или выберите другой.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя файла слишком длинное. Выберите имя короче.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ссылки на этот файл ведут по кругу. Исправьте ссылки или выберите другое имя.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диск сообщил об ошибке. Проверьте диск и попробуйте ещё раз.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Под этим именем уже есть папка или устройство. Выберите другое имя.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Это не обычный файл, а папка или устройство. Выберите файл.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл защищён от записи. Разрешите запись в него или выберите другое имя.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Причина: %1. Проверьте файл и папку и попробуйте ещё раз.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось прочитать файл &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ListExport</name>
    <message>
        <source>В шаблоне &quot;%1&quot; нет метки &quot;%2&quot;; файл &quot;%3&quot; не создан.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>файл &quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot; создан</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (двойной клик для открытия)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> в кодировке </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Список ушёл в Excel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не могу найти пакет программ MS Office, в частности Excel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>файлы &quot;%1&quot; … &quot;%2&quot; созданы, частей: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (двойной клик откроет первую)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MusicList</name>
    <message>
        <source>Кодировка тегов угадана неуверенно: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>. Выберите верную в редакторе строки или в настройках.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MusicScan</name>
    <message>
        <source>; пропущено маленьких папок: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoScan</name>
    <message>
        <source>Подождите, идёт поиск файлов...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::BaseFillDialog</name>
    <message>
        <source>Прекратить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::DuplicatesWindow</name>
    <message>
        <source>Найти дубликаты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Альбом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер (mb)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Битрейт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Папка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Двойной щелчок выделяет строку в списке</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Дубликатов не найдено.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Групп: %1, строк в них: %2. Файлы коллекции не удаляются и не перемещаются.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::ListPage</name>
    <message>
        <source>Остановить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подождите, идёт поиск файлов...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (поиск остановлен, список неполный)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фильтр: слова из любого столбца (Esc - сбросить)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт в ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очищает область таблицы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>экспорт списка в разные форматы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Нечего обновлять: %1 лист пуст</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Подождите: работа со списком ещё не закончена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Обновление остановлено, список прежний</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В папке &quot;%1&quot; нет ничего из списка (диск не подключён?). Убрать из списка всё, что было найдено в ней?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В %1 коллекции: %2 позиций</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включена опция &quot;Музыка разделена на категории&quot;, при сортировке все категории смешаются, отсорировать?&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Действие отменено (Ctrl+Shift+Z - повторить)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Действие повторено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Фильтр: показано %1 из %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Создать лист с music коллекцией</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Добавить в коллекцию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Добавить в music коллекцию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить music лист</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выберите папку с mp3 коллекцией</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; строк с сомнительной кодировкой тегов: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Добавить Клипы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Добавить клипы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить video лист</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выводит на экран имена файлов котрые вы выбрали и их размер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выберите папку с клипами</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>О программе</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Списки в каталоге %1 сохранены другой программой Korvane после того, как окно их прочитало. Заменить их списками из окна?

Нет: сохранённые списки останутся%2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> и будут показаны в окне</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Показаны списки, сохранённые другой программой Korvane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Не удалось сохранить списки в </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Коллекция</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Найти дубликаты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; сохранён, но открыть его не удалось: для файлов этого типа не назначена программа.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; не найден.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сообщение для форума скопировано в буфер обмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Часть 1 из %1 сообщения для форума скопирована в буфер обмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать для форума</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Создать лист</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>с music коллекцией</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>с video коллекцией</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Недавние папки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновить коллекцию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновить клипы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить music лист</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить video лист</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Новое с последней публикации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отметить как опубликованный</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>music листа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>video листа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брать Артист / Альбом из тегов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брать ГОД из тегов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Названия групп БОЛЬШИМИ буквами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Названия групп ЖИРНЫМ шрифтом (только для html и Excel)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Музыка разделена на категории (панк, ска, рок, попс...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Помечать VBR битрейт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать группы без альбомов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Читать FLAC, APE, WavPack, M4A, Opus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Артист / Альбом и страну брать из тегов только mp3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диски альбома (CD1, CD2...) одной строкой</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Списки TXT в кодировке UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все файлы в списке клипов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Категории для форума под спойлерами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Помнить списки между запусками</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шрифт рабочего стола в списках</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Для тестеров</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;База данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить Жанр из базы (только где он не прописан)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить строчки где не прописан жанр?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить Жанр из базы (даже если он прописан)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить все жанры?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить Страну из базы (только где она не прописана)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить строчки где не прописана страна?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить Страну из базы (даже если она прописана)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заполнить все страны?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить в базу Группы\Жанры</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить в базу Группы\Страны</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Руководство</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Язык интерфейса</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Язык интерфейса сменится при следующем запуске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Автоматически</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Русский</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применяется при следующем запуске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Папка &quot;%1&quot; не найдена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Папка для сохранения списокв &quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot; не найдена, все списки будут сохранятся в каталоге программы, изменить это можно в настройках</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::MusicRowEditor</name>
    <message>
        <source>Редактирование</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Кодировка:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>как прочитано</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::QtDesktop</name>
    <message>
        <source>Открыть папку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; уже существует. Заменить его?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::RowEditor</name>
    <message>
        <source>Сохранить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Папка:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Битрейт:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стиль:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Страна:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя файла:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрешение:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Длительность:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>кадров</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Кодек:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::SettingsDialog</name>
    <message>
        <source>Настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Минимальный размер папки
для удаления её из списка:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Директория для сохранения файлов:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для music листа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для Video листа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разделитель на который заменяется
знак \  в html, txt и excel файле:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разделитель в TXT файле между
Битрейт, Размер, Жанр:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Авто</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Авто: кодировка каждого текста определяется по его буквам</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Кодировка 8-битных тегов:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сообщение для форума не длиннее
(символов, 0 - одним файлом):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запросов к диску одновременно
(0 - по виду диска):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0: 8 на сетевом диске, 1 на жёстком диске, 2 на остальных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Настройки Exceлевского файла </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выберите папку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В названии листа не могут содержатся символы : \ / ? * [ ]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::StatsWindow</name>
    <message>
        <source>Альбомов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер (ГБ)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Копировать для форума (BBCode)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Альбомов: %1, групп: %2, объём: %3 ГБ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::TestersDialog</name>
    <message>
        <source>Настройки для тестеров</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вкл / Выкл этот режим</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Минимальный лимит для неполных и unsorted альбомом</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::VideoRowEditor</name>
    <message>
        <source>Редактировать</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
