// The syntax tree of a command file. One plain record type over all node kinds
// (a union of one struct per kind); every node begins with its kind code and a
// mark that only the release and copy walks use. A derived kind has the fields
// of its parent first, so the fields of a parent kind can be read through the
// parent's member on any node derived from it (t->object.Type of an obj_id).
//
// A node owns its children and its attributes: Type (a ZEM_type from new),
// Name and Text (character arrays from new[]). midentifier and mstring take
// over the array they are given. The whole-tree walks never recurse, so no
// nesting and no list length can exhaust the call stack. Marking and release
// keep what is left to visit in a small fixed array and, beyond it, in the
// nodes themselves (pointer reversal): they need no memory at all, so a tree
// can be freed while a failure for want of memory unwinds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "front-end-support/positions.h"
#include "module-object/type.h"

union Tree_Node;
using tTree = Tree_Node*;

// The empty tree.
constexpr tTree NoTree = nullptr;

// Every node kind, in code order from 1: its name, the last kind derived from
// it (itself for a kind without descendants), then its fields in order as
// (category, name) pairs. The categories:
//   link   the rest of a list that ReverseTree turns (a child)
//   child  a subtree
//   pos    the position of the node's first token
//   type   the Type attribute, owned        name  the Name attribute, owned
//   count  the Count or IndexCount attribute
//   text   the Text of a leaf, owned, given to the constructor
//   int    a number's Value                 real  a real's Value
// Attributes (type, name, count) are filled by the semantic pass; the
// constructors take every other field, in field order.
#define TREE_STATEMENT_FIELDS (pos, Pos)
#define TREE_OBJECT_FIELDS (pos, Pos)(type, Type)(name, Name)
#define TREE_LIST_FIELDS (type, Type)(count, Count)
#define TREE_KINDS(K)                                                                                          \
    K(statements, statements_2, )                                                                              \
    K(statements_1, statements_1, (link, statements)(child, statement))                                        \
    K(statements_2, statements_2, )                                                                            \
    K(statement, empty_stmnt, TREE_STATEMENT_FIELDS)                                                           \
    K(obj_assignment, obj_assignment, TREE_STATEMENT_FIELDS(child, identifier)(child, object))                 \
    K(input_stmnt, input_stmnt, TREE_STATEMENT_FIELDS(child, object))                                          \
    K(file_stmnt, file_stmnt, TREE_STATEMENT_FIELDS(child, file_name)(child, object))                          \
    K(procedure_call_stmnt, procedure_call_stmnt, TREE_STATEMENT_FIELDS(child, identifier)(child, objects))    \
    K(empty_stmnt, empty_stmnt, TREE_STATEMENT_FIELDS)                                                         \
    K(object, tensor, TREE_OBJECT_FIELDS)                                                                      \
    K(obj_id, obj_id, TREE_OBJECT_FIELDS(child, identifier))                                                   \
    K(function_call, function_call, TREE_OBJECT_FIELDS(child, identifier)(child, objects))                     \
    K(stringconst, stringconst, TREE_OBJECT_FIELDS(child, string))                                             \
    K(string_list, string_list, TREE_OBJECT_FIELDS(child, objects))                                            \
    K(integer, integer, TREE_OBJECT_FIELDS(child, number))                                                     \
    K(fraction, fr2, TREE_OBJECT_FIELDS)                                                                       \
    K(fr1, fr1, TREE_OBJECT_FIELDS(child, number))                                                             \
    K(fr2, fr2, TREE_OBJECT_FIELDS(child, numerator)(child, denominator))                                      \
    K(floatobj, floatobj, TREE_OBJECT_FIELDS(child, real))                                                     \
    K(vector, vector, TREE_OBJECT_FIELDS(child, objects))                                                      \
    K(matrix, matrix, TREE_OBJECT_FIELDS(child, objects))                                                      \
    K(imgroup, imgroup, TREE_OBJECT_FIELDS(child, objects))                                                    \
    K(mgroup, mgroup, TREE_OBJECT_FIELDS(child, objects))                                                      \
    K(reprgroup, reprgroup, TREE_OBJECT_FIELDS(child, objects))                                                \
    K(cyclotomic, cyclotomic,                                                                                  \
      TREE_OBJECT_FIELDS(child, factors)(child, exp_numerators)(child, exp_denominators))                      \
    K(chartab, chartab,                                                                                        \
      TREE_OBJECT_FIELDS(child, classes)(child, class_sizes)(child, element_orders)(child, entries)(           \
          child, powers)(child, determinant)(child, vector_representation))                                    \
    K(tensor, tensor, TREE_OBJECT_FIELDS(child, dimension)(child, rank)(child, permutation)(child, values))    \
    K(objects, obj2, TREE_LIST_FIELDS)                                                                         \
    K(obj1, obj1, TREE_LIST_FIELDS(link, objects)(child, object))                                              \
    K(obj2, obj2, TREE_LIST_FIELDS)                                                                            \
    K(identifier, identifier, (pos, Pos)(text, Text))                                                          \
    K(string, string, (pos, Pos)(text, Text))                                                                  \
    K(number, number, (pos, Pos)(int, Value))                                                                  \
    K(real, real, (pos, Pos)(real, Value))                                                                     \
    K(chartab_powers, chartab_pow2, )                                                                          \
    K(chartab_pow1, chartab_pow1, (link, chartab_powers)(child, chartab_pow))                                  \
    K(chartab_pow2, chartab_pow2, )                                                                            \
    K(chartab_pow, chartab_pow, (pos, Pos)(child, objects))                                                    \
    K(tensorvals, tenvals2, TREE_LIST_FIELDS)                                                                  \
    K(tenvals1, tenvals1, TREE_LIST_FIELDS)                                                                    \
    K(tenvals2, tenvals2, TREE_LIST_FIELDS(child, tensorvals)(child, tensorval))                               \
    K(tensorval, tensorval, (pos, Pos)(child, indices)(child, value)(type, Type)(count, IndexCount))

