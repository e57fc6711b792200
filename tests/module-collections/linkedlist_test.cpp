#include "module-collections/linkedlist.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/fraction.h"
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
std::vector<std::string> elements(const ZEM_linkedlist<T>& list)
{
    std::vector<std::string> forward, backward;
    EXPECT_EQ(list.head == nullptr, list.tail == nullptr);
    if (list.head) {
        EXPECT_EQ(list.head->prev, nullptr);
        EXPECT_EQ(list.tail->next, nullptr);
    }
    for (const ll_node<T>* n = list.head; n; n = n->next) {
        if (n->next) {
            EXPECT_EQ(n->next->prev, n);
        }
        forward.push_back(printed(n->elt));
    }
    for (const ll_node<T>* n = list.tail; n; n = n->prev) backward.insert(backward.begin(), printed(n->elt));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(list.n_elements(), static_cast<int>(forward.size()));
    return forward;
}

const std::string invalid = run_time("[ZEM_iter_list_impl::operator*] dereference of invalid iterator");

TEST(LinkedLists, PrintInTheNumberedCollectionForm)
{
    EXPECT_EQ(printed(list_of({"a", "b"})), "linkedlist<string>(\n1: a\n2: b\n)\n");
    EXPECT_EQ(printed(list_of({})), "linkedlist<string>(\n)\n");

    ZEM_linkedlist<ZEM_fraction> fractions;
    fractions.add_at_tail(ZEM_fraction(1, 2));
    fractions.add_at_tail(ZEM_fraction(3));
    EXPECT_EQ(printed(fractions), "linkedlist<fraction>(\n1: 1/2\n2: 3\n)\n");

    ZEM_linkedlist<ZEM_int> ints;
    for (int k = 1; k <= 10; ++k) ints.add_at_tail(ZEM_int(k * k));
    std::string text = printed(ints);
    EXPECT_EQ(text.rfind("linkedlist<int>(\n1: 1\n2: 4\n", 0), 0u);
    EXPECT_NE(text.find("\n9: 81\n10: 100\n)\n"), std::string::npos);
    EXPECT_EQ(ints.type(), tp_linkedlist(tp_int()));
}

TEST(LinkedLists, RemovingAtTheHeadIsFirstInFirstOut)
{
    ZEM_linkedlist<ZEM_string> list;
    EXPECT_EQ(failure_of([&] { list.remove_at_head(); }), run_time("remove from empty list"));
    EXPECT_EQ(elements(list), strings{});

    list.add_at_tail("x");
    EXPECT_EQ(printed(list.remove_at_head()), "x");
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    list.add_at_tail("y");
    EXPECT_EQ(list.head, list.tail);
    EXPECT_EQ(elements(list), strings{"y"});
    list.remove_at_head();

    for (const char* t : {"a", "b", "c"}) list.add_at_tail(t);
    for (const char* t : {"a", "b"}) EXPECT_EQ(printed(list.remove_at_head()), t);
    list.add_at_tail("d");
    EXPECT_EQ(elements(list), (strings{"c", "d"}));
    for (const char* t : {"c", "d"}) EXPECT_EQ(printed(list.remove_at_head()), t);
    EXPECT_EQ(failure_of([&] { list.remove_at_head(); }), run_time("remove from empty list"));
    EXPECT_EQ(elements(list), strings{});
}

TEST(LinkedLists, CopiesAreIndependentLists)
{
    ZEM_linkedlist<ZEM_string> list = list_of({"a", "b"});
    ZEM_linkedlist<ZEM_string> copy(list);
    copy.add_at_tail("c");
    std::unique_ptr<ZEM_object> object(list.copy_object());
    auto* as_list = dynamic_cast<ZEM_linkedlist<ZEM_string>*>(object.get());
    ASSERT_NE(as_list, nullptr);
    as_list->remove_at_head();
    std::unique_ptr<ZEM_collection<ZEM_string>> collection(list.copy_collection());
    EXPECT_EQ(printed(*collection), printed(list));
    EXPECT_EQ(elements(list), (strings{"a", "b"}));
    EXPECT_EQ(elements(copy), (strings{"a", "b", "c"}));
    EXPECT_EQ(elements(*as_list), strings{"b"});
    EXPECT_EQ(elements(ZEM_linkedlist<ZEM_string>(list_of({}))), strings{});
}

TEST(LinkedLists, IteratorsWalkBothWaysAndStayInvalidPastTheEnds)
{
    ZEM_linkedlist<ZEM_string> empty;
    ZEM_iterator<ZEM_string> nothing(empty.create_iter_at_begin());
    EXPECT_FALSE(nothing);
    EXPECT_EQ(failure_of([&] { (void)*nothing; }), invalid);

    ZEM_linkedlist<ZEM_string> list = list_of({"a", "b", "c"});
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> it(list.create_iter_at_end());
    EXPECT_EQ(printed(**it), "c");
    --*it;
    (*it)--;
    EXPECT_EQ(printed(**it), "a");
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> copy(it->copy());
    --*it;
    EXPECT_FALSE(*it);
    ++*it;
    (*it)--;
    EXPECT_FALSE(*it);
    EXPECT_EQ(failure_of([&] { (void)**it; }), invalid);

    EXPECT_EQ(printed(**copy), "a");
    ++*copy;
    (*copy)++;
    EXPECT_EQ(printed(**copy), "c");
    ++*copy;
    EXPECT_FALSE(*copy);

    std::string walked;
    for (ZEM_iterator<ZEM_string> walk(list.create_iter_at_begin()); walk; walk++) walked += (*walk).c_str();
    EXPECT_EQ(walked, "abc");
}

