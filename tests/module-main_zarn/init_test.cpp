#include <gtest/gtest.h>

#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_chartab.h"
#include "module-main_zarn/init_tens.h"
#include "module-scalar/integer.h"
#include "module-main_zarn/config_support.h"
#include "support/alert_recorder.h"

namespace {

std::string looked_up(const per_dimension_mapping& mapping, int dimension, const char* name)
{
    const ZEM_string* found = mapping.lookup(dimension, ZEM_string(name));
    return found ? found->c_str() : "-";
}

TEST(NameMappings, ReadPairsUpToTheFirstMissingDimension)
{
    test_configuration config;
    config.set_list("group_name_mapping_1", {"A", "x", "B"});
    config.set_list("group_name_mapping_2", {"A", "x", "A", "y"});
    config.set_list("group_name_mapping_4", {"C", "z"});
    config.set_list("character_table_name_mapping", {"T", "t"});
    init_tensor();
    init_character_table();
    EXPECT_EQ(group_name_mappings.count(), 2);
    EXPECT_EQ(transformation_name_mappings.count(), 0);
    // A key given twice keeps its last value; dimensions 0 and 4 are not read.
    std::string found;
    for (const auto& [dimension, name] : {std::pair(1, "A"), {1, "B"}, {2, "A"}, {0, "A"}, {4, "C"}})
        found += looked_up(group_name_mappings, dimension, name) + " ";
    EXPECT_EQ(found, "x - y - - ");
    EXPECT_STREQ(character_table_mapping.lookup("T") ? character_table_mapping.lookup("T")->c_str() : "-", "t");
}

TEST(NameMappings, ConfigurationFaultsBeepShowTheirAlertAndStop)
{
    const struct { const char* bad_variable; const char* alert; } cases[] = {
        {"group_name_mapping_2", "configuration error, \"group_name_mapping_2\" should be of type linkedlist<string>"},
        {"character_table_name_mapping",
         "configuration error, \"character_table_name_mapping\" should be of type linkedlist<string>"},
    };
    for (const auto& c : cases) {
        test_configuration config;
        alert_recorder alerts;
        config.set_list("group_name_mapping_1", {"A", "x"});
        config.set_list("character_table_name_mapping", {});
        config.set(c.bad_variable, ZEM_int(1));
        EXPECT_THROW((init_tensor(), init_character_table()), configuration_fault);
        EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"(beep)", c.alert}));
    }
}

}
