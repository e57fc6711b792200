// A run of the test program that starts as the program does, through
// zarn_main, and checks what start-up set up where the program runs its
// configuration; it then ends with status 0 where everything holds.
#pragma once

// Set in the environment, the test program runs that instead of its tests.
inline constexpr const char* start_up_check = "ZARN_START_UP_CHECK";

// The runner given to zarn_main in that run; it never returns.
int check_start_up(const char* config_file);
