#include "module-collections/pointer_hash_table.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include "support/failure.h"

namespace {

// Elements are heap ints; the callbacks count what the table asks of them.
struct callback_calls {
    int copies = 0;
    int deletes = 0;
};
callback_calls calls;
int failing_value = INT_MIN + 1;  // copy and bucket callbacks fail on it

int value_of(const void* e) { return *static_cast<const int*>(e); }
int equal_ints(const void* a, const void* b) { return value_of(a) == value_of(b); }
int modulo(const void* e, int n)
{
    if (value_of(e) == failing_value) throw std::runtime_error("no bucket");
    return phtab_bucket_of(value_of(e), n);
}
void* copy_int(const void* e)
{
    if (value_of(e) == failing_value) throw std::runtime_error("no copy");
    ++calls.copies;
    return new int(value_of(e));
}
void delete_int(const void* e)
{
    ++calls.deletes;
    delete static_cast<const int*>(e);
}

pointer_hash_table table_of(int n_buckets, std::initializer_list<int> values = {})
{
    pointer_hash_table t(equal_ints, modulo, copy_int, delete_int, n_buckets);
    for (int v : values) t.phtab_add(new int(v));
    return t;
}

// The elements in iteration order, read both ways a user can walk.
std::vector<int> order(const pointer_hash_table& t)
{
    std::vector<int> walked, visited;
    for (phtab_iterator it(t, phtab_at_begin); it; it++) walked.push_back(value_of(*it));
    t.phtab_for_all_do([](const void* e, void* data) { static_cast<std::vector<int>*>(data)->push_back(value_of(e)); },
                       &visited);
    EXPECT_EQ(walked, visited);
    EXPECT_EQ(static_cast<int>(walked.size()), t.element_count());
    if (!walked.empty()) {
        EXPECT_EQ(value_of(t.phtab_an_elt()), walked.front());
    } else {
        EXPECT_EQ(t.phtab_an_elt(), nullptr);
    }
    return walked;
}

using ints = std::vector<int>;

TEST(PointerHashTable, HeadInsertionAndCopiesReverseEachChain)
{
    pointer_hash_table t = table_of(4, {1, 5, 2});
    EXPECT_EQ(order(t), (ints{5, 1, 2}));
    pointer_hash_table copy(t);
    EXPECT_EQ(order(copy), (ints{1, 5, 2}));
    EXPECT_EQ(order(pointer_hash_table(copy)), (ints{5, 1, 2}));
    pointer_hash_table assigned = table_of(8, {7});
    assigned = t;
    EXPECT_EQ(order(assigned), (ints{1, 5, 2}));
    EXPECT_EQ(assigned.bucket_count(), 4);
    EXPECT_EQ(order(t), (ints{5, 1, 2}));
}

TEST(PointerHashTable, GrowsByDoublingWhenTheCountPassesTheBuckets)
{
    pointer_hash_table small = table_of(2, {1, 3});
    EXPECT_EQ(small.bucket_count(), 2);
    small.phtab_add(new int(5));
    EXPECT_EQ(small.bucket_count(), 4);
    EXPECT_EQ(order(small), (ints{1, 5, 3}));

    pointer_hash_table t = table_of(50);
    for (int v = 0; v < 50; ++v) t.phtab_add(new int(v * 7));
    EXPECT_EQ(t.bucket_count(), 50);
    t.phtab_add(new int(0));  // equal to a stored one: replaced, no growth
    EXPECT_EQ(t.bucket_count(), 50);
    EXPECT_EQ(t.element_count(), 50);
    t.phtab_add(new int(1000));
    EXPECT_EQ(t.bucket_count(), 100);
    EXPECT_EQ(t.element_count(), 51);
    for (int v = 0; v < 50; ++v) {
        int stored = v * 7;
        EXPECT_TRUE(t.phtab_is_elt(&stored)) << stored;
    }

    for (int v = 1001; v <= 1050; ++v) t.phtab_add(new int(v));
    EXPECT_EQ(t.bucket_count(), 200);
    t.make_empty();
    EXPECT_EQ(t.bucket_count(), 200);
    EXPECT_EQ(t.element_count(), 0);
    EXPECT_EQ(order(t), ints{});
}

TEST(PointerHashTable, ReplacingKeepsThePlaceAndDeletesTheOldElementOnce)
{
    pointer_hash_table t = table_of(4, {1, 5, 9, 2});
    calls = {};
    int* replacement = new int(5);
    t.phtab_add(replacement);
    EXPECT_EQ(calls.deletes, 1);
    EXPECT_EQ(calls.copies, 0);
    EXPECT_EQ(t.element_count(), 4);
    EXPECT_EQ(order(t), (ints{9, 5, 1, 2}));
    EXPECT_EQ(t.phtab_get_elt(replacement), replacement);

    // The very pointer already stored stays stored and alive.
    t.phtab_add(replacement);
    EXPECT_EQ(calls.deletes, 1);
    EXPECT_EQ(t.phtab_get_elt(replacement), replacement);
    EXPECT_EQ(*replacement, 5);
    EXPECT_EQ(order(t), (ints{9, 5, 1, 2}));
}

TEST(PointerHashTable, DeletingRemovesOnlyTheEqualElement)
{
    pointer_hash_table t = table_of(4, {1, 5, 9, 2});
    calls = {};
    int absent = 13;
    t.phtab_delete(&absent);
    EXPECT_EQ(calls.deletes + calls.copies, 0);
    EXPECT_EQ(order(t), (ints{9, 5, 1, 2}));

    int five = 5;
    t.phtab_delete(&five);
    EXPECT_EQ(calls.deletes, 1);
    EXPECT_EQ(five, 5);
    EXPECT_EQ(order(t), (ints{9, 1, 2}));
    EXPECT_EQ(t.phtab_get_elt(&five), nullptr);
    EXPECT_EQ(t.phtab_is_elt(&five), 0);

    for (int v : {9, 1, 2}) t.phtab_delete(&v);
    EXPECT_EQ(t.element_count(), 0);
    EXPECT_EQ(t.bucket_count(), 4);
    EXPECT_EQ(calls.deletes, 4);
}

TEST(PointerHashTable, SelfAssignmentAndSelfOperations)
{
    pointer_hash_table t = table_of(4, {1, 5, 2, 6});
    pointer_hash_table& same = t;
    calls = {};
    t = same;
    EXPECT_EQ(order(t), (ints{5, 1, 6, 2}));
    EXPECT_EQ(calls.copies + calls.deletes, 0);

    t += same;  // every element replaced by its own copy
    EXPECT_EQ(order(t), (ints{5, 1, 6, 2}));
    EXPECT_EQ(calls.copies, 4);
    EXPECT_EQ(calls.deletes, 4);

    EXPECT_EQ(order(t + t), (ints{5, 1, 6, 2}));
    EXPECT_EQ(order(t - t), ints{});
    EXPECT_EQ(order(t * t), (ints{5, 1, 6, 2}));

    t -= same;
    EXPECT_EQ(order(t), ints{});
    EXPECT_EQ(t.bucket_count(), 4);
    t.phtab_add(new int(3));
    EXPECT_EQ(order(t), ints{3});
}

TEST(PointerHashTable, SetOperatorsKeepTheirOperandsAndTheFixedOrder)
{
    const pointer_hash_table a = table_of(4, {1, 5, 2});
    const pointer_hash_table b = table_of(8, {5, 2, 3, 9});
    // a + b: a copied (chains reversed), b's copies added at the heads, growth
    // at the fifth element, and all copied again.
    EXPECT_EQ(order(a + b), (ints{9, 1, 2, 3, 5}));
    EXPECT_EQ(order(a - b), ints{1});
    pointer_hash_table common = a * b;
    EXPECT_EQ(order(common), (ints{5, 2}));
    EXPECT_EQ(common.bucket_count(), 4);
    EXPECT_EQ(order(b * a), (ints{5, 2}));
    EXPECT_EQ(order(a), (ints{5, 1, 2}));
    EXPECT_EQ(order(b), (ints{9, 2, 3, 5}));
    int five = 5;
    EXPECT_NE(common.phtab_get_elt(&five), a.phtab_get_elt(&five));
    EXPECT_NE(common.phtab_get_elt(&five), b.phtab_get_elt(&five));

    pointer_hash_table c = a;
    c += b;
    EXPECT_EQ(c.element_count(), 5);
    EXPECT_EQ(c.bucket_count(), 8);  // grew at the fifth element
    c -= b;
    EXPECT_EQ(order(c), ints{1});
}

TEST(PointerHashTable, EqualityAndProperSubset)
{
    const struct {
        std::initializer_list<int> a, b;
        int equal, subset;
    } cases[] = {
        {{1, 5, 2}, {2, 1, 5}, 1, 0},
        {{1, 5, 2}, {2, 1, 6}, 0, 0},
        {{1, 5}, {2, 1, 5}, 0, 1},
        {{1, 7}, {2, 1, 5}, 0, 0},
        {{}, {}, 1, 0},
        {{}, {3}, 0, 1},
    };
    for (const auto& c : cases) {
        pointer_hash_table a = table_of(4, c.a), b = table_of(16, c.b);
        EXPECT_EQ(a == b, c.equal);
        EXPECT_EQ(a < b, c.subset);
    }
}

TEST(PointerHashTable, IteratorFailuresAndEmptyTables)
{
    pointer_hash_table empty = table_of(4);
    phtab_iterator it(empty, phtab_at_begin);
    EXPECT_FALSE(it);
    const std::string invalid = run_time("[ZEMiter_list_impl::operator*] dereference of invalid iterator");
    EXPECT_EQ(failure_of([&] { (void)*it; }), invalid);
    EXPECT_EQ(failure_of([&] { phtab_iterator at_end(empty, phtab_at_end); }),
              run_time("[phtab_iterator::phtab_iterator] iteration starting at end is not implemented"));

    pointer_hash_table unbucketed;
    EXPECT_FALSE(phtab_iterator(unbucketed, phtab_at_begin));
    EXPECT_EQ(order(unbucketed), ints{});

    pointer_hash_table t = table_of(4, {3});
    phtab_iterator on_three(t, phtab_at_begin);
    const std::string backwards = run_time("phtab_iterator::operator --] operation not implemented");
    EXPECT_EQ(failure_of([&] { --on_three; }), backwards);
    EXPECT_EQ(failure_of([&] { on_three--; }), backwards);
    EXPECT_EQ(value_of(*on_three), 3);
    phtab_iterator copy = on_three;
    ++on_three;
    EXPECT_FALSE(on_three);
    on_three++;
    EXPECT_FALSE(on_three);
    EXPECT_EQ(failure_of([&] { (void)*on_three; }), invalid);
    EXPECT_EQ(value_of(*copy), 3);
}

TEST(PointerHashTable, BucketOfAKeyHashTakesItsMagnitudeAsUnsigned)
{
    EXPECT_EQ(phtab_bucket_of(INT_MIN, 50), 48);
    EXPECT_EQ(phtab_bucket_of(-7, 50), 7);
    EXPECT_EQ(phtab_bucket_of(7, 50), 7);
    EXPECT_EQ(phtab_bucket_of(INT_MAX, 50), 47);
    EXPECT_EQ(phtab_bucket_of(-3, 50), phtab_bucket_of(3, 50));
    pointer_hash_table t = table_of(50, {INT_MIN, 48, -48});
    EXPECT_EQ(order(t), (ints{-48, 48, INT_MIN}));
}

TEST(PointerHashTable, FailingCallbacksLeaveTheTableAsItWas)
{
    pointer_hash_table t = table_of(4, {1, 5, 2});
    calls = {};
    EXPECT_THROW(t.phtab_add(new int(failing_value)), std::runtime_error);
    EXPECT_EQ(order(t), (ints{5, 1, 2}));
    EXPECT_EQ(calls.deletes, 1);  // the refused element, which the table had taken over

    pointer_hash_table poisoned = table_of(4, {1, 2});
    failing_value = 2;
    EXPECT_THROW(pointer_hash_table copy(poisoned), std::runtime_error);
    pointer_hash_table target = table_of(4, {7});
    EXPECT_THROW(target = poisoned, std::runtime_error);
    EXPECT_EQ(order(target), ints{7});
    failing_value = INT_MIN + 1;
}

// An independent model of the order: one deque per bucket, the new element in
// front, growth walking the old buckets in order.
class order_model {
public:
    explicit order_model(int n) : chains(static_cast<std::size_t>(n)) {}

