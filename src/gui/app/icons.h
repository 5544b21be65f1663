#pragma once
// The program's icons, painted or taken from the style, so the program needs no image
// files.
#include <QIcon>

// Toolbar buttons: the style's standard icons where one fits, otherwise a small painted
// picture. Null for commands without a button.
QIcon CommandIcon(int id);
// The window and About-box icon.
QIcon ProgramIcon();
