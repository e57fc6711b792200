#include "module-collections/linkedlist.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/integer.h"
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
    EXPECT_EQ(list.head == nullptr, list.tail == nullptr);
    const ll_node<T>* previous = nullptr;
    for (const ll_node<T>* n = list.head; n; previous = n, n = n->next) {
        EXPECT_EQ(n->prev, previous);
        forward.push_back(printed(n->elt));
    }
    EXPECT_EQ(list.tail, previous);
    EXPECT_EQ(list.n_elements(), static_cast<int>(forward.size()));
    return forward;
}

TEST(LinkedLists, PrintNumberedAndServeAsAQueueOfIndependentCopies)
{
    static_assert(!std::is_copy_assignable_v<ZEM_linkedlist<ZEM_string>>);
    EXPECT_EQ(printed(list_of({"a", "b"})), "linkedlist<string>(\n1: a\n2: b\n)\n");

    ZEM_linkedlist<ZEM_string> list = list_of({"a", "b"});
    ZEM_linkedlist<ZEM_string> copy(list);
    EXPECT_EQ(printed(list.remove_at_head()), "a");
    list.add_at_tail("c");
    EXPECT_EQ(elements(list), (strings{"b", "c"}));
    EXPECT_EQ(printed(list.remove_at_head()), "b");
    EXPECT_EQ(printed(list.remove_at_head()), "c");
    EXPECT_EQ(elements(list), strings{});
    EXPECT_EQ(failure_of([&] { list.remove_at_head(); }), "run-time exception: remove from empty list\n");
    EXPECT_EQ(elements(copy), (strings{"a", "b"}));
}

TEST(LinkedLists, IteratorsWalkBothWaysAndStayInvalidPastTheEnds)
{
    ZEM_linkedlist<ZEM_string> list = list_of({"a", "b"});
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> it(list.create_iter_at_end());
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> copy(it->copy());
    (*it)--;
    EXPECT_EQ(printed(**it), "a");
    --*it;
    ++*it;  // off the front it stays off
    EXPECT_FALSE(*it);
    EXPECT_EQ(failure_of([&] { (void)**it; }),
              run_time("[ZEM_iter_list_impl::operator*] dereference of invalid iterator"));
    (*copy)++;
    EXPECT_FALSE(*copy);
}

int all_equal(const ZEM_string&, const ZEM_string&) { return 0; }
int by_value(const ZEM_int& a, const ZEM_int& b) { return a.value() < b.value() ? -1 : a.value() > b.value(); }

TEST(LinkedLists, SortIsAnUnstableQuicksortWithAFixedOrder)
{
    ZEM_linkedlist<ZEM_string> equal = list_of({"e1", "e2", "e3", "e4"});
    equal.sort(all_equal);
    EXPECT_EQ(elements(equal), (strings{"e1", "e4", "e2", "e3"}));

    std::mt19937 engine(909);
    for (int round = 0; round < 200; ++round) {
        ZEM_linkedlist<ZEM_int> list;
        std::vector<int> values(engine() % 40);
        for (int& v : values) {
            v = static_cast<int>(engine() % 20) - 10;
            list.add_at_tail(v);
        }
        list.sort(by_value);
        std::sort(values.begin(), values.end());
        strings expected;
        for (int v : values) expected.push_back(std::to_string(v));
        ASSERT_EQ(elements(list), expected);
    }
}

// An element whose printing fails: the walk's iterator must still be freed.
class unprintable : public ZEM_int {
public:
    void print(std::ostream&) const override { _zem_error_("test", __LINE__, "[unprintable] no"); }
};

TEST(LinkedLists, AFailingElementPrintFreesTheWalk)
{
    ZEM_linkedlist<unprintable> list;
    list.add_at_tail(unprintable());
    EXPECT_EQ(failure_of([&] { (void)printed(list); }), run_time("[unprintable] no"));
}

}
