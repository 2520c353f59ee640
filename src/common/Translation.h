#pragma once
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace selvane {

// The language of the program's texts. They are written in Italian, which
// stays the language unless the desktop asks for one of the translations
// shipped with the program (translations/selvane_<language>.qm, today
// English): the first language of the user's list (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) that is Italian or has a translation wins; a "C"
// locale, or a language without a translation, keeps Italian. Qt's own
// texts (the OK and Cancel buttons) follow in the same language when Qt's
// translations are installed.
//
// What goes on the air and into the daily log, the history file,
// Selvane.ini and selvane.conf is never translated: those texts are not
// passed through the translation system at all.
//
// Installs the translators into the application (which owns them) and
// returns the language chosen ("it" when no translation was loaded).
QString InstallTranslation(QCoreApplication& app);

// Where the translations are looked for, in this order: beside the program
// (translations/, ../translations/: the build tree), ../share/selvane/
// translations from it (an installed, relocated copy), then the folder the
// build installs them to.
QStringList TranslationFolders();

} // namespace selvane
