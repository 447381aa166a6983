#pragma once
// Qt's own texts (standard buttons, the print, preview and file dialogs, the
// editors' context menus) in the program's language, from the translations
// Qt ships beside its libraries.

namespace cv {

// Loads Qt's translation for the program's language, replacing the one loaded
// before; English needs none. Whether Qt speaks the language now.
bool installQtTranslations();

} // namespace cv
