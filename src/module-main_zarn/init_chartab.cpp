#include "module-main_zarn/init_chartab.h"

#include "module-main_zarn/config_error.h"

name_mapping character_table_mapping(50);

void init_character_table_mapping()
{
    const var_symtab::var_symtabelt* entry = configuration_variable("character_table_name_mapping");
    if (!entry) configuration_error("\"character_table_name_mapping\" is not defined");
    if (!(entry->type == tp_string_list()))
        configuration_error("\"character_table_name_mapping\" should be of type linkedlist<string>");
    add_pairs(character_table_mapping, *entry->object);
}

void init_character_table() { init_character_table_mapping(); }
