#include "module-matrix+tensor/matrix_times_tensor.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/printed.h"
#include "support/tensor_action.h"

namespace {

template <class S>
ZEM_matrix<S> square(const std::vector<S>& entries)
{
    const int n = entries.size() == 4 ? 2 : 3;
    pointer_to_objects<S> e(n * n);
    for (int k = 0; k < n * n; ++k) e[k] = entries[std::size_t(k)];
    return ZEM_matrix<S>(n, n, e);
}

template <class T>
std::vector<T> components(const pointer_to_objects<T>& values)
{
    return std::vector<T>(values.begin(), values.end());
}

template <class S, class Draw>
void check_against_the_definition(Draw draw)
{
    std::mt19937 rng(5);
    for (const char* text : {"0", "0 1", "(0 1)", "[0 1]", "0 1 2", "(0 1) 2", "[0 1 2]"}) {
        const perm_symmetry_type symmetry{ZEM_string(text)};
        const int rank = symmetry.n_indices;
        for (int dim : {2, 3}) {
            int n = 1;
            for (int l = 0; l < rank; ++l) n *= dim;
            // The components need not satisfy the symmetry: nothing reads it.
            pointer_to_objects<S> values(n);
            for (S& x : values) x = draw(rng);
            std::vector<S> g_entries(std::size_t(dim * dim));
            for (S& x : g_entries) x = draw(rng);
            const ZEM_matrix<S> g = square(g_entries);
            const ZEM_tensor<S> t(dim, rank, values, symmetry);
            const ZEM_tensor<S> product = g * t;
            EXPECT_TRUE(components(product.values()) == act_on_components(g, components(values), dim, rank)) << text;
            EXPECT_EQ(printed(product).substr(0, printed(product).find("\n  x")),
                      printed(t).substr(0, printed(t).find("\n  x")));
        }
    }
}

TEST(MatrixTimesTensor, AgreesWithTheDefinition)
{
    check_against_the_definition<ZEM_fraction>(
        [](std::mt19937& rng) { return ZEM_fraction(int(rng() % 9) - 4, 1 + int(rng() % 3)); });
    check_against_the_definition<ZEM_cyclotomic_number>([](std::mt19937& rng) {
        return ZEM_fraction(int(rng() % 5) - 2) * cyclotomic_testing::root_of_unity(int(rng() % 4), 4);
    });
}

using symbolic = ZEM_symbolic_number<ZEM_fraction>;

symbolic parameters(const std::vector<int>& coefficients, const char* letters)
{
    pointer_to_objects<ZEM_fraction> c(static_cast<int>(coefficients.size()));
    for (int k = 0; k < c.count(); ++k) c[k] = coefficients[std::size_t(k)];
    return symbolic(c, ZEM_fraction(0), letters);
}

TEST(MatrixTimesTensor, PseudoTensorsTakeTheDeterminant)
{
    const ZEM_matrix<ZEM_fraction> minus = ZEM_matrix<ZEM_fraction>(3, 3, ZEM_fraction(-1));
    for (int rank : {1, 2}) {
        const perm_symmetry_type symmetry{ZEM_string(rank == 1 ? "0" : "0 1")};
        pointer_to_objects<symbolic> values(rank == 1 ? 3 : 9);
        for (int k = 0; k < values.count(); ++k) values[k] = parameters({k + 1, -k}, "abcd");
        const ZEM_tensor<symbolic> t(3, rank, values, symmetry);
        const ZEM_pseudo_tensor<symbolic> p(3, rank, values, symmetry);
        const ZEM_tensor<symbolic> gt = minus * t;
        const ZEM_pseudo_tensor<symbolic> gp = minus * p;
        for (int k = 0; k < values.count(); ++k) {
            EXPECT_EQ(gt.values()[k], rank == 1 ? -values[k] : values[k]);
            EXPECT_EQ(gp.values()[k], rank == 1 ? values[k] : -values[k]);
        }
        EXPECT_EQ(gp.type().text(), "pseudo_tensor<symbolic_number<fraction>>");
    }
}

TEST(MatrixTimesTensor, SymbolicResultsTakeTheLongestCountAndTheLastNames)
{
    const perm_symmetry_type symmetry{ZEM_string("0 1")};
    pointer_to_objects<symbolic> values(4);
    values[0] = parameters({1}, "abcd");
    values[1] = parameters({0, 0, 2}, "abcd");
    values[2] = parameters({3, 1}, "pq");
    values[3] = parameters({1, 1}, "uv");
    const ZEM_tensor<symbolic> t(2, 2, values, symmetry);
    const ZEM_pseudo_tensor<symbolic> p(2, 2, values, symmetry);
    const ZEM_matrix<ZEM_fraction> zero = ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(0));
    const ZEM_matrix<ZEM_fraction> singular = square<ZEM_fraction>({1, 2, 2, 4});
    const ZEM_tensor<symbolic> zeros = zero * t;
    const ZEM_pseudo_tensor<symbolic> singular_p = singular * p;
    const ZEM_tensor<symbolic> singular_t = singular * t;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(zeros.values()[k], parameters({0, 0, 0}, "x"));
        EXPECT_EQ(singular_p.values()[k], parameters({0, 0, 0}, "x"));
        EXPECT_STREQ(singular_t.values()[k].names(), "uv");
    }

    // With one count and one set of names, the identity changes nothing.
    for (int k = 0; k < 4; ++k) values[k] = parameters({k, 1 - k, 2}, "abcd");
    const ZEM_tensor<symbolic> uniform(2, 2, values, perm_symmetry_type{ZEM_string("( 0 1 )")});
    EXPECT_EQ(printed(ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(1)) * uniform), printed(uniform));
}

TEST(MatrixTimesTensor, RefusesAMatrixOfAnotherShape)
{
    const std::string message = run_time("[operator * (matrix, tensor)] incorrect number of rows and/or columns");
    pointer_to_objects<ZEM_fraction> e(6);
    const ZEM_matrix<ZEM_fraction> wide(3, 2, e);
    pointer_to_objects<symbolic> values(4);
    const perm_symmetry_type symmetry{ZEM_string("(0 1)")};
    const ZEM_tensor<symbolic> t(2, 2, values, symmetry);
    const ZEM_pseudo_tensor<symbolic> p(2, 2, values, symmetry);
    const ZEM_matrix<ZEM_fraction> three = ZEM_matrix<ZEM_fraction>(3, 3, ZEM_fraction(1));
    EXPECT_EQ(failure_of([&] { wide * t; }), message);
    EXPECT_EQ(failure_of([&] { wide * p; }), message);
    EXPECT_EQ(failure_of([&] { three * t; }), message);
    EXPECT_EQ(failure_of([&] { three * p; }), message);
}

}
