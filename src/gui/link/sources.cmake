# Sources of the gui/link windows.
