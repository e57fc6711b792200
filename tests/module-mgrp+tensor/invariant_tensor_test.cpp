#include "module-mgrp+tensor/invariant_tensor.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "module-mgrp+tensor/solver_testing.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

using namespace solver_testing;
using rows = std::vector<std::vector<int>>;

const rows rotation = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
const rows cyclic = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
const rows identity3 = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const rows minus3 = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
const rows identity2 = {{1, 0}, {0, 1}};

// One call of either solver, with what it returned.
template <class G, bool pseudo>
struct solved {
    using T = coefficient_of<G>;
    using result_type = std::conditional_t<pseudo, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>,
                                           ZEM_tensor<ZEM_symbolic_number<T>>>;
    result_type result;
    int n_free = -1;
    int dim;

    solved(const std::vector<rows>& gens, int rank, const char* symmetry) : dim(int(gens[0].size()))
    {
        ZEM_linkedlist<ZEM_matrix<G>> list;
        for (const ZEM_matrix<G>& g : generators_of<G>(gens)) list.add_at_tail(g);
        const ZEM_group<ZEM_matrix<G>> group(list, nullptr, nullptr);
        if constexpr (pseudo)
            invariant_pseudo_tensor(group, rank, ZEM_string(symmetry), &n_free, result);
        else
            invariant_tensor(group, rank, ZEM_string(symmetry), &n_free, result);
    }

    std::vector<std::vector<T>> params() const { return parameters<T>(result, n_free); }

    // sum of factor * component is zero for every parameter.
    void expect(const std::vector<std::pair<const char*, ZEM_fraction>>& relation) const
    {
        for (const std::vector<T>& p : params()) {
            T sum;
            for (const auto& [name, factor] : relation) sum = sum + T(factor) * p[std::size_t(component(name, dim))];
            EXPECT_EQ(sum, T()) << relation[0].first;
        }
    }
    void expect_zero(std::initializer_list<const char*> names) const
    {
        for (const char* name : names) expect({{name, 1}});
    }
};

template <class G>
class InvariantTensor : public ::testing::Test {};

using instances = ::testing::Types<ZEM_int, ZEM_fraction, ZEM_cyclotomic_number>;
TYPED_TEST_SUITE(InvariantTensor, instances);

// Each parameter on one basis component, each basis component with one
// parameter, its coefficient one over the component's weight.
template <class Solved>
void expect_one_parameter_each(const Solved& s, const std::vector<std::pair<const char*, ZEM_fraction>>& weights)
{
    using T = typename Solved::T;
    ASSERT_EQ(s.n_free, int(weights.size()));
    const auto p = s.params();
    std::vector<int> users(weights.size(), 0);
    for (const auto& [name, weight] : weights) {
        int on = 0;
        for (std::size_t j = 0; j < p.size(); ++j) {
            const T& x = p[j][std::size_t(component(name, s.dim))];
            if (x == T()) continue;
            EXPECT_EQ(x, T(weight)) << name;
            ++on;
            ++users[j];
        }
        EXPECT_EQ(on, 1) << name;
    }
    EXPECT_EQ(users, std::vector<int>(weights.size(), 1));
}

TYPED_TEST(InvariantTensor, IdentityLeavesEveryBasisComponentFree)
{
    using G = TypeParam;
    const solved<G, false> s({identity3}, 2, "(0 1)");
    expect_one_parameter_each(s, {{"xx", 1}, {"yy", 1}, {"zz", 1}, {"xy", {1, 2}}, {"xz", {1, 2}}, {"yz", {1, 2}}});
    s.expect({{"xy", 1}, {"yx", -1}});
    const std::string text = printed(s.result);
    EXPECT_NE(text.find("a5"), std::string::npos);
    EXPECT_EQ(text.find(" = a\n"), std::string::npos);

    // -I acts on rank 2 as the identity does; on odd ranks it leaves only zero.
    const solved<G, false> minus({minus3}, 2, "(0 1)");
    EXPECT_EQ(printed(minus.result), text);
    for (auto [rank, symmetry] : {std::pair{1, "0"}, {3, "0 1 2"}}) {
        const solved<G, false> odd({minus3}, rank, symmetry);
        EXPECT_EQ(odd.n_free, 0);
        for (const auto& value : odd.result.values()) EXPECT_EQ(value.coefficients().count(), 0);
    }

    expect_one_parameter_each(solved<G, false>({identity2}, 2, "(0 1)"), {{"xx", 1}, {"yy", 1}, {"xy", {1, 2}}});
    expect_one_parameter_each(solved<G, true>({identity2}, 2, "(0 1)"), {{"xx", 1}, {"yy", 1}, {"xy", {1, 2}}});
    // The weight counts plus-images only: a, not a/2.
    const solved<G, true> anti({identity2}, 2, "[0 1]");
    expect_one_parameter_each(anti, {{"xy", 1}});
    anti.expect({{"xy", 1}, {"yx", 1}});
    for (int c : {0, 3}) EXPECT_EQ(anti.result.values()[c].coefficients().count(), 0);
}

