// The character-table names the user sees, mapped to the names of the
// configuration variables holding the tables; read once at start-up.
#pragma once

#include "module-main_zarn/init_tens.h"

extern name_mapping character_table_mapping;

void init_character_table();
void init_character_table_mapping();
