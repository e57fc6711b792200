// Character tables written out by hand for the tests, with small builders.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "module-chartab/chartab.h"
#include "support/printed.h"

using cyclotomic_values = pointer_to_objects<ZEM_cyclotomic_number>;

// exp(2 pi i k / n)
inline ZEM_cyclotomic_number root_of_unity(int k, int n)
{
    ZEM_linkedlist<ZEM_fraction> factor;
    ZEM_linkedlist<ZEM_int> numerator, denominator;
    factor.add_at_tail(1);
    numerator.add_at_tail(k);
    denominator.add_at_tail(n);
    return ZEM_cyclotomic_number(factor, numerator, denominator);
}

template <class T, class Range>
pointer_to_objects<T> array_of(const Range& items)
{
    pointer_to_objects<T> array(static_cast<int>(items.size()));
    int k = 0;
    for (const auto& item : items) array[k++] = T(item);
    return array;
}

inline cyclotomic_values values_of(std::initializer_list<ZEM_cyclotomic_number> items)
{
    return array_of<ZEM_cyclotomic_number>(items);
}

inline ZEM_character character_of(std::initializer_list<ZEM_cyclotomic_number> items)
{
    return ZEM_character(values_of(items));
}

struct table_text {
    std::vector<std::string> names;
    std::vector<int> sizes;
    std::vector<int> orders;
    std::vector<std::vector<ZEM_cyclotomic_number>> rows;
    std::vector<std::vector<int>> powers;
    std::vector<ZEM_cyclotomic_number> determinant;
    std::vector<ZEM_cyclotomic_number> vector;
};

inline ZEM_character_table make_table(const table_text& t)
{
    int columns = static_cast<int>(t.names.size());
    std::vector<ZEM_cyclotomic_number> entries;
    for (const auto& row : t.rows) entries.insert(entries.end(), row.begin(), row.end());
    pointer_to_objects<ZEM_string> names(columns);
    for (int c = 0; c < columns; ++c) names[c] = ZEM_string(t.names[static_cast<std::size_t>(c)].c_str());
    pointer_to_objects<pointer_to_objects<int>> powers(static_cast<int>(t.powers.size()));
    for (int c = 0; c < powers.count(); ++c) powers[c] = array_of<int>(t.powers[static_cast<std::size_t>(c)]);
    return ZEM_character_table(columns, static_cast<int>(t.rows.size()), names, array_of<int>(t.sizes),
                               array_of<int>(t.orders), array_of<ZEM_cyclotomic_number>(entries), powers,
                               array_of<ZEM_cyclotomic_number>(t.determinant),
                               array_of<ZEM_cyclotomic_number>(t.vector));
}

// Cyclic group of order 3: classes of 1, g and g^2; the squares of g lie in g^2.
inline table_text cyclic_3_text()
{
    ZEM_cyclotomic_number w = root_of_unity(1, 3), w2 = root_of_unity(2, 3);
    return {{"1a", "3a", "3b"},
            {1, 1, 1},
            {1, 3, 3},
            {{1, 1, 1}, {1, w, w2}, {1, w2, w}},
            {{1}, {2, 3, 1}, {3, 2, 1}},
            {1, 1, 1},
            {3, 0, 0}};
}

// Quaternion group of order 8: classes 1, -1, {i,-i}, {j,-j}, {k,-k}.
inline table_text quaternion_8_text()
{
    return {{"1", "-1", "i", "j", "k"},
            {1, 1, 2, 2, 2},
            {1, 2, 4, 4, 4},
            {{1, 1, 1, 1, 1}, {1, 1, 1, -1, -1}, {1, 1, -1, 1, -1}, {1, 1, -1, -1, 1}, {2, -2, 0, 0, 0}},
            {{1}, {2, 1}, {3, 2, 3, 1}, {4, 2, 4, 1}, {5, 2, 5, 1}},
            {1, 1, 1, 1, 1},
            {3, 3, -1, -1, -1}};
}
