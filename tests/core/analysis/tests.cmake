# Tests of the analysis subsystem.
