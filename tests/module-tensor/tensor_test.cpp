#include "module-tensor/tensor.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/index_tuple.h"
#include "support/printed.h"

namespace {

template <class T>
pointer_to_objects<tp_tensor_entry<T>> entries_of(const std::vector<std::pair<std::vector<int>, T>>& given)
{
    pointer_to_objects<tp_tensor_entry<T>> entries(static_cast<int>(given.size()));
    for (int k = 0; k < entries.count(); ++k) {
        entries[k].indices = tuple_of(given[static_cast<std::size_t>(k)].first);
        entries[k].value = given[static_cast<std::size_t>(k)].second;
    }
    return entries;
}

template <class T>
std::vector<T> components(const ZEM_tensor<T>& t)
{
    return std::vector<T>(t.values().begin(), t.values().end());
}

std::vector<int> ints(const ZEM_tensor<ZEM_int>& t)
{
    std::vector<int> out;
    for (const ZEM_int& v : t.values()) out.push_back(v.value());
    return out;
}

ZEM_tensor<ZEM_int> int_tensor(int dim, int rank, const char* symmetry,
                               const std::vector<std::pair<std::vector<int>, ZEM_int>>& given,
                               const ZEM_int* default_value = nullptr)
{
    return ZEM_tensor<ZEM_int>(dim, rank, ZEM_string(symmetry), entries_of(given), default_value);
}

TEST(Tensors, EntriesSpreadOverTheSymmetryWithSigns)
{
    EXPECT_EQ(ints(int_tensor(3, 2, "[0 1]", {{{0, 1}, 5}})), (std::vector<int>{0, 5, 0, -5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ints(int_tensor(3, 2, "(0 1)", {{{0, 1}, 5}})), (std::vector<int>{0, 5, 0, 5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ints(int_tensor(3, 2, "0 1", {{{0, 1}, 5}})), (std::vector<int>{0, 5, 0, 0, 0, 0, 0, 0, 0}));
    // A later entry wins, over every component it reaches.
    EXPECT_EQ(ints(int_tensor(3, 2, "(0 1)", {{{0, 1}, 5}, {{1, 0}, 7}})),
              (std::vector<int>{0, 7, 0, 7, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ints(int_tensor(3, 2, "[0 1]", {{{0, 1}, 5}, {{1, 0}, 7}})),
              (std::vector<int>{0, -7, 0, 7, 0, 0, 0, 0, 0}));
    // The entry's own component is written first, with plus, even where the symmetry forces zero.
    EXPECT_EQ(ints(int_tensor(3, 2, "[0 1]", {{{1, 1}, 5}})), (std::vector<int>{0, 0, 0, 0, 5, 0, 0, 0, 0}));

    // [0 1 2]: the sign of each permutation of (0, 1, 2), counted by its inversions.
    std::vector<int> values = ints(int_tensor(3, 3, "[0 1 2]", {{{0, 1, 2}, 1}}));
    for (int f = 0; f < 27; ++f) {
        int i = f / 9, j = f / 3 % 3, k = f % 3;
        bool permutation = i != j && j != k && i != k;
        int inversions = (i > j) + (i > k) + (j > k);
        EXPECT_EQ(values[static_cast<std::size_t>(f)], permutation ? (inversions % 2 ? -1 : 1) : 0) << f;
    }
}

TEST(Tensors, DefaultsFillEveryComponentThatNoEntryReaches)
{
    ZEM_int seven(7);
    EXPECT_EQ(ints(int_tensor(2, 2, "[0 1]", {{{0, 1}, 5}}, &seven)), (std::vector<int>{7, 5, -5, 7}));
    EXPECT_EQ(ints(int_tensor(2, 2, "(0 1)", {})), (std::vector<int>{0, 0, 0, 0}));

    pointer_to_objects<tp_tensor_entry<ZEM_real>> none;
    ZEM_tensor<ZEM_real> reals(2, 1, ZEM_string("0"), none, nullptr);
    EXPECT_EQ(reals.values()[1].value(), 0.0);
    auto real_entries = entries_of<ZEM_real>({{{0, 1}, ZEM_real(2.5)}});
    ZEM_tensor<ZEM_real> anti(2, 2, ZEM_string("[0 1]"), real_entries, nullptr);
    EXPECT_EQ(anti.values()[2].value(), -2.5);

    ZEM_tensor<ZEM_fraction> fractions(2, 1, ZEM_string("0"), pointer_to_objects<tp_tensor_entry<ZEM_fraction>>(),
                                       nullptr);
    EXPECT_EQ(fractions.values()[0].numerator(), 0);
    EXPECT_EQ(fractions.values()[0].denominator(), 1);
}

TEST(Tensors, EntriesAtBasisComponentsSatisfyTheBasisEverywhere)
{
    std::mt19937 rng(7);
    const char* symmetries[] = {"(0 1) 2",         "[0 1 2]", "[(0 1) (2 3)]", "([0 1] [2 3])", "(0 [1 2])",
                                "((0 1) [2 3])",   "1 [2 0]", "[(0 3) (1 2)]", "(0 1 2 3)",     "[[0 1] [2 3]]"};
    for (const char* text : symmetries) {
        perm_symmetry_type symmetry{ZEM_string(text)};
        if (failure_of([&] { tensor_basis(2, 4, symmetry); }) != "(no failure)") continue;
        for (int dim : {2, 3}) {
            int rank = 4;
            tensor_basis basis(dim, rank, symmetry);
            pointer_to_objects<int> position, representative, list;
            basis.mk_basis_tabs(position, representative, list);
            std::vector<std::pair<std::vector<int>, ZEM_fraction>> given;
            for (int component : list) {
                pointer_to_objects<int> t;
                tensor_index_to_indices(dim, rank, component, t);
                given.push_back({std::vector<int>(t.begin(), t.end()),
                                 ZEM_fraction(static_cast<int>(rng() % 201) - 100, 1 + static_cast<int>(rng() % 9))});
            }
            ZEM_fraction marker(1, 1000);
            ZEM_tensor<ZEM_fraction> t(dim, rank, ZEM_string(text), entries_of(given), &marker);
            for (int k = 0; k < basis.entry_count(); ++k) {
                const ZEM_fraction& value = t.values()[k];
                const ZEM_fraction& of_representative = t.values()[representative[k]];
                switch (basis.get_at(k).status) {
                case 1:
                case 2:
                    EXPECT_EQ(value, of_representative) << text << " " << k;
                    break;
                case 3:
                    EXPECT_EQ(value, -of_representative) << text << " " << k;
                    break;
                default:
                    EXPECT_EQ(value, marker) << text << " " << k;  // no entry reaches a zero class
                }
            }
        }
    }
}

TEST(Tensors, ConstructionFailuresLeaveNothing)
{
    struct {
        int dim, rank;
        const char* symmetry;
        std::vector<int> indices;
        std::string message;
    } cases[] = {
        {3, 2, "(0 1)", {0, 3}, "tensor index out of bounds"},
        {3, 2, "(0 1)", {-1, 0}, "tensor index out of bounds"},
        {3, 2, "(0 1)", {1}, "[tensor_indices_to_index] fewer indices than the rank"},
        {3, 2, "0 0", {0, 0}, "each index should occur exactly once"},
        {3, 2, "(0 x)", {0, 0}, "illegal character in permutation symmetry string"},
        {3, 3, "(0 (1 2))", {0, 0, 0}, "[permswap] |swap1| not eq. to |swap2|"},
        {3, 1, "0 1", {0}, "[tensor_basis] more indices in the symmetry than the rank"},
        {3, -2, "0", {}, "[tensor_basis] negative rank"},
        {-3, 1, "0", {0}, "[tensor_basis] negative dimension"},
        {1000, 4, "0 1 2 3", {0, 0, 0, 0}, "[tensor_basis] too many components for 32 bits"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failure_of([&] { int_tensor(c.dim, c.rank, c.symmetry, {{{0, 0}, 1}, {c.indices, 2}}); }),
                  run_time(c.message))
            << c.symmetry;
    EXPECT_EQ(failure_of([] { int_tensor(2, 2, "[0 1]", {{{0, 1}, ZEM_int(-2147483647 - 1)}}); }),
              run_time("[ZEM_int] overflow"));
}

TEST(Tensors, AllValuesAreTakenAsTheyStand)
{
    pointer_to_objects<ZEM_fraction> values(4);
    for (int k = 0; k < 4; ++k) values[k] = ZEM_fraction(k + 1, 2);
    perm_symmetry_type anti{ZEM_string("[0 1]")};
    ZEM_tensor<ZEM_fraction> t(2, 2, values, anti);
    values[0] = ZEM_fraction(9);
    EXPECT_EQ(components(t), (std::vector<ZEM_fraction>{{1, 2}, {1}, {3, 2}, {2}}));
    EXPECT_EQ(t.get_component(tuple_of({1, 0})), ZEM_fraction(3, 2));
    EXPECT_EQ(t.basis().n_basis, 1);

    pointer_to_objects<ZEM_fraction> short_values(3);
    EXPECT_EQ(failure_of([&] { ZEM_tensor<ZEM_fraction>(2, 2, short_values, anti); }),
              run_time("[ZEM_tensor_impl] the number of values differs from dim^rank"));
    perm_symmetry_type faulty{ZEM_string("[0 1")};
    EXPECT_EQ(failure_of([&] { ZEM_tensor<ZEM_fraction>(2, 2, values, faulty); }),
              run_time("oops, while attempting to read `[ ... ]', ']' expected"));
}

TEST(Tensors, ComponentsAreReadByTheirIndexTuple)
{
    pointer_to_objects<ZEM_fraction> values(9);
    for (int k = 0; k < 9; ++k) values[k] = ZEM_fraction(k, 7);
    ZEM_tensor<ZEM_fraction> t(3, 2, values, perm_symmetry_type{ZEM_string("0 1")});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(t.get_component(tuple_of({i, j})), ZEM_fraction(3 * i + j, 7));
    EXPECT_EQ(failure_of([&] { t.get_component(tuple_of({1, 3})); }), run_time("tensor index out of bounds"));
    EXPECT_EQ(failure_of([&] { t.get_component(tuple_of({-1, 0})); }), run_time("tensor index out of bounds"));
    EXPECT_EQ(failure_of([&] { t.get_component(tuple_of({1})); }),
              run_time("[tensor_indices_to_index] fewer indices than the rank"));
}

TEST(Tensors, HandlesShareOneBodyAndTypesDependOnTheClassAlone)
{
    auto* source = new ZEM_tensor<ZEM_int>(int_tensor(3, 2, "[0 1]", {{{0, 1}, 5}}));
    std::string form = printed(*source);
    ZEM_tensor<ZEM_int> copy(*source);
    std::unique_ptr<ZEM_object> heap_copy(source->copy_object());
    EXPECT_EQ(&copy.impl(), &source->impl());
    EXPECT_EQ(&static_cast<ZEM_tensor<ZEM_int>&>(*heap_copy).impl(), &source->impl());
    delete source;
    EXPECT_EQ(printed(copy), form);
    EXPECT_EQ(printed(*heap_copy), form);

    ZEM_tensor<ZEM_int> other = int_tensor(2, 3, "(0 1 2)", {});
    EXPECT_EQ(other.type(), copy.type());
    EXPECT_EQ(copy.type().text(), "tensor<int>");
    other = copy;
    ZEM_tensor<ZEM_int>& same = other;
    other = same;
    EXPECT_EQ(&other.impl(), &copy.impl());
    EXPECT_EQ(other.rank(), 2);

    ZEM_tensor<ZEM_real> reals;
    ZEM_tensor<ZEM_fraction> fractions;
    EXPECT_EQ(reals.type().text(), "tensor<real>");
    EXPECT_EQ(fractions.type().text(), "tensor<fraction>");
}

TEST(Tensors, EmptyHandlesCopyAndTypeButHaveNoBody)
{
    ZEM_tensor<ZEM_fraction> empty;
    EXPECT_FALSE(empty.has_body());
    std::unique_ptr<ZEM_object> copy(empty.copy_object());
    EXPECT_FALSE(static_cast<ZEM_tensor<ZEM_fraction>&>(*copy).has_body());
    EXPECT_EQ(printed(empty), "tensor<fraction>(\n)");
    EXPECT_EQ(failure_of([&] { empty.dim(); }), run_time("[ZEM_tensor] empty tensor handle"));
    EXPECT_EQ(failure_of([&] { empty.get_component(tuple_of({0})); }), run_time("[ZEM_tensor] empty tensor handle"));
    pointer_to_objects<ZEM_fraction> values(2);
    empty = ZEM_tensor<ZEM_fraction>(2, 1, values, perm_symmetry_type{ZEM_string("0")});
    EXPECT_EQ(empty.dim(), 2);
}

TEST(Tensors, PrintedFormGroupsComponentsByValue)
{
    pointer_to_objects<ZEM_fraction> values(4);
    values[0] = values[3] = ZEM_fraction(1, 2);
    ZEM_tensor<ZEM_fraction> t(2, 2, values, perm_symmetry_type{ZEM_string("( 0   1 )")});
    EXPECT_EQ(printed(t), "tensor<fraction>(\n"
                          "  dim = 2 rank = 2\n"
                          "  permutation symmetry: \"(0 1)\"\n"
                          "  xx = yy = 1/2\n"
                          "  xy = yx = 0\n"
                          ")");

    EXPECT_EQ(printed(int_tensor(2, 2, "[0 1]", {{{0, 1}, 1}})), "tensor<int>(\n"
                                                                 "  dim = 2 rank = 2\n"
                                                                 "  permutation symmetry: \"[0 1]\"\n"
                                                                 "  xx = yy = 0\n"
                                                                 "  xy = 1\n"
                                                                 "  yx = -1\n"
                                                                 ")");
    EXPECT_EQ(printed(int_tensor(3, 1, "0", {})), "tensor<int>(\n"
                                                  "  dim = 3 rank = 1\n"
                                                  "  permutation symmetry: \"0\"\n"
                                                  "  x = y = z = 0\n"
                                                  ")");
    EXPECT_EQ(printed(int_tensor(7, 1, "0", {{{0}, 1}, {{1}, 2}, {{2}, 3}, {{3}, 4}, {{4}, 5}, {{5}, 6}, {{6}, 7}})),
              "tensor<int>(\n"
              "  dim = 7 rank = 1\n"
              "  permutation symmetry: \"0\"\n"
              "  x0 = 1\n  x1 = 2\n  x2 = 3\n  x3 = 4\n  x4 = 5\n  x5 = 6\n  x6 = 7\n"
              ")");
    EXPECT_EQ(printed(int_tensor(0, 2, "(0 1)", {})), "tensor<int>(\n"
                                                      "  dim = 0 rank = 2\n"
                                                      "  permutation symmetry: \"(0 1)\"\n"
                                                      ")");

    // Reals cannot be grouped: the print stops after its header lines.
    pointer_to_objects<tp_tensor_entry<ZEM_real>> none;
    ZEM_tensor<ZEM_real> reals(2, 1, ZEM_string("0"), none, nullptr);
    std::ostringstream out;
    EXPECT_EQ(failure_of([&] { reals.print(out); }), run_time("[hash(real)] cannot be implemented"));
    EXPECT_EQ(out.str(), "tensor<real>(\n  dim = 2 rank = 1\n  permutation symmetry: \"0\"\n");
}

TEST(Tensors, NamesDependOnDimensionAndRankAlone)
{
    ZEM_tensor<ZEM_int> ints_t = int_tensor(3, 2, "[0 1]", {});
    pointer_to_objects<ZEM_fraction> values(9);
    ZEM_tensor<ZEM_fraction> fractions(3, 2, values, perm_symmetry_type{ZEM_string("0 1")});
    for (int k = 0; k < 9; ++k) {
        std::unique_ptr<char[]> a(ints_t.impl().give_name(k));
        std::unique_ptr<char[]> b(fractions.impl().give_name(k));
        std::unique_ptr<char[]> expected(tensor_component_name(3, 2, k));
        EXPECT_STREQ(a.get(), expected.get());
        EXPECT_STREQ(b.get(), expected.get());
    }
}

}

namespace {

ZEM_cyclotomic_number fourth_root_of_unity()
{
    ZEM_cyclotomic_number i(4, 0);
    i.coefficients[1] = ZEM_fraction(1);
    i.reduce();
    return i;
}

TEST(Tensors, CyclotomicComponentsNegateOnMinusImages)
{
    ZEM_cyclotomic_number i = fourth_root_of_unity();
    auto given = entries_of<ZEM_cyclotomic_number>({{{0, 1}, i}});
    ZEM_tensor<ZEM_cyclotomic_number> t(2, 2, ZEM_string("[0 1]"), given, nullptr);
    EXPECT_EQ(t.values()[1], i);
    EXPECT_EQ(t.values()[2], -i);
    EXPECT_EQ(t.values()[0], ZEM_cyclotomic_number());
    EXPECT_EQ(t.type().text(), "tensor<cyclotomic>");
    EXPECT_EQ(printed(t), "tensor<cyclotomic>(\n"
                          "  dim = 2 rank = 2\n"
                          "  permutation symmetry: \"[0 1]\"\n"
                          "  xx = yy = 0\n"
                          "  xy = 1 * exp(2*pi*i*1/4) + 0\n"
                          "  yx = -1 * exp(2*pi*i*1/4) + 0\n"
                          ")");
    ZEM_tensor<ZEM_cyclotomic_number> same(2, 2, t.values(), t.symmetry());
    EXPECT_EQ(printed(same), printed(t));
    EXPECT_EQ(same.get_component(tuple_of({1, 0})), -i);
}

using symbolic = ZEM_symbolic_number<ZEM_fraction>;

symbolic parameters(const std::vector<int>& coefficients, const char* letters = "abcd")
{
    pointer_to_objects<ZEM_fraction> c(static_cast<int>(coefficients.size()));
    for (int k = 0; k < c.count(); ++k) c[k] = ZEM_fraction(coefficients[static_cast<std::size_t>(k)]);
    return symbolic(c, ZEM_fraction(0), letters);
}

std::vector<int> coefficients_of(const symbolic& x)
{
    std::vector<int> out;
    for (const ZEM_fraction& c : x.coefficients()) out.push_back(c.numerator());
    return out;
}

TEST(SymbolicTensors, EntriesShareTheirBodiesAndMinusImagesGetNewOnes)
{
    symbolic a = parameters({1, 2});
    symbolic zero("abcd");
    perm_symmetry_type anti{ZEM_string("[0 1]")};
    auto given = entries_of<symbolic>({{{0, 1}, a}});
    ZEM_tensor<symbolic> t(2, 2, anti, given, &zero);
    const auto& v = t.values();
    EXPECT_EQ(&v[1].coefficients(), &a.coefficients());
    EXPECT_EQ(coefficients_of(v[2]), (std::vector<int>{-1, -2}));
    EXPECT_STREQ(v[2].names(), "abcd");
    EXPECT_EQ(&v[0].coefficients(), &zero.coefficients());
    EXPECT_EQ(&v[3].coefficients(), &zero.coefficients());

    ZEM_tensor<symbolic> plain(2, 2, anti, given, nullptr);
    EXPECT_EQ(plain.values()[0].coefficients().count(), 0);
    EXPECT_STREQ(plain.values()[0].names(), "xyzuvw");
    EXPECT_EQ(plain.get_component(tuple_of({1, 0})), -a);
}

TEST(SymbolicTensors, PseudoTensorsDifferFromTensorsInTheirTypeAlone)
{
    perm_symmetry_type sym{ZEM_string("(0 1)")};
    symbolic zero("abcd");
    auto given = entries_of<symbolic>({{{0, 0}, parameters({1})}, {{1, 1}, parameters({1})}});
    ZEM_tensor<symbolic> tensor(2, 2, sym, given, &zero);
    ZEM_pseudo_tensor<symbolic> pseudo(2, 2, sym, given, &zero);
    std::string form = printed(tensor);
    EXPECT_EQ(form, "tensor<symbolic_number<fraction>>(\n"
                    "  dim = 2 rank = 2\n"
                    "  permutation symmetry: \"(0 1)\"\n"
                    "  xx = yy = a\n"
                    "  xy = yx = 0\n"
                    ")");
    EXPECT_EQ(printed(pseudo), "pseudo_" + form);

    std::unique_ptr<ZEM_object> copy(pseudo.copy_object());
    EXPECT_EQ(copy->type().text(), "pseudo_tensor<symbolic_number<fraction>>");
    EXPECT_NE(dynamic_cast<ZEM_pseudo_tensor<symbolic>*>(copy.get()), nullptr);
    EXPECT_EQ(dynamic_cast<ZEM_tensor<symbolic>*>(copy.get()), nullptr);

    ZEM_pseudo_tensor<symbolic> from_values(2, 2, tensor.values(), sym);
    EXPECT_EQ(printed(from_values), printed(pseudo));
    ZEM_pseudo_tensor<symbolic> empty;
    EXPECT_EQ(printed(empty), "pseudo_tensor<symbolic_number<fraction>>(\n)");
    empty = pseudo;
    EXPECT_EQ(&empty.impl(), &pseudo.impl());

    using cyclotomic_symbolic = ZEM_symbolic_number<ZEM_cyclotomic_number>;
    EXPECT_EQ(ZEM_tensor<cyclotomic_symbolic>().type().text(), "tensor<symbolic_number<cyclotomic>>");
    EXPECT_EQ(ZEM_pseudo_tensor<cyclotomic_symbolic>().type().text(),
              "pseudo_tensor<symbolic_number<cyclotomic>>");
    pointer_to_objects<ZEM_cyclotomic_number> c(1);
    c[0] = fourth_root_of_unity();
    cyclotomic_symbolic x(c, ZEM_cyclotomic_number(), "abcd");
    auto cyclotomic_given = entries_of<cyclotomic_symbolic>({{{1, 0}, x}});
    ZEM_pseudo_tensor<cyclotomic_symbolic> p(2, 2, perm_symmetry_type{ZEM_string("[0 1]")}, cyclotomic_given, nullptr);
    EXPECT_EQ(p.get_component(tuple_of({0, 1})).coefficients()[0], -fourth_root_of_unity());
}

}
