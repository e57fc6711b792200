#include "module-vector/vector.h"

#include <gtest/gtest.h>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/matrices.h"

namespace {

TEST(Vectors, HoldCopiesInOrderAndShareTheirBody)
{
    pointer_to_objects<ZEM_fraction> a(3);
    a[0] = ZEM_fraction(1, 2);
    a[1] = 0;
    a[2] = -3;
    auto* v = new ZEM_vector<ZEM_fraction>(a);
    a[0] = 7;
    ASSERT_EQ(v->length(), 3);
    EXPECT_EQ((*v)[0], ZEM_fraction(1, 2));
    EXPECT_EQ((*v)[2], ZEM_fraction(-3));
    ZEM_vector<ZEM_fraction> copy(*v);
    auto* heap = static_cast<ZEM_vector<ZEM_fraction>*>(v->copy_object());
    EXPECT_EQ(&copy[0], &(*v)[0]);
    EXPECT_EQ(&(*heap)[0], &(*v)[0]);
    delete v;
    delete heap;
    ZEM_vector<ZEM_fraction>& same = copy;
    copy = same;
    EXPECT_EQ(copy[1], ZEM_fraction(0));
    EXPECT_EQ(ZEM_vector<ZEM_int>(pointer_to_objects<ZEM_int>()).length(), 0);
}

TEST(Vectors, PrintedFormsAndTypes)
{
    EXPECT_EQ(printed(vector_of<ZEM_int>({1, -2, 3})), "vector<int>(1  -2  3)\n");
    EXPECT_EQ(printed(vector_of<ZEM_int>({})), "vector<int>()\n");
    EXPECT_EQ(printed(vector_of<ZEM_fraction>({ZEM_fraction(2, 3)})), "vector<fraction>(2/3)\n");
    EXPECT_EQ(printed(vector_of<ZEM_real>({1.5, 0.0})), "vector<real>(1.5  0)\n");
    EXPECT_EQ(ZEM_vector<ZEM_real>().type().text(), "vector<real>");
    EXPECT_EQ(tp_vector(tp_int()).text(), "vector<int>");
}

}
