# Sources of the gui/realtime windows.
