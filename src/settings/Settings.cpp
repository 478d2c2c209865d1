#include "settings/Settings.h"

#include "settings/ProgramFolder.h"

#include <algorithm>

namespace korvane {
namespace {

// A key and the default of its one reader.
template <typename T> struct Key {
    QStringView name;
    T fallback;
};

constexpr Key<bool> kMaximized{u"Maximized", false};
constexpr QStringView kFormPosTop = u"FormPosTop";
constexpr QStringView kFormPosLeft = u"FormPosLeft";
constexpr QStringView kFormHeight = u"FormHeight";
constexpr QStringView kFormWidth = u"FormWidth";
constexpr QStringView kMusicRoot = u"mp3dir";
constexpr QStringView kVideoFolder = u"videodir";
constexpr QStringView kTestersMode = u"notdead";
constexpr QStringView kTestersMinLimitKey = u"notdead_min_limit";
constexpr Key<bool> kKeepLists{u"keepLists", true};
constexpr Key<bool> kDesktopFont{u"desktopFont", false};
constexpr QStringView kLanguage = u"language";
constexpr QStringView kMusicColumnWidths = u"musicColumnWidths";
constexpr QStringView kVideoColumnWidths = u"videoColumnWidths";
constexpr QStringView kSaveDir = u"save_dir";
constexpr QStringView kSaveAsDir = u"saveAsDir";
constexpr QStringView kMinLimitKey = u"min_limit";
constexpr QStringView kGroupAlbumSeparator = u"separator_G_A";
constexpr QStringView kTxtSeparator = u"separator";
constexpr QStringView kTagEncoding = u"tagEncoding";
constexpr Key<int> kPostLimit{u"postLimit", 0};
constexpr Key<int> kRequestsInFlight{u"requestsInFlight", 0};
constexpr Key<bool> kSpreadsheetCheck{u"checkexcel", false};

// The toggles as the main load reads them: every one off except the bold group names, the other
// formats and the folded discs.
struct ToggleKey {
    Key<bool> key;
    bool Toggles::*field;
};
// In the order of the main save; the main load reads them in the same order (reads leave no
// trace, so only the writes' order shows in the file).
constexpr ToggleKey kToggleKeys[] = {
    {{u"albumuppercase", false}, &Toggles::albumUppercase},
    {{u"albumboldfont", true}, &Toggles::albumBoldFont},
    {{u"yearInColumn", false}, &Toggles::yearInColumn},
    {{u"artistFromID3", false}, &Toggles::artistFromID3},
    {{u"musicInCat", false}, &Toggles::musicInCat},
    {{u"showVBR", false}, &Toggles::showVBR},
    {{u"showGroupNotAlbum", false}, &Toggles::showGroupNotAlbum},
    {{u"otherFormats", true}, &Toggles::otherFormats},
    {{u"mp3NamesOnly", false}, &Toggles::mp3NamesOnly},
    {{u"txtUtf8", false}, &Toggles::txtUtf8},
    {{u"allVideoFiles", false}, &Toggles::allVideoFiles},
    {{u"bbcodeSpoilers", false}, &Toggles::bbcodeSpoilers},
    {{u"foldDiscs", true}, &Toggles::foldDiscs},
    {{u"albumTotals", false}, &Toggles::albumTotals},
};

} // namespace

bool Settings::maximized() const {
    return m_file.readBool(kMaximized.name, kMaximized.fallback);
}

void Settings::setMaximized(bool maximized) {
    m_file.writeBool(kMaximized.name, maximized);
}

Settings::WindowPlace Settings::windowPlace(const WindowPlace& current) const {
    WindowPlace place;
    place.top = m_file.readInteger(kFormPosTop, current.top);
    place.left = m_file.readInteger(kFormPosLeft, current.left);
    place.height = m_file.readInteger(kFormHeight, current.height);
    place.width = m_file.readInteger(kFormWidth, current.width);
    return place;
}

void Settings::setWindowPlace(const WindowPlace& place) {
    m_file.writeInteger(kFormPosTop, place.top);
    m_file.writeInteger(kFormPosLeft, place.left);
    m_file.writeInteger(kFormHeight, place.height);
    m_file.writeInteger(kFormWidth, place.width);
}

QString Settings::musicRoot() const {
    return m_file.readText(kMusicRoot, QString());
}

QString Settings::videoFolder() const {
    return m_file.readText(kVideoFolder, QString());
}

void Settings::setMusicRoot(const QString& folder) {
    m_file.writeText(kMusicRoot, folder);
}

void Settings::setVideoFolder(const QString& folder) {
    m_file.writeText(kVideoFolder, folder);
}

QString Settings::testersModeText() const {
    return m_file.readText(kTestersMode, QStringLiteral("0"));
}

void Settings::setTestersMode(bool on) {
    m_file.writeBool(kTestersMode, on);
}

int Settings::testersMinLimit() const {
    return m_file.readInteger(kTestersMinLimitKey, kTestersMinLimit);
}

QString Settings::testersMinLimitText() const {
    return m_file.readText(kTestersMinLimitKey, QString::number(kTestersMinLimit));
}

void Settings::setTestersMinLimitText(const QString& text) {
    m_file.writeText(kTestersMinLimitKey, text);
}

Toggles Settings::toggles() const {
    Toggles toggles;
    for (const ToggleKey& toggle : kToggleKeys)
        toggles.*toggle.field = m_file.readBool(toggle.key.name, toggle.key.fallback);
    return toggles;
}

void Settings::setToggles(const Toggles& toggles) {
    for (const ToggleKey& toggle : kToggleKeys)
        m_file.writeBool(toggle.key.name, toggles.*toggle.field);
}

bool Settings::keepLists() const {
    return m_file.readBool(kKeepLists.name, kKeepLists.fallback);
}

void Settings::setKeepLists(bool keep) {
    m_file.writeBool(kKeepLists.name, keep);
}

bool Settings::desktopFont() const {
    return m_file.readBool(kDesktopFont.name, kDesktopFont.fallback);
}

void Settings::setDesktopFont(bool on) {
    m_file.writeBool(kDesktopFont.name, on);
}

Settings::Language Settings::language() const {
    const QString text = m_file.readText(kLanguage, QStringLiteral("auto"));
    return text == QLatin1String("ru")   ? Language::Russian
           : text == QLatin1String("en") ? Language::English
                                         : Language::Automatic;
}

void Settings::setLanguage(Language language) {
    m_file.writeText(kLanguage, language == Language::Russian   ? QStringLiteral("ru")
                                : language == Language::English ? QStringLiteral("en")
                                                                : QStringLiteral("auto"));
}

namespace {

QString recentRootKey(bool musicList, int slot) {
    return (musicList ? QStringLiteral("recentMusic%1") : QStringLiteral("recentVideo%1"))
        .arg(slot + 1);
}

} // namespace

QStringList Settings::recentRoots(bool musicList) const {
    QStringList roots;
    for (int slot = 0; slot < kRecentRoots; ++slot) {
        const QString root = m_file.readText(recentRootKey(musicList, slot), QString());
        if (!root.isEmpty())
            roots << root;
    }
    return roots;
}

void Settings::setRecentRoots(bool musicList, const QStringList& roots) {
    for (int slot = 0; slot < kRecentRoots; ++slot) {
        const QString key = recentRootKey(musicList, slot);
        const QString root = roots.value(slot);
        if (!root.isEmpty() || !m_file.readText(key, QString()).isEmpty())
            m_file.writeText(key, root);
    }
}

QList<int> Settings::columnWidths(bool musicList) const {
    QList<int> widths;
    const QString stored =
        m_file.readText(musicList ? kMusicColumnWidths : kVideoColumnWidths, QString());
    for (const QString& part : stored.split(u',', Qt::SkipEmptyParts))
        widths << part.trimmed().toInt();
    return widths;
}

void Settings::setColumnWidths(bool musicList, const QList<int>& widths) {
    QStringList parts;
    for (int width : widths)
        parts << QString::number(width);
    m_file.writeText(musicList ? kMusicColumnWidths : kVideoColumnWidths, parts.join(u','));
}

QString Settings::saveDir() const {
    return m_file.readText(kSaveDir, defaultSaveDir());
}

QString Settings::saveAsDir() const {
    return m_file.readText(kSaveAsDir, QString());
}

void Settings::setSaveAsDir(const QString& folder) {
    m_file.writeText(kSaveAsDir, folder);
}

QString Settings::saveDirToCheck(const ProgramFolder& programFolder) const {
    return m_file.readText(kSaveDir, programFolder.dir());
}

void Settings::setSaveDir(const QString& folder) {
    m_file.writeText(kSaveDir, folder);
}

int Settings::minLimit() const {
    return m_file.readInteger(kMinLimitKey, kMinLimit);
}

QString Settings::minLimitText() const {
    return m_file.readText(kMinLimitKey, QString::number(kMinLimit));
}

void Settings::setMinLimitText(const QString& text) {
    m_file.writeText(kMinLimitKey, text);
}

QString Settings::outputName(const OutputNameKey& name) const {
    return m_file.readText(name.key, name.fallback);
}

void Settings::setOutputName(const OutputNameKey& name, const QString& value) {
    m_file.writeText(name.key, value);
}

QString Settings::groupAlbumSeparator() const {
    return readQuotedSeparator(m_file, kGroupAlbumSeparator, kDefaultGroupAlbumSeparator);
}

QString Settings::groupAlbumSeparatorForBases() const {
    return m_file.readText(kGroupAlbumSeparator, kDefaultGroupAlbumSeparator);
}

QString Settings::txtSeparator() const {
    return readQuotedSeparator(m_file, kTxtSeparator, kDefaultTxtSeparator);
}

void Settings::setGroupAlbumSeparator(const QString& separator) {
    m_file.writeText(kGroupAlbumSeparator, quoteSeparator(separator));
}

void Settings::setTxtSeparator(const QString& separator) {
    m_file.writeText(kTxtSeparator, quoteSeparator(separator));
}

codepage::Choice Settings::tagEncoding() const {
    const QString word = m_file.readText(kTagEncoding, QStringLiteral("auto"));
    return codepage::choiceFromName(word.toStdString()).value_or(codepage::Choice::Auto);
}

void Settings::setTagEncoding(codepage::Choice choice) {
    const std::string_view word = codepage::choiceName(choice);
    m_file.writeText(kTagEncoding,
                     QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size())));
}

int Settings::requestsInFlight() const {
    return std::max(0, m_file.readInteger(kRequestsInFlight.name, kRequestsInFlight.fallback));
}

void Settings::setRequestsInFlight(int count) {
    m_file.writeInteger(kRequestsInFlight.name, count);
}

int Settings::postLimit() const {
    return std::max(0, m_file.readInteger(kPostLimit.name, kPostLimit.fallback));
}

void Settings::setPostLimit(int limit) {
    m_file.writeInteger(kPostLimit.name, limit);
}

bool Settings::spreadsheetCheck() const {
    return m_file.readBool(kSpreadsheetCheck.name, kSpreadsheetCheck.fallback);
}

} // namespace korvane
