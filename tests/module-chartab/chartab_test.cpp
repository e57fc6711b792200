#include "module-chartab/chartab.h"

#include <gtest/gtest.h>

#include <functional>

#include "module-chartab/example_tables.h"
#include "support/failure.h"

namespace {

table_text two_class_text()
{
    return {{"1", "-1"}, {1, 1}, {1, 2}, {{1, 1}, {1, -1}}, {{1}, {2, 1}}, {1, -1}, {3, -3}};
}

TEST(CharacterPrint, ValuesOnOneLineSeparatedByOneBlank)
{
    EXPECT_EQ(printed(character_of({1, -1})), "character(1 -1)");
    EXPECT_EQ(printed(ZEM_character(cyclotomic_values())), "character()");
    ZEM_character c = character_of({ZEM_fraction(1, 2), root_of_unity(1, 3)});
    EXPECT_EQ(printed(c), "character(1/2 1 * exp(2*pi*i*1/3) + 0)");
    ZEM_object* copy = c.copy_object();
    c = ZEM_character(cyclotomic_values());
    EXPECT_EQ(printed(*copy), "character(1/2 1 * exp(2*pi*i*1/3) + 0)");
    EXPECT_EQ(copy->type().text(), "character");
    delete copy;
}

TEST(CharacterTablePrint, WorkedExampleByteForByte)
{
    EXPECT_EQ(printed(make_table(two_class_text())),
              "conjugate classes:\n"
              " 1   -1  \n"
              "\n"
              "conjugate class sizes:\n"
              " 1    1  \n"
              "\n"
              "orders:\n"
              " 1    2  \n"
              "\n"
              "entries:\n"
              " 1    1  \n"
              " 1   -1  \n"
              "\n"
              "powers:\n"
              " 1    2  \n"
              "      1  \n"
              "\n"
              "determinant character:\n"
              " 1   -1  \n"
              "vector character:\n"
              " 3   -3  ");
}

TEST(CharacterTablePrint, NoRowsAndNoClasses)
{
    table_text no_rows = two_class_text();
    no_rows.rows.clear();
    std::string text = printed(make_table(no_rows));
    EXPECT_NE(text.find("\n\nentries:\n\npowers:\n"), std::string::npos) << text;

    for (int rows = 0; rows < 3; ++rows) {
        table_text empty{{}, {}, {}, std::vector<std::vector<ZEM_cyclotomic_number>>(rows), {}, {}, {}};
        EXPECT_EQ(printed(make_table(empty)), "conjugate classes:\n\n\nconjugate class sizes:\n\n\norders:\n\n\n"
                                              "entries:\n"
                                                  + std::string(rows, '\n')
                                                  + "\npowers:\n\n\ndeterminant character:\n\nvector character:\n");
    }
}

TEST(CharacterTablePrint, EachColumnIsAsWideAsItsWidestTextInAnySection)
{
    // Class 1 is widened by its name, class 2 by a power map entry, class 3 by
    // a cyclotomic entry; shorter power lists leave blank cells of full width.
    table_text t{{"alpha", "b", "c"},
                 {1, 1, 1},
                 {1, 3, 3},
                 {{1, 1, 1}, {1, 1, root_of_unity(1, 3)}},
                 {{1}, {10, 2}, {3, 2, 1}},
                 {1, 1, 1},
                 {3, 0, 0}};
    EXPECT_EQ(printed(make_table(t)),
              "conjugate classes:\n"
              " alpha    b              c             \n"
              "\n"
              "conjugate class sizes:\n"
              "   1      1              1             \n"
              "\n"
              "orders:\n"
              "   1      3              3             \n"
              "\n"
              "entries:\n"
              "   1      1              1             \n"
              "   1      1   1 * exp(2*pi*i*1/3) + 0  \n"
              "\n"
              "powers:\n"
              "   1     10              3             \n"
              "          2              2             \n"
              "                         1             \n"
              "\n"
              "determinant character:\n"
              "   1      1              1             \n"
              "vector character:\n"
              "   3      0              0             ");
}

TEST(CharacterTable, EntriesAreReadClassFirstAndRowsHoldTheirEntriesInClassOrder)
{
    table_text t{{"a", "b"}, {1, 1}, {1, 2}, {{1, 2}, {3, 4}, {5, 6}}, {{1}, {2, 1}}, {1, 1}, {7, 8}};
    ZEM_character_table table = make_table(t);
    EXPECT_EQ(table.rows(), 3);
    EXPECT_EQ(table.columns(), 2);
    EXPECT_TRUE(table.tab_entry(2, 3) == ZEM_cyclotomic_number(6));
    EXPECT_EQ(printed(table.row(3)), "character(5 6)");
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c) EXPECT_TRUE(table.row(r).values()[c - 1] == table.tab_entry(c, r));
    EXPECT_EQ(printed(table.determinant_character()), "character(1 1)");
    EXPECT_EQ(printed(table.vector_character()), "character(7 8)");
    EXPECT_EQ(table.type().text(), "character_table");
    EXPECT_EQ(table.row(1).type().text(), "character");
    EXPECT_EQ(tp_character().n_arguments() + tp_character_table().n_arguments(), 0);
}

