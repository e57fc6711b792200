#include "module-collections/pointer_hash_table.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <vector>

#include "support/failure.h"

namespace {

using ints = std::vector<int>;

// Elements are heap ints; the table's deletions are counted.
int deletes = 0;
int uncopyable = INT_MIN + 1;  // copying this value fails

int value_of(const void* e) { return *static_cast<const int*>(e); }
int equal_ints(const void* a, const void* b) { return value_of(a) == value_of(b); }
int modulo(const void* e, int n) { return phtab_bucket_of(value_of(e), n); }
void* copy_int(const void* e)
{
    if (value_of(e) == uncopyable) throw std::runtime_error("no copy");
    return new int(value_of(e));
}
void delete_int(const void* e)
{
    ++deletes;
    delete static_cast<const int*>(e);
}

pointer_hash_table table_of(int n_buckets, const ints& values = {})
{
    pointer_hash_table t(equal_ints, modulo, copy_int, delete_int, n_buckets);
    for (int v : values) t.phtab_add(new int(v));
    return t;
}

// The elements in iteration order, read both ways a user can walk.
ints order(const pointer_hash_table& t)
{
    ints walked, visited;
    for (phtab_iterator it(t, phtab_at_begin); it; it++) walked.push_back(value_of(*it));
    t.phtab_for_all_do([](const void* e, void* all) { static_cast<ints*>(all)->push_back(value_of(e)); }, &visited);
    EXPECT_EQ(walked, visited);
    EXPECT_EQ(static_cast<int>(walked.size()), t.element_count());
    return walked;
}

TEST(PointerHashTable, NewElementsGoFirstInTheirBucketAndCopiesReverseEachChain)
{
    pointer_hash_table t = table_of(4, {1, 5, 2});
    EXPECT_EQ(order(t), (ints{5, 1, 2}));
    EXPECT_EQ(order(pointer_hash_table(t)), (ints{1, 5, 2}));
    pointer_hash_table assigned = table_of(8, {7});
    assigned = t;
    EXPECT_EQ(order(assigned), (ints{1, 5, 2}));

    pointer_hash_table fifty = table_of(50);
    for (int v = 0; v < 50; ++v) fifty.phtab_add(new int(v * 7));
    fifty.phtab_add(new int(0));  // equal to a stored one: replaced, no growth
    EXPECT_EQ(fifty.bucket_count(), 50);
    fifty.phtab_add(new int(1000));
    EXPECT_EQ(fifty.bucket_count(), 100);
    EXPECT_EQ(fifty.element_count(), 51);

    EXPECT_EQ(phtab_bucket_of(INT_MIN, 50), 48);
    EXPECT_EQ(order(table_of(50, {INT_MIN, 48, -48})), (ints{-48, 48, INT_MIN}));
}

TEST(PointerHashTable, SetOperatorsGiveTheFixedOrder)
{
    const pointer_hash_table a = table_of(4, {1, 5, 2}), b = table_of(8, {5, 2, 3, 9});
    EXPECT_EQ(order(a + b), (ints{9, 1, 2, 3, 5}));
    EXPECT_EQ(order(a - b), ints{1});
    EXPECT_EQ(order(a * b), (ints{5, 2}));

    EXPECT_TRUE(a == table_of(16, {2, 1, 5}));
    EXPECT_FALSE(a == table_of(16, {2, 1, 6}));
    EXPECT_TRUE(a - b < a);
    EXPECT_FALSE(a < table_of(16, {2, 1, 5}));  // equal, so not a proper subset
}

TEST(PointerHashTable, AddingNeverFreesTheStoredPointerAndFailingCopiesChangeNothing)
{
    pointer_hash_table t = table_of(4, {1, 5, 2});
    deletes = 0;
    int* replacement = new int(5);
    t.phtab_add(replacement);
    t.phtab_add(replacement);  // the very pointer already stored
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(t.phtab_get_elt(replacement), replacement);

    uncopyable = 2;
    EXPECT_THROW(pointer_hash_table copy(t), std::runtime_error);
    pointer_hash_table target = table_of(4, {7});
    EXPECT_THROW(target = t, std::runtime_error);
    uncopyable = INT_MIN + 1;
    EXPECT_EQ(order(t), (ints{5, 1, 2}));
    EXPECT_EQ(order(target), ints{7});
}

TEST(PointerHashTable, IteratorFailuresAndSteppingPastTheEnd)
{
    pointer_hash_table t = table_of(4, {3});
    EXPECT_EQ(failure_of([&] { phtab_iterator at_end(t, phtab_at_end); }),
              run_time("[phtab_iterator::phtab_iterator] iteration starting at end is not implemented"));
    phtab_iterator it(t, phtab_at_begin);
    const std::string backwards = run_time("phtab_iterator::operator --] operation not implemented");
    EXPECT_EQ(failure_of([&] { --it; }), backwards);
    EXPECT_EQ(failure_of([&] { it--; }), backwards);
    ++it;
    it++;
    EXPECT_FALSE(it);
    EXPECT_EQ(failure_of([&] { (void)*it; }),
              run_time("[ZEMiter_list_impl::operator*] dereference of invalid iterator"));
    EXPECT_EQ(order(pointer_hash_table()), ints{});
}

// An independent model of the order: a list per bucket, the newest element in
// front; growth takes the old buckets in order and puts each element in front again.
struct order_model {
    std::vector<ints> chains;
    int count = 0;

