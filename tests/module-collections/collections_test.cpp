#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "module-collections/dictionary.h"
#include "module-collections/linkedlist.h"
#include "module-collections/pointer_hash_table.h"
#include "module-collections/set.h"
#include "module-matrix/matrix.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

using strings = std::vector<std::string>;

ZEM_linkedlist<ZEM_string> list_of(const strings& texts)
{
    ZEM_linkedlist<ZEM_string> list;
    for (const auto& t : texts) list.add_at_tail(t.c_str());
    return list;
}

// The elements from the head, after checking that the links mirror each other.
template <class T>
strings elements(const ZEM_linkedlist<T>& list)
{
    strings forward;
    const ll_node<T>* previous = nullptr;
    for (const ll_node<T>* n = list.head; n; previous = n, n = n->next) {
        EXPECT_EQ(n->prev, previous);
        forward.push_back(printed(n->elt));
    }
    EXPECT_EQ(list.tail, previous);
    EXPECT_EQ(list.n_elements(), static_cast<int>(forward.size()));
    return forward;
}

class unprintable : public ZEM_int {
public:
    void print(std::ostream&) const override { ZEM_FAIL("[unprintable] no"); }
};

int by_text(const ZEM_string& a, const ZEM_string& b) { return std::strcmp(a.c_str(), b.c_str()); }
int by_first_letter(const ZEM_string& a, const ZEM_string& b) { return a.c_str()[0] - b.c_str()[0]; }

// The sort's steps done recursively on a vector: the first element is the
// pivot, the elements after it not below it go to the front of the upper part.
void partition_sorted(strings& chain, int (*cmp)(const ZEM_string&, const ZEM_string&) = by_first_letter)
{
    if (chain.size() < 2) return;
    const std::string pivot = chain[0];
    strings lower, upper;
    for (std::size_t k = 1; k < chain.size(); ++k) {
        (cmp(pivot.c_str(), chain[k].c_str()) <= 0 ? upper : lower).push_back(chain[k]);
    }
    std::reverse(upper.begin(), upper.end());
    partition_sorted(lower, cmp);
    partition_sorted(upper, cmp);
    chain = lower;
    chain.push_back(pivot);
    chain.insert(chain.end(), upper.begin(), upper.end());
}

TEST(LinkedLists, PrintNumberedServeAsAQueueIterateBothWaysAndSort)
{
    EXPECT_EQ(printed(list_of({"a", "b"})), "linkedlist<string>(\n1: a\n2: b\n)\n");
    ZEM_linkedlist<ZEM_string> list = list_of({"a", "b"});
    ZEM_linkedlist<ZEM_string> copy(list);
    list.remove_at_head();
    list.remove_at_head();
    EXPECT_EQ(failure_of([&] { list.remove_at_head(); }), "run-time exception: remove from empty list\n");
    list.add_at_tail("d");
    EXPECT_EQ(elements(list), strings{"d"});
    EXPECT_EQ(elements(copy), (strings{"a", "b"}));

    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> it(copy.create_iter_at_end());
    (*it)--;
    EXPECT_EQ(printed(**it), "a");
    --*it;
    ++*it;  // off the front it stays off
    EXPECT_EQ(failure_of([&] { (void)**it; }),
              run_time("[ZEM_iter_list_impl::operator*] dereference of invalid iterator"));

    // An element whose printing fails: the walk's iterator must still be freed.
    ZEM_linkedlist<unprintable> bad;
    bad.add_at_tail(unprintable());
    EXPECT_EQ(failure_of([&] { (void)printed(bad); }), run_time("[unprintable] no"));

    std::mt19937 engine(909);
    for (int round = 0; round < 100; ++round) {
        strings values(engine() % 40);
        for (std::string& v : values) v = std::to_string(engine() % 20);
        ZEM_linkedlist<ZEM_string> list = list_of(values);
        list.sort(by_text);
        std::sort(values.begin(), values.end());
        ASSERT_EQ(elements(list), values);
    }

    // Equal elements in the partition sort's order, and a long sorted list
    // needs no deep stack.
    ZEM_linkedlist<ZEM_string> equal = list_of({"b2", "a1", "b1", "a2", "a3"});
    equal.sort(by_first_letter);
    EXPECT_EQ(elements(equal), (strings{"a1", "a3", "a2", "b2", "b1"}));
    strings many(200000);
    for (std::size_t k = 0; k < many.size(); ++k) many[k] = std::to_string(1000000 + k);
    ZEM_linkedlist<ZEM_string> sorted = list_of(many);
    sorted.sort(by_text);
    ASSERT_EQ(elements(sorted), many);
}

