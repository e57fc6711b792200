#include "module-matrix+tensor/matrix_times_tensor.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/exact.h"
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

// g * t against the definition in GMP, times det(g) for a pseudo-tensor; g and
// t's slots given as fractions (the values or constants, then one slot per
// parameter). Only a component that leaves 32 bits fails.
template <class Handle, class S, class T>
void expect_exact_product(const std::vector<ZEM_fraction>& g, const std::vector<std::vector<ZEM_fraction>>& slots,
                          int dim, int rank, const char* symmetry)
{
    const int n = static_cast<int>(slots[0].size());
    pointer_to_objects<T> x(n);
    for (int c = 0; c < n; ++c) {
        if constexpr (std::is_same_v<T, S>) {
            x[c] = S(slots[0][std::size_t(c)]);
        } else {
            pointer_to_objects<S> coefficients(static_cast<int>(slots.size()) - 1);
            for (int p = 0; p < coefficients.count(); ++p)
                coefficients[p] = S(slots[std::size_t(p + 1)][std::size_t(c)]);
            x[c] = T(coefficients, S(slots[0][std::size_t(c)]), "ab");
        }
    }
    std::vector<mpq_class> exact_g;
    for (const ZEM_fraction& e : g) exact_g.push_back(exact(e));
    const mpq_class factor = std::is_same_v<Handle, ZEM_tensor<T>> ? mpq_class(1) : permutation_sum(exact_g, dim);
    std::vector<mpq_class> expected;  // slot by slot
    for (const std::vector<ZEM_fraction>& slot : slots)
        for (int t = 0; t < n; ++t) {
            mpq_class sum = 0;
            for (int s = 0; s < n; ++s) {
                mpq_class term = factor * exact(slot[std::size_t(s)]);
                for (int l = 0, tt = t, ss = s; l < rank; ++l, tt /= dim, ss /= dim)
                    term *= exact_g[std::size_t(tt % dim * dim + ss % dim)];
                sum += term;
            }
            expected.push_back(sum);
        }
    pointer_to_objects<S> entries(dim * dim);
    std::copy(g.begin(), g.end(), entries.begin());
    const ZEM_matrix<S> matrix(dim, dim, entries);
    const Handle t(dim, rank, x, perm_symmetry_type{ZEM_string(symmetry)});
    EXPECT_EQ(outcome([&] {
                  const Handle product = matrix * t;
                  std::string all;
                  for (int k = 0; k < static_cast<int>(slots.size()); ++k)
                      for (const T& y : product.values()) {
                          if constexpr (std::is_same_v<T, S>)
                              all += printed(y) + ' ';
                          else
                              all += printed(k == 0 ? y.constant() : y.coefficients()[k - 1]) + ' ';
                      }
                  return all;
              }),
              printed_if_fit<S>(expected, "[ZEM_fraction] overflow"))
        << printed(matrix) << printed(t);
}

