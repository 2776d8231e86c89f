#pragma once

// The command line: "quorvane search", "quorvane list", "quorvane export html|xlsx|odt NAME",
// "quorvane merge NAME",
// "--help" and "--version". They run without a window or a display, on the same cores as the
// window's actions.

// False when the window opens: no arguments, or only Qt's own options of the window
// ("-platform offscreen"). Any other argument is the command line's: a command, --help,
// --version, or a usage error (an option before the command, an unknown word).
bool isCommandLine(int argc, char* argv[]);

// Runs the command the arguments name and returns the exit status (cli/exitstatus.h).
int runCommandLine(int argc, char* argv[]);
