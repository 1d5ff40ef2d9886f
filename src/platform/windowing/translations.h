#pragma once
// The toolkit's own texts (the buttons and labels of its dialogs, the menus
// of its edits) in Portuguese (Brazil), whatever the user's language.
#include <QString>

// Installs the toolkit's Portuguese (Brazil) translations into the running
// application, read from folder (by default "translations" beside the
// program when it carries them there, else the toolkit's translations
// folder). Returns false, and leaves the toolkit's English texts, when they
// are not there. Call once, after the application object is made.
bool loadToolkitTranslations(const QString &folder = QString());
