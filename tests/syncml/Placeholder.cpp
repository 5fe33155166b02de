// Tests of this folder arrive with the subsystem.
