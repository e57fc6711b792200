#include "module-zem_language/icode_values.h"

#include <cstdint>
#include <string>

#include "groups/group.h"
#include "module-chartab/chartab.h"
#include "module-collections/linkedlist.h"
#include "module-matrix/matrix_builders.h"
#include "module-tensor/perm_symmetry.h"
#include "module-tensor/tensor.h"
#include "module-vector/vector.h"
#include "module-zem_language/icode.h"

namespace {

[[noreturn]] void fail(const std::string& message) { ZEM_FAIL(message); }

// Pops n values of class T into an array, first popped first; none for n <= 0.
template <class T>
pointer_to_objects<T> pop_array(ZEM_vm& vm, int n, const char* wrong_class)
{
    pointer_to_objects<T> values(n > 0 ? n : 0);
    for (int k = 0; k < n; ++k) values[k] = taken_as<T>(pop_value(vm).get(), wrong_class);
    return values;
}

pointer_to_objects<int> pop_ints(ZEM_vm& vm, int n, const char* wrong_class)
{
    pointer_to_objects<int> values(n > 0 ? n : 0);
    for (int k = 0; k < n; ++k) values[k] = taken_as<ZEM_int>(pop_value(vm).get(), wrong_class).value();
    return values;
}

}

template <class T>
void icode_vector<T>::execute(ZEM_vm& vm) const
{
    const pointer_to_objects<T> elements =
        pop_array<T>(vm, vecsize, "[icode_vector::execute] an element is not of the vector's type");
    if (vecsize <= 0) ZEM_FAIL("icode_vector::execute] vecsize <= 0");
    vm.pushObjectStack(new ZEM_vector<T>(elements));
}

template <class T>
void icode_matrix<T>::execute(ZEM_vm& vm) const
{
    const pointer_to_objects<ZEM_vector<T>> rows =
        pop_array<ZEM_vector<T>>(vm, nrows, "[icode_matrix::execute] a row is not a vector of the matrix's type");
    if (nrows <= 0) ZEM_FAIL("[icode_matrix::execute] nrows <= 0");
    vm.pushObjectStack(new ZEM_matrix<T>(matrix_from_rows(rows)));
}

template <class M>
void icode_group<M>::execute(ZEM_vm& vm) const
{
    ZEM_linkedlist<M> generators;
    for (const M& generator : pop_array<M>(vm, ngenerators, "[icode_group::execute] a generator of the wrong type"))
        generators.add_at_tail(generator);
    vm.pushObjectStack(new ZEM_group<M>(generators, nullptr, nullptr));
}

template <class T>
void icode_tensor<T>::execute(ZEM_vm& vm) const
{
    const char* const not_int = "[icode_tensor::execute] the dimension, the rank and every index must be of type int";
    const int dim = taken_as<ZEM_int>(pop_value(vm).get(), not_int).value();
    const int rank = taken_as<ZEM_int>(pop_value(vm).get(), not_int).value();
    const ZEM_string symmetry =
        taken_as<ZEM_string>(pop_value(vm).get(), "[icode_tensor::execute] the symmetry is not a string");
    if (dim < 1) fail("[icode_tensor::execute] dimension below 1");
    if (rank < 1) fail("[icode_tensor::execute] rank below 1");
    // The entries lie on the stack in steps of rank + 1 only if each has rank indices.
    for (int k = 0; k < nentries; ++k)
        if (indices_written[k] != rank)
            fail("[icode_tensor::execute] entry " + std::to_string(k + 1) + " has "
                 + std::to_string(indices_written[k]) + " indices for rank " + std::to_string(rank));
    const perm_symmetry_type parsed(symmetry);
    if (parsed.error) ZEM_FAIL(parsed.error);
    if (parsed.n_indices != rank)
        fail("[icode_tensor::execute] the symmetry names " + std::to_string(parsed.n_indices)
             + " indices for rank " + std::to_string(rank));
    tensor_component_count(dim, rank);

    pointer_to_objects<tp_tensor_entry<T>> entries(nentries);
    for (tp_tensor_entry<T>& entry : entries) {
        entry.indices = pop_ints(vm, rank, not_int);
        for (int index : entry.indices)
            if (index < 0 || index >= dim) fail("tensor index out of bounds");
        entry.value = taken_as<T>(pop_value(vm).get(), "[icode_tensor::execute] a value is not of the tensor's type");
    }
    vm.pushObjectStack(new ZEM_tensor<T>(dim, rank, symmetry, entries, nullptr));
}