TYPED_TEST(InvariantTensor, CountsAndRelationsOfTheExamples)
{
    using G = TypeParam;
    {
        const solved<G, false> s({rotation}, 2, "(0 1)");
        EXPECT_EQ(s.n_free, 2);
        s.expect({{"xx", 1}, {"yy", -1}});
        s.expect_zero({"xy", "xz", "yz", "zx", "zy"});
    }
    {
        const solved<G, false> s({rotation}, 2, "[0 1]");
        EXPECT_EQ(s.n_free, 1);
        s.expect({{"xy", 1}, {"yx", 1}});
        s.expect_zero({"xx", "yy", "zz", "xz", "yz"});
    }
    {
        const solved<G, false> s({rotation, cyclic}, 2, "(0 1)");
        EXPECT_EQ(s.n_free, 1);
        s.expect({{"xx", 1}, {"yy", -1}});
        s.expect({{"xx", 1}, {"zz", -1}});
        s.expect_zero({"xy", "xz", "yz"});
        EXPECT_NE(printed(s.result).find("\n  xx = yy = zz = "), std::string::npos);
    }
    {
        const solved<G, false> s({rotation, cyclic}, 3, "[0 1 2]");
        EXPECT_EQ(s.n_free, 1);
        for (const char* plus : {"yzx", "zxy"}) s.expect({{"xyz", 1}, {plus, -1}});
        for (const char* minus : {"xzy", "yxz", "zyx"}) s.expect({{"xyz", 1}, {minus, 1}});
    }
    for (auto [symmetry, count] : {std::pair{"(0 1 2 3)", 2}, {"(0 1) (2 3)", 3}})
        EXPECT_EQ((solved<G, false>({rotation, cyclic}, 4, symmetry).n_free), count) << symmetry;
    {
        // Invariance under the transpose: with the plain action the sign would be plus.
        const solved<G, false> s({{{1, -1}, {1, 0}}}, 2, "(0 1)");
        EXPECT_EQ(s.n_free, 1);
        s.expect({{"xx", 1}, {"yy", -1}});
        s.expect({{"xy", 1}, {"xx", {1, 2}}});
        s.expect({{"yx", 1}, {"xx", {1, 2}}});
    }
    {
        const solved<G, false> s({identity2}, 3, "[0 1 2]");
        EXPECT_EQ(s.n_free, 0);
        for (const auto& value : s.result.values()) EXPECT_EQ(value.coefficients().count(), 0);
    }
}

