#include "module-chartab/chartab.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <gmpxx.h>
#include <random>

#include "module-chartab/example_tables.h"
#include "support/failure.h"

namespace {

using cyclotomic = ZEM_cyclotomic_number;
using cyclotomic_testing::root_of_unity;

table_text two_class_text()
{
    return {{"1", "-1"}, {1, 1}, {1, 2}, {{1, 1}, {1, -1}}, {{1}, {2, 1}}, {1, -1}, {3, -3}};
}

std::vector<cyclotomic> listed(const ZEM_linkedlist<cyclotomic>& list)
{
    std::vector<cyclotomic> items;
    for (ZEM_iterator<cyclotomic> it(list.create_iter_at_begin()); it; it++) items.push_back(*it);
    return items;
}

TEST(CharacterTable, PrintedFormsAndAccessors)
{
    const table_text no_classes{{}, {}, {}, {{}, {}}, {}, {}, {}};
    const std::pair<std::string, std::string> rows[] = {
        {printed(make_table(two_class_text())),
         "conjugate classes:\n 1   -1  \n\nconjugate class sizes:\n 1    1  \n\norders:\n 1    2  \n\n"
         "entries:\n 1    1  \n 1   -1  \n\npowers:\n 1    2  \n      1  \n\n"
         "determinant character:\n 1   -1  \nvector character:\n 3   -3  "},
        // Two rows of no entries: one line end each.
        {printed(make_table(no_classes)), "conjugate classes:\n\n\nconjugate class sizes:\n\n\norders:\n\n\n"
                                          "entries:\n\n\n\npowers:\n\n\ndeterminant character:\n\nvector character:\n"},
        {printed(character_of({1, -1})) + printed(character_of({})), "character(1 -1)character()"},
    };
    for (const auto& [got, want] : rows) EXPECT_EQ(got, want);

    // Entries are read class first; power maps repeat periodically.
    ZEM_character_table table =
        make_table({{"a", "b"}, {1, 1}, {1, 2}, {{1, 2}, {3, 4}, {5, 6}}, {{1}, {2, 1}}, {1, 1}, {7, 8}});
    EXPECT_EQ(printed(table.row(3)) + printed(table.tab_entry(2, 1)), "character(5 6)2");
    // Class 2 holds its own odd powers and the class 1 of its even ones.
    for (int n : {1, 2, 5, INT_MAX - 1, INT_MAX}) EXPECT_EQ(table.index_of_nth_power(2, n), n % 2 == 1 ? 2 : 1) << n;
}

TEST(CharacterTable, NumbersLengthsAndCountsOutOfRangeFailWithTheirMessages)
{
    table_text t = two_class_text(), huge_text = cyclic_3_text();
    t.powers = {{}, {2, 3}};
    huge_text.sizes = {INT_MAX, 1, 1};
    ZEM_character_table table = make_table(t), huge = make_table(huge_text);
    ZEM_character one = character_of({1}), three = character_of({1, 2, 3});
    const std::string misfit = "[ZEM_character_table] array sizes do not fit the counts";
    const std::string lengths = "] size(v1) != size(v2)", columns = "] size(character) != columns()";
    const std::pair<std::function<void()>, std::string> cases[] = {
        // The power is checked first.
        {[&] { table.index_of_nth_power(9, 0); }, "[index_of_nth_power] power <= 0"},
        {[&] { table.index_of_nth_power(3, 1); }, "[index_of_nth_power] class number out of range"},
        {[&] { table.index_of_nth_power(1, 1); }, "[index_of_nth_power] empty power map"},
        {[&] { table.index_of_nth_power(2, 2); }, "[index_of_nth_power] power map entry out of range"},
        {[&] { table.row(3); }, "[row] row number out of range"},
        {[&] { table.tab_entry(3, 1); }, "[tab_entry] class number out of range"},
        {[&] { table.tab_entry(1, 0); }, "[tab_entry] row number out of range"},
        {[&] { table.character_scalar_product(one, three); }, "[character_scalar_product" + lengths},
        {[&] { table.character_scalar_product(three, three); }, "[character_scalar_product" + columns},
        {[&] { table.character_symmetric_square(three); }, "[character_symmetric_square" + columns},
        {[&] { table.character_anti_symmetric_square(one); }, "[character_anti_symmetric_square" + columns},
        {[&] { table.character_physical_representation(three); }, "[character_physical_representation" + columns},
        {[] { table_text t = two_class_text(); t.sizes.pop_back(); make_table(t); }, misfit},
        {[] { table_text t = two_class_text(); t.rows.back().pop_back(); make_table(t); }, misfit},
        {[] { ZEM_character_table(0, -1, {}, {}, {}, {}, {}, {}, {}); }, "[ZEM_character_table] negative count"},
        // The group order is summed in 32 bits and fails rather than wraps.
        {[&] { huge.decompose(huge.row(1)); }, "[ZEM_int] overflow"},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message)) << message;
    // Product and sum need only a common length; the table plays no part.
    EXPECT_EQ(printed(table.character_add(three, table.character_product(three, three))), "character(2 6 12)");
}

