#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>

#include "module-chartab/chartab.h"
#include "module-chartab/example_tables.h"
#include "support/failure.h"

namespace {

using cyclotomic = ZEM_cyclotomic_number;

std::vector<cyclotomic> listed(const ZEM_linkedlist<cyclotomic>& list)
{
    std::vector<cyclotomic> items;
    for (ZEM_iterator<cyclotomic> it(list.create_iter_at_begin()); it; it++) items.push_back(*it);
    return items;
}

std::vector<cyclotomic> numbers(std::initializer_list<cyclotomic> items) { return items; }

std::vector<cyclotomic> values_vector(const ZEM_character& chi)
{
    return std::vector<cyclotomic>(chi.values().begin(), chi.values().end());
}

const std::string denominator_zero = run_time("[ZEM_fraction::simple_fraction] denominator == 0");

struct example {
    const char* name;
    table_text text;
    // Per row: the decomposition of its square, symmetric square and antisymmetric square.
    std::vector<std::vector<int>> square, symmetric, anti_symmetric;
    // Per row: its physical representation as a combination of rows.
    std::vector<std::vector<int>> physical;
};

std::vector<example> examples()
{
    return {
        {"cyclic 3",
         cyclic_3_text(),
         {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
         {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {{1, 0, 0}, {0, 1, 1}, {0, 1, 1}}},
        {"quaternion 8",
         quaternion_8_text(),
         {{1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 1, 1, 1, 0}},
         {{1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 1, 1, 0}},
         {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}},
         // The 2-dimensional character is quaternionic: its real form is twice it.
         {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 2}}},
    };
}

std::vector<cyclotomic> as_numbers(const std::vector<int>& v) { return {v.begin(), v.end()}; }

// sum of a_i * row i, computed apart from the table's operations.
ZEM_character combination(const ZEM_character_table& table, const std::vector<cyclotomic>& a)
{
    cyclotomic_values values(table.columns());
    for (int c = 1; c <= table.columns(); ++c)
        for (int i = 1; i <= table.rows(); ++i)
            values[c - 1] = values[c - 1] + a[static_cast<std::size_t>(i - 1)] * table.tab_entry(c, i);
    return ZEM_character(values);
}

TEST(CharacterAlgebra, IrreducibleCharactersAreOrthonormal)
{
    for (const example& e : examples()) {
        ZEM_character_table table = make_table(e.text);
        for (int i = 1; i <= table.rows(); ++i) {
            for (int j = 1; j <= table.rows(); ++j)
                EXPECT_TRUE(table.character_scalar_product(table.row(i), table.row(j)) == cyclotomic(i == j ? 1 : 0))
                    << e.name << " " << i << " " << j;
            std::vector<int> unit(static_cast<std::size_t>(table.rows()), 0);
            unit[static_cast<std::size_t>(i - 1)] = 1;
            EXPECT_EQ(listed(table.decompose(table.row(i))), as_numbers(unit)) << e.name << " " << i;
        }
    }
}

TEST(CharacterAlgebra, ScalarProductsAndDecompositionOfRandomCombinations)
{
    // <sum a_i chi_i, sum b_i chi_i> = sum a_i conj(b_i) by orthonormality.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> small(-4, 4), exponent(0, 5);
    auto coefficient = [&] { return cyclotomic(small(random)) + cyclotomic(small(random)) * root_of_unity(exponent(random), 6); };
    for (const example& e : examples()) {
        ZEM_character_table table = make_table(e.text);
        for (int round = 0; round < 40; ++round) {
            std::vector<cyclotomic> a, b;
            for (int i = 0; i < table.rows(); ++i) {
                a.push_back(coefficient());
                b.push_back(coefficient());
            }
            ZEM_character va = combination(table, a), vb = combination(table, b);
            cyclotomic expected;
            for (std::size_t i = 0; i < a.size(); ++i) expected = expected + a[i] * complex_conjugate(b[i]);
            cyclotomic ab = table.character_scalar_product(va, vb);
            EXPECT_TRUE(ab == expected) << e.name << " " << printed(ab) << " != " << printed(expected);
            EXPECT_TRUE(table.character_scalar_product(vb, va) == complex_conjugate(ab));
            // The decomposition conjugates its argument.
            std::vector<cyclotomic> conj_a;
            for (const cyclotomic& x : a) conj_a.push_back(complex_conjugate(x));
            EXPECT_EQ(listed(table.decompose(va)), conj_a) << e.name;
            ZEM_character sum = table.character_add(va, vb);
            for (int c = 0; c < table.columns(); ++c)
                EXPECT_TRUE(sum.values()[c] == va.values()[c] + vb.values()[c]);
        }
    }
}

TEST(CharacterAlgebra, SquaresOfIrreducibleCharacters)
{
    for (const example& e : examples()) {
        ZEM_character_table table = make_table(e.text);
        for (int i = 1; i <= table.rows(); ++i) {
            std::size_t k = static_cast<std::size_t>(i - 1);
            ZEM_character chi = table.row(i);
            ZEM_character square = table.character_product(chi, chi);
            ZEM_character symmetric = table.character_symmetric_square(chi);
            ZEM_character anti = table.character_anti_symmetric_square(chi);
            EXPECT_EQ(listed(table.decompose(square)), as_numbers(e.square[k])) << e.name << " " << i;
            EXPECT_EQ(listed(table.decompose(symmetric)), as_numbers(e.symmetric[k])) << e.name << " " << i;
            EXPECT_EQ(listed(table.decompose(anti)), as_numbers(e.anti_symmetric[k])) << e.name << " " << i;
            EXPECT_EQ(values_vector(table.character_add(symmetric, anti)), values_vector(square));
            EXPECT_EQ(values_vector(table.character_power(chi, 2)), values_vector(square));
            // S - A is chi on the classes of the squares.
            for (int c = 1; c <= table.columns(); ++c)
                EXPECT_TRUE(symmetric.values()[c - 1] - anti.values()[c - 1]
                            == chi.values()[table.index_of_nth_power(c, 2) - 1]);
        }
    }
}

TEST(CharacterAlgebra, PhysicalRepresentationFollowsTheFrobeniusSchurIndicator)
{
    for (const example& e : examples()) {
        ZEM_character_table table = make_table(e.text);
        for (int i = 1; i <= table.rows(); ++i) {
            ZEM_character physical = table.character_physical_representation(table.row(i));
            EXPECT_EQ(listed(table.decompose(physical)), as_numbers(e.physical[static_cast<std::size_t>(i - 1)]))
                << e.name << " " << i;
        }
    }
    ZEM_character_table c3 = make_table(cyclic_3_text());
    EXPECT_EQ(printed(c3.character_physical_representation(c3.row(2))), "character(2 -1 -1)");
    ZEM_character_table q8 = make_table(quaternion_8_text());
    EXPECT_EQ(printed(q8.character_physical_representation(q8.row(5))), "character(4 -4 0 0 0)");
    // Twice the trivial character has indicator 2: no real form is chosen.
    EXPECT_EQ(printed(q8.character_physical_representation(character_of({2, 2, 2, 2, 2}))),
              "character(0 0 0 0 0)");
    EXPECT_EQ(printed(q8.character_symmetric_square(q8.row(1))), "character(1 1 1 1 1)");
    EXPECT_EQ(printed(q8.character_anti_symmetric_square(q8.row(1))), "character(0 0 0 0 0)");
}

TEST(CharacterAlgebra, PowersWithEveryKindOfExponent)
{
    ZEM_character_table c3 = make_table(cyclic_3_text());
    ZEM_character chi = c3.row(2);
    for (int n = -7; n <= 7; ++n) {
        int k = ((n % 3) + 3) % 3;
        EXPECT_EQ(values_vector(c3.character_power(chi, n)),
                  numbers({1, root_of_unity(k, 3), root_of_unity(2 * k % 3, 3)}))
            << n;
    }
    ZEM_character_table q8 = make_table(quaternion_8_text());
    ZEM_character mixed = character_of({ZEM_fraction(2, 3), -4, root_of_unity(1, 4), 1, cyclotomic(3) + root_of_unity(1, 5)});
    EXPECT_EQ(values_vector(q8.character_power(mixed, 1)), values_vector(mixed));
    EXPECT_EQ(values_vector(q8.character_power(mixed, 2)), values_vector(q8.character_product(mixed, mixed)));
    ZEM_character inverse = q8.character_power(mixed, -1);
    for (int c = 0; c < 5; ++c) EXPECT_TRUE(inverse.values()[c] * mixed.values()[c] == cyclotomic(1)) << c;
    // The zeroth power is the table's trivial character whatever the argument.
    EXPECT_EQ(printed(q8.character_power(mixed, 0)), "character(1 1 1 1 1)");
    EXPECT_EQ(printed(q8.character_power(character_of({7}), 0)), "character(1 1 1 1 1)");
    EXPECT_EQ(printed(q8.character_power(ZEM_character(cyclotomic_values()), 0)), "character(1 1 1 1 1)");
    EXPECT_EQ(failure_of([&] { q8.character_power(q8.row(5), -1); }), denominator_zero);
}

TEST(CharacterAlgebra, LengthMismatchesFailWithTheirMessages)
{
    ZEM_character_table q8 = make_table(quaternion_8_text());
    ZEM_character three = character_of({1, 2, 3}), four = character_of({1, 2, 3, 4}), five = q8.row(5);
    struct {
        std::function<void()> action;
        const char* message;
    } cases[] = {
        {[&] { q8.character_product(three, four); }, "[character_product] size(v1) != size(v2)"},
        {[&] { q8.character_add(three, four); }, "[character_add] size(v1) != size(v2)"},
        {[&] { q8.character_scalar_product(four, five); }, "[character_scalar_product] size(v1) != size(v2)"},
        {[&] { q8.character_scalar_product(four, four); }, "[character_scalar_product] size(character) != columns()"},
        {[&] { q8.decompose(four); }, "[decompose] size(character) != columns()"},
        {[&] { q8.character_power(four, 2); }, "[character_product] size(v1) != size(v2)"},
        {[&] { q8.character_power(four, -1); }, "[character_product] size(v1) != size(v2)"},
        {[&] { q8.character_power(four, INT_MIN); }, "[character_product] size(v1) != size(v2)"},
        {[&] { q8.character_symmetric_square(four); }, "[character_symmetric_square] size(character) != columns()"},
        {[&] { q8.character_anti_symmetric_square(three); },
         "[character_anti_symmetric_square] size(character) != columns()"},
        {[&] { q8.character_physical_representation(four); },
         "[character_physical_representation] size(character) != columns()"},
    };
    for (const auto& c : cases) EXPECT_EQ(failure_of(c.action), run_time(c.message));

    // Product and sum need only a common length; the table plays no part.
    EXPECT_EQ(printed(q8.character_product(three, three)), "character(1 4 9)");
    EXPECT_EQ(printed(q8.character_add(three, three)), "character(2 4 6)");
    ZEM_character none{cyclotomic_values()};
    EXPECT_EQ(printed(q8.character_product(none, none)), "character()");
    EXPECT_EQ(printed(q8.character_add(none, none)), "character()");
}

TEST(CharacterAlgebra, GroupOrderZeroOrTooLarge)
{
    table_text t = cyclic_3_text();
    t.sizes = {1, -1, 0};
    ZEM_character_table zero = make_table(t);
    EXPECT_EQ(failure_of([&] { zero.character_scalar_product(zero.row(1), zero.row(1)); }), denominator_zero);
    EXPECT_EQ(failure_of([&] { zero.decompose(zero.row(1)); }), denominator_zero);
    EXPECT_EQ(failure_of([&] { zero.character_physical_representation(zero.row(1)); }), denominator_zero);
    EXPECT_EQ(printed(zero.character_symmetric_square(zero.row(1))), "character(1 1 1)");
    t.rows.clear();
    EXPECT_TRUE(listed(make_table(t).decompose(character_of({1, 1, 1}))).empty());

    t = cyclic_3_text();
    t.sizes = {INT_MAX, 1, 1};
    ZEM_character_table huge = make_table(t);
    EXPECT_EQ(failure_of([&] { huge.decompose(huge.row(1)); }), run_time("[ZEM_int] overflow"));
}

}
