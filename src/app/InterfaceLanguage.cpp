#include "app/InterfaceLanguage.h"

#include "settings/ProgramFolder.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace korvane {

InterfaceLanguage chooseInterfaceLanguage(Settings::Language setting,
                                          const QStringList& desktopLanguages) {
    switch (setting) {
    case Settings::Language::Russian:
        return InterfaceLanguage::Russian;
    case Settings::Language::English:
        return InterfaceLanguage::English;
    case Settings::Language::Automatic:
        break;
    }
    const QString first = desktopLanguages.value(0).toLower();
    return first == QLatin1String("ru") || first.startsWith(QLatin1String("ru-")) ||
                   first.startsWith(QLatin1String("ru_"))
               ? InterfaceLanguage::Russian
               : InterfaceLanguage::English;
}

InterfaceTranslation::InterfaceTranslation(InterfaceLanguage language,
                                           const ProgramFolder& folder) {
    const bool loaded =
        language == InterfaceLanguage::English
            ? m_translator.load(folder.shippedFile(QStringLiteral("translations/korvane_en.qm")))
            : m_translator.load(QStringLiteral("qtbase_ru"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(&m_translator);
    m_english = loaded && language == InterfaceLanguage::English;
}

} // namespace korvane
