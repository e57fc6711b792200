// Configuration variables for one test: set in the global variable table, as
// the configuration file would set them, and removed again afterwards, with
// the name mappings read from them emptied.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "module-collections/linkedlist.h"
#include "module-main_zarn/init_chartab.h"
#include "module-main_zarn/init_tens.h"
#include "module-zem_language/symtab.h"

class test_configuration {
public:
    ~test_configuration()
    {
        for (const auto& name : names_) global_objects.remove(ZEM_string(name.c_str()));
        group_name_mappings.dictionaries = {};
        transformation_name_mappings.dictionaries = {};
        character_table_mapping = name_mapping(50);
    }

    void set(const std::string& name, const ZEM_object& value) { set_without_value(name, value.type(), &value); }
    void set_without_value(const std::string& name, const ZEM_type& type, const ZEM_object* value = nullptr)
    {
        global_objects.add(ZEM_string(name.c_str()), value, type);
        names_.push_back(name);
    }
    void set_list(const std::string& name, std::initializer_list<const char*> strings)
    {
        ZEM_linkedlist<ZEM_string> list;
        for (const char* s : strings) list.add_at_tail(ZEM_string(s));
        set(name, list);
    }

private:
    std::vector<std::string> names_;
};
