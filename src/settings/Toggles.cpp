#include "settings/Toggles.h"

#include "settings/SettingsFile.h"

namespace korvane {

Toggles readToggles(const SettingsFile& settings) {
    Toggles toggles;
    toggles.albumUppercase = settings.readBool(u"albumuppercase", false);
    toggles.yearInColumn = settings.readBool(u"yearInColumn", false);
    toggles.musicInCat = settings.readBool(u"musicInCat", false);
    toggles.showVBR = settings.readBool(u"showVBR", false);
    toggles.showGroupNotAlbum = settings.readBool(u"showGroupNotAlbum", false);
    toggles.albumBoldFont = settings.readBool(u"albumboldfont", true);
    toggles.artistFromID3 = settings.readBool(u"artistFromID3", false);
    toggles.otherFormats = settings.readBool(u"otherFormats", true);
    toggles.mp3NamesOnly = settings.readBool(u"mp3NamesOnly", false);
    toggles.txtUtf8 = settings.readBool(u"txtUtf8", false);
    toggles.allVideoFiles = settings.readBool(u"allVideoFiles", false);
    toggles.bbcodeSpoilers = settings.readBool(u"bbcodeSpoilers", false);
    toggles.foldDiscs = settings.readBool(u"foldDiscs", true);
    return toggles;
}

void writeToggles(SettingsFile& settings, const Toggles& toggles) {
    settings.writeBool(u"albumuppercase", toggles.albumUppercase);
    settings.writeBool(u"albumboldfont", toggles.albumBoldFont);
    settings.writeBool(u"yearInColumn", toggles.yearInColumn);
    settings.writeBool(u"artistFromID3", toggles.artistFromID3);
    settings.writeBool(u"musicInCat", toggles.musicInCat);
    settings.writeBool(u"showVBR", toggles.showVBR);
    settings.writeBool(u"showGroupNotAlbum", toggles.showGroupNotAlbum);
    settings.writeBool(u"otherFormats", toggles.otherFormats);
    settings.writeBool(u"mp3NamesOnly", toggles.mp3NamesOnly);
    settings.writeBool(u"txtUtf8", toggles.txtUtf8);
    settings.writeBool(u"allVideoFiles", toggles.allVideoFiles);
    settings.writeBool(u"bbcodeSpoilers", toggles.bbcodeSpoilers);
    settings.writeBool(u"foldDiscs", toggles.foldDiscs);
}

} // namespace korvane
