# Sources of the gui/records windows.
