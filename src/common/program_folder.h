#pragma once
// Where Korvane finds its resources and writes its files.
//
// Files Korvane writes (the database, the scratch text file) go to the folder of the running
// executable when it is writable and Korvane is not installed, otherwise to a per-user data
// folder; KORVANE_HOME overrides both. Korvane counts as installed when its executable's folder
// has a sibling share/korvane (/usr/bin beside /usr/share/korvane): an installed program never
// writes into a bin folder, not even for a user who may. Read-only resources (icons, transfer
// clip, logo) are found beside the executable or in the installed share folder.

#include <QString>

namespace korvane {

// The folder for files Korvane writes; created when missing.
QString writableFolder();

// The full path of a file in the writable folder.
QString writableFile(const QString& fileName);

// Where the file dialogs start before a file was chosen: the user's documents folder, or the home
// folder when there is none (never the hidden folder Korvane writes its own files in).
QString documentsFolder();

// The full path of a read-only resource, or an empty string when it is nowhere to be found.
QString resourceFile(const QString& fileName);

// The same for an executable in executableFolder (the running one's folder in the three above).
QString writableFolderFor(const QString& executableFolder);
QString resourceFileFor(const QString& executableFolder, const QString& fileName);

}  // namespace korvane
