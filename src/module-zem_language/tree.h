// The syntax tree of a command file. One plain record type over all node kinds
// (a union of one struct per kind); every node begins with its kind code and a
// mark that only the release and copy walks use. A derived kind has the fields
// of its parent first, so the fields of a parent kind can be read through the
// parent's member on any node derived from it (t->object.Type of an obj_id).
//
// A node owns its children and its attributes: Type (a ZEM_type from new),
// Name and Text (character arrays from new[]). midentifier and mstring take
// over the array they are given. Lists are chains of list nodes ending in an
// end-of-list node; the whole-tree walks follow them in loops, never by
// recursion, so a file of any length cannot exhaust the stack.
#pragma once

#include <cstddef>
#include <cstdint>

#include "front-end-support/positions.h"
#include "module-object/type.h"

union Tree_Node;
using tTree = Tree_Node*;

// The empty tree.
constexpr tTree NoTree = nullptr;

struct yHead {
    std::uint8_t Kind;
    std::uint16_t Mark;
};

// Kind codes.
constexpr std::uint8_t kNoTree = 0;
constexpr std::uint8_t kstatements = 1;
constexpr std::uint8_t kstatements_1 = 2;
constexpr std::uint8_t kstatements_2 = 3;
constexpr std::uint8_t kstatement = 4;
constexpr std::uint8_t kobj_assignment = 5;
constexpr std::uint8_t kinput_stmnt = 6;
constexpr std::uint8_t kfile_stmnt = 7;
constexpr std::uint8_t kprocedure_call_stmnt = 8;
constexpr std::uint8_t kempty_stmnt = 9;
constexpr std::uint8_t kobject = 10;
constexpr std::uint8_t kobj_id = 11;
constexpr std::uint8_t kfunction_call = 12;
constexpr std::uint8_t kstringconst = 13;
constexpr std::uint8_t kstring_list = 14;
constexpr std::uint8_t kinteger = 15;
constexpr std::uint8_t kfraction = 16;
constexpr std::uint8_t kfr1 = 17;
constexpr std::uint8_t kfr2 = 18;
constexpr std::uint8_t kfloatobj = 19;
constexpr std::uint8_t kvector = 20;
constexpr std::uint8_t kmatrix = 21;
constexpr std::uint8_t kimgroup = 22;
constexpr std::uint8_t kmgroup = 23;
constexpr std::uint8_t kreprgroup = 24;
constexpr std::uint8_t kcyclotomic = 25;
constexpr std::uint8_t kchartab = 26;
constexpr std::uint8_t ktensor = 27;
constexpr std::uint8_t kobjects = 28;
constexpr std::uint8_t kobj1 = 29;
constexpr std::uint8_t kobj2 = 30;
constexpr std::uint8_t kidentifier = 31;
constexpr std::uint8_t kstring = 32;
constexpr std::uint8_t knumber = 33;
constexpr std::uint8_t kreal = 34;
constexpr std::uint8_t kchartab_powers = 35;
constexpr std::uint8_t kchartab_pow1 = 36;
constexpr std::uint8_t kchartab_pow2 = 37;
constexpr std::uint8_t kchartab_pow = 38;
constexpr std::uint8_t ktensorvals = 39;
constexpr std::uint8_t ktenvals1 = 40;
constexpr std::uint8_t ktenvals2 = 41;
constexpr std::uint8_t ktensorval = 42;
constexpr int Tree_KindCount = 43;

