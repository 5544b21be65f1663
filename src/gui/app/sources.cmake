# Sources of the gui/app windows.
