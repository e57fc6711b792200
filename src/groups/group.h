// A finite group of square matrices, given by its generators: a handle on a
// shared body that keeps the generators in their given order, the identity
// (generator 0 times its inverse) and the set of every product of generators,
// closed breadth first when the body is made and never changed afterwards.
// A group needs at least one generator, and the closure gives up, rather than
// run out of memory, when the generators do not generate a finite group.
#pragma once

#include <ostream>

#include "module-collections/linkedlist.h"
#include "module-collections/set.h"
#include "module-matrix/matrix.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/inverse.h"
#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"

ZEM_type tp_group(const ZEM_type& matrix_type);

// No finite point group comes near; a set this large means an element of infinite order.
constexpr int group_element_bound = 100000;

template <class M>
class ZEM_group_impl : public ZEM_referenced_object {
public:
    using inverse_function = M (*)(const M&);
    using product_function = M (*)(const M&, const M&);

    ZEM_group_impl(const ZEM_linkedlist<M>& list, inverse_function inverse_of, product_function product_of)
        : generators(list.n_elements()), inverse_func(inverse_of), mul_func(product_of), all_elements(50)
    {
        if (generators.count() == 0) _zem_error_("groups/group-t", __LINE__, "[ZEM_group] no generators");
        int i = 0;
        for (const ll_node<M>* node = list.head; node; node = node->next) generators[i++] = node->elt;
        identity = mul_func(generators[0], inverse_func(generators[0]));
        _all_elements();
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
                if (all_elements.is_elt(y)) continue;
                if (++found > group_element_bound)
                    _zem_error_("groups/group-t", __LINE__,
                                "[ZEM_group] more than 100000 elements: the generators do not generate a finite group");
                all_elements.add_elt(y);
                queue.add_at_tail(y);
            }
        }
    }

    pointer_to_objects<M> generators;
    inverse_function inverse_func;
    product_function mul_func;
    M identity;
    ZEM_set<M> all_elements;
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
