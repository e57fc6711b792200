#include "module-zem_language/tree.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "module-object/error.h"

namespace {

const char* const module = "module-zem_language/tree-c";

}

tTree TreeRoot = NoTree;

tTree MakeTree(int kind)
{
    auto t = static_cast<tTree>(std::calloc(1, Tree_NodeSize[kind]));
    if (!t) _zem_error_(module, __LINE__, "[MakeTree] out of memory");
    t->Kind = static_cast<std::uint8_t>(kind);
    return t;
}

const unsigned char Tree_TypeRange[Tree_KindCount] = {
    0,  3,  2,  3,  9,  5,  6,  7,  8,  9,  27, 11, 12, 13, 14, 15, 18, 17, 18, 19, 20, 21,
    22, 23, 24, 25, 26, 27, 30, 29, 30, 31, 32, 33, 34, 37, 36, 37, 38, 41, 40, 41, 42,
};

const std::size_t Tree_NodeSize[Tree_KindCount] = {
    0,
    sizeof(ystatements),
    sizeof(ystatements_1),
    sizeof(ystatements_2),
    sizeof(ystatement),
    sizeof(yobj_assignment),
    sizeof(yinput_stmnt),
    sizeof(yfile_stmnt),
    sizeof(yprocedure_call_stmnt),
    sizeof(yempty_stmnt),
    sizeof(yobject),
    sizeof(yobj_id),
    sizeof(yfunction_call),
    sizeof(ystringconst),
    sizeof(ystring_list),
    sizeof(yinteger),
    sizeof(yfraction),
    sizeof(yfr1),
    sizeof(yfr2),
    sizeof(yfloatobj),
    sizeof(yvector),
    sizeof(ymatrix),
    sizeof(yimgroup),
    sizeof(ymgroup),
    sizeof(yreprgroup),
    sizeof(ycyclotomic),
    sizeof(ychartab),
    sizeof(ytensor),
    sizeof(yobjects),
    sizeof(yobj1),
    sizeof(yobj2),
    sizeof(yidentifier),
    sizeof(ystring),
    sizeof(ynumber),
    sizeof(yreal),
    sizeof(ychartab_powers),
    sizeof(ychartab_pow1),
    sizeof(ychartab_pow2),
    sizeof(ychartab_pow),
    sizeof(ytensorvals),
    sizeof(ytenvals1),
    sizeof(ytenvals2),
    sizeof(ytensorval),
};

// NoTree is the null pointer, so a zero-filled node has every child NoTree.
tTree nstatements() { return MakeTree(kstatements); }
tTree nstatements_1() { return MakeTree(kstatements_1); }
tTree nstatements_2() { return MakeTree(kstatements_2); }
tTree nstatement() { return MakeTree(kstatement); }
tTree nobj_assignment() { return MakeTree(kobj_assignment); }
tTree ninput_stmnt() { return MakeTree(kinput_stmnt); }
tTree nfile_stmnt() { return MakeTree(kfile_stmnt); }
tTree nprocedure_call_stmnt() { return MakeTree(kprocedure_call_stmnt); }
tTree nempty_stmnt() { return MakeTree(kempty_stmnt); }
tTree nobject() { return MakeTree(kobject); }
tTree nobj_id() { return MakeTree(kobj_id); }
tTree nfunction_call() { return MakeTree(kfunction_call); }
tTree nstringconst() { return MakeTree(kstringconst); }
tTree nstring_list() { return MakeTree(kstring_list); }
tTree ninteger() { return MakeTree(kinteger); }
tTree nfraction() { return MakeTree(kfraction); }
tTree nfr1() { return MakeTree(kfr1); }
tTree nfr2() { return MakeTree(kfr2); }
tTree nfloatobj() { return MakeTree(kfloatobj); }
tTree nvector() { return MakeTree(kvector); }
tTree nmatrix() { return MakeTree(kmatrix); }
tTree nimgroup() { return MakeTree(kimgroup); }
tTree nmgroup() { return MakeTree(kmgroup); }
tTree nreprgroup() { return MakeTree(kreprgroup); }
tTree ncyclotomic() { return MakeTree(kcyclotomic); }
tTree nchartab() { return MakeTree(kchartab); }
tTree ntensor() { return MakeTree(ktensor); }
tTree nobjects() { return MakeTree(kobjects); }
tTree nobj1() { return MakeTree(kobj1); }
tTree nobj2() { return MakeTree(kobj2); }
tTree nidentifier() { return MakeTree(kidentifier); }
tTree nstring() { return MakeTree(kstring); }
tTree nnumber() { return MakeTree(knumber); }
tTree nreal() { return MakeTree(kreal); }
tTree nchartab_powers() { return MakeTree(kchartab_powers); }
tTree nchartab_pow1() { return MakeTree(kchartab_pow1); }
tTree nchartab_pow2() { return MakeTree(kchartab_pow2); }
tTree nchartab_pow() { return MakeTree(kchartab_pow); }
tTree ntensorvals() { return MakeTree(ktensorvals); }
tTree ntenvals1() { return MakeTree(ktenvals1); }
tTree ntenvals2() { return MakeTree(ktenvals2); }
tTree ntensorval() { return MakeTree(ktensorval); }

