#include "module-tensor/tensor.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "numbers/cyclotomic.h"
#include "support/failure.h"
#include "support/index_tuple.h"
#include "support/printed.h"

namespace {

template <class T>
using given_entries = std::vector<std::pair<std::vector<int>, T>>;

template <class T>
pointer_to_objects<tp_tensor_entry<T>> entries_of(const given_entries<T>& given)
{
    pointer_to_objects<tp_tensor_entry<T>> entries(static_cast<int>(given.size()));
    for (int k = 0; k < entries.count(); ++k) {
        entries[k].indices = tuple_of(given[std::size_t(k)].first);
        entries[k].value = given[std::size_t(k)].second;
    }
    return entries;
}

ZEM_tensor<ZEM_int> int_tensor(int dim, int rank, const char* symmetry, const given_entries<ZEM_int>& given,
                               const ZEM_int* default_value = nullptr)
{
    return ZEM_tensor<ZEM_int>(dim, rank, ZEM_string(symmetry), entries_of(given), default_value);
}

std::vector<int> ints(const ZEM_tensor<ZEM_int>& t)
{
    std::vector<int> out;
    for (const ZEM_int& v : t.values()) out.push_back(v.value());
    return out;
}

using symbolic = ZEM_symbolic_number<ZEM_fraction>;

TEST(Tensors, EntriesSpreadOverTheSymmetryWithSignsAndLaterEntriesWin)
{
    struct {
        const char* symmetry;
        given_entries<ZEM_int> given;
        std::vector<int> components;
    } cases[] = {
        {"[0 1]", {{{0, 1}, 5}}, {0, 5, 0, -5, 0, 0, 0, 0, 0}}, {"(0 1)", {{{0, 1}, 5}}, {0, 5, 0, 5, 0, 0, 0, 0, 0}},
        {"[0 1]", {{{0, 1}, 5}, {{1, 0}, 7}}, {0, -7, 0, 7, 0, 0, 0, 0, 0}},
        // The entry's own component comes first, with plus, even where the symmetry forces zero.
        {"[0 1]", {{{1, 1}, 5}}, {0, 0, 0, 0, 5, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(ints(int_tensor(3, 2, c.symmetry, c.given)), c.components) << c.symmetry;

    const ZEM_int seven(7);
    EXPECT_EQ(ints(int_tensor(2, 2, "[0 1]", {{{0, 1}, 5}}, &seven)), (std::vector<int>{7, 5, -5, 7}));
}

TEST(Tensors, FailuresPassOnTheirMessage)
{
    pointer_to_objects<ZEM_fraction> values(4);
    const perm_symmetry_type anti{ZEM_string("[0 1]")};
    const ZEM_tensor<ZEM_fraction> t(2, 2, values, anti);
    const ZEM_tensor<ZEM_fraction> empty;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { int_tensor(3, 2, "(0 1)", {{{0, 0}, 1}, {{0, 3}, 2}}); }, "tensor index out of bounds"},
        {[] { int_tensor(3, 2, "(0 1)", {{{1}, 2}}); }, "[tensor_indices_to_index] fewer indices than the rank"},
        {[] { int_tensor(2, 2, "[0 1]", {{{0, 1}, ZEM_int(-2147483647 - 1)}}); }, "[ZEM_int] overflow"},
        {[&] { ZEM_tensor<ZEM_fraction>(2, 2, pointer_to_objects<ZEM_fraction>(3), anti); },
         "[ZEM_tensor_impl] the number of values differs from dim^rank"},
        {[&] { ZEM_tensor<ZEM_fraction>(2, 2, values, perm_symmetry_type{ZEM_string("[0 1")}); },
         "oops, while attempting to read `[ ... ]', ']' expected"},
        {[&] { t.get_component(tuple_of({-1, 0})); }, "tensor index out of bounds"},
        {[&] { empty.get_component(tuple_of({0})); }, "[ZEM_tensor] empty tensor handle"},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message));
}

TEST(Tensors, PrintedFormsGroupComponentsByValueAndCopiesOutliveTheOriginal)
{
    pointer_to_objects<ZEM_fraction> values(4);
    values[0] = values[3] = ZEM_fraction(1, 2);
    auto* t = new ZEM_tensor<ZEM_fraction>(2, 2, values, perm_symmetry_type{ZEM_string("( 0   1 )")});
    values[0] = ZEM_fraction(9);  // the values are taken as they stand, as copies
    std::unique_ptr<ZEM_object> copy(t->copy_object());
    delete t;
    EXPECT_EQ(printed(*copy), "tensor<fraction>(\n  dim = 2 rank = 2\n  permutation symmetry: \"(0 1)\"\n"
                              "  xx = yy = 1/2\n  xy = yx = 0\n)");
    EXPECT_EQ(printed(ZEM_tensor<ZEM_fraction>()), "tensor<fraction>(\n)");
    // Reals cannot be grouped: the print stops after its header lines.
    ZEM_tensor<ZEM_real> reals(2, 1, ZEM_string("0"), pointer_to_objects<tp_tensor_entry<ZEM_real>>(), nullptr);
    std::ostringstream out;
    EXPECT_EQ(failure_of([&] { reals.print(out); }), run_time("[hash(real)] cannot be implemented"));
    EXPECT_EQ(out.str(), "tensor<real>(\n  dim = 2 rank = 1\n  permutation symmetry: \"0\"\n");
}

TEST(SymbolicTensors, ComponentsTakeTheDefaultLetters)
{
    pointer_to_objects<ZEM_fraction> one(1);
    one[0] = ZEM_fraction(1);
    const symbolic a(one, ZEM_fraction(0), "abcd");
    const perm_symmetry_type symmetric{ZEM_string("(0 1)")};
    const auto given = entries_of<symbolic>({{{0, 0}, a}, {{1, 1}, a}});
    EXPECT_STREQ(ZEM_tensor<symbolic>(2, 2, symmetric, given, nullptr).values()[1].names(), "xyzuvw");
}

}
