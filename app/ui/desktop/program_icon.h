#pragma once
// The program's own icon, for its windows: what the desktop menu shows for it.

#include <QIcon>

namespace vorla {

// The desktop theme's "vorlapro" when it has one (the installed package puts it there, and a
// theme may draw its own), else the drawing built into the program, so a run from the build
// folder or from any install prefix shows the same icon.
QIcon ProgramIcon();

}  // namespace vorla
