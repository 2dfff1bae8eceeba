#pragma once

class QFileDialog;

namespace skarvel {

// Lays out Qt's own file and folder dialog so that every column of its list shows its header and
// its texts whole: names of up to 40 characters, sizes up to "999,99 MiB", the types of the files
// its filters let through and of folders, the dates, each written as the dialog writes them (in
// the program's locale), in the list's own font. The dialog is made wide enough for its columns,
// within the screen. Whatever an earlier dialog left in Qt's settings (column widths, the view)
// gives way to this: each dialog opens alike.
void LayOutFileDialog(QFileDialog& dialog);

} // namespace skarvel
