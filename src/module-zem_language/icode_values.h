// The instructions that build the structured values written in a command file:
// vectors, matrices, matrix groups, tensors, cyclotomic numbers and character
// tables. Each pops the parts of its literal, first written first, and pushes
// the one new value. Every part is checked to be of the class its place gives
// it, and counts that do not fit together fail before the stack is read out of
// step, each with a message in brackets.
#pragma once

#include "module-matrix/matrix.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-zem_language/vm.h"
#include "numbers/cyclotomic.h"

// Pops vecsize elements (the first element on top) and pushes a ZEM_vector<T>.
template <class T>
class icode_vector : public icode_instr {
public:
    explicit icode_vector(int vecsize) : vecsize(vecsize) {}
    void execute(ZEM_vm& vm) const override;

private:
    int vecsize;
};

// Pops nrows rows, each a ZEM_vector<T>, and pushes a ZEM_matrix<T> as wide
// as the longest row; a shorter row is padded with zeros.
template <class T>
class icode_matrix : public icode_instr {
public:
    explicit icode_matrix(int nrows) : nrows(nrows) {}
    void execute(ZEM_vm& vm) const override;

private:
    int nrows;
};

// Pops ngenerators matrices of type M and pushes the ZEM_group<M> they generate.
template <class M>
class icode_group : public icode_instr {
public:
    explicit icode_group(int ngenerators) : ngenerators(ngenerators) {}
    void execute(ZEM_vm& vm) const override;

private:
    int ngenerators;
};

// Pops the dimension, the rank and the symmetry string, then `nentries`
// entries, each its indices (first index on top) above its value, and pushes a
// ZEM_tensor<T>. `indices_written` holds the number of indices written in each
// entry, first entry first, so its count is `nentries`; each must equal the
// rank, which is known only now.
template <class T>
class icode_tensor : public icode_instr {
public:
    explicit icode_tensor(const pointer_to_objects<int>& indices_written)
        : nentries(indices_written.count()), indices_written(indices_written)
    {
    }
    void execute(ZEM_vm& vm) const override;

private:
    int nentries;
    pointer_to_objects<int> indices_written;
};

// Pops nfactors factors (fractions), then as many numerators and as many
// denominators of exponents (ints), and pushes the sum of the factors times
// exp(2 pi i numerator/denominator).
class icode_cyclotomic : public icode_instr {
public:
    explicit icode_cyclotomic(int nfactors) : nfactors(nfactors) {}
    void execute(ZEM_vm& vm) const override;

private:
    int nfactors;
};

// Closes one power map of a character-table literal by pushing its length.
class icode_chartab_pow : public icode_instr {
public:
    explicit icode_chartab_pow(int n_powers) : n_powers(n_powers) {}
    void execute(ZEM_vm& vm) const override;

private:
    int n_powers;
};

// How many values each part of a character-table literal holds as written.
struct chartab_part_counts {
    int class_names;
    int class_sizes;
    int element_orders;
    int entries;
    int power_maps;
    int determinant;
    int vector;
};

// Pops the seven parts of a character-table literal (class names, class
// sizes, element orders, entries, power maps each as its length above its
// values, determinant and vector character; each part first written on top)
// and pushes a ZEM_character_table with n_columns classes and n_rows rows.
// The written counts must fit the table exactly, power-map values lie in
// 1 .. n_columns and sizes and orders be positive, else nothing is built.
class icode_chartab : public icode_instr {
public:
    icode_chartab(int n_columns, int n_rows, const chartab_part_counts& written)
        : n_columns(n_columns), n_rows(n_rows), written(written)
    {
    }
    void execute(ZEM_vm& vm) const override;

private:
    int n_columns;
    int n_rows;
    chartab_part_counts written;
};

extern template class icode_vector<ZEM_int>;
extern template class icode_vector<ZEM_fraction>;
extern template class icode_vector<ZEM_real>;
extern template class icode_vector<ZEM_cyclotomic_number>;
extern template class icode_matrix<ZEM_int>;
extern template class icode_matrix<ZEM_fraction>;
extern template class icode_matrix<ZEM_real>;
extern template class icode_matrix<ZEM_cyclotomic_number>;
extern template class icode_group<ZEM_matrix<ZEM_int>>;
extern template class icode_group<ZEM_matrix<ZEM_fraction>>;
extern template class icode_group<ZEM_matrix<ZEM_cyclotomic_number>>;
extern template class icode_tensor<ZEM_int>;
extern template class icode_tensor<ZEM_fraction>;
extern template class icode_tensor<ZEM_real>;
extern template class icode_tensor<ZEM_cyclotomic_number>;