    static std::size_t bucket(int v, std::size_t n) { return static_cast<std::size_t>(std::abs(v)) % n; }
    static void push_front(ints& chain, int v) { chain.insert(chain.begin(), v); }

    void add(int v)
    {
        ints& chain = chains[bucket(v, chains.size())];
        if (std::count(chain.begin(), chain.end(), v) > 0) return;
        push_front(chain, v);
        if (++count <= static_cast<int>(chains.size())) return;
        std::vector<ints> grown(2 * chains.size());
        for (const ints& old : chains)
            for (int x : old) push_front(grown[bucket(x, grown.size())], x);
        chains.swap(grown);
    }
    void remove(int v) { count -= static_cast<int>(std::erase(chains[bucket(v, chains.size())], v)); }
    ints order() const
    {
        ints all;
        for (const ints& chain : chains) all.insert(all.end(), chain.begin(), chain.end());
        return all;
    }
};

TEST(PointerHashTable, RandomOperationsFollowTheOrderModel)
{
    std::mt19937 engine(808);
    for (int round = 0; round < 40; ++round) {
        const int n = 1 + static_cast<int>(engine() % 7);
        pointer_hash_table t = table_of(n);
        order_model model{std::vector<ints>(static_cast<std::size_t>(n))};
        deletes = 0;
        int added = 0;
        for (int step = 0; step < 400; ++step) {
            int v = static_cast<int>(engine() % 301) - 150;
            if (engine() % 3 == 0) {
                t.phtab_delete(&v);  // v stays the caller's
                model.remove(v);
            } else {
                t.phtab_add(new int(v));
                model.add(v);
                ++added;
            }
            ASSERT_EQ(t.bucket_count(), static_cast<int>(model.chains.size()));
        }
        ASSERT_EQ(order(t), model.order());
        ASSERT_EQ(deletes, added - t.element_count());
        // Sums and intersections with itself copy twice, so the order comes back.
        ASSERT_EQ(order(t + t), model.order());
        ASSERT_EQ(order(t * t), model.order());
        ASSERT_EQ(order(t - t), ints{});
        t += t;  // each element replaced by its own copy, in place
        ASSERT_EQ(order(t), model.order());
        for (ints& chain : model.chains) std::reverse(chain.begin(), chain.end());
        ASSERT_EQ(order(pointer_hash_table(t)), model.order());
        const pointer_hash_table& same = t;  // spelled so, as compilers warn of "t -= t"
        t -= same;
        ASSERT_EQ(order(t), ints{});
    }
}

}
