#pragma once

#include <QString>

// The home folder holds everything the program keeps: data/, reports/, dll/ ...

// $QUILLON_HOME (made absolute), else $XDG_DATA_HOME/quillon/ (normally ~/.local/share/quillon/;
// a relative XDG_DATA_HOME is ignored); ends with "/".
QString ProgramFolder();
// ProgramFolder() + "data/".
QString DataFolder();
// Overrides ProgramFolder() (tests and tools); an empty folder returns to the default.
void SetProgramFolder(const QString& folder);
// The shipped resources: $QUILLON_RESOURCES, else <executable>/../share/quillon when it exists,
// else the source tree's resources/. Ends with "/".
QString ResourceFolder();
// Creates the home folder when missing and copies in every resource file it lacks, keeping
// every file already there. False when the folder cannot be made, the resources are missing or
// a copy fails.
bool EnsureHomeFolder();
// DataFolder() + "ovra.ini".
QString OvraIni();
