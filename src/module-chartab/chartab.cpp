#include "module-chartab/chartab.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "module-object/error.h"
#include "module-object/text_stream.h"

ZEM_character_table_impl::ZEM_character_table_impl(
    int columns, int rows, const pointer_to_objects<ZEM_string>& class_names,
    const pointer_to_objects<int>& class_sizes, const pointer_to_objects<int>& element_orders,
    const pointer_to_objects<ZEM_cyclotomic_number>& entries,
    const pointer_to_objects<pointer_to_objects<int>>& powers,
    const pointer_to_objects<ZEM_cyclotomic_number>& determinant_values,
    const pointer_to_objects<ZEM_cyclotomic_number>& vector_values)
    : n_columns(columns), n_rows(rows), class_names(class_names), class_sizes(class_sizes),
      element_orders(element_orders), entries(entries), powers(powers), determinant_values(determinant_values),
      vector_values(vector_values)
{
    // Every reader indexes these arrays by the two counts alone.
    if (columns < 0 || rows < 0) ZEM_FAIL("[ZEM_character_table] negative count");
    bool fits = class_names.count() == columns && class_sizes.count() == columns
                && element_orders.count() == columns && powers.count() == columns
                && determinant_values.count() == columns && vector_values.count() == columns
                && std::int64_t(entries.count()) == std::int64_t(columns) * rows;
    if (!fits) ZEM_FAIL("[ZEM_character_table] array sizes do not fit the counts");
}

ZEM_character_table::ZEM_character_table(int columns, int rows, const pointer_to_objects<ZEM_string>& class_names,
                                         const pointer_to_objects<int>& class_sizes,
                                         const pointer_to_objects<int>& element_orders,
                                         const pointer_to_objects<ZEM_cyclotomic_number>& entries,
                                         const pointer_to_objects<pointer_to_objects<int>>& powers,
                                         const pointer_to_objects<ZEM_cyclotomic_number>& determinant_values,
                                         const pointer_to_objects<ZEM_cyclotomic_number>& vector_values)
{
    attach(new ZEM_character_table_impl(columns, rows, class_names, class_sizes, element_orders, entries, powers,
                                        determinant_values, vector_values));
}

ZEM_object* ZEM_character_table::copy_object() const { return new ZEM_character_table(*this); }

ZEM_type ZEM_character_table::type() const { return tp_character_table(); }

ZEM_type tp_character_table() { return ZEM_type("character_table", 0); }

ZEM_character ZEM_character_table::row(int i) const
{
    if (i < 1 || i > rows()) ZEM_FAIL("[row] row number out of range");
    pointer_to_objects<ZEM_cyclotomic_number> values(columns());
    for (int c = 1; c <= columns(); ++c) values[c - 1] = entry(c, i);
    return ZEM_character(values);
}

ZEM_cyclotomic_number ZEM_character_table::tab_entry(int c, int r) const
{
    if (c < 1 || c > columns()) ZEM_FAIL("[tab_entry] class number out of range");
    if (r < 1 || r > rows()) ZEM_FAIL("[tab_entry] row number out of range");
    return entry(c, r);
}

ZEM_cyclotomic_number ZEM_character_table::entry(int c, int r) const
{
    return body()->entries[(r - 1) * columns() + (c - 1)];
}

ZEM_character ZEM_character_table::determinant_character() const
{
    return ZEM_character(body()->determinant_values);
}

ZEM_character ZEM_character_table::vector_character() const { return ZEM_character(body()->vector_values); }

int ZEM_character_table::index_of_nth_power(int c, int n) const
{
    if (n < 1) ZEM_FAIL("[index_of_nth_power] power <= 0");
    if (c < 1 || c > columns()) ZEM_FAIL("[index_of_nth_power] class number out of range");
    const pointer_to_objects<int>& list = body()->powers[c - 1];
    if (list.count() == 0) ZEM_FAIL("[index_of_nth_power] empty power map");
    int power_class = list[(n - 1) % list.count()];
    // The callers index classes with the answer.
    if (power_class < 1 || power_class > columns())
        ZEM_FAIL("[index_of_nth_power] power map entry out of range");
    return power_class;
}

namespace {

template <class Value>
std::string printed(const Value& value)
{
    text_stream out;
    out << value;
    return out.str();
}

// Centred in width + 3 characters; an odd pad puts the extra blank after the text.
void write_cell(std::ostream& out, const std::string& text, std::size_t width)
{
    std::size_t pad = width + 3 - text.size();
    out << std::string(pad / 2, ' ') << text << std::string(pad - pad / 2, ' ');
}

}

void ZEM_character_table::print(std::ostream& out) const
{
    const ZEM_character_table_impl& t = *body();
    const int m = t.n_columns;
    auto entry_at = [&](int r, int c) -> const ZEM_cyclotomic_number& { return t.entries[r * m + c]; };

    std::vector<std::size_t> width(static_cast<std::size_t>(m), 0);
    std::size_t power_lines = 1;
    for (int c = 0; c < m; ++c) {
        std::size_t& w = width[static_cast<std::size_t>(c)];
        auto widen = [&w](const std::string& text) { w = std::max(w, text.size()); };
        widen(t.class_names[c].c_str());
        widen(std::to_string(t.class_sizes[c]));
        widen(std::to_string(t.element_orders[c]));
        for (int r = 0; r < t.n_rows; ++r) widen(printed(entry_at(r, c)));
        for (int power : t.powers[c]) widen(std::to_string(power));
        widen(printed(t.determinant_values[c]));
        widen(printed(t.vector_values[c]));
        power_lines = std::max(power_lines, static_cast<std::size_t>(t.powers[c].count()));
    }

    auto cells = [&](auto&& text_of) {
        for (int c = 0; c < m; ++c) write_cell(out, text_of(c), width[static_cast<std::size_t>(c)]);
    };
    out << "conjugate classes:\n";
    cells([&](int c) { return std::string(t.class_names[c].c_str()); });
    out << "\n\nconjugate class sizes:\n";
    cells([&](int c) { return std::to_string(t.class_sizes[c]); });
    out << "\n\norders:\n";
    cells([&](int c) { return std::to_string(t.element_orders[c]); });
    out << "\n\nentries:\n";
    for (int r = 0; r < t.n_rows; ++r) {
        cells([&](int c) { return printed(entry_at(r, c)); });
        out << '\n';
    }
    out << "\npowers:\n";
    for (std::size_t k = 0; k < power_lines; ++k) {
        cells([&](int c) {
            const pointer_to_objects<int>& list = t.powers[c];
            return k < static_cast<std::size_t>(list.count()) ? std::to_string(list[static_cast<int>(k)])
                                                               : std::string();
        });
        out << '\n';
    }
    out << "\ndeterminant character:\n";
    cells([&](int c) { return printed(t.determinant_values[c]); });
    out << "\nvector character:\n";
    cells([&](int c) { return printed(t.vector_values[c]); });
}
