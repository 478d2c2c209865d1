#pragma once

#include "text/CodePageDetector.h"

namespace korvane {

// The check items of the "Настройки" menu that steer the music scan and the exporters.
struct Toggles {
    bool artistFromID3 = false;  // "Брать Артист / Альбом из тегов"
    bool yearInColumn = false;   // "Брать ГОД из тегов"
    bool albumUppercase = false; // "Названия групп БОЛЬШИМИ буквами"
    bool albumBoldFont = true; // "Названия групп ЖИРНЫМ шрифтом (только для html и Excel)"
    bool musicInCat = false; // "Музыка разделена на категории (панк, ска, рок, попс...)"
    bool showVBR = false;           // "Помечать VBR битрейт"
    bool showGroupNotAlbum = false; // "Показывать группы без альбомов"
    bool otherFormats = true;       // "Читать FLAC, APE, WavPack, M4A, Opus"
    // "Артист / Альбом и страну брать из тегов только mp3": the original rule, under which wma, ogg
    // and the other formats keep the folder name and give no country note.
    bool mp3NamesOnly = false;
    bool allVideoFiles = false; // "Все файлы в списке клипов": also those without a video stream
    bool txtUtf8 = false; // "Списки TXT в кодировке UTF-8": Windows-1251 when off
    // "Категории для форума под спойлерами": the BBCode post from the spoiler template.
    bool bbcodeSpoilers = false;
    // "Диски альбома (CD1, CD2...) одной строкой": an album folder with disc folders is one row
    bool foldDiscs = true;
    // "Число треков и время звучания альбома": every audio file of an album is read for its
    // length, and the list and the exports get the columns of tracks and playing time
    bool albumTotals = false;
    // No check item: "Кодировка 8-битных тегов" of the settings dialog, which each scan reads
    // afresh (readMusicScanOptions); the main load and save leave it alone.
    codepage::Choice tagEncoding = codepage::Choice::Auto;

    bool operator==(const Toggles&) const = default;
};

} // namespace korvane
