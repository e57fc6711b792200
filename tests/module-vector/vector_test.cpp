#include "module-vector/vector.h"

#include <functional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "module-matrix/matrix_builders.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

using I = ZEM_int;

// A handle without a body fails wherever it is read, also inside a builder; a
// vector of length 0 is a vector like any other.
TEST(Vectors, AnEmptyHandleFailsWhereverItIsUsed)
{
    const ZEM_vector<I> no_body, no_elements = vector_of<I>({});
    pointer_to_objects<ZEM_vector<I>> vectors(2);
    vectors[0] = vector_of<I>({1, 2});
    const std::string fault = "[ZEM_vector] empty vector handle";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { printed(no_body); }, fault},
        {[&] { matrix_from_rows(vectors); }, fault},
        {[&] { matrix_from_columns(vectors); }, fault},
        {[&] { no_body[0]; }, fault},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message));

    EXPECT_EQ(printed(no_elements), "vector<int>()\n");
    vectors[1] = no_elements;
    EXPECT_EQ(matrix_from_rows(vectors), matrix_of<I>({{1, 2}, {0, 0}}));
}