tTree mstatements()
{
    tTree yyt = MakeTree(kstatements);
    return yyt;
}

tTree mstatements_1(tTree pstatements, tTree pstatement)
{
    tTree yyt = MakeTree(kstatements_1);
    yyt->statements_1.statements = pstatements;
    yyt->statements_1.statement = pstatement;
    return yyt;
}

tTree mstatements_2()
{
    tTree yyt = MakeTree(kstatements_2);
    return yyt;
}

tTree mstatement(tPosition pPos)
{
    tTree yyt = MakeTree(kstatement);
    yyt->statement.Pos = pPos;
    return yyt;
}

tTree mobj_assignment(tPosition pPos, tTree pidentifier, tTree pobject)
{
    tTree yyt = MakeTree(kobj_assignment);
    yyt->obj_assignment.Pos = pPos;
    yyt->obj_assignment.identifier = pidentifier;
    yyt->obj_assignment.object = pobject;
    return yyt;
}

tTree minput_stmnt(tPosition pPos, tTree pobject)
{
    tTree yyt = MakeTree(kinput_stmnt);
    yyt->input_stmnt.Pos = pPos;
    yyt->input_stmnt.object = pobject;
    return yyt;
}

tTree mfile_stmnt(tPosition pPos, tTree pfile_name, tTree pobject)
{
    tTree yyt = MakeTree(kfile_stmnt);
    yyt->file_stmnt.Pos = pPos;
    yyt->file_stmnt.file_name = pfile_name;
    yyt->file_stmnt.object = pobject;
    return yyt;
}

tTree mprocedure_call_stmnt(tPosition pPos, tTree pidentifier, tTree pobjects)
{
    tTree yyt = MakeTree(kprocedure_call_stmnt);
    yyt->procedure_call_stmnt.Pos = pPos;
    yyt->procedure_call_stmnt.identifier = pidentifier;
    yyt->procedure_call_stmnt.objects = pobjects;
    return yyt;
}

tTree mempty_stmnt(tPosition pPos)
{
    tTree yyt = MakeTree(kempty_stmnt);
    yyt->empty_stmnt.Pos = pPos;
    return yyt;
}

tTree mobject(tPosition pPos)
{
    tTree yyt = MakeTree(kobject);
    yyt->object.Pos = pPos;
    return yyt;
}

tTree mobj_id(tPosition pPos, tTree pidentifier)
{
    tTree yyt = MakeTree(kobj_id);
    yyt->obj_id.Pos = pPos;
    yyt->obj_id.identifier = pidentifier;
    return yyt;
}

