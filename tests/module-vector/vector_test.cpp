#include "module-vector/vector.h"

#include <gtest/gtest.h>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/matrices.h"

namespace {

TEST(Vectors, HoldCopiesOfTheirArrayAndPrintOnOneLine)
{
    pointer_to_objects<ZEM_int> a(3);
    a[0] = 1;
    a[1] = -2;
    a[2] = 3;
    const ZEM_vector<ZEM_int> v(a);
    a[0] = 7;
    EXPECT_EQ(printed(v), "vector<int>(1  -2  3)\n");
    EXPECT_EQ(printed(ZEM_vector<ZEM_int>(pointer_to_objects<ZEM_int>())), "vector<int>()\n");
    EXPECT_EQ(printed(vector_of<ZEM_fraction>({ZEM_fraction(2, 3)})), "vector<fraction>(2/3)\n");
    EXPECT_EQ(ZEM_vector<ZEM_real>().type(), tp_vector(tp_real()));
    EXPECT_EQ(tp_vector(tp_int()).text(), "vector<int>");
}

}
