#pragma once
// Every dialog of a program looks like the desktop's dialogs: a title bar that asks for
// the close button only (no minimise or maximise), the program's icon in it (message
// boxes included), the size its controls need unless it names a smaller minimum size
// (it is then meant to be resized), and a file dialog whose columns are as wide as
// their texts.

#include <QIcon>

// Makes the icon the application's and watches every dialog from now on. Call once a
// QApplication exists; a second call only changes the icon.
void UseDesktopDialogLook(const QIcon& programIcon);
