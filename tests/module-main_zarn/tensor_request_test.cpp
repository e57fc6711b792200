#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <initializer_list>

#include "module-main_zarn/choosers.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/init_chartab.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_request.h"
#include "module-main_zarn/tensorprog.h"
#include "module-main_zarn/workbench_config.h"
#include "module-tensor/tensor.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

template <class T>
ZEM_matrix<T> diagonal(std::initializer_list<T> entries)
{
    const int n = static_cast<int>(entries.size());
    pointer_to_objects<T> elements(n * n);
    for (int k = 0; k < n; ++k) elements[k * n + k] = entries.begin()[k];
    return ZEM_matrix<T>(n, n, elements);
}

TEST(TensorRequest, ChecksFailInOrderWithTheirMessages)
{
    const struct { bool pseudo; tensor_inputs inputs; const char* message; } cases[] = {
        {false, {"m-3m", "0", "identity", 0, 1}, "[do_execute_tensor] (internal error) silly dimension"},
        {false, {"nothing", "0", "nothing", 3, 1},
         "[do_execute_tensor] (internal error) cannot find point group in group_name_mapping"},
        {false, {"m-3m", "0", "nothing", 3, 1},
         "[do_execute_tensor] (internal error) cannot find transformation in transformation_name_mapping"},
        {false, {"ghost", "0", "gone", 3, 1}, "[do_execute_tensor] (internal error) point group does not exist"},
        {false, {"empty", "0", "gone", 3, 1}, "[do_execute_tensor] (internal error) point group does not exist"},
        {true, {"m-3m", "0", "gone", 3, 1},
         "[do_execute_pseudo_tensor] (internal error) transformation does not exist"},
        {false, {"matrix", "0", "identity", 3, 1}, "[do_execute_tensor] (internal error) wrong pointgroup type"},
        {false, {"1", "0", "group", 3, 1}, "[do_execute_tensor] (internal error) wrong transformation type"},
        {false, {"1", "0", "flat", 3, 1}, "[operator * (matrix, tensor)] incorrect number of rows and/or columns"},
    };
    workbench_configuration config;
    for (const auto& c : cases)
        EXPECT_EQ(failure_of([&] { invariant_tensor_request(c.pseudo, c.inputs); }), run_time(c.message)) << c.message;
}

TEST(TensorRequest, ResultLiesOnTheLargerFieldAndAPseudoTensorFollowsTheDeterminant)
{
    const struct { bool pseudo; tensor_inputs inputs; const char* first_lines; } cases[] = {
        {false, {"m-3m cycl", "0 1", "identity", 3, 2}, "tensor<symbolic_number<cyclotomic>>(\n  dim = 3 rank = 2\n"},
        {false, {"1", "0", "minus", 3, 1}, "tensor<symbolic_number<fraction>>(\n  dim = 3 rank = 1\n"
                                          "  permutation symmetry: \"0\"\n  x = -b\n"},
        {true, {"1", "0", "minus", 3, 1}, "pseudo_tensor<symbolic_number<fraction>>(\n  dim = 3 rank = 1\n"
                                         "  permutation symmetry: \"0\"\n  x = b\n"},
        // det(T) = 2^32 leaves 32 bits, the components do not.
        {true, {"odd", "0", "scaling", 5, 1}, "pseudo_tensor<symbolic_number<fraction>>(\n  dim = 5 rank = 1\n"
                                              "  permutation symmetry: \"0\"\n  x = 65536*a\n  y = z = u = v = 0\n)"},
    };
    workbench_configuration config;
    ZEM_linkedlist<ZEM_matrix<ZEM_int>> odd;
    odd.add_at_tail(diagonal<ZEM_int>({-1, 1, 1, 1, 1}));
    config.set("G5_odd", ZEM_group<ZEM_matrix<ZEM_int>>(odd, nullptr, nullptr));
    config.set("T5_scaling", diagonal<ZEM_fraction>({ZEM_fraction(1, 65536), 65536, 65536, 65536, 1}));
    for (const char* mapping : {"group_name_mapping_4", "transformation_name_mapping_4"}) config.set_list(mapping, {});
    config.set_list("group_name_mapping_5", {"odd", "G5_odd"});
    config.set_list("transformation_name_mapping_5", {"scaling", "T5_scaling"});
    init_tensor();
    for (const auto& c : cases) {
        const tensor_result result = invariant_tensor_request(c.pseudo, c.inputs);
        EXPECT_EQ(printed(*result.value).substr(0, std::string(c.first_lines).size()), c.first_lines);
    }
}

// A chooser's command as the workbench's button carries it: the stem of its
// lists, its label, the number input and the text input.
struct chooser_command {
    QSpinBox number;
    QLineEdit input;
    QObject command;
    chooser_command(const char* name, int value, const char* label = "")
    {
        number.setValue(value);
        command.setProperty(VARIABLE_NAME, name);
        command.setProperty("text", label);
        for (const char* key : {DIMENSION_EDITOR, RANK_EDITOR}) set_partner(&command, key, &number);
        for (const char* key : {POINT_GROUP_TEXT_EDITOR, PERM_SYMMETRY_EDITOR, TRANSFORMATION_TEXT_EDITOR})
            set_partner(&command, key, &input);
    }
};

TEST(Choosers, ConfigurationFaultsShowTheirAlertAndWriteNothing)
{
    const struct { const char* name; int number; const char* alert; } cases[] = {
        {"ghost", 3, "configuration error, cannot locate \"ghost_3\""},
        {"weird", 3,
         "configuration error, \"weird_3\" should be of type linkedlist<string> or group<matrix<int / fraction / "
         "cyclotomic>>"},
        {nullptr, 3, "configuration error, cannot locate \"perm_symmetry_3\""},
        {nullptr, 4, "configuration error, \"perm_symmetry_4\" should be of type linkedlist<string>"},
    };
    workbench_configuration config;
    for (const auto& c : cases) {
        alert_recorder alerts;
        chooser_command chooser(c.name ? c.name : "perm_symmetry", c.number);
        EXPECT_THROW(c.name ? do_choose_pointgroup_or_pointgroup_class_proc(chooser.command)
                            : do_choose_rank_and_permsymm_proc(chooser.command),
                     configuration_fault);
        EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"(beep)", c.alert}));
        EXPECT_TRUE(chooser.input.text().isEmpty());
    }
    alert_recorder alerts;
    for (const auto& [name, dimension] : {std::pair("weird", 3), {"basis_transformation", 7}}) {
        chooser_command chooser(name, dimension, "x");
        do_choose_basis_transformation_proc(chooser.command);
        EXPECT_TRUE(chooser.input.text().isEmpty()) << name;
    }
    EXPECT_TRUE(alerts.alerts.empty());
}

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
