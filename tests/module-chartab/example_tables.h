// Character tables written out by hand for the tests, and a builder from that form.
#pragma once

#include <vector>

#include "module-chartab/chartab.h"
#include "numbers/cyclotomic_support.h"

template <class T, class Range>
pointer_to_objects<T> array_of(const Range& items)
{
    pointer_to_objects<T> array(static_cast<int>(items.size()));
    int k = 0;
    for (const auto& item : items) array[k++] = T(item);
    return array;
}

inline ZEM_character character_of(const std::vector<ZEM_cyclotomic_number>& values)
{
    return ZEM_character(array_of<ZEM_cyclotomic_number>(values));
}

// A table as a literal writes it, fields in the order the table constructor takes them.
struct table_text {
    std::vector<const char*> names;
    std::vector<int> sizes, orders;
    std::vector<std::vector<ZEM_cyclotomic_number>> rows;
    std::vector<std::vector<int>> powers;
    std::vector<ZEM_cyclotomic_number> determinant, vector;
};

inline ZEM_character_table make_table(const table_text& t)
{
    std::vector<ZEM_cyclotomic_number> entries;
    for (const auto& row : t.rows) entries.insert(entries.end(), row.begin(), row.end());
    std::vector<pointer_to_objects<int>> powers;
    for (const auto& list : t.powers) powers.push_back(array_of<int>(list));
    return ZEM_character_table(static_cast<int>(t.names.size()), static_cast<int>(t.rows.size()),
                               array_of<ZEM_string>(t.names), array_of<int>(t.sizes), array_of<int>(t.orders),
                               array_of<ZEM_cyclotomic_number>(entries), array_of<pointer_to_objects<int>>(powers),
                               array_of<ZEM_cyclotomic_number>(t.determinant),
                               array_of<ZEM_cyclotomic_number>(t.vector));
}

// Cyclic group of order 3: classes of 1, g and g^2; the squares of g lie in g^2.
inline table_text cyclic_3_text()
{
    ZEM_cyclotomic_number w = cyclotomic_testing::root_of_unity(1, 3), w2 = cyclotomic_testing::root_of_unity(2, 3);
    return {{"1a", "3a", "3b"}, {1, 1, 1}, {1, 3, 3}, {{1, 1, 1}, {1, w, w2}, {1, w2, w}},
            {{1}, {2, 3, 1}, {3, 2, 1}}, {1, 1, 1}, {3, 0, 0}};
}

// Quaternion group of order 8: classes 1, -1, {i,-i}, {j,-j}, {k,-k}.
inline table_text quaternion_8_text()
{
    return {{"1", "-1", "i", "j", "k"}, {1, 1, 2, 2, 2}, {1, 2, 4, 4, 4},
            {{1, 1, 1, 1, 1}, {1, 1, 1, -1, -1}, {1, 1, -1, 1, -1}, {1, 1, -1, -1, 1}, {2, -2, 0, 0, 0}},
            {{1}, {2, 1}, {3, 2, 3, 1}, {4, 2, 4, 1}, {5, 2, 5, 1}}, {1, 1, 1, 1, 1}, {3, 3, -1, -1, -1}};
}
