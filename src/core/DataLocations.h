#pragma once

#include <QString>
#include <QStringList>

namespace qb {

// Folders and names the program works with; every folder ends with '/'.
struct TDataLocations {
    QString ExeDir; // folder of the program file
    QString BesideDir; // folder holding Lang/, Skins/, Sounds/, Weather/
    QString SoundsDir; // BesideDir + "Sounds/"
    QString MediaDir; // the desktop's sound folder
    QString IniName; // program file name without extension + ".ini"
    QString BareName; // program file name without extension (the window caption)
    QString DataDir; // where settings, buttons and icons are kept
    bool Portable = false; // DataDir is ExeDir
};

// The per-user data folder: $XDG_DATA_HOME (or ~/.local/share) + "/Zorv/Quillbar/".
QString UserDataDir();

// Folders whose programs are installed copies: their data goes to the user's data folder.
QStringList SystemFolders();

// Whether a file can be created (and removed again) in `dir`.
bool IsFolderWritable(const QString& dir);

// Works out every location for the program file `exeFile`. The program folder is the data
// folder when it is writable and lies under none of `systemFolders`; otherwise `userDataDir`
// is, created with its parents. Creates nothing else and changes no current folder.
TDataLocations ChooseLocations(
    const QString& exeFile, const QString& userDataDir, const QStringList& systemFolders = SystemFolders());

// The files a first run copies from the program folder into a new, empty user data folder.
QStringList MigratedFileNames(const QString& iniName);

// First-run migration: when the data folder is not the program folder and holds nothing yet,
// copy the data files and "CustomSkin*" pictures of the program folder into it. Each copy
// overwrites and ignores its own failure. Returns whether a migration ran.
bool MigrateFirstRun(const TDataLocations& locations);

} // namespace qb
