#pragma once
// The program's icon: the window's title bar, the taskbar and the switcher.
#include <QIcon>

QIcon ProgramIcon();
