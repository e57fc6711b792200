// The name mappings of the tensor workbench, read once at start-up from the
// configuration: per dimension d (from 1), the point-group names and the
// basis-transformation names the user sees, each mapped to the name of the
// configuration variable holding the group or the matrix. Dictionary d lies at
// index d - 1; a dimension without a dictionary maps nothing.
#pragma once

#include "module-collections/dictionary.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

using name_mapping = ZEM_dictionary<ZEM_string, ZEM_string>;

struct per_dimension_mapping {
    pointer_to_objects<name_mapping> dictionaries;

    int count() const { return dictionaries.count(); }
    // The variable name that `name` maps to at `dimension`, or null, also for a
    // dimension outside 1 .. count().
    const ZEM_string* lookup(int dimension, const ZEM_string& name) const;
};

extern per_dimension_mapping group_name_mappings;
extern per_dimension_mapping transformation_name_mappings;

void init_tensor();
void init_group_name_mappings();
void init_transformation_name_mappings();

// Adds the pairs of a list of strings (key, value, key, value, ...) to `mapping`;
// a last key without a value is dropped.
void add_pairs(name_mapping& mapping, const ZEM_object& list);
