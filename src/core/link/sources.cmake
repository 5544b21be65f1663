# Sources of the instrument link subsystem.