// One record per kind: the header, then the parent kind's fields, then its own.
struct ystatements {
    std::uint8_t Kind;
    std::uint16_t Mark;
};
struct ystatements_1 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tTree statements;
    tTree statement;
};
struct ystatements_2 {
    std::uint8_t Kind;
    std::uint16_t Mark;
};
struct ystatement {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
};
struct yobj_assignment {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree identifier;
    tTree object;
};
struct yinput_stmnt {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree object;
};
struct yfile_stmnt {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree file_name;
    tTree object;
};
struct yprocedure_call_stmnt {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree identifier;
    tTree objects;
};
struct yempty_stmnt {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
};
struct yobject {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
};
struct yobj_id {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree identifier;
};
struct yfunction_call {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree identifier;
    tTree objects;
};
struct ystringconst {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree string;
};
struct ystring_list {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct yinteger {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree number;
};
struct yfraction {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
};
struct yfr1 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree number;
};
struct yfr2 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree numerator;
    tTree denominator;
};
struct yfloatobj {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree real;
};
struct yvector {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct ymatrix {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct yimgroup {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct ymgroup {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct yreprgroup {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree objects;
};
struct ycyclotomic {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree factors;
    tTree exp_numerators;
    tTree exp_denominators;
};
struct ychartab {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree classes;
    tTree class_sizes;
    tTree element_orders;
    tTree entries;
    tTree powers;
    tTree determinant;
    tTree vector_representation;
};
struct ytensor {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    ZEM_type* Type;
    char* Name;
    tTree dimension;
    tTree rank;
    tTree permutation;
    tTree values;
};
struct yobjects {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
};
struct yobj1 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
    tTree objects;
    tTree object;
};
struct yobj2 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
};
struct yidentifier {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    char* Text;
};
struct ystring {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    char* Text;
};
struct ynumber {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    int Value;
};
struct yreal {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    double Value;
};
struct ychartab_powers {
    std::uint8_t Kind;
    std::uint16_t Mark;
};
struct ychartab_pow1 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tTree chartab_powers;
    tTree chartab_pow;
};
struct ychartab_pow2 {
    std::uint8_t Kind;
    std::uint16_t Mark;
};
struct ychartab_pow {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree objects;
};
struct ytensorvals {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
};
struct ytenvals1 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
};
struct ytenvals2 {
    std::uint8_t Kind;
    std::uint16_t Mark;
    ZEM_type* Type;
    int Count;
    tTree tensorvals;
    tTree tensorval;
};
struct ytensorval {
    std::uint8_t Kind;
    std::uint16_t Mark;
    tPosition Pos;
    tTree indices;
    tTree value;
    ZEM_type* Type;
    int IndexCount;
};

union Tree_Node {
    std::uint8_t Kind;
    yHead Head;
    ystatements statements;
    ystatements_1 statements_1;
    ystatements_2 statements_2;
    ystatement statement;
    yobj_assignment obj_assignment;
    yinput_stmnt input_stmnt;
    yfile_stmnt file_stmnt;
    yprocedure_call_stmnt procedure_call_stmnt;
    yempty_stmnt empty_stmnt;
    yobject object;
    yobj_id obj_id;
    yfunction_call function_call;
    ystringconst stringconst;
    ystring_list string_list;
    yinteger integer;
    yfraction fraction;
    yfr1 fr1;
    yfr2 fr2;
    yfloatobj floatobj;
    yvector vector;
    ymatrix matrix;
    yimgroup imgroup;
    ymgroup mgroup;
    yreprgroup reprgroup;
    ycyclotomic cyclotomic;
    ychartab chartab;
    ytensor tensor;
    yobjects objects;
    yobj1 obj1;
    yobj2 obj2;
    yidentifier identifier;
    ystring string;
    ynumber number;
    yreal real;
    ychartab_powers chartab_powers;
    ychartab_pow1 chartab_pow1;
    ychartab_pow2 chartab_pow2;
    ychartab_pow chartab_pow;
    ytensorvals tensorvals;
    ytenvals1 tenvals1;
    ytenvals2 tenvals2;
    ytensorval tensorval;
};

