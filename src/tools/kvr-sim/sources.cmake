# kvr-sim: the instrument simulator (added with the link subsystem).