TEST(LinkedLists, SortOrdersEqualElementsAsThePartitionsOnTheFirstNodeDo)
{
    for (const strings& few : {strings{}, strings{"x"}}) {
        ZEM_linkedlist<ZEM_string> list = list_of(few);
        list.sort([](const ZEM_string&, const ZEM_string&) {
            ADD_FAILURE() << "compared";
            return 0;
        });
        EXPECT_EQ(elements(list), few);
    }
    const std::pair<strings, strings> cases[] = {
        {{"e1", "e2"}, {"e1", "e2"}},
        {{"e1", "e2", "e3"}, {"e1", "e3", "e2"}},
        {{"e1", "e2", "e3", "e4"}, {"e1", "e4", "e2", "e3"}},
        {{"b", "a", "c"}, {"a", "b", "c"}},
    };
    for (const auto& [given, expected] : cases) {
        ZEM_linkedlist<ZEM_string> list = list_of(given);
        list.sort(by_first_letter);
        EXPECT_EQ(elements(list), expected);
    }

    // Few keys, so that many elements tie; runs sorted by key or reversed are
    // long enough to be the quadratic case that the sort finishes otherwise.
    std::mt19937 engine(1111);
    for (int round = 0; round < 120; ++round) {
        strings values(engine() % 400);
        const unsigned keys = 1 + engine() % (round % 2 == 0 ? 6 : 70);
        for (std::size_t k = 0; k < values.size(); ++k)
            values[k] = static_cast<char>('0' + engine() % keys) + std::to_string(k);
        if (round % 3 > 0)
            std::stable_sort(values.begin(), values.end(),
                             [](const std::string& a, const std::string& b) { return a[0] < b[0]; });
        if (round % 3 == 2) std::reverse(values.begin(), values.end());
        ZEM_linkedlist<ZEM_string> list = list_of(values);
        list.sort(by_first_letter);
        partition_sorted(values);
        ASSERT_EQ(elements(list), values) << round;
    }

    // Only whether an answer is greater than 0 counts: a callback that orders
    // by answering 1 or 0, or that calls everything equal, gives the steps'
    // order on either side of the length where long runs are finished
    // otherwise; one that orders nothing loses no element.
    using callback = int (*)(const ZEM_string&, const ZEM_string&);
    static std::mt19937 coin(77);
    // Keys are the first four characters; the rest tells equal elements apart.
    const std::pair<callback, bool> callbacks[] = {
        {[](const ZEM_string& a, const ZEM_string& b) { return std::strncmp(a.c_str(), b.c_str(), 4); }, true},
        {[](const ZEM_string& a, const ZEM_string& b) { return std::strncmp(a.c_str(), b.c_str(), 4) > 0 ? 1 : 0; },
         true},
        {[](const ZEM_string&, const ZEM_string&) { return 0; }, true},
        {[](const ZEM_string&, const ZEM_string&) { return -1; }, true},
        {[](const ZEM_string&, const ZEM_string&) { return 1; }, false},
        {[](const ZEM_string&, const ZEM_string&) { return static_cast<int>(coin() % 3) - 1; }, false},
    };
    for (const std::size_t n : {2, 30, 49, 50, 51, 64, 200, 700}) {
        for (int shape = 0; shape < 5; ++shape) {
            strings values(n);
            for (std::size_t k = 0; k < n; ++k) {
                const std::size_t key = shape == 0 ? k : shape == 1 ? n - k : shape == 2 ? std::min(k, n - k)
                                      : shape == 3 ? coin() % n : coin() % 3;
                values[k] = std::to_string(1000 + key) + "." + std::to_string(k);
            }
            for (std::size_t c = 0; c < std::size(callbacks); ++c) {
                const auto [cmp, orders] = callbacks[c];
                ZEM_linkedlist<ZEM_string> list = list_of(values);
                list.sort(cmp);
                strings want = values;
                if (orders) partition_sorted(want, cmp);
                strings got = elements(list);
                if (!orders) {
                    std::sort(got.begin(), got.end());
                    std::sort(want.begin(), want.end());
                }
                ASSERT_EQ(got, want) << n << " shape " << shape << " callback " << c;
            }
        }
    }

    // A callback that fails part-way, in a partition or in the finish of a long
    // sorted run, leaves every element in the list, in its old order.
    strings sorted_run(3000);
    for (std::size_t k = 0; k < sorted_run.size(); ++k) sorted_run[k] = "k" + std::to_string(100000 + k);
    for (long long fail_after : {5LL, 2000LL, 150000LL}) {
        static long long left;
        left = fail_after;
        ZEM_linkedlist<ZEM_string> list = list_of(sorted_run);
        EXPECT_EQ(failure_of([&] {
                      list.sort([](const ZEM_string& a, const ZEM_string& b) {
                          if (--left == 0) ZEM_FAIL("[cmp] no");
                          return std::strcmp(a.c_str(), b.c_str());
                      });
                  }),
                  run_time("[cmp] no"));
        EXPECT_EQ(elements(list), sorted_run) << fail_after;
    }
}

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

