#pragma once
// How the program shows itself to the desktop: its name (the window class the
// desktop matches against the menu entry), the desktop file it belongs to,
// its version, and Qt's own texts in the user's language.

#include <QString>
#include <QStringList>

class QTranslator;

namespace platform {

// The application name: the window class and the name of the program's
// folders and settings file.
QString applicationName();

// The id of the desktop entry and the AppStream component; the desktop file
// is <id>.desktop, the icon is named <id>.
QString desktopFileId();

// The program's version, as the tools print it.
QString programVersion();

// Sets the application name, version and desktop file name.
void setProgramIdentity();

// The file of Qt's own translations (the dialogs, the context menus of the
// text fields, the buttons Qt supplies) for the first of the languages that
// has one in DIR. English is Qt's own language and has nothing to translate;
// when no language before it has a file, the program's language zh_CN is
// used. Empty when DIR has no file for zh_CN either.
QString qtTranslationFile(const QStringList& uiLanguages, const QString& dir);

// Installs Qt's translations for the user's languages (from Qt's
// translations folder) in the application. Returns the translator, owned by
// the application, or nullptr when there is none to load.
QTranslator* installQtTranslations(const QStringList& uiLanguages);

}  // namespace platform
