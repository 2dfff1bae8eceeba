#pragma once

namespace skarvel {

// Makes Qt's own texts (the file and folder dialogs, the buttons of the message boxes) Italian,
// like the rest of the program, from Qt's translations installed on the system. Call once, after
// the application object is made.
void InstallItalianTranslations();

// Makes the program's locale Italian whatever the desktop's: month names, dates and numbers,
// in our texts and in Qt's dialogs alike. Call once, first thing, before the application
// object is made.
void UseItalianLocale();

} // namespace skarvel