TEST(PointerHashTable, WorkedOrdersSetOperatorsFailuresSetsAndDictionaries)
{
    const pointer_hash_table a = table_of(4, {1, 5, 2}), b = table_of(8, {5, 2, 3, 9});
    EXPECT_EQ(order(a), (ints{5, 1, 2}));
    EXPECT_EQ(order(table_of(50, {INT_MIN, 48, -48})), (ints{-48, 48, INT_MIN}));
    EXPECT_EQ(order(a + b), (ints{9, 1, 2, 3, 5}));
    EXPECT_EQ(order(a - b), ints{1});
    EXPECT_EQ(order(a * b), (ints{5, 2}));
    EXPECT_FALSE(a < table_of(16, {2, 1, 5}));  // equal, so not a proper subset

    phtab_iterator it(b, phtab_at_begin);
    for (int k = 0; k < 5; ++k) ++it;  // past the end it stays there
    ZEM_set<ZEM_string> letters(50);
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[&] { phtab_iterator at_end(a, phtab_at_end); },
         "[phtab_iterator::phtab_iterator] iteration starting at end is not implemented"},
        {[&] { it--; }, "phtab_iterator::operator --] operation not implemented"},
        {[&] { (void)*it; }, "[ZEMiter_list_impl::operator*] dereference of invalid iterator"},
        {[&] { delete letters.create_iter_at_end(); }, "[ZEM_set<elt_tp>::create_iter_at_end] not implemented"},
        {[&] { delete ZEM_dictionary<ZEM_int, ZEM_int>().create_iter_at_end(); },
         "[ZEM_dictionary<key_tp, value_tp>::create_iter_at_end] not implemented"},
    };
    for (const auto& [action, message] : failures) EXPECT_EQ(failure_of(action), run_time(message));

    // Adding never frees the stored pointer; failing copies change nothing.
    pointer_hash_table t = a;
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
    EXPECT_EQ(order(t), (ints{1, 5, 2}));
    EXPECT_EQ(order(target), ints{7});

    // Sets print in the table's order; under an equal key the last value given wins.
    for (const char* text : {"a", "b", "c", "d", "ba", "ab", "ba"}) letters.add_elt(text);
    EXPECT_EQ(printed(letters), "set<string>(\n1: d\n2: ab\n3: ba\n4: a\n5: b\n6: c\n)\n");

    ZEM_dictionary<ZEM_fraction, ZEM_string> names;
    names.add_elt(ZEM_fraction(1, 2), "x");
    names.add_elt(ZEM_fraction(2, 4), "y");
    EXPECT_EQ(printed(names), "dictionary<fraction,string>(\n1: y\n)\n");
    EXPECT_EQ(*names.lookup(ZEM_fraction(-1, -2)), ZEM_string("y"));
    EXPECT_EQ(names.lookup(1), nullptr);

    ZEM_dictionary<ZEM_int, ZEM_int> squares;
    for (int k = -60; k <= 60; ++k) squares.add_elt(k, k * k);  // k and -k share a bucket
    for (int k = -60; k <= 60; ++k) ASSERT_EQ(squares.lookup(k)->value(), k * k) << k;
}

