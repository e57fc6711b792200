// Tensors and pseudo-tensors (which a matrix transforms with the extra factor
// of its determinant): handles on one shared, counted body that holds the
// dimension, the rank, the permutation symmetry with its tensor basis, and all
// dim^rank components densely in flat order, the last index fastest. A body is
// complete when its constructor returns and is never written afterwards, so
// copying a handle shares it. A default-constructed handle has no body.
#pragma once

#include <ostream>

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/perm_symmetry.h"
#include "module-tensor/tensor_basis.h"
#include "numbers/cyclotomic.h"
#include "numbers/symbolic.h"

// One given component: its index tuple, first index first, and its value.
template <class T>
struct tp_tensor_entry {
    pointer_to_objects<int> indices;
    T value;
};

// Which element types have which constructors.
template <class T>
inline constexpr bool tensor_from_text = false;  // entries, with a symmetry string
template <class T>
inline constexpr bool tensor_from_parsed = false;  // entries, with a parsed symmetry; pseudo-tensors
template <class T>
inline constexpr bool tensor_from_values = false;  // all values; get_component

template <>
inline constexpr bool tensor_from_text<ZEM_int> = true;
template <>
inline constexpr bool tensor_from_text<ZEM_real> = true;
template <>
inline constexpr bool tensor_from_text<ZEM_fraction> = true;
template <>
inline constexpr bool tensor_from_text<ZEM_cyclotomic_number> = true;
template <>
inline constexpr bool tensor_from_parsed<ZEM_symbolic_number<ZEM_fraction>> = true;
template <>
inline constexpr bool tensor_from_parsed<ZEM_symbolic_number<ZEM_cyclotomic_number>> = true;
template <>
inline constexpr bool tensor_from_values<ZEM_fraction> = true;
template <>
inline constexpr bool tensor_from_values<ZEM_cyclotomic_number> = true;
template <>
inline constexpr bool tensor_from_values<ZEM_symbolic_number<ZEM_fraction>> = true;
template <>
inline constexpr bool tensor_from_values<ZEM_symbolic_number<ZEM_cyclotomic_number>> = true;

template <class T>
class ZEM_tensor_impl : public ZEM_referenced_object {
public:
    using entries = pointer_to_objects<tp_tensor_entry<T>>;

    // Every component starts at *default_value (T's default when null); then each
    // entry, in order, is written to its own component and to every distinct image
    // of its tuple under the symmetry, negated on the minus-images. Later entries win.
    ZEM_tensor_impl(int dim, int rank, const ZEM_string& symmetry, const entries& given, const T* default_value)
        requires tensor_from_text<T>
        : dim_(dim), rank_(rank), symmetry_(symmetry), basis_(dim, rank, symmetry_), values_(basis_.entry_count())
    {
        fill(given, default_value);
    }
    ZEM_tensor_impl(int dim, int rank, const perm_symmetry_type& symmetry, const entries& given,
                    const T* default_value)
        requires tensor_from_parsed<T>
        : dim_(dim), rank_(rank), symmetry_(symmetry), basis_(dim, rank, symmetry_), values_(basis_.entry_count())
    {
        fill(given, default_value);
    }
    // The values are taken as they stand, in flat order; their count must be dim^rank.
    ZEM_tensor_impl(int dim, int rank, const pointer_to_objects<T>& values, const perm_symmetry_type& symmetry)
        requires tensor_from_values<T>
        : dim_(dim), rank_(rank), symmetry_(symmetry), basis_(dim, rank, symmetry_), values_(checked(values))
    {
    }
    ZEM_tensor_impl(const ZEM_tensor_impl&) = delete;
    ZEM_tensor_impl& operator=(const ZEM_tensor_impl&) = delete;

    int dim() const { return dim_; }
    int rank() const { return rank_; }
    const perm_symmetry_type& symmetry() const { return symmetry_; }
    const tensor_basis& basis() const { return basis_; }
    const pointer_to_objects<T>& values() const { return values_; }

    // The name of a component, as a new array for delete[].
    char* give_name(int component) const { return tensor_component_name(dim_, rank_, component); }
    // One line per distinct value, in the order of its first component: the names
    // of all components holding it, joined by " = ", then the value.
    void print(std::ostream& out) const;

