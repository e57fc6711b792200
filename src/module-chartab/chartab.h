// A character table of a finite group: per conjugacy class its name, size,
// element order and power map; the irreducible characters as rows of
// cyclotomic entries; the determinant and the vector character. A handle on a
// shared body that never changes once built. Class numbers, row numbers and
// exponents count from 1. The body always holds n_columns names, sizes, orders,
// power maps, determinant and vector values and n_columns * n_rows entries;
// power maps are checked where they are read, since a table may be printed
// whatever they hold.
#pragma once

#include "module-chartab/character.h"
#include "module-collections/linkedlist.h"
#include "module-object/string.h"

class ZEM_character_table_impl : public ZEM_referenced_object {
public:
    ZEM_character_table_impl(int columns, int rows, const pointer_to_objects<ZEM_string>& class_names,
                             const pointer_to_objects<int>& class_sizes,
                             const pointer_to_objects<int>& element_orders,
                             const pointer_to_objects<ZEM_cyclotomic_number>& entries,
                             const pointer_to_objects<pointer_to_objects<int>>& powers,
                             const pointer_to_objects<ZEM_cyclotomic_number>& determinant_values,
                             const pointer_to_objects<ZEM_cyclotomic_number>& vector_values);

    int n_columns;
    int n_rows;
    pointer_to_objects<ZEM_string> class_names;
    pointer_to_objects<int> class_sizes;
    pointer_to_objects<int> element_orders;
    // Row r, class c is element (r - 1) * n_columns + (c - 1).
    pointer_to_objects<ZEM_cyclotomic_number> entries;
    // Element k - 1 of the list of class c: the class of the k-th powers; read cyclically.
    pointer_to_objects<pointer_to_objects<int>> powers;
    pointer_to_objects<ZEM_cyclotomic_number> determinant_values;
    pointer_to_objects<ZEM_cyclotomic_number> vector_values;
};

class ZEM_character_table : public ZEM_referencing_object<ZEM_character_table_impl> {
public:
    ZEM_character_table() = default;
    // Fails when a count is negative or an array's length does not fit the counts.
    ZEM_character_table(int columns, int rows, const pointer_to_objects<ZEM_string>& class_names,
                        const pointer_to_objects<int>& class_sizes, const pointer_to_objects<int>& element_orders,
                        const pointer_to_objects<ZEM_cyclotomic_number>& entries,
                        const pointer_to_objects<pointer_to_objects<int>>& powers,
                        const pointer_to_objects<ZEM_cyclotomic_number>& determinant_values,
                        const pointer_to_objects<ZEM_cyclotomic_number>& vector_values);
    ZEM_character_table(const ZEM_character_table& other) = default;
    ZEM_character_table& operator=(const ZEM_character_table& other) = default;

    ZEM_object* copy_object() const override;
    // Seven labelled sections, each class a centred column of one width.
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    int rows() const { return body()->n_rows; }
    int columns() const { return body()->n_columns; }
    ZEM_character row(int i) const;
    // The size of class c, counted from 1, without a range test.
    int class_size(int c) const { return body()->class_sizes[c - 1]; }
    // Class first, then row.
    ZEM_cyclotomic_number tab_entry(int c, int r) const;
    ZEM_character determinant_character() const;
    ZEM_character vector_character() const;
    // The class of the n-th powers of the elements of class c, n >= 1.
    int index_of_nth_power(int c, int n) const;

    // Value-wise; any common length, the table plays no part.
    ZEM_character character_product(const ZEM_character& v1, const ZEM_character& v2) const;
    ZEM_character character_add(const ZEM_character& v1, const ZEM_character& v2) const;
    // (1/|G|) sum over c of |C_c| v1(c) conj(v2(c)).
    ZEM_cyclotomic_number character_scalar_product(const ZEM_character& v1, const ZEM_character& v2) const;
    // The scalar product of each row with chi, row 1 first.
    ZEM_linkedlist<ZEM_cyclotomic_number> decompose(const ZEM_character& chi) const;
    // n = 0 gives the table's trivial character; n < 0 the inverses of the |n|-th power.
    ZEM_character character_power(const ZEM_character& chi, int n) const;

    ZEM_character character_symmetric_square(const ZEM_character& chi) const;
    ZEM_character character_anti_symmetric_square(const ZEM_character& chi) const;
    // The character of the real form, chosen by the Frobenius-Schur indicator;
    // all zeros when the indicator is not 0, 1 or -1.
    ZEM_character character_physical_representation(const ZEM_character& chi) const;

private:
    ZEM_cyclotomic_number entry(int c, int r) const;
    int group_order() const;
    void require_class_length(const char* operation, const ZEM_character& chi) const;
    ZEM_character square(const ZEM_character& chi, bool symmetric) const;
};

ZEM_type tp_character_table();