tTree mfunction_call(tPosition pPos, tTree pidentifier, tTree pobjects)
{
    tTree yyt = MakeTree(kfunction_call);
    yyt->function_call.Pos = pPos;
    yyt->function_call.identifier = pidentifier;
    yyt->function_call.objects = pobjects;
    return yyt;
}

tTree mstringconst(tPosition pPos, tTree pstring)
{
    tTree yyt = MakeTree(kstringconst);
    yyt->stringconst.Pos = pPos;
    yyt->stringconst.string = pstring;
    return yyt;
}

tTree mstring_list(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kstring_list);
    yyt->string_list.Pos = pPos;
    yyt->string_list.objects = pobjects;
    return yyt;
}

tTree minteger(tPosition pPos, tTree pnumber)
{
    tTree yyt = MakeTree(kinteger);
    yyt->integer.Pos = pPos;
    yyt->integer.number = pnumber;
    return yyt;
}

tTree mfraction(tPosition pPos)
{
    tTree yyt = MakeTree(kfraction);
    yyt->fraction.Pos = pPos;
    return yyt;
}

tTree mfr1(tPosition pPos, tTree pnumber)
{
    tTree yyt = MakeTree(kfr1);
    yyt->fr1.Pos = pPos;
    yyt->fr1.number = pnumber;
    return yyt;
}

tTree mfr2(tPosition pPos, tTree pnumerator, tTree pdenominator)
{
    tTree yyt = MakeTree(kfr2);
    yyt->fr2.Pos = pPos;
    yyt->fr2.numerator = pnumerator;
    yyt->fr2.denominator = pdenominator;
    return yyt;
}

tTree mfloatobj(tPosition pPos, tTree preal)
{
    tTree yyt = MakeTree(kfloatobj);
    yyt->floatobj.Pos = pPos;
    yyt->floatobj.real = preal;
    return yyt;
}

tTree mvector(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kvector);
    yyt->vector.Pos = pPos;
    yyt->vector.objects = pobjects;
    return yyt;
}

tTree mmatrix(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kmatrix);
    yyt->matrix.Pos = pPos;
    yyt->matrix.objects = pobjects;
    return yyt;
}

tTree mimgroup(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kimgroup);
    yyt->imgroup.Pos = pPos;
    yyt->imgroup.objects = pobjects;
    return yyt;
}

tTree mmgroup(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kmgroup);
    yyt->mgroup.Pos = pPos;
    yyt->mgroup.objects = pobjects;
    return yyt;
}

tTree mreprgroup(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kreprgroup);
    yyt->reprgroup.Pos = pPos;
    yyt->reprgroup.objects = pobjects;
    return yyt;
}

tTree mcyclotomic(tPosition pPos, tTree pfactors, tTree pexp_numerators, tTree pexp_denominators)
{
    tTree yyt = MakeTree(kcyclotomic);
    yyt->cyclotomic.Pos = pPos;
    yyt->cyclotomic.factors = pfactors;
    yyt->cyclotomic.exp_numerators = pexp_numerators;
    yyt->cyclotomic.exp_denominators = pexp_denominators;
    return yyt;
}

tTree mchartab(tPosition pPos, tTree pclasses, tTree pclass_sizes, tTree pelement_orders, tTree pentries, tTree ppowers,
               tTree pdeterminant, tTree pvector_representation)
{
    tTree yyt = MakeTree(kchartab);
    yyt->chartab.Pos = pPos;
    yyt->chartab.classes = pclasses;
    yyt->chartab.class_sizes = pclass_sizes;
    yyt->chartab.element_orders = pelement_orders;
    yyt->chartab.entries = pentries;
    yyt->chartab.powers = ppowers;
    yyt->chartab.determinant = pdeterminant;
    yyt->chartab.vector_representation = pvector_representation;
    return yyt;
}