void icode_cyclotomic::execute(ZEM_vm& vm) const
{
    const char* const not_int = "[icode_cyclotomic::execute] an exponent is not of type int";
    const pointer_to_objects<ZEM_fraction> factors =
        pop_array<ZEM_fraction>(vm, nfactors, "[icode_cyclotomic::execute] a factor is not of type fraction");
    const pointer_to_objects<ZEM_int> numerators = pop_array<ZEM_int>(vm, nfactors, not_int);
    const pointer_to_objects<ZEM_int> denominators = pop_array<ZEM_int>(vm, nfactors, not_int);
    ZEM_linkedlist<ZEM_fraction> c;
    ZEM_linkedlist<ZEM_int> a, d;
    for (int j = 0; j < nfactors; ++j) {
        c.add_at_tail(factors[j]);
        a.add_at_tail(numerators[j]);
        d.add_at_tail(denominators[j]);
    }
    vm.pushObjectStack(new ZEM_cyclotomic_number(c, a, d));
}

void icode_chartab_pow::execute(ZEM_vm& vm) const { vm.pushObjectStack(new ZEM_int(n_powers)); }

namespace {

void check_part(const char* part, int given, int classes)
{
    if (given != classes)
        fail(std::string("[icode_chartab::execute] ") + part + ": " + std::to_string(given) + " given for "
             + std::to_string(classes) + " classes");
}

void check_at_least_one(const pointer_to_objects<int>& values, const char* message)
{
    for (int v : values)
        if (v < 1) fail(message);
}

}

void icode_chartab::execute(ZEM_vm& vm) const
{
    const int n = n_columns;
    const int m = n_rows;
    // All counts first: a part of the wrong length would shift every later part.
    if (n < 1) fail("[icode_chartab::execute] no classes");
    check_part("class names", written.class_names, n);
    check_part("class sizes", written.class_sizes, n);
    check_part("element orders", written.element_orders, n);
    check_part("power maps", written.power_maps, n);
    check_part("determinant character", written.determinant, n);
    check_part("vector character", written.vector, n);
    if (m < 1 || std::int64_t(written.entries) != std::int64_t(n) * m)
        fail("[icode_chartab::execute] entries: " + std::to_string(written.entries) + " given for "
             + std::to_string(n) + " classes and " + std::to_string(m) + " rows");

    const char* const not_int = "[icode_chartab::execute] sizes, orders and power maps must be of type int";
    const char* const not_cyclotomic = "[icode_chartab::execute] entries and characters must be cyclotomic";
    const pointer_to_objects<ZEM_string> names =
        pop_array<ZEM_string>(vm, n, "[icode_chartab::execute] a class name is not a string");
    const pointer_to_objects<int> sizes = pop_ints(vm, n, not_int);
    const pointer_to_objects<int> orders = pop_ints(vm, n, not_int);
    const pointer_to_objects<ZEM_cyclotomic_number> entries =
        pop_array<ZEM_cyclotomic_number>(vm, written.entries, not_cyclotomic);
    pointer_to_objects<pointer_to_objects<int>> powers(n);
    for (pointer_to_objects<int>& map : powers) {
        const int length = taken_as<ZEM_int>(pop_value(vm).get(), not_int).value();
        if (length < 1) fail("[icode_chartab::execute] empty power map");
        map = pop_ints(vm, length, not_int);
        for (int c : map)
            if (c < 1 || c > n) fail("[icode_chartab::execute] power-map value outside 1 .. number of classes");
    }
    const pointer_to_objects<ZEM_cyclotomic_number> determinant =
        pop_array<ZEM_cyclotomic_number>(vm, n, not_cyclotomic);
    const pointer_to_objects<ZEM_cyclotomic_number> vector = pop_array<ZEM_cyclotomic_number>(vm, n, not_cyclotomic);
    check_at_least_one(sizes, "[icode_chartab::execute] class size below 1");
    check_at_least_one(orders, "[icode_chartab::execute] element order below 1");
    vm.pushObjectStack(new ZEM_character_table(n, m, names, sizes, orders, entries, powers, determinant, vector));
}

template class icode_vector<ZEM_int>;
template class icode_vector<ZEM_fraction>;
template class icode_vector<ZEM_real>;
template class icode_vector<ZEM_cyclotomic_number>;
template class icode_matrix<ZEM_int>;
template class icode_matrix<ZEM_fraction>;
template class icode_matrix<ZEM_real>;
template class icode_matrix<ZEM_cyclotomic_number>;
template class icode_group<ZEM_matrix<ZEM_int>>;
template class icode_group<ZEM_matrix<ZEM_fraction>>;
template class icode_group<ZEM_matrix<ZEM_cyclotomic_number>>;
template class icode_tensor<ZEM_int>;
template class icode_tensor<ZEM_fraction>;
template class icode_tensor<ZEM_real>;
template class icode_tensor<ZEM_cyclotomic_number>;