TEST(CharacterTable, CopiesOutliveTheOriginalAndCharactersHaveTheirOwnValues)
{
    auto* original = new ZEM_character_table(make_table(quaternion_8_text()));
    std::string text = printed(*original);
    ZEM_character_table assigned;
    assigned = *original;
    ZEM_object* copy = original->copy_object();
    ZEM_character row = original->row(5);
    delete original;
    EXPECT_EQ(printed(*copy), text);
    EXPECT_EQ(printed(assigned), text);
    EXPECT_EQ(printed(row), "character(2 -2 0 0 0)");
    assigned = assigned;
    EXPECT_EQ(printed(assigned), text);
    delete copy;
    EXPECT_EQ(assigned.rows(), 5);
}

TEST(CharacterTable, PowerMapsAreReadPeriodically)
{
    // The class of i holds i, -1, -i, 1 as 1st to 4th powers.
    ZEM_character_table q8 = make_table(quaternion_8_text());
    int expected[] = {3, 2, 3, 1, 3, 2, 3, 1, 3};
    for (int n = 1; n <= 9; ++n) EXPECT_EQ(q8.index_of_nth_power(3, n), expected[n - 1]) << n;
    EXPECT_EQ(q8.index_of_nth_power(3, 2147483647), 3);
    EXPECT_EQ(q8.index_of_nth_power(1, 1000), 1);
    EXPECT_EQ(q8.index_of_nth_power(2, 1000), 1);
}

TEST(CharacterTable, NumbersOutOfRangeFailInsteadOfReadingBeyondTheArrays)
{
    table_text t = two_class_text();
    t.powers = {{}, {2, 3}};
    ZEM_character_table table = make_table(t);
    struct {
        std::function<void()> action;
        const char* message;
    } cases[] = {
        {[&] { table.index_of_nth_power(2, 0); }, "[index_of_nth_power] power <= 0"},
        {[&] { table.index_of_nth_power(2, -3); }, "[index_of_nth_power] power <= 0"},
        {[&] { table.index_of_nth_power(9, 0); }, "[index_of_nth_power] power <= 0"},
        {[&] { table.index_of_nth_power(0, 1); }, "[index_of_nth_power] class number out of range"},
        {[&] { table.index_of_nth_power(3, 1); }, "[index_of_nth_power] class number out of range"},
        {[&] { table.index_of_nth_power(1, 1); }, "[index_of_nth_power] empty power map"},
        {[&] { table.index_of_nth_power(2, 2); }, "[index_of_nth_power] power map entry out of range"},
        {[&] { table.row(0); }, "[row] row number out of range"},
        {[&] { table.row(3); }, "[row] row number out of range"},
        {[&] { table.tab_entry(0, 1); }, "[tab_entry] class number out of range"},
        {[&] { table.tab_entry(3, 1); }, "[tab_entry] class number out of range"},
        {[&] { table.tab_entry(1, 0); }, "[tab_entry] row number out of range"},
        {[&] { table.tab_entry(1, 3); }, "[tab_entry] row number out of range"},
    };
    for (const auto& c : cases) EXPECT_EQ(failure_of(c.action), run_time(c.message));
    EXPECT_EQ(table.index_of_nth_power(2, 1), 2);
}

TEST(CharacterTable, ArraysThatDoNotFitTheCountsAreRefused)
{
    std::function<void(table_text&)> breaks[] = {
        [](table_text& t) { t.sizes.pop_back(); },       [](table_text& t) { t.orders.push_back(1); },
        [](table_text& t) { t.powers.pop_back(); },      [](table_text& t) { t.determinant.pop_back(); },
        [](table_text& t) { t.vector.push_back(1); },    [](table_text& t) { t.rows.back().pop_back(); },
    };
    for (const auto& broken : breaks) {
        table_text t = two_class_text();
        broken(t);
        EXPECT_EQ(failure_of([&] { make_table(t); }),
                  run_time("[ZEM_character_table] array sizes do not fit the counts"));
    }
    pointer_to_objects<int> none;
    EXPECT_EQ(failure_of([&] {
                  ZEM_character_table(0, -1, pointer_to_objects<ZEM_string>(), none, none, cyclotomic_values(),
                                      pointer_to_objects<pointer_to_objects<int>>(), cyclotomic_values(),
                                      cyclotomic_values());
              }),
              run_time("[ZEM_character_table] negative count"));
}

}