tTree mtensor(tPosition pPos, tTree pdimension, tTree prank, tTree ppermutation, tTree pvalues)
{
    tTree yyt = MakeTree(ktensor);
    yyt->tensor.Pos = pPos;
    yyt->tensor.dimension = pdimension;
    yyt->tensor.rank = prank;
    yyt->tensor.permutation = ppermutation;
    yyt->tensor.values = pvalues;
    return yyt;
}

tTree mobjects()
{
    tTree yyt = MakeTree(kobjects);
    return yyt;
}

tTree mobj1(tTree pobjects, tTree pobject)
{
    tTree yyt = MakeTree(kobj1);
    yyt->obj1.objects = pobjects;
    yyt->obj1.object = pobject;
    return yyt;
}

tTree mobj2()
{
    tTree yyt = MakeTree(kobj2);
    return yyt;
}

tTree midentifier(tPosition pPos, char* pText)
{
    tTree yyt = MakeTree(kidentifier);
    yyt->identifier.Pos = pPos;
    yyt->identifier.Text = pText;
    return yyt;
}

tTree mstring(tPosition pPos, char* pText)
{
    tTree yyt = MakeTree(kstring);
    yyt->string.Pos = pPos;
    yyt->string.Text = pText;
    return yyt;
}

tTree mnumber(tPosition pPos, int pValue)
{
    tTree yyt = MakeTree(knumber);
    yyt->number.Pos = pPos;
    yyt->number.Value = pValue;
    return yyt;
}

tTree mreal(tPosition pPos, double pValue)
{
    tTree yyt = MakeTree(kreal);
    yyt->real.Pos = pPos;
    yyt->real.Value = pValue;
    return yyt;
}

tTree mchartab_powers()
{
    tTree yyt = MakeTree(kchartab_powers);
    return yyt;
}

tTree mchartab_pow1(tTree pchartab_powers, tTree pchartab_pow)
{
    tTree yyt = MakeTree(kchartab_pow1);
    yyt->chartab_pow1.chartab_powers = pchartab_powers;
    yyt->chartab_pow1.chartab_pow = pchartab_pow;
    return yyt;
}

tTree mchartab_pow2()
{
    tTree yyt = MakeTree(kchartab_pow2);
    return yyt;
}

tTree mchartab_pow(tPosition pPos, tTree pobjects)
{
    tTree yyt = MakeTree(kchartab_pow);
    yyt->chartab_pow.Pos = pPos;
    yyt->chartab_pow.objects = pobjects;
    return yyt;
}

tTree mtensorvals()
{
    tTree yyt = MakeTree(ktensorvals);
    return yyt;
}

tTree mtenvals1()
{
    tTree yyt = MakeTree(ktenvals1);
    return yyt;
}

tTree mtenvals2(tTree ptensorvals, tTree ptensorval)
{
    tTree yyt = MakeTree(ktenvals2);
    yyt->tenvals2.tensorvals = ptensorvals;
    yyt->tenvals2.tensorval = ptensorval;
    return yyt;
}

tTree mtensorval(tPosition pPos, tTree pindices, tTree pvalue)
{
    tTree yyt = MakeTree(ktensorval);
    yyt->tensorval.Pos = pPos;
    yyt->tensorval.indices = pindices;
    yyt->tensorval.value = pvalue;
    return yyt;
}

