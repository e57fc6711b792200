#include "groups/group.h"

#include <gtest/gtest.h>

#include "module-matrix/matrix.h"

namespace {

TEST(Groups, TypesNameTheirMatrices)
{
    EXPECT_EQ(tp_group(tp_matrix(tp_int())).text(), "group<matrix<int>>");
    EXPECT_EQ(tp_group(tp_matrix(tp_fraction())).text(), "group<matrix<fraction>>");
    EXPECT_NE(tp_group(tp_matrix(tp_int())), tp_group(tp_matrix(tp_fraction())));
}

}
