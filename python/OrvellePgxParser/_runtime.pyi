"""Process-wide wiring between the C++ core and the host."""
