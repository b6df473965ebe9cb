#pragma once
// The language of the viewer's texts. The first viewer made installs the translation of the
// control for the system locale on the application (with Qt's own texts of the same
// language, for the buttons of standard dialogs), once; a host may switch that off or name
// a language. Texts are translated when the widgets are made: a viewer shows the language
// installed when it was created. Translations are embedded as :/i18n/ktdocview_<lang>.qm.
// UI thread only.

#include <QLocale>
#include <QString>

namespace ktdv::translations {

// Installs the translation for the system locale, unless a language was chosen, automatic
// loading is off or this was done before. Called by every viewer before it makes widgets.
void ensureLoaded();

// Off: the control installs no translation of its own and removes the one it installed.
void setAutomatic(bool on);

// Installs the translation for code ("de", "de_DE"; "" for the system locale) in place of
// the one installed before. "en", "C" and a language without a translation leave the
// English texts. Returns whether the texts are now in that language.
bool setLanguage(const QString& code);

// The locale of the installed texts, for dates shown with them: the chosen language, or
// the application's default locale.
QLocale locale();

}  // namespace ktdv::translations
