#pragma once

// The command line: "quorvane search", "quorvane list", "quorvane export html|xlsx|odt NAME",
// "quorvane merge NAME",
// "--help" and "--version". They run without a window or a display, on the same cores as the
// window's actions.

// True when the arguments name a command or ask for help or the version; the window opens
// otherwise (also for Qt's own options such as "-platform").
bool isCommandLine(int argc, char* argv[]);

// Runs the command the arguments name and returns the exit status (cli/exitstatus.h).
int runCommandLine(int argc, char* argv[]);