TYPED_TEST(InvariantTensor, PseudoTensorsCarryTheDeterminant)
{
    using G = TypeParam;
    {
        const solved<G, true> s({rotation}, 2, "(0 1)");
        const solved<G, false> plain({rotation}, 2, "(0 1)");
        EXPECT_EQ(printed(s.result), "pseudo_" + printed(plain.result));
    }
    {
        const solved<G, true> s({{{1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}, 1, "0");
        expect_one_parameter_each(s, {{"z", 1}});
        s.expect_zero({"x", "y"});
        // The plain solver leaves x and y free instead.
        const solved<G, false> plain({{{1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}, 1, "0");
        EXPECT_EQ(plain.n_free, 2);
        plain.expect_zero({"z"});
    }
    EXPECT_EQ((solved<G, true>({minus3}, 1, "0").n_free), 3);
    EXPECT_EQ((solved<G, true>({minus3}, 3, "0 1 2").n_free), 27);
    EXPECT_EQ((solved<G, true>({minus3}, 2, "0 1").n_free), 0);
    {
        // Solving det(g) g x = x instead would give x : y = 1 : 2.
        const solved<G, true> s({{{1, -1}, {0, -1}}}, 1, "0");
        expect_one_parameter_each(s, {{"y", 1}});
        s.expect_zero({"x"});
    }
    EXPECT_EQ((solved<G, true>({identity2}, 3, "[0 1 2]").n_free), 0);
}

TYPED_TEST(InvariantTensor, FailuresLeaveTheOutputsAlone)
{
    using G = TypeParam;
    using T = typename solved<G, false>::T;
    const solved<G, false> before({identity2}, 1, "0");
    ZEM_tensor<ZEM_symbolic_number<T>> result = before.result;
    ZEM_pseudo_tensor<ZEM_symbolic_number<T>> pseudo_result;
    const std::string kept = printed(result);
    struct {
        std::vector<rows> gens;
        int rank;
        const char* symmetry;
        std::string message;  // after the solver's name, or whole when it starts with '!'
    } cases[] = {
        {{}, 1, "0", "] group without generators"},
        {{identity2}, 3, "(0 1)", "] the symmetry's number of indices differs from the rank"},
        {{identity2}, 1, "(0 1)", "] the symmetry's number of indices differs from the rank"},
        {{identity2}, 0, "0", "] the symmetry's number of indices differs from the rank"},
        {{identity2}, -1, "0", "] the symmetry's number of indices differs from the rank"},
        {{identity2}, 2, "(0 1", "!oops, while attempting to read `( ... )', ')' expected"},
        {{identity2}, 2, "(0 0)", "!each index should occur exactly once"},
        {{identity2, identity3}, 2, "(0 1)", "![action_matrix] dimension != g.rows() || dimension != g.columns()"},
        {{{{1, 0}}}, 1, "0", "![action_matrix] dimension != g.rows() || dimension != g.columns()"},
    };
    for (const auto& c : cases) {
        const auto expected = [&](const char* name) {
            return run_time(c.message[0] == '!' ? c.message.substr(1) : "[" + std::string(name) + c.message);
        };
        const pointer_to_objects<ZEM_matrix<G>> gens = generators_of<G>(c.gens);
        int n_free = -7;
        EXPECT_EQ(failure_of([&] { invariant_tensor(gens, c.rank, ZEM_string(c.symmetry), &n_free, result); }),
                  expected("invariant_tensor"))
            << c.symmetry;
        EXPECT_EQ(failure_of([&] {
                      invariant_pseudo_tensor(gens, c.rank, ZEM_string(c.symmetry), &n_free, pseudo_result);
                  }),
                  expected("invariant_pseudo_tensor"))
            << c.symmetry;
        EXPECT_EQ(n_free, -7);
        EXPECT_EQ(printed(result), kept);
        EXPECT_FALSE(pseudo_result.has_body());
    }

    // Without a place for the count the result is the same.
    invariant_tensor(generators_of<G>({rotation}), 2, ZEM_string("(0 1)"), nullptr, result);
    EXPECT_EQ(printed(result), printed(solved<G, false>({rotation}, 2, "(0 1)").result));
}

TEST(InvariantTensorOf, ReflectionNeedsTheDivisionByTheWeight)
{
    const ZEM_fraction t(1, 3), s(-2, 3);
    const auto gens = generators_of<ZEM_fraction, ZEM_fraction>({{{t, s, s}, {s, t, s}, {s, s, t}}});
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> result;
    int n_free = -1;
    invariant_tensor(gens, 2, ZEM_string("(0 1)"), &n_free, result);
    ASSERT_EQ(n_free, 4);
    for (const std::vector<ZEM_fraction>& p : parameters<ZEM_fraction>(result, n_free))
        EXPECT_EQ(act_on_components(gens[0], p, 3, 2), p);
}

TEST(InvariantTensorOf, OverflowFailsInsteadOfCounting)
{
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> result;
    int n_free = -1;
    EXPECT_EQ(failure_of([&] {
                  invariant_tensor(generators_of<ZEM_int>({{{1, 50000}, {0, 1}}}), 2, ZEM_string("0 1"), &n_free,
                                   result);
              }),
              run_time("[ZEM_int] overflow"));
    const auto gens = generators_of<ZEM_fraction, ZEM_fraction>({{{ZEM_fraction(1, 50000), 0}, {0, 1}}});
    EXPECT_EQ(failure_of([&] { invariant_tensor(gens, 2, ZEM_string("0 1"), &n_free, result); }),
              run_time("[ZEM_fraction] overflow"));
    EXPECT_EQ(n_free, -1);
}

}
