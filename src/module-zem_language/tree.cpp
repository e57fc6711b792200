#include "module-zem_language/tree.h"

#include <array>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "module-object/error.h"

tTree TreeRoot = NoTree;

#define TREE_RANGE(kind, last, fields) k##last,
const unsigned char Tree_TypeRange[Tree_KindCount] = {kNoTree, TREE_KINDS(TREE_RANGE)};

#define TREE_SIZE(kind, last, fields) sizeof(y##kind),
const std::size_t Tree_NodeSize[Tree_KindCount] = {0, TREE_KINDS(TREE_SIZE)};

// Nodes stay separate heap blocks rather than pieces of the front end's pool,
// so that the sanitizers see every node freed twice or not at all. A node that
// cannot be had fails as every other allocation does.
tTree MakeTree(int kind)
{
    void* block = ::operator new(Tree_NodeSize[kind], std::nothrow);
    if (!block) ZEM_FAIL("out of memory");
    auto t = static_cast<tTree>(std::memset(block, 0, Tree_NodeSize[kind]));
    t->Kind = static_cast<std::uint8_t>(kind);
    return t;
}

// The constructors store their arguments into the fields of the same names.
#define TREE_STORE(category, name) TREE_STORE_##category(name)
#define TREE_STORE_A(category, name) TREE_STORE(category, name) TREE_STORE_B
#define TREE_STORE_B(category, name) TREE_STORE(category, name) TREE_STORE_A
#define TREE_STORE_A_END
#define TREE_STORE_B_END
#define TREE_STORE_FIELD(name) node.name = p##name;
#define TREE_STORE_link TREE_STORE_FIELD
#define TREE_STORE_child TREE_STORE_FIELD
#define TREE_STORE_pos TREE_STORE_FIELD
#define TREE_STORE_text TREE_STORE_FIELD
#define TREE_STORE_int TREE_STORE_FIELD
#define TREE_STORE_real TREE_STORE_FIELD
#define TREE_STORE_type(name)
#define TREE_STORE_name(name)
#define TREE_STORE_count(name)