namespace {

// Calls visit(field) on every child field of t, in field order.
template <class Visit>
void for_each_child(tTree t, Visit&& visit)
{
    switch (t->Kind) {
    case kstatements_1:
        visit(t->statements_1.statements);
        visit(t->statements_1.statement);
        break;
    case kobj_assignment:
        visit(t->obj_assignment.identifier);
        visit(t->obj_assignment.object);
        break;
    case kinput_stmnt:
        visit(t->input_stmnt.object);
        break;
    case kfile_stmnt:
        visit(t->file_stmnt.file_name);
        visit(t->file_stmnt.object);
        break;
    case kprocedure_call_stmnt:
        visit(t->procedure_call_stmnt.identifier);
        visit(t->procedure_call_stmnt.objects);
        break;
    case kobj_id:
        visit(t->obj_id.identifier);
        break;
    case kfunction_call:
        visit(t->function_call.identifier);
        visit(t->function_call.objects);
        break;
    case kstringconst:
        visit(t->stringconst.string);
        break;
    case kstring_list:
        visit(t->string_list.objects);
        break;
    case kinteger:
        visit(t->integer.number);
        break;
    case kfr1:
        visit(t->fr1.number);
        break;
    case kfr2:
        visit(t->fr2.numerator);
        visit(t->fr2.denominator);
        break;
    case kfloatobj:
        visit(t->floatobj.real);
        break;
    case kvector:
        visit(t->vector.objects);
        break;
    case kmatrix:
        visit(t->matrix.objects);
        break;
    case kimgroup:
        visit(t->imgroup.objects);
        break;
    case kmgroup:
        visit(t->mgroup.objects);
        break;
    case kreprgroup:
        visit(t->reprgroup.objects);
        break;
    case kcyclotomic:
        visit(t->cyclotomic.factors);
        visit(t->cyclotomic.exp_numerators);
        visit(t->cyclotomic.exp_denominators);
        break;
    case kchartab:
        visit(t->chartab.classes);
        visit(t->chartab.class_sizes);
        visit(t->chartab.element_orders);
        visit(t->chartab.entries);
        visit(t->chartab.powers);
        visit(t->chartab.determinant);
        visit(t->chartab.vector_representation);
        break;
    case ktensor:
        visit(t->tensor.dimension);
        visit(t->tensor.rank);
        visit(t->tensor.permutation);
        visit(t->tensor.values);
        break;
    case kobj1:
        visit(t->obj1.objects);
        visit(t->obj1.object);
        break;
    case kchartab_pow1:
        visit(t->chartab_pow1.chartab_powers);
        visit(t->chartab_pow1.chartab_pow);
        break;
    case kchartab_pow:
        visit(t->chartab_pow.objects);
        break;
    case ktenvals2:
        visit(t->tenvals2.tensorvals);
        visit(t->tenvals2.tensorval);
        break;
    case ktensorval:
        visit(t->tensorval.indices);
        visit(t->tensorval.value);
        break;
    default: break;
    }
}

// The child fields of t in field order; a node has at most seven children.
struct child_fields {
    std::array<tTree*, 7> field{};
    int count = 0;
};

child_fields children_of(tTree t)
{
    child_fields c;
    for_each_child(t, [&c](tTree& child) { c.field[static_cast<std::size_t>(c.count++)] = &child; });
    return c;
}

// The link to the rest of the list, for the list kinds that can be reversed.
tTree* link_of(tTree t)
{
    switch (t->Kind) {
    case kstatements_1: return &t->statements_1.statements;
    case kobj1: return &t->obj1.objects;
    case kchartab_pow1: return &t->chartab_pow1.chartab_powers;
    default: return nullptr;
    }
}

const tPosition* position_of(tTree t)
{
    if (Tree_IsType(t, kstatement)) return &t->statement.Pos;
    if (Tree_IsType(t, kobject)) return &t->object.Pos;
    switch (t->Kind) {
    case kidentifier: return &t->identifier.Pos;
    case kstring: return &t->string.Pos;
    case knumber: return &t->number.Pos;
    case kreal: return &t->real.Pos;
    case kchartab_pow: return &t->chartab_pow.Pos;
    case ktensorval: return &t->tensorval.Pos;
    default: return nullptr;
    }
}

// The owned character array: Name of the object kinds, Text of identifier and string.
char** text_of(tTree t)
{
    if (Tree_IsType(t, kobject)) return &t->object.Name;
    if (t->Kind == kidentifier) return &t->identifier.Text;
    if (t->Kind == kstring) return &t->string.Text;
    return nullptr;
}

// Sets Mark of every node to the number of references to it from its parents
// and the root.
void mark(tTree t)
{
    std::vector<tTree> todo{t};
    while (!todo.empty()) {
        tTree n = todo.back();
        todo.pop_back();
        if (n != NoTree && ++n->Head.Mark == 1) for_each_child(n, [&todo](tTree& child) { todo.push_back(child); });
    }
}

bool equal_texts(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }

bool equal_types(const ZEM_type* a, const ZEM_type* b) { return a == b || (a && b && *a == *b); }

// The fields of two nodes of one kind other than their children.
bool equal_fields(tTree a, tTree b)
{
    if (const tPosition* p = position_of(a); p && Compare(*p, *position_of(b)) != 0) return false;
    if (ZEM_type** type = type_attribute(a); type && !equal_types(*type, *type_attribute(b))) return false;
    if (char** text = text_of(a); text && !equal_texts(*text, *text_of(b))) return false;
    if (const int* count = count_attribute(a); count && *count != *count_attribute(b)) return false;
    if (a->Kind == knumber) return a->number.Value == b->number.Value;
    if (a->Kind == kreal) return a->real.Value == b->real.Value;
    return true;
}

}