// TREE_FOR(step, fields) calls step(category, name) on every field in turn:
// step_A and step_B each handle one field and hand on to the other.
#define TREE_FOR(step, fields) TREE_END(step##_A fields)
#define TREE_END(...) TREE_END_(__VA_ARGS__)
#define TREE_END_(...) __VA_ARGS__##_END

using tree_link_field = tTree;
using tree_child_field = tTree;
using tree_pos_field = tPosition;
using tree_type_field = ZEM_type*;
using tree_name_field = char*;
using tree_count_field = int;
using tree_text_field = char*;
using tree_int_field = int;
using tree_real_field = double;

#define TREE_FIELD(category, name) tree_##category##_field name;
#define TREE_FIELD_A(category, name) TREE_FIELD(category, name) TREE_FIELD_B
#define TREE_FIELD_B(category, name) TREE_FIELD(category, name) TREE_FIELD_A
#define TREE_FIELD_A_END
#define TREE_FIELD_B_END

// The constructor's parameters: ", type pname" for each field but the attributes.
#define TREE_PARAM(category, name) TREE_PARAM_##category(name)
#define TREE_PARAM_A(category, name) TREE_PARAM(category, name) TREE_PARAM_B
#define TREE_PARAM_B(category, name) TREE_PARAM(category, name) TREE_PARAM_A
#define TREE_PARAM_A_END
#define TREE_PARAM_B_END
#define TREE_PARAM_link(name) , tTree p##name
#define TREE_PARAM_child(name) , tTree p##name
#define TREE_PARAM_pos(name) , tPosition p##name
#define TREE_PARAM_text(name) , char* p##name
#define TREE_PARAM_int(name) , int p##name
#define TREE_PARAM_real(name) , double p##name
#define TREE_PARAM_type(name)
#define TREE_PARAM_name(name)
#define TREE_PARAM_count(name)
#define TREE_PARAMS(fields) TREE_DROP_FIRST(~ TREE_FOR(TREE_PARAM, fields))
#define TREE_DROP_FIRST(...) TREE_DROP_FIRST_(__VA_ARGS__)
#define TREE_DROP_FIRST_(first, ...) __VA_ARGS__

// Kind codes: kNoTree is 0, then the kinds in table order.
#define TREE_CODE(kind, last, fields) k##kind,
enum Tree_Kind : std::uint8_t { kNoTree, TREE_KINDS(TREE_CODE) };
constexpr int Tree_KindCount = ktensorval + 1;

struct yHead {
    std::uint8_t Kind;
    std::uint16_t Mark;
};

// One record per kind: the header, then the fields of the table.
#define TREE_STRUCT(kind, last, fields) \
    struct y##kind {                    \
        std::uint8_t Kind;              \
        std::uint16_t Mark;             \
        TREE_FOR(TREE_FIELD, fields)    \
    };
TREE_KINDS(TREE_STRUCT)

#define TREE_MEMBER(kind, last, fields) y##kind kind;
union Tree_Node {
    std::uint8_t Kind;
    yHead Head;
    TREE_KINDS(TREE_MEMBER)
};

// Per kind: n<kind>() makes an empty node (every child NoTree, everything else
// zero); m<kind>(...) one filled with its fields but the attributes, in order.
#define TREE_CONSTRUCTORS(kind, last, fields) \
    tTree n##kind();                          \
    tTree m##kind(TREE_PARAMS(fields));
TREE_KINDS(TREE_CONSTRUCTORS)

// For each kind the highest code of the kinds derived from it.
extern const unsigned char Tree_TypeRange[Tree_KindCount];
// For each kind the size of its record.
extern const std::size_t Tree_NodeSize[Tree_KindCount];

// The statement list of the file parsed last, in source order.
extern tTree TreeRoot;

// A zero-filled node of the kind.
tTree MakeTree(int kind);
// True when t is a node of `kind` or of a kind derived from it.
bool Tree_IsType(tTree t, int kind);
// Turns a list of statements_1, obj1 or chartab_pow1 nodes, built with its last
// element first, into source order in place and returns the new head. Any other
// node is returned unchanged.
tTree ReverseTree(tTree list);
// Sets Mark of every node of the tree to the number of references to it from
// its parents and the root; Mark of each must be 0 before.
void yyMark(tTree t) noexcept;
// Frees the tree with its attributes; a subtree shared by several parents is
// freed once.
void ReleaseTree(tTree t) noexcept;
// A copy that keeps the sharing of subtrees, with its own attributes.
tTree CopyTree(tTree t);
// Equal structure, kinds, positions, attributes and values. A missing Type,
// Name or Text equals only a missing one.
bool IsEqualTree(tTree t1, tTree t2);

// The Type attribute of the object kinds, the list kinds and tensorval; null
// for any other node.
ZEM_type** type_attribute(tTree t);
// The Count attribute of the list kinds, IndexCount of tensorval; null for any
// other node.
const int* count_attribute(tTree t);
// A new[] copy of text, as the Name and Text fields hold them; null for null.
char* copy_of_text(const char* text);

void BeginTree();
void CloseTree();
