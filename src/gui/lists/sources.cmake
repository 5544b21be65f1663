# Sources of the gui/lists windows.