bool Tree_IsType(tTree t, int kind)
{
    return t != NoTree && kind <= t->Kind && t->Kind <= Tree_TypeRange[kind];
}

tTree ReverseTree(tTree list)
{
    tTree* first_link = list != NoTree ? link_of(list) : nullptr;
    if (!first_link) return list;
    tTree head = NoTree;
    tTree current = list;
    while (current != NoTree) {
        tTree* link = link_of(current);
        if (!link) break;
        tTree rest = *link;
        *link = head;
        head = current;
        current = rest;
    }
    // The end of the list goes behind the element that was first.
    *first_link = current;
    return head;
}

void ReleaseTree(tTree t)
{
    mark(t);
    std::vector<tTree> todo{t};
    while (!todo.empty()) {
        tTree n = todo.back();
        todo.pop_back();
        if (n == NoTree) continue;
        // Only the first of several parents finds the children still in place.
        for_each_child(n, [&todo](tTree& child) {
            todo.push_back(child);
            child = NoTree;
        });
        if (--n->Head.Mark != 0) continue;
        if (ZEM_type** type = type_attribute(n)) delete *type;
        if (char** text = text_of(n)) delete[] *text;
        std::free(n);
    }
}

tTree CopyTree(tTree t)
{
    mark(t);
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
            if (char** text = text_of(n)) *text = copy_of_text(*text);
            // The new node's child fields still hold the old children: each is replaced by its copy.
            for_each_child(n, [&todo](tTree& child) { todo.emplace_back(child, &child); });
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
        child_fields ca = children_of(a);
        child_fields cb = children_of(b);
        for (int i = ca.count - 1; i >= 0; --i)
            todo.emplace_back(*ca.field[static_cast<std::size_t>(i)], *cb.field[static_cast<std::size_t>(i)]);
    }
    return true;
}

ZEM_type** type_attribute(tTree t)
{
    if (Tree_IsType(t, kobject)) return &t->object.Type;
    if (Tree_IsType(t, kobjects)) return &t->objects.Type;
    if (Tree_IsType(t, ktensorvals)) return &t->tensorvals.Type;
    if (Tree_IsType(t, ktensorval)) return &t->tensorval.Type;
    return nullptr;
}

const int* count_attribute(tTree t)
{
    if (Tree_IsType(t, kobjects)) return &t->objects.Count;
    if (Tree_IsType(t, ktensorvals)) return &t->tensorvals.Count;
    if (Tree_IsType(t, ktensorval)) return &t->tensorval.IndexCount;
    return nullptr;
}

char* copy_of_text(const char* text)
{
    if (!text) return nullptr;
    std::size_t size = std::strlen(text) + 1;
    return static_cast<char*>(std::memcpy(new char[size], text, size));
}

void BeginTree() {}

void CloseTree() {}
