// The printed elements of a collection in the order of a walk from its
// beginning, after checking that its count agrees with the walk.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "module-collections/collection.h"
#include "support/printed.h"

template <class T>
std::vector<std::string> walked(const ZEM_collection<T>& c)
{
    std::vector<std::string> all;
    for (ZEM_iterator<T> it(c.create_iter_at_begin()); it; it++) all.push_back(printed(*it));
    EXPECT_EQ(c.n_elements(), static_cast<int>(all.size()));
    return all;
}