// NoTree is the null pointer, so a zero-filled node has every child NoTree.
#define TREE_DEFINE(kind, last, fields)                   \
    tTree n##kind() { return MakeTree(k##kind); }         \
    tTree m##kind(TREE_PARAMS(fields))                    \
    {                                                     \
        tTree t = MakeTree(k##kind);                      \
        [[maybe_unused]] y##kind& node = t->kind;         \
        TREE_FOR(TREE_STORE, fields)                      \
        return t;                                         \
    }
TREE_KINDS(TREE_DEFINE)

namespace {

// Where a kind keeps its fields, as byte offsets into the node; 0 (the place of
// Kind) where it has no such field. `text` is Name or Text, `count` is Count or
// IndexCount.
struct kind_layout {
    int children = 0;
    std::array<std::size_t, 7> child{};
    std::size_t link = 0, pos = 0, type = 0, text = 0, count = 0, int_value = 0, real_value = 0;
};

#define TREE_LAYOUT(category, name) TREE_LAYOUT_##category(offsetof(Y, name))
#define TREE_LAYOUT_A(category, name) TREE_LAYOUT(category, name) TREE_LAYOUT_B
#define TREE_LAYOUT_B(category, name) TREE_LAYOUT(category, name) TREE_LAYOUT_A
#define TREE_LAYOUT_A_END
#define TREE_LAYOUT_B_END
#define TREE_LAYOUT_link(at) l.link = l.child[l.children++] = at;
#define TREE_LAYOUT_child(at) l.child[l.children++] = at;
#define TREE_LAYOUT_pos(at) l.pos = at;
#define TREE_LAYOUT_type(at) l.type = at;
#define TREE_LAYOUT_name(at) l.text = at;
#define TREE_LAYOUT_text(at) l.text = at;
#define TREE_LAYOUT_count(at) l.count = at;
#define TREE_LAYOUT_int(at) l.int_value = at;
#define TREE_LAYOUT_real(at) l.real_value = at;
#define TREE_KIND_LAYOUT(kind, last, fields) \
    [] {                                     \
        using Y [[maybe_unused]] = y##kind;  \
        kind_layout l;                       \
        TREE_FOR(TREE_LAYOUT, fields)        \
        return l;                            \
    }(),
constexpr kind_layout layouts[Tree_KindCount] = {kind_layout{}, TREE_KINDS(TREE_KIND_LAYOUT)};

const kind_layout& layout(tTree t) { return layouts[t->Kind]; }

template <class Field>
Field* field(tTree t, std::size_t offset)
{
    return offset == 0 ? nullptr : reinterpret_cast<Field*>(reinterpret_cast<char*>(t) + offset);
}

tTree& child(tTree t, int i) { return *field<tTree>(t, layout(t).child[static_cast<std::size_t>(i)]); }

// Counts the references from n's children, from field `from` down, up to the
// first child reached for the first time that has children of its own: its
// field, or -1.
int count_down_to_unexplored(tTree n, int from) noexcept
{
    for (int k = from; k >= 0; --k) {
        tTree c = child(n, k);
        if (c != NoTree && ++c->Head.Mark == 1 && layout(c).children > 0) return k;
    }
    return -1;
}

// Counts one reference to t and, at the first, to all below it. Walks by
// pointer reversal: the child field being followed holds the way back, and the
// node's own Mark the number of that field. No reference reaches a node from
// below it, so Mark stays 1 on the way down and is free to count fields.
[[gnu::noinline, gnu::cold]] void mark_by_reversal(tTree t) noexcept
{
    if (t == NoTree || ++t->Head.Mark != 1) return;
    tTree up = NoTree, n = t;
    int k = count_down_to_unexplored(n, layout(n).children - 1);
    for (;;) {
        if (k >= 0) {
            n->Head.Mark = static_cast<std::uint16_t>(k + 1);
            tTree down = std::exchange(child(n, k), up);
            up = std::exchange(n, down);
            k = count_down_to_unexplored(n, layout(n).children - 1);
            continue;
        }
        n->Head.Mark = 1;
        if (up == NoTree) return;
        const int i = up->Head.Mark - 1;
        tTree back = std::exchange(child(up, i), n);
        n = std::exchange(up, back);
        k = count_down_to_unexplored(n, i - 1);
    }
}

void free_node(tTree n) noexcept
{
    const kind_layout& l = layout(n);
    if (ZEM_type** type = field<ZEM_type*>(n, l.type)) delete *type;
    if (char** text = field<char*>(n, l.text)) delete[] *text;
    ::operator delete(n);
}

// Takes n's children out of their fields, from field `from` down, dropping a
// reference to each and freeing those left without one, up to the first that
// is left without one and has children of its own: its field, or -1.
int release_down_to_unexplored(tTree n, int from, tTree& dead) noexcept
{
    for (int k = from; k >= 0; --k) {
        tTree c = std::exchange(child(n, k), NoTree);
        if (c == NoTree || --c->Head.Mark != 0) continue;
        if (layout(c).children > 0) {
            dead = c;
            return k;
        }
        free_node(c);
    }
    return -1;
}

bool any_child_below(tTree n, int k) noexcept
{
    while (--k >= 0)
        if (child(n, k) != NoTree) return true;
    return false;
}

// Stands above the root while a tree is released, so that the field leading
// back to it is never NoTree.
Tree_Node above_the_root;

// Drops one reference to t and, at the last, frees it with all below it that
// has no other reference left. Walks by pointer reversal as mark_by_reversal
// does, the field of the child being taken apart holding the way back; the
// fields above it are empty by then, so the highest field still holding a node
// is the way back. A node whose last child is being taken apart is freed at
// once: a long list needs no way back.
[[gnu::noinline, gnu::cold]] void release_by_reversal(tTree t) noexcept
{
    if (t == NoTree || --t->Head.Mark != 0) return;
    tTree up = &above_the_root, n = t;
    int from = layout(n).children - 1;
    for (;;) {
        tTree dead = NoTree;
        if (const int k = release_down_to_unexplored(n, from, dead); k >= 0) {
            if (any_child_below(n, k)) {
                child(n, k) = up;
                up = n;
            } else {
                free_node(n);
            }
            n = dead;
            from = layout(n).children - 1;
            continue;
        }
        free_node(n);
        if (up == &above_the_root) return;
        int k = layout(up).children - 1;
        while (child(up, k) == NoTree) --k;
        n = up;
        up = std::exchange(child(n, k), NoTree);
        from = k - 1;
    }
}

// The walks below keep the nodes still to visit in a small array on the call
// stack, which is quick and allocates nothing; a subtree that finds it full is
// walked by pointer reversal, which needs no room at all, only more time (kept
// out of line, so that the quick loop stays tight).
constexpr int nodes_at_hand = 64;

// Visits t and, below each node that `enter` lets in, its children, a list's
// link (its first field) last; `leave` has the node once its children are
// taken, and a child that finds the array full goes to `beyond`.
template <class Enter, class Leave>
void walk_at_hand(tTree t, Enter enter, void (*beyond)(tTree) noexcept, Leave leave) noexcept
{
    tTree pending[nodes_at_hand];
    int count = 0;
    pending[count++] = t;
    while (count > 0) {
        tTree n = pending[--count];
        if (n == NoTree || !enter(n)) continue;
        const kind_layout& l = layout(n);
        for (int k = 0; k < l.children; ++k) {
            tTree c = *field<tTree>(n, l.child[static_cast<std::size_t>(k)]);
            if (count < nodes_at_hand) [[likely]]
                pending[count++] = c;
            else
                beyond(c);
        }
        leave(n);
    }
}

}

void yyMark(tTree t) noexcept
{
    walk_at_hand(t, [](tTree n) { return ++n->Head.Mark == 1; }, mark_by_reversal, [](tTree) {});
}

namespace {

bool equal_texts(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }

bool equal_types(const ZEM_type* a, const ZEM_type* b) { return a == b || (a && b && *a == *b); }

// The fields of two nodes of one kind other than their children.
bool equal_fields(tTree a, tTree b)
{
    const kind_layout& l = layout(a);
    auto both = [&]<class Field>(std::size_t offset, Field) {
        return std::pair{field<Field>(a, offset), field<Field>(b, offset)};
    };
    if (auto [p, q] = both(l.pos, tPosition{}); p && Compare(*p, *q) != 0) return false;
    if (auto [p, q] = both(l.type, static_cast<ZEM_type*>(nullptr)); p && !equal_types(*p, *q)) return false;
    if (auto [p, q] = both(l.text, static_cast<char*>(nullptr)); p && !equal_texts(*p, *q)) return false;
    if (auto [p, q] = both(l.count, 0); p && *p != *q) return false;
    if (auto [p, q] = both(l.int_value, 0); p && *p != *q) return false;
    if (auto [p, q] = both(l.real_value, 0.0); p && !(*p == *q)) return false;
    return true;
}

}

bool Tree_IsType(tTree t, int kind)
{
    return t != NoTree && kind <= t->Kind && t->Kind <= Tree_TypeRange[kind];
}

tTree ReverseTree(tTree list)
{
    if (list == NoTree || !layout(list).link) return list;
    tTree head = NoTree;
    tTree current = list;
    while (current != NoTree && layout(current).link) {
        tTree* link = field<tTree>(current, layout(current).link);
        tTree rest = *link;
        *link = head;
        head = current;
        current = rest;
    }
    // The end of the list goes behind the element that was first.
    *field<tTree>(list, layout(list).link) = current;
    return head;
}

// A node is taken apart when its last reference goes, so a shared one once;
// it is freed at once, so its fields are only read.
void ReleaseTree(tTree t) noexcept
{
    yyMark(t);
    walk_at_hand(t, [](tTree n) { return --n->Head.Mark == 0; }, release_by_reversal, [](tTree n) { free_node(n); });
}

tTree CopyTree(tTree t)
{
    yyMark(t);
    std::unordered_map<tTree, tTree> copies;
    tTree result = NoTree;
    std::vector<std::pair<tTree, tTree*>> todo{{t, &result}};
    while (!todo.empty()) {
        auto [old, place] = todo.back();
        todo.pop_back();
        if (old == NoTree) {
            *place = NoTree;
        } else if (old->Head.Mark == 0) {
            // A shared node met again: it has been copied already.
            auto found = copies.find(old);
            *place = found != copies.end() ? found->second : NoTree;
        } else {
            tTree n = MakeTree(old->Kind);
            std::memcpy(static_cast<void*>(n), old, Tree_NodeSize[old->Kind]);
            if (old->Head.Mark > 1) copies.emplace(old, n);
            old->Head.Mark = 0;
            n->Head.Mark = 0;
            if (ZEM_type** type = type_attribute(n); type && *type) *type = new ZEM_type(**type);
            if (char** text = field<char*>(n, layout(n).text)) *text = copy_of_text(*text);
            // The new node's child fields still hold the old children: each is replaced by its copy.
            for (int i = 0; i < layout(n).children; ++i) todo.emplace_back(child(n, i), &child(n, i));
            *place = n;
        }
    }
    return result;
}

bool IsEqualTree(tTree t1, tTree t2)
{
    std::vector<std::pair<tTree, tTree>> todo{{t1, t2}};
    while (!todo.empty()) {
        auto [a, b] = todo.back();
        todo.pop_back();
        if (a == b) continue;
        if (a == NoTree || b == NoTree || a->Kind != b->Kind || !equal_fields(a, b)) return false;
        for (int i = layout(a).children - 1; i >= 0; --i) todo.emplace_back(child(a, i), child(b, i));
    }
    return true;
}

ZEM_type** type_attribute(tTree t) { return t == NoTree ? nullptr : field<ZEM_type*>(t, layout(t).type); }

const int* count_attribute(tTree t) { return t == NoTree ? nullptr : field<int>(t, layout(t).count); }

char* copy_of_text(const char* text)
{
    if (!text) return nullptr;
    std::size_t size = std::strlen(text) + 1;
    return static_cast<char*>(std::memcpy(new char[size], text, size));
}

void BeginTree() {}

void CloseTree() {}
