// Process control for the front end: the one way it ends the program.
#pragma once

[[noreturn]] void Exit(int status);
