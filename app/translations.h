#pragma once

#include <QStringList>

class QTranslator;

namespace Translations
{
// Base names of the compiled translations, by the index of the language list: English, Russian.
QString fileFor(int languageIndex); // empty for an index with no file

// Qt's own texts for a language (standard buttons, file dialogs): "qtbase_ru"; empty for English,
// which Qt has built in.
QString qtFileFor(int languageIndex);

// Where the files are looked for, in order: the working directory, the program's folder, the
// data folder of the installation the program runs from (share/kv847/translations beside its bin/),
// the data folder of the configured install prefix.
QStringList searchDirs();
// The same folders, then Qt's installed translations, where the Debian package puts Qt's own.
QStringList qtSearchDirs();

// Loads name (Qt's suffix rules: name.qm, then name) from the first of dirs that holds a loadable
// file. The translator is left empty when none does.
bool load(QTranslator& translator, const QString& name, const QStringList& dirs);

// The file load() takes for name, empty when none of dirs holds a loadable one.
QString locate(const QString& name, const QStringList& dirs);
} // namespace Translations