// Large components whose sums over one index leave 32 bits, for tens_mul,
// cyctens_mul and the symbolic tensors and pseudo-tensors of the workbench.
TEST(MatrixTimesTensor, FailsOnlyWhenAComponentLeaves32Bits)
{
    using F = ZEM_fraction;
    using C = ZEM_cyclotomic_number;
    // One index at a time gives 2^31 + 2 on the way to xx = 1610612739; summed
    // term by term, as f_op_mul_1 does, no partial sum leaves 32 bits.
    const std::vector<F> g = {F(1, 2), 1, 0, 1};
    const std::vector<std::vector<F>> filed = {{2147483644, 1073741828, 1073741828, 0}};
    expect_exact_product<ZEM_tensor<F>, F, F>(g, filed, 2, 2, "0 1");
    expect_exact_product<ZEM_tensor<C>, C, C>(g, filed, 2, 2, "0 1");
    // det(g) = 2^32 leaves 32 bits, the components need not.
    const std::vector<F> scaling = {65536, 0, 0, 0, 65536, 0, 0, 0, 1};
    for (const F& a : {F(3, 1 << 30), F(-1, 1 << 29), F(1, 2)}) {
        const std::vector<std::vector<F>> pseudo = {{0, 0, a}, {0, 0, F(5, 1 << 30)}};
        expect_exact_product<ZEM_pseudo_tensor<symbolic>, F, symbolic>(scaling, pseudo, 3, 1, "0");
        expect_exact_product<ZEM_pseudo_tensor<ZEM_symbolic_number<C>>, C, ZEM_symbolic_number<C>>(scaling, pseudo, 3,
                                                                                                  1, "0");
    }

    const F small[] = {0, 1, -1, 2, F(1, 2), F(-3, 2)};
    const F large[] = {0, 1, -1, INT_MAX, -INT_MAX, 1 << 30, -(1 << 30), F(1, 65536), F(INT_MAX, 2)};
    const struct {
        int dim, rank, n;
        const char* symmetry;
    } shapes[] = {{3, 1, 3, "0"}, {2, 2, 4, "0 1"}, {2, 2, 4, "(0 1)"}, {3, 2, 9, "0 1"}, {2, 3, 8, "(0 1) 2"}};
    std::mt19937 random(31);
    for (int trial = 0; trial < 100; ++trial) {
        const auto& shape = shapes[trial % 5];
        std::vector<F> entries;
        for (int k = 0; k < shape.dim * shape.dim; ++k) entries.push_back(small[random() % 6]);
        std::vector<std::vector<F>> slots(3);
        for (std::vector<F>& slot : slots)
            for (int c = 0; c < shape.n; ++c) slot.push_back(large[random() % 9]);
        const std::vector<std::vector<F>> values = {slots[0]};
        expect_exact_product<ZEM_tensor<F>, F, F>(entries, values, shape.dim, shape.rank, shape.symmetry);
        expect_exact_product<ZEM_tensor<C>, C, C>(entries, values, shape.dim, shape.rank, shape.symmetry);
        expect_exact_product<ZEM_tensor<symbolic>, F, symbolic>(entries, slots, shape.dim, shape.rank, shape.symmetry);
        expect_exact_product<ZEM_pseudo_tensor<symbolic>, F, symbolic>(entries, slots, shape.dim, shape.rank,
                                                                       shape.symmetry);
    }
}

// The rotation by 120 degrees in hexagonal axes times E(3) or 2 * E(3) on tensors
// of large cyclotomic components with an irrational part, whose sums over one
// index leave 32 bits: against the definition in Q(E(3)) in GMP, only a component
// whose canonical coefficients leave 32 bits fails.
TEST(MatrixTimesTensor, IrrationalEntriesFailOnlyWhenAComponentLeaves32Bits)
{
    using C = ZEM_cyclotomic_number;
    const eisenstein large[] = {{0, INT_MAX}, {0, -INT_MAX}, {INT_MAX, INT_MAX}, {-INT_MAX, -INT_MAX}, {1 << 30, 0},
                                {1, -(1 << 30)}};
    const char* symmetries[] = {"", "0", "0 1", "0 1 2"};
    std::mt19937 random(37);
    for (int trial = 0; trial < 150; ++trial) {
        const int rank = 1 + trial % 3, n = 1 << rank;
        const eisenstein scale{0, 1 + trial % 2};
        std::vector<eisenstein> g;
        for (const int r : {0, -1, 1, -1}) g.push_back(scale * eisenstein{r, 0});
        std::vector<eisenstein> x;
        for (int c = 0; c < n; ++c) x.push_back(large[random() % 6]);
        std::vector<eisenstein> expected;
        for (int t = 0; t < n; ++t) {
            eisenstein sum;
            for (int s = 0; s < n; ++s) {
                eisenstein term = x[std::size_t(s)];
                for (int l = 0, tt = t, ss = s; l < rank; ++l, tt /= 2, ss /= 2)
                    term = term * g[std::size_t(tt % 2 * 2 + ss % 2)];
                sum = sum + term;
            }
            expected.push_back(sum);
        }
        pointer_to_objects<C> entries(4), components(n);
        std::transform(g.begin(), g.end(), entries.begin(), cyclotomic);
        std::transform(x.begin(), x.end(), components.begin(), cyclotomic);
        const ZEM_matrix<C> matrix(2, 2, entries);
        const ZEM_tensor<C> t(2, rank, components, perm_symmetry_type{ZEM_string(symmetries[rank])});
        EXPECT_EQ(outcome([&] { return printed_values((matrix * t).values().block(), n); }), printed_if_fit(expected))
            << printed(matrix) << printed(t);
    }
}

}
