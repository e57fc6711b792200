#include "module-main_zarn/init_tens.h"

#include <memory>
#include <string>

#include "module-collections/linkedlist.h"
#include "module-main_zarn/config_error.h"

per_dimension_mapping group_name_mappings;
per_dimension_mapping transformation_name_mappings;

const ZEM_string* per_dimension_mapping::lookup(int dimension, const ZEM_string& name) const
{
    if (dimension < 1 || dimension > count()) return nullptr;
    return dictionaries[dimension - 1].lookup(name);
}

void add_pairs(name_mapping& mapping, const ZEM_object& list)
{
    const auto& strings = static_cast<const ZEM_linkedlist<ZEM_string>&>(list);
    for (const ll_node<ZEM_string>* node = strings.head; node && node->next; node = node->next->next)
        mapping.add_elt(node->elt, node->next->elt);
}

namespace {

// Variables prefix1, prefix2, ... up to the first missing one; a later one
// after a gap is never read.
void init_per_dimension(per_dimension_mapping& mapping, const std::string& prefix)
{
    int count = 0;
    while (global_objects.lookup(ZEM_string((prefix + std::to_string(count + 1)).c_str()))) ++count;
    pointer_to_objects<name_mapping> dictionaries(count);
    for (int d = 1; d <= count; ++d) {
        const std::string name = prefix + std::to_string(d);
        const var_symtab::var_symtabelt* entry = configuration_variable(name);
        if (!entry || !(entry->type == tp_string_list()))
            configuration_error("\"" + name + "\" should be of type linkedlist<string>");
        add_pairs(dictionaries[d - 1], *entry->object);
    }
    mapping.dictionaries = std::move(dictionaries);
}

}

void init_group_name_mappings() { init_per_dimension(group_name_mappings, "group_name_mapping_"); }

void init_transformation_name_mappings()
{
    init_per_dimension(transformation_name_mappings, "transformation_name_mapping_");
}

void init_tensor()
{
    init_group_name_mappings();
    init_transformation_name_mappings();
}
