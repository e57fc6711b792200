#include "module-matrix+tensor/matrix_times_tensor.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/printed.h"
#include "support/tensor_action.h"

namespace {

ZEM_fraction small_fraction(std::mt19937& rng) { return ZEM_fraction(int(rng() % 9) - 4, 1 + int(rng() % 3)); }

ZEM_cyclotomic_number small_cyclotomic(std::mt19937& rng)
{
    return small_fraction(rng) * cyclotomic_testing::root_of_unity(int(rng() % 4), 4);
}

// g times random tensors of every symmetry, whose components need not satisfy it.
template <class Handle, class S, class T>
void check_against_the_definition(S (*draw_entry)(std::mt19937&), T (*draw_component)(std::mt19937&))
{
    const bool pseudo = !std::is_same_v<Handle, ZEM_tensor<T>>;
    auto header = [](const Handle& t) { return printed(t).substr(0, printed(t).find("\n  x")); };
    std::mt19937 rng(5);
    for (const char* text : {"0", "(0 1)", "[0 1]", "(0 1) 2", "[0 1 2]"})
        for (int dim : {2, 3}) {
            const perm_symmetry_type symmetry{ZEM_string(text)};
            const int rank = symmetry.n_indices;
            pointer_to_objects<T> values(tensor_component_count(dim, rank));
            for (T& x : values) x = draw_component(rng);
            pointer_to_objects<S> entries(dim * dim);
            for (S& x : entries) x = draw_entry(rng);
            const ZEM_matrix<S> g(dim, dim, entries);
            std::vector<T> expected = act_on_components(g, std::vector<T>(values.begin(), values.end()), dim, rank);
            if (pseudo)
                for (T& x : expected) x = determinant_of(g) * x;
            const Handle t(dim, rank, values, symmetry);
            const Handle product = g * t;
            EXPECT_TRUE(std::vector<T>(product.values().begin(), product.values().end()) == expected) << text;
            // The term-by-term recursions give the same components; the determinant is the operator's.
            pointer_to_objects<int> target(rank), source(rank);
            pointer_to_objects<T> by_terms(values.count());
            f_op_mul_1(rank, dim, target, source, 0, g, t, by_terms);
            if (pseudo)
                for (T& x : by_terms) x = determinant_of(g) * x;
            EXPECT_TRUE(std::vector<T>(by_terms.begin(), by_terms.end()) == expected) << text;
            EXPECT_EQ(header(product), header(t));
            // A sum of symbolic numbers takes the names of its last term.
            if constexpr (!std::is_same_v<T, S>) {
                for (const T& x : product.values()) EXPECT_STREQ(x.names(), t.values()[t.values().count() - 1].names());
            }
        }
}

using symbolic = ZEM_symbolic_number<ZEM_fraction>;

symbolic small_symbolic(std::mt19937& rng)
{
    pointer_to_objects<ZEM_fraction> c(1 + int(rng() % 3));
    for (ZEM_fraction& x : c) x = small_fraction(rng);
    return symbolic(c, small_fraction(rng), rng() % 2 ? "abcd" : "pq");
}

// Most coefficients and constants zero, as in a solver's tensor, counts differing.
ZEM_symbolic_number<ZEM_cyclotomic_number> sparse_symbolic(std::mt19937& rng)
{
    pointer_to_objects<ZEM_cyclotomic_number> c(int(rng() % 7));
    for (ZEM_cyclotomic_number& x : c)
        if (rng() % 4 == 0) x = small_cyclotomic(rng);
    const ZEM_cyclotomic_number constant = rng() % 2 ? small_cyclotomic(rng) : ZEM_cyclotomic_number();
    return ZEM_symbolic_number<ZEM_cyclotomic_number>(c, constant, "abcdefg");
}

TEST(MatrixTimesTensor, AgreesWithTheDefinitionAndPseudoTensorsTakeTheDeterminant)
{
    check_against_the_definition<ZEM_tensor<ZEM_fraction>>(small_fraction, small_fraction);
    check_against_the_definition<ZEM_tensor<ZEM_cyclotomic_number>>(small_cyclotomic, small_cyclotomic);
    check_against_the_definition<ZEM_tensor<symbolic>>(small_fraction, small_symbolic);
    check_against_the_definition<ZEM_pseudo_tensor<symbolic>>(small_fraction, small_symbolic);
    using sparse = ZEM_symbolic_number<ZEM_cyclotomic_number>;
    check_against_the_definition<ZEM_tensor<sparse>>(small_cyclotomic, sparse_symbolic);
    check_against_the_definition<ZEM_pseudo_tensor<sparse>>(small_cyclotomic, sparse_symbolic);
}

TEST(MatrixTimesTensor, RefusesAMatrixOfAnotherShapeAndGivesDimensionZeroNoComponents)
{
    const perm_symmetry_type pair{ZEM_string("(0 1)")};
    const ZEM_matrix<ZEM_fraction> empty(0, 0, pointer_to_objects<ZEM_fraction>());
    EXPECT_EQ((empty * ZEM_tensor<symbolic>(0, 2, pointer_to_objects<symbolic>(), pair)).values().count(), 0);
    EXPECT_EQ((empty * ZEM_pseudo_tensor<symbolic>(0, 2, pointer_to_objects<symbolic>(), pair)).values().count(), 0);

    const std::string message = run_time("[operator * (matrix, tensor)] incorrect number of rows and/or columns");
    const ZEM_tensor<symbolic> t(2, 2, pointer_to_objects<symbolic>(4), perm_symmetry_type{ZEM_string("(0 1)")});
    const ZEM_pseudo_tensor<symbolic> p(2, 2, pointer_to_objects<symbolic>(4), perm_symmetry_type{ZEM_string("0 1")});
    for (int rows : {2, 3}) {
        const ZEM_matrix<ZEM_fraction> g(3, rows, ZEM_fraction(1));
        EXPECT_EQ(failure_of([&] { g * t; }), message);
        EXPECT_EQ(failure_of([&] { g * p; }), message);
    }
}

}
