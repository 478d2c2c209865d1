<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
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
    <name>MusicScan</name>
    <message>
        <source>; пропущено маленьких папок: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
