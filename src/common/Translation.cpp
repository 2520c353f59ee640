#include "common/Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace selvane {

QStringList TranslationFolders()
{
    const QDir here(QCoreApplication::applicationDirPath());
    QStringList folders{here.filePath(QStringLiteral("translations")),
                        here.filePath(QStringLiteral("../translations")),
                        here.filePath(QStringLiteral("../share/selvane/translations"))};
#ifdef SELVANE_TRANSLATIONS_DIR
    folders << QStringLiteral(SELVANE_TRANSLATIONS_DIR);
#endif
    return folders;
}

QString InstallTranslation(QCoreApplication& app)
{
    QString chosen = QStringLiteral("it");
    auto* own = new QTranslator(&app);
    for (QString language : QLocale::system().uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language.section(QLatin1Char('_'), 0, 0) == QLatin1String("it"))
            break;
        bool loaded = false;
        for (const QString& folder : TranslationFolders()) {
            // "selvane_en_GB" falls back to "selvane_en", never further.
            if (language.size() >= 2 && own->load(QStringLiteral("selvane_") + language, folder)
                && own->language().section(QLatin1Char('_'), 0, 0) == language.section(QLatin1Char('_'), 0, 0)) {
                loaded = true;
                break;
            }
        }
        if (loaded) {
            QCoreApplication::installTranslator(own);
            chosen = own->language().section(QLatin1Char('_'), 0, 0);
            break;
        }
    }
    if (chosen == QLatin1String("it"))
        delete own;

    // Qt's own texts in the same language, when Qt's translations are there.
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(chosen), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return chosen;
}

} // namespace selvane
