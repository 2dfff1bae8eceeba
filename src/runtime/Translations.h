#pragma once

namespace skarvel {

// Makes Qt's own texts (the file and folder dialogs, the buttons of the message boxes) Italian,
// like the rest of the program, from Qt's translations installed on the system. Call once, after
// the application object is made.
void InstallItalianTranslations();

} // namespace skarvel