    void add(int v)
    {
        auto& chain = chains[bucket(v, chains.size())];
        if (std::find(chain.begin(), chain.end(), v) != chain.end()) return;
        chain.push_front(v);
        if (++count > static_cast<int>(chains.size())) {
            std::vector<std::deque<int>> grown(2 * chains.size());
            for (const auto& old : chains)
                for (int x : old) grown[bucket(x, grown.size())].push_front(x);
            chains.swap(grown);
        }
    }
    void remove(int v)
    {
        auto& chain = chains[bucket(v, chains.size())];
        auto at = std::find(chain.begin(), chain.end(), v);
        if (at != chain.end()) {
            chain.erase(at);
            --count;
        }
    }
    ints order() const
    {
        ints all;
        for (const auto& chain : chains) all.insert(all.end(), chain.begin(), chain.end());
        return all;
    }
    int buckets() const { return static_cast<int>(chains.size()); }

private:
    static std::size_t bucket(int v, std::size_t n)
    {
        return static_cast<std::size_t>(v < 0 ? -static_cast<long long>(v) : v) % n;
    }
    std::vector<std::deque<int>> chains;
    int count = 0;
};

TEST(PointerHashTable, RandomOperationsFollowTheOrderModel)
{
    std::mt19937 engine(808);
    for (int round = 0; round < 40; ++round) {
        const int n = 1 + static_cast<int>(engine() % 7);
        pointer_hash_table t = table_of(n);
        order_model model(n);
        calls = {};
        int added = 0;
        for (int step = 0; step < 400; ++step) {
            int v = static_cast<int>(engine() % 301) - 150;
            if (engine() % 3 == 0) {
                t.phtab_delete(&v);
                model.remove(v);
            } else {
                t.phtab_add(new int(v));
                model.add(v);
                ++added;
            }
            ASSERT_EQ(t.bucket_count(), model.buckets());
            ASSERT_LE(t.element_count(), t.bucket_count());
        }
        ASSERT_EQ(order(t), model.order());
        ASSERT_EQ(calls.deletes, added - t.element_count());
        ASSERT_EQ(calls.copies, 0);
        for (int v : model.order()) ASSERT_TRUE(t.phtab_is_elt(&v));
        pointer_hash_table copy(t);
        ASSERT_TRUE(copy == t);
        ASSERT_EQ(calls.copies, t.element_count());
    }
}

}
