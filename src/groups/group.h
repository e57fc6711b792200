// A finite group of square matrices, given by its generators: a handle on a
// shared body that keeps the generators in their given order, the identity
// (generator 0 times its inverse) and the set of every product of generators,
// closed breadth first when the body is made and never changed afterwards.
// A group needs at least one generator, every generator must be invertible, and
// the closure gives up, rather than run out of memory, beyond 100000 elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <type_traits>
#include <unordered_set>

#include "module-collections/linkedlist.h"
#include "module-matrix/matrix.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/determinant.h"
#include "module-matrix_a/inverse.h"
#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"
#include "numbers/value_hash.h"

ZEM_type tp_group(const ZEM_type& matrix_type);

// No finite point group comes near; beyond it the closure gives up.
constexpr int group_element_bound = 100000;

// The closure's own hash of an element. The hash of matrices weighs entries by
// their position only and gives every rational cyclotomic number 0, so the
// elements of a group fall into few buckets; this one mixes every entry's value.
template <class T>
std::size_t closure_hash(const ZEM_matrix<T>& m)
{
    std::uint64_t h = hash_mix(static_cast<std::uint32_t>(m.rows()), static_cast<std::uint32_t>(m.columns()));
    const int count = m.rows() * m.columns();
    for (int k = 0; k < count; ++k) h = hash_mix(h, spread_hash(m.elements()[k]));
    return static_cast<std::size_t>(h);
}

template <class M>
struct closure_hasher {
    std::size_t operator()(const M& m) const { return closure_hash(m); }
};

template <class M>
class ZEM_group_impl : public ZEM_referenced_object {
public:
    using inverse_function = M (*)(const M&);
    using product_function = M (*)(const M&, const M&);

    ZEM_group_impl(const ZEM_linkedlist<M>& list, inverse_function inverse_of, product_function product_of)
        : generators(list.n_elements()), inverse_func(inverse_of), mul_func(product_of)
    {
        if (generators.count() == 0) ZEM_FAIL("[ZEM_group] no generators");
        int i = 0;
        for (const ll_node<M>* node = list.head; node; node = node->next) generators[i++] = node->elt;
        identity = mul_func(generators[0], inverse_func(generators[0]));
        require_invertible_generators();
        failing_as_out_of_memory([this] { _all_elements(); });
    }

    // Breadth first from the identity: every product of a known element with a
    // generator, in generator order, until no product is new.
    void _all_elements()
    {
        ZEM_linkedlist<M> queue;
        queue.add_at_tail(identity);
        int found = 0;
        while (queue.head) {
            const M x = queue.remove_at_head();
            for (int i = 0; i < generators.count(); ++i) {
                const M y = mul_func(x, generators[i]);
                if (all_elements.count(y)) continue;
                if (++found > group_element_bound)
                    ZEM_FAIL("[ZEM_group] more than 100000 elements");
                all_elements.insert(y);
                queue.add_at_tail(y);
            }
        }
    }

    pointer_to_objects<M> generators;
    inverse_function inverse_func;
    product_function mul_func;
    M identity;
    std::unordered_set<M, closure_hasher<M>> all_elements;

private:
    // A singular generator would close into a "group" of idempotents. Generator 0
    // has met the inverse already; one of another size fails in the closure.
    void require_invertible_generators() const
    {
        using T = std::remove_cvref_t<decltype(identity.elements()[0])>;
        for (int i = 1; i < generators.count(); ++i) {
            const M& g = generators[i];
            if (g.rows() != identity.rows() || g.columns() != identity.columns()) continue;
            if (determinant(g) == T())
                ZEM_FAIL("[ZEM_group] generator " + std::to_string(i) + " is not invertible");
        }
    }
};

template <class M>
class ZEM_group : public ZEM_referencing_object<ZEM_group_impl<M>> {
public:
    // A null function selects the default inverse or product.
    ZEM_group(const ZEM_linkedlist<M>& generators, typename ZEM_group_impl<M>::inverse_function inverse_of,
              typename ZEM_group_impl<M>::product_function product_of)
    {
        this->attach(new ZEM_group_impl<M>(generators, inverse_of ? inverse_of : default_inverse_func,
                                           product_of ? product_of : default_mul_func));
    }
    ZEM_group(const ZEM_group& other) = default;
    ZEM_group& operator=(const ZEM_group& other) = default;

    ZEM_object* copy_object() const override { return new ZEM_group(*this); }
    // The generators only, each followed by an empty line.
    void print(std::ostream& out) const override
    {
        out << "group(\n";
        for (int i = 0; i < n_generators(); ++i) {
            out << "generator " << i << ":\n";
            generator(i).print(out);
            out << '\n';
        }
        out << ")\n";
    }
    ZEM_type type() const override { return tp_group(M().type()); }

    int n_generators() const { return this->body()->generators.count(); }
    // Counted from 0 in the order given, without a range test.
    const M& generator(int i) const { return this->body()->generators[i]; }

    static M default_inverse_func(const M& m) { return inverse(m); }
    static M default_mul_func(const M& m1, const M& m2) { return m1 * m2; }
};
