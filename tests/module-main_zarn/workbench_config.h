// A small configuration for the tensor workbench: at dimension 3 the cubic group
// m-3m (integer and cyclotomic copies) and the trivial group "1",
// reached through the classes "cubic" and "triclinic"; the transformations
// "identity" (integer), "minus" (-1 times it, fractions), "cyclo" (identity,
// cyclotomic) and "flat" (2 x 3); the symmetries of rank 2. Dimensions 1 and 2
// have empty mappings and no chooser lists. Faulty entries for the checks:
// "matrix", "ghost", "empty", "gone", "group", "weird_3", "perm_symmetry_4".
#pragma once

#include <vector>

#include "groups/group.h"
#include "module-main_zarn/config_support.h"
#include "module-main_zarn/conversions.h"
#include "support/matrices.h"

inline std::vector<ZEM_matrix<ZEM_int>> m3m_generators()
{
    return {matrix_of<ZEM_int>({{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}), matrix_of<ZEM_int>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}),
            matrix_of<ZEM_int>({{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}})};
}

template <class M>
ZEM_group<M> m3m_group(M (*lift)(const ZEM_matrix<ZEM_int>&))
{
    ZEM_linkedlist<M> lifted;
    for (const auto& g : m3m_generators()) lifted.add_at_tail(lift(g));
    return ZEM_group<M>(lifted, nullptr, nullptr);
}

struct workbench_configuration : test_configuration {
    workbench_configuration()
    {
        const auto identity = matrix_of<ZEM_int>({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
        set("G3_m3m", m3m_group<ZEM_matrix<ZEM_int>>([](const auto& m) { return m; }));
        set("G3_m3m_cycl",
            m3m_group<ZEM_matrix<ZEM_cyclotomic_number>>([](const auto& m) { return frac2cycl(int2frac(m)); }));
        ZEM_linkedlist<ZEM_matrix<ZEM_int>> one;
        one.add_at_tail(identity);
        set("G3_1", ZEM_group<ZEM_matrix<ZEM_int>>(one, nullptr, nullptr));
        set_without_value("G3_empty", tp_group(tp_matrix(tp_int())));
        set("T3_identity", identity);
        set("T3_minus", matrix_of<ZEM_fraction>({{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}));
        set("T3_cyclo", frac2cycl(int2frac(identity)));
        set("T3_flat", matrix_of<ZEM_int>({{1, 0, 0}, {0, 1, 0}}));
        set_list("group_name_mapping_1", {});
        set_list("group_name_mapping_2", {});
        set_list("group_name_mapping_3", {"m-3m", "G3_m3m", "m-3m cycl", "G3_m3m_cycl",
                                          "1", "G3_1", "matrix", "T3_identity", "ghost", "G3_none",
                                          "empty", "G3_empty"});
        set_list("transformation_name_mapping_1", {});
        set_list("transformation_name_mapping_2", {});
        set_list("transformation_name_mapping_3", {"identity", "T3_identity", "minus", "T3_minus", "cyclo", "T3_cyclo",
                                                   "flat", "T3_flat", "gone", "T3_none", "group", "G3_1"});
        set_list("point_group_3", {"cubic", "cubic", "triclinic", "triclinic"});
        set_list("cubic_3", {"m-3m", "m-3m"});
        set_list("triclinic_3", {"1", "1"});
        set_list("basis_transformation_3", {"identity", "identity", "minus", "minus", "odd"});
        set_list("perm_symmetry_2", {"0 1", "(0 1)", "[0 1]"});
        set("weird_3", ZEM_int(7));
        set("perm_symmetry_4", ZEM_int(7));
        set_list("character_table_name_mapping", {});
        init_tensor();
        init_character_table();
    }
};
