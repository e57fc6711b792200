// Start-up of the program: run the configuration file, read the name mappings,
// show the main window and run the event loop.
#pragma once

// Runs a command file and returns its number of errors.
using commandfile_runner = int (*)(const char* path);

// The configuration path: ZARN_CONFIG when set (even empty), else the default.
const char* configuration_path();

// Everything up to the open main window, with the file-size signal ignored
// from here on; a failure (the runner's, a non-zero error count, a
// configuration fault) has been written to the standard error stream (a
// configuration fault also shown in its alert) and false returned.
bool start_up(commandfile_runner run, const char* config_file);

// The whole program; returns main's exit status.
int zarn_main(int argc, char** argv, commandfile_runner run);