int by_strcmp_calls = 0;
int by_strcmp(const ZEM_string& a, const ZEM_string& b)
{
    ++by_strcmp_calls;
    return std::strcmp(a, b);
}
int all_equal(const ZEM_string&, const ZEM_string&) { return 0; }

TEST(LinkedLists, SortIsAnUnstableQuicksortWithAFixedOrder)
{
    const struct {
        strings input;
        int (*cmp)(const ZEM_string&, const ZEM_string&);
        strings sorted;
    } cases[] = {
        {{"b", "a", "c"}, by_strcmp, {"a", "b", "c"}},
        {{"a", "b", "c"}, by_strcmp, {"a", "b", "c"}},
        {{"c", "b", "a", "d", "a"}, by_strcmp, {"a", "a", "b", "c", "d"}},
        {{"e1", "e2", "e3", "e4"}, all_equal, {"e1", "e4", "e2", "e3"}},
        {{"e1", "e2", "e3"}, all_equal, {"e1", "e3", "e2"}},
        {{"e1", "e2"}, all_equal, {"e1", "e2"}},
    };
    for (const auto& c : cases) {
        ZEM_linkedlist<ZEM_string> list = list_of(c.input);
        list.sort(c.cmp);
        EXPECT_EQ(elements(list), c.sorted);
    }

    for (const strings& few : {strings{}, strings{"only"}}) {
        ZEM_linkedlist<ZEM_string> list = list_of(few);
        by_strcmp_calls = 0;
        list.sort(by_strcmp);
        EXPECT_EQ(by_strcmp_calls, 0);
        EXPECT_EQ(elements(list), few);
    }
}

int by_value(const ZEM_int& a, const ZEM_int& b) { return a.value() < b.value() ? -1 : a.value() > b.value(); }

TEST(LinkedLists, SortRelinksRandomListsIntoOrder)
{
    std::mt19937 engine(909);
    for (int round = 0; round < 200; ++round) {
        ZEM_linkedlist<ZEM_int> list;
        std::vector<int> values(engine() % 40);
        for (int& v : values) {
            v = static_cast<int>(engine() % 20) - 10;
            list.add_at_tail(ZEM_int(v));
        }
        std::vector<const ll_node<ZEM_int>*> nodes;
        for (const ll_node<ZEM_int>* n = list.head; n; n = n->next) nodes.push_back(n);
        list.sort(by_value);
        std::sort(values.begin(), values.end());
        std::vector<std::string> expected;
        for (int v : values) expected.push_back(std::to_string(v));
        ASSERT_EQ(elements(list), expected);
        // Relinked, not copied: the same nodes, in a new order.
        std::vector<const ll_node<ZEM_int>*> after;
        for (const ll_node<ZEM_int>* n = list.head; n; n = n->next) after.push_back(n);
        std::sort(nodes.begin(), nodes.end());
        std::sort(after.begin(), after.end());
        ASSERT_EQ(after, nodes);
    }
}

// A handle whose bodies count themselves, standing in for matrices and characters.
struct shared_body : ZEM_referenced_object {
    int value = 0;
};
class shared_handle : public ZEM_referencing_object<shared_body> {
public:
    shared_handle() = default;
    explicit shared_handle(int v)
    {
        auto* b = new shared_body;
        b->value = v;
        attach(b);
    }
    int count() const { return body()->reference_count; }
    ZEM_object* copy_object() const override { return new shared_handle(*this); }
    void print(std::ostream& out) const override { out << body()->value; }
    ZEM_type type() const override { return ZEM_type("matrix", 1, &tp_int_value); }

private:
    static inline const ZEM_type tp_int_value = tp_int();
};

TEST(LinkedLists, HandleElementsShareTheirBodies)
{
    shared_handle m(5);
    {
        ZEM_linkedlist<shared_handle> list;
        list.add_at_tail(m);
        ZEM_linkedlist<shared_handle> copy(list);
        EXPECT_EQ(m.count(), 3);
        EXPECT_EQ(printed(list).rfind("linkedlist<matrix<int>>(\n1: 5\n", 0), 0u);
        shared_handle taken = copy.remove_at_head();
        EXPECT_EQ(m.count(), 3);
    }
    EXPECT_EQ(m.count(), 1);
}

// An element whose printing fails: the walk's body must still be freed.
class unprintable : public ZEM_int {
public:
    using ZEM_int::ZEM_int;
    void print(std::ostream&) const override { _zem_error_("test", __LINE__, "[unprintable] no"); }
};

TEST(LinkedLists, AFailingElementPrintFreesTheWalk)
{
    ZEM_linkedlist<unprintable> list;
    list.add_at_tail(unprintable(1));
    EXPECT_EQ(failure_of([&] { (void)printed(list); }), run_time("[unprintable] no"));
}

}