// The sets of matrices that hold a group while it is closed: the 2 x 2 matrix
// v * unit * identity hashes to 5 * v, in bucket 5v mod 50; a bucket yields its
// newest element first, and a copy reverses each bucket.
template <class T>
void expect_matrix_set(const T& unit, const char* type)
{
    auto diagonal = [&](int v) { return ZEM_matrix<T>(2, 2, T(v) * unit); };
    auto order = [&](const ZEM_set<ZEM_matrix<T>>& set) {
        strings values;
        for (ZEM_iterator<ZEM_matrix<T>> it(set.create_iter_at_begin()); it; it++)
            values.push_back(printed((*it).element(1, 1)));
        return values;
    };
    auto values = [&](std::initializer_list<int> vs) {
        strings texts;
        for (int v : vs) texts.push_back(printed(T(v) * unit));
        return texts;
    };
    ZEM_set<ZEM_matrix<T>> set(50);
    for (int v : {1, 2, 10, 12, 2}) set.add_elt(diagonal(v));
    EXPECT_EQ(order(set), values({10, 1, 12, 2}));
    EXPECT_EQ(order(ZEM_set<ZEM_matrix<T>>(set)), values({10, 1, 2, 12}));
    EXPECT_TRUE(set.is_elt(diagonal(12)));
    EXPECT_FALSE(set.is_elt(diagonal(3)));
    EXPECT_FALSE(set.is_elt(ZEM_matrix<T>(2, 1, T(2) * unit)));
    EXPECT_EQ(set.type().text(), type);
}

TEST(MatrixSets, OrderMembershipAndTypeOfTheThreeInstances)
{
    expect_matrix_set(ZEM_int(1), "set<matrix<int>>");
    expect_matrix_set(ZEM_fraction(1), "set<matrix<fraction>>");
    ZEM_cyclotomic_number i(4, 0);
    i.coefficients[1] = 1;
    expect_matrix_set(i, "set<matrix<cyclotomic>>");
}

// An independent model of the order: a list per bucket, the newest element in
// front; growth puts each element of a chain in front again, so the chain turns round.
struct order_model {
    std::vector<ints> chains;
    int count = 0;

    static std::size_t bucket(int v, std::size_t n) { return static_cast<std::size_t>(std::abs(v)) % n; }

    void add(int v)
    {
        ints& chain = chains[bucket(v, chains.size())];
        if (std::count(chain.begin(), chain.end(), v) > 0) return;
        chain.insert(chain.begin(), v);
        if (++count <= static_cast<int>(chains.size())) return;
        std::vector<ints> grown(2 * chains.size());
        for (const ints& old : chains)
            for (auto x = old.rbegin(); x != old.rend(); ++x) grown[bucket(*x, grown.size())].push_back(*x);
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
        t += t;  // each element replaced by its own copy, in place
        const pointer_hash_table& same = t;  // spelled so, as compilers warn of "t -= t"
        t -= same;
        ASSERT_EQ(order(t), ints{});
    }
}

}
