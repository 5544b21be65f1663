# Tests of the instrument link subsystem.
