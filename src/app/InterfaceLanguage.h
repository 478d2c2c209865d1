#pragma once

#include "settings/Settings.h"

#include <QStringList>
#include <QTranslator>

namespace korvane {

class ProgramFolder;

enum class InterfaceLanguage { Russian, English };

// The language the window speaks: the setting's, or with "auto" the desktop's first language:
// Russian for Russian, English for every other (a "C" locale too, as scripts and containers have).
InterfaceLanguage chooseInterfaceLanguage(Settings::Language setting,
                                          const QStringList& desktopLanguages);

// The translations a language needs, installed on the application while this lives: for Russian
// Qt's own Russian texts of the system buttons ("Да", "Нет", "Отмена"); for English our
// translations/korvane_en.qm. Without that file the window stays Russian.
class InterfaceTranslation {
public:
    InterfaceTranslation(InterfaceLanguage language, const ProgramFolder& folder);
    InterfaceTranslation(const InterfaceTranslation&) = delete;
    InterfaceTranslation& operator=(const InterfaceTranslation&) = delete;
    bool english() const { return m_english; }

private:
    QTranslator m_translator;
    bool m_english = false;
};

} // namespace korvane