    // Writes one image of an entry; data is a spread*.
    static void _f1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data);

private:
    struct spread {
        ZEM_tensor_impl* body;
        const T* value;
    };

    void fill(const entries& given, const T* default_value);
    const pointer_to_objects<T>& checked(const pointer_to_objects<T>& values) const;
    static T negative(const T& x) { return -x; }

    int dim_;
    int rank_;
    perm_symmetry_type symmetry_;
    tensor_basis basis_;
    pointer_to_objects<T> values_;
};

// What tensors and pseudo-tensors share; `pseudo` only chooses the type's name.
template <class T, bool pseudo>
class ZEM_tensor_handle : public ZEM_referencing_object<ZEM_tensor_impl<T>> {
public:
    using entries = pointer_to_objects<tp_tensor_entry<T>>;

    ZEM_tensor_handle() = default;
    // Templates, so that instantiating the class leaves out the constructors its T lacks.
    template <class U = T>
        requires tensor_from_text<U>
    ZEM_tensor_handle(int dim, int rank, const ZEM_string& symmetry, const entries& given, const T* default_value)
    {
        this->attach(new ZEM_tensor_impl<T>(dim, rank, symmetry, given, default_value));
    }
    template <class U = T>
        requires tensor_from_parsed<U>
    ZEM_tensor_handle(int dim, int rank, const perm_symmetry_type& symmetry, const entries& given,
                      const T* default_value)
    {
        this->attach(new ZEM_tensor_impl<T>(dim, rank, symmetry, given, default_value));
    }
    template <class U = T>
        requires tensor_from_values<U>
    ZEM_tensor_handle(int dim, int rank, const pointer_to_objects<T>& values, const perm_symmetry_type& symmetry)
    {
        this->attach(new ZEM_tensor_impl<T>(dim, rank, values, symmetry));
    }

    // The type, "(", the dimension and rank, the symmetry between double quotes,
    // the component lines and ")" without a newline.
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    // A copy of the component at the tuple; fails with "tensor index out of bounds".
    T get_component(const pointer_to_objects<int>& indices) const
        requires tensor_from_values<T>
    {
        const ZEM_tensor_impl<T>& b = impl();
        return b.values()[tensor_indices_to_index(b.dim(), b.rank(), indices)];
    }

    // The body, read-only; an empty handle fails.
    const ZEM_tensor_impl<T>& impl() const;
    int dim() const { return impl().dim(); }
    int rank() const { return impl().rank(); }
    const perm_symmetry_type& symmetry() const { return impl().symmetry(); }
    const tensor_basis& basis() const { return impl().basis(); }
    const pointer_to_objects<T>& values() const { return impl().values(); }
};

template <class T>
class ZEM_tensor : public ZEM_tensor_handle<T, false> {
public:
    using ZEM_tensor_handle<T, false>::ZEM_tensor_handle;
    ZEM_tensor() = default;

    ZEM_object* copy_object() const override { return new ZEM_tensor(*this); }
};

template <class T>
    requires tensor_from_parsed<T>
class ZEM_pseudo_tensor : public ZEM_tensor_handle<T, true> {
public:
    using ZEM_tensor_handle<T, true>::ZEM_tensor_handle;
    ZEM_pseudo_tensor() = default;

    ZEM_object* copy_object() const override { return new ZEM_pseudo_tensor(*this); }
};

extern template class ZEM_tensor_impl<ZEM_int>;
extern template class ZEM_tensor_impl<ZEM_real>;
extern template class ZEM_tensor_impl<ZEM_fraction>;
extern template class ZEM_tensor_impl<ZEM_cyclotomic_number>;
extern template class ZEM_tensor_impl<ZEM_symbolic_number<ZEM_fraction>>;
extern template class ZEM_tensor_impl<ZEM_symbolic_number<ZEM_cyclotomic_number>>;
extern template class ZEM_tensor_handle<ZEM_int, false>;
extern template class ZEM_tensor_handle<ZEM_real, false>;
extern template class ZEM_tensor_handle<ZEM_fraction, false>;
extern template class ZEM_tensor_handle<ZEM_cyclotomic_number, false>;
extern template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_fraction>, false>;
extern template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_cyclotomic_number>, false>;
extern template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_fraction>, true>;
extern template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_cyclotomic_number>, true>;
