# Tests of the data-file subsystem.