TEST(CharacterAlgebra, SquaresRealFormsPowersAndRandomCombinationsOfTheExampleGroups)
{
    // Per row, the decomposition of its physical representation; the 2-dimensional character
    // of the quaternion group is quaternionic: its real form is twice it.
    const std::pair<table_text, std::vector<std::vector<cyclotomic>>> examples[] = {
        {cyclic_3_text(), {{1, 0, 0}, {0, 1, 1}, {0, 1, 1}}},
        {quaternion_8_text(), {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 2}}},
    };
    for (const auto& [text, physical] : examples) {
        ZEM_character_table table = make_table(text);
        for (int i = 1; i <= table.rows(); ++i) {
            ZEM_character chi = table.row(i);
            SCOPED_TRACE(printed(chi));
            ZEM_character symmetric = table.character_symmetric_square(chi);
            ZEM_character anti = table.character_anti_symmetric_square(chi);
            EXPECT_EQ(printed(table.character_add(symmetric, anti)), printed(table.character_product(chi, chi)));
            // S - A is chi on the class of the squares.
            for (int c = 1; c <= table.columns(); ++c)
                EXPECT_TRUE(symmetric.values()[c - 1] - anti.values()[c - 1]
                            == chi.values()[table.index_of_nth_power(c, 2) - 1]);
            EXPECT_EQ(listed(table.decompose(table.character_physical_representation(chi))), physical[i - 1]);
        }
    }
    // Twice the trivial character has indicator 2: no real form is chosen.
    EXPECT_EQ(printed(make_table(quaternion_8_text()).character_physical_representation(character_of({2, 2, 2, 2, 2}))),
              "character(0 0 0 0 0)");

    // Row 2 of the cyclic group is (1, w, w^2); its n-th power is (1, w^n, w^2n).
    ZEM_character_table c3 = make_table(cyclic_3_text());
    for (int n : {-4, -2, -1, 0, 1, 2, 3, 5, INT_MIN, INT_MAX}) {
        const int k = static_cast<int>(((std::int64_t(n) % 3) + 3) % 3);
        EXPECT_EQ(printed(c3.character_power(c3.row(2), n)),
                  printed(character_of({1, root_of_unity(k, 3), root_of_unity(2 * k % 3, 3)}))) << n;
    }
    // The zeroth power is the table's trivial character whatever the argument.
    EXPECT_EQ(printed(c3.character_power(character_of({7}), 0)), "character(1 1 1)");
    EXPECT_EQ(failure_of([&] { c3.character_power(character_of({1, 0, 1}), -1); }),
              run_time("[ZEM_fraction::simple_fraction] denominator == 0"));

    // For v = sum a_i chi_i and w = sum b_i chi_i, orthonormality gives
    // <v, w> = sum a_i conj(b_i), and the decomposition of v is conj(a).
    std::mt19937 random(20240611);
    for (const table_text& text : {cyclic_3_text(), quaternion_8_text()}) {
        ZEM_character_table table = make_table(text);
        for (int round = 0; round < 40; ++round) {
            std::vector<cyclotomic> conj_a, v(text.names.size()), w(text.names.size());
            cyclotomic expected;
            for (int i = 1; i <= table.rows(); ++i) {
                cyclotomic a = cyclotomic_testing::random_value(random, 12, 3);
                cyclotomic b = cyclotomic_testing::random_value(random, 12, 3);
                conj_a.push_back(complex_conjugate(a));
                expected = expected + a * complex_conjugate(b);
                for (int c = 1; c <= table.columns(); ++c) {
                    v[c - 1] = v[c - 1] + a * table.tab_entry(c, i);
                    w[c - 1] = w[c - 1] + b * table.tab_entry(c, i);
                }
            }
            EXPECT_EQ(printed(table.character_scalar_product(character_of(v), character_of(w))), printed(expected));
            EXPECT_EQ(listed(table.decompose(character_of(v))), conj_a);
        }
    }
}

TEST(CharacterAlgebra, TermsThatOverflowOnTheWayGiveTheValueThatFits)
{
    // Expected values from GMP, printed as a rational cyclotomic number prints.
    const auto exact = [](const mpz_class& v) { return v.get_str(); };
    const mpz_class big = INT_MAX, d = 65535, e = 65536;
    ZEM_character_table two = make_table(two_class_text()), c3 = make_table(cyclic_3_text());
    const ZEM_character big_chi = character_of({INT_MAX, INT_MAX - 2}), trivial = two.row(1);
    const std::pair<std::string, std::string> rows[] = {
        {printed(two.character_scalar_product(character_of({65536, 65536}), character_of({65536, -65536}))), exact(0)},
        {printed(two.character_scalar_product(big_chi, trivial)), exact((big + big - 2) / 2)},
        {printed(two.decompose(big_chi)), "linkedlist<cyclotomic>(\n1: " + exact((big + big - 2) / 2) + "\n2: 1\n)\n"},
        // v1 * conj(v2) fits though conj(v2) = 2^31 * i does not.
        {printed(two.character_scalar_product(character_of({root_of_unity(1, 4), 0}),
                                              character_of({ZEM_fraction(INT_MIN) * root_of_unity(1, 4), 0}))),
         exact(mpz_class(INT_MIN) / 2)},
        // (d^2 + d)/2 and (d^2 - d)/2 fit though d^2 does not; (e^2 + e)/2 leaves 32 bits.
        {printed(two.character_symmetric_square(character_of({65535, 65535}))),
         "character(" + exact((d * d + d) / 2) + " " + exact((d * d + d) / 2) + ")"},
        {printed(two.character_anti_symmetric_square(character_of({65536, 65536}))),
         "character(" + exact((e * e - e) / 2) + " " + exact((e * e - e) / 2) + ")"},
        {failure_of([&] { two.character_symmetric_square(character_of({65536, 65536})); }),
         run_time("[ZEM_fraction] overflow")},
        // Indicators 1 and 2^31 - 1, reached through sums that overflow.
        {printed(c3.character_physical_representation(character_of({1, -INT_MAX + 2, INT_MAX}))),
         "character(1 -2147483645 2147483647)"},
        {printed(two.character_physical_representation(character_of({INT_MAX, INT_MAX}))), "character(0 0)"},
    };
    for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
}

}