// Empty nodes: every child NoTree, every other field zero.
tTree nstatements();
tTree nstatements_1();
tTree nstatements_2();
tTree nstatement();
tTree nobj_assignment();
tTree ninput_stmnt();
tTree nfile_stmnt();
tTree nprocedure_call_stmnt();
tTree nempty_stmnt();
tTree nobject();
tTree nobj_id();
tTree nfunction_call();
tTree nstringconst();
tTree nstring_list();
tTree ninteger();
tTree nfraction();
tTree nfr1();
tTree nfr2();
tTree nfloatobj();
tTree nvector();
tTree nmatrix();
tTree nimgroup();
tTree nmgroup();
tTree nreprgroup();
tTree ncyclotomic();
tTree nchartab();
tTree ntensor();
tTree nobjects();
tTree nobj1();
tTree nobj2();
tTree nidentifier();
tTree nstring();
tTree nnumber();
tTree nreal();
tTree nchartab_powers();
tTree nchartab_pow1();
tTree nchartab_pow2();
tTree nchartab_pow();
tTree ntensorvals();
tTree ntenvals1();
tTree ntenvals2();
tTree ntensorval();

// Filled nodes: the fields other than the attributes, in field order.
tTree mstatements();
tTree mstatements_1(tTree pstatements, tTree pstatement);
tTree mstatements_2();
tTree mstatement(tPosition pPos);
tTree mobj_assignment(tPosition pPos, tTree pidentifier, tTree pobject);
tTree minput_stmnt(tPosition pPos, tTree pobject);
tTree mfile_stmnt(tPosition pPos, tTree pfile_name, tTree pobject);
tTree mprocedure_call_stmnt(tPosition pPos, tTree pidentifier, tTree pobjects);
tTree mempty_stmnt(tPosition pPos);
tTree mobject(tPosition pPos);
tTree mobj_id(tPosition pPos, tTree pidentifier);
tTree mfunction_call(tPosition pPos, tTree pidentifier, tTree pobjects);
tTree mstringconst(tPosition pPos, tTree pstring);
tTree mstring_list(tPosition pPos, tTree pobjects);
tTree minteger(tPosition pPos, tTree pnumber);
tTree mfraction(tPosition pPos);
tTree mfr1(tPosition pPos, tTree pnumber);
tTree mfr2(tPosition pPos, tTree pnumerator, tTree pdenominator);
tTree mfloatobj(tPosition pPos, tTree preal);
tTree mvector(tPosition pPos, tTree pobjects);
tTree mmatrix(tPosition pPos, tTree pobjects);
tTree mimgroup(tPosition pPos, tTree pobjects);
tTree mmgroup(tPosition pPos, tTree pobjects);
tTree mreprgroup(tPosition pPos, tTree pobjects);
tTree mcyclotomic(tPosition pPos, tTree pfactors, tTree pexp_numerators, tTree pexp_denominators);
tTree mchartab(tPosition pPos, tTree pclasses, tTree pclass_sizes, tTree pelement_orders, tTree pentries, tTree ppowers,
               tTree pdeterminant, tTree pvector_representation);
tTree mtensor(tPosition pPos, tTree pdimension, tTree prank, tTree ppermutation, tTree pvalues);
tTree mobjects();
tTree mobj1(tTree pobjects, tTree pobject);
tTree mobj2();
tTree midentifier(tPosition pPos, char* pText);
tTree mstring(tPosition pPos, char* pText);
tTree mnumber(tPosition pPos, int pValue);
tTree mreal(tPosition pPos, double pValue);
tTree mchartab_powers();
tTree mchartab_pow1(tTree pchartab_powers, tTree pchartab_pow);
tTree mchartab_pow2();
tTree mchartab_pow(tPosition pPos, tTree pobjects);
tTree mtensorvals();
tTree mtenvals1();
tTree mtenvals2(tTree ptensorvals, tTree ptensorval);
tTree mtensorval(tPosition pPos, tTree pindices, tTree pvalue);

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
// Frees the tree with its attributes; a subtree shared by several parents is
// freed once.
void ReleaseTree(tTree t);
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
