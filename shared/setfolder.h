// Where the question sets live: one rule that both programs follow, so that a set
// saved in the editor is the set the quiz plays.
#pragma once

#include <QString>

namespace qo::SetFolder {

// The folder the question sets are read from and saved to:
// - the programs' own folder when the user can write to it (a build folder, an
//   unpacked portable folder), or when it isn't there at all;
// - otherwise, and always for installed programs (those with the shipped sets'
//   folder of an install beside them), the user's set folder, shared by both
//   programs, created on first use and given a copy of each set that lies beside the
//   programs or among the installed shipped sets but isn't in it yet. A set already
//   there is never replaced.
// The choice is made once per programs' folder and kept while the program runs.
// Empty when there is neither a usable programs' folder nor a user data location.
QString path();

// The user's set folder, "qo-kviz" in the user's data location (on Linux
// ~/.local/share/qo-kviz), whether it exists or not; empty when the system names no
// data location.
QString userFolder();

// Puts the user's data location in a folder of a test's own; empty goes back to the
// system's. Where the system names that location only through its own settings (the
// known folders of Windows), a test has no other way to keep off the user's.
void setDataLocationForTesting(const QString& folder);

} // namespace qo::SetFolder
