#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#ifndef KV847_TRANSLATIONS_DIR
#define KV847_TRANSLATIONS_DIR "/usr/local/share/kv847/translations"
#endif

namespace Translations
{
QString fileFor(int languageIndex)
{
    switch (languageIndex) {
    case 0:
        return QStringLiteral("KV847_eng");
    case 1:
        return QStringLiteral("KV847_ru");
    default:
        return QString();
    }
}

QString qtFileFor(int languageIndex)
{
    return languageIndex == 1 ? QStringLiteral("qtbase_ru") : QString();
}

QStringList searchDirs()
{
    QStringList dirs{QDir::currentPath()};
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && !dirs.contains(own))
        dirs << own;
    // Relative to the program, so that a package (prefix /usr), a source install (/usr/local) and a
    // DESTDIR copy each find their own files.
    if (!own.isEmpty()) {
        const QString installed = QDir::cleanPath(own + QStringLiteral("/../share/kv847/translations"));
        if (!dirs.contains(installed))
            dirs << installed;
    }
    const QString configured = QStringLiteral(KV847_TRANSLATIONS_DIR);
    if (!dirs.contains(configured))
        dirs << configured;
    return dirs;
}

QStringList qtSearchDirs()
{
    QStringList dirs = searchDirs();
    const QString qt = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!dirs.contains(qt))
        dirs << qt;
    return dirs;
}

bool load(QTranslator& translator, const QString& name, const QStringList& dirs)
{
    for (const QString& dir : dirs)
        if (translator.load(name, dir))
            return true;
    // A failed load has already emptied the translator: the built-in texts show.
    return false;
}

QString locate(const QString& name, const QStringList& dirs)
{
    QTranslator translator;
    return load(translator, name, dirs) ? translator.filePath() : QString();
}
} // namespace Translations
