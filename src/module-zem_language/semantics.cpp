#include "module-zem_language/semantics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "groups/group.h"
#include "module-chartab/chartab.h"
#include "module-matrix/matrix.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-tensor/tensor_basis.h"
#include "module-vector/vector.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/codegen.h"
#include "module-zem_language/errors.h"
#include "module-zem_language/symtab.h"
#include "numbers/cyclotomic.h"
#include "numbers/scalar_instances.h"

int semantic_errors = 0;

namespace {

void error(const std::string& text, tPosition position)
{
    Message(text.c_str(), xxError, position);
    ++semantic_errors;
}

std::string quoted(const char* what, const char* name, const char* rest)
{
    return std::string(what) + " '" + name + "'" + rest;
}

void set_type(ZEM_type*& field, const ZEM_type& type)
{
    auto* copy = new ZEM_type(type);
    delete field;
    field = copy;
}

// Takes over `name`, a new[] text or null.
void take_name(tTree t, char* name)
{
    delete[] t->object.Name;
    t->object.Name = name;
}

void set_value(tTree t, const ZEM_type& type, const char* name = "untitled")
{
    set_type(t->object.Type, type);
    take_name(t, copy_of_text(name));
}

// The type attribute of a value node or a list; "error" where there is none.
ZEM_type type_of(tTree t)
{
    ZEM_type** type = type_attribute(t);
    return type && *type ? **type : tp_error();
}

// The element count of a list; 0 where there is none.
int count_of(tTree list)
{
    const int* count = count_attribute(list);
    return count ? *count : 0;
}

// The count and common type of a list node from its element's type and the
// rest of the list, which has its attributes already.
template <class List>
void set_list(List& node, const ZEM_type& element, tTree rest)
{
    node.Count = count_of(rest) + 1;
    set_type(node.Type, count_of(rest) == 0 || element == type_of(rest) ? element : tp_unknown());
}

// A list of `kind` nodes (the member `node` of each): the elements in list
// order, then the count and type attributes from the end backwards. A loop, so
// that a long list costs no depth.
template <class Node>
void visit_list(tTree list, int kind, Node Tree_Node::*node, tTree Node::*rest, tTree Node::*element)
{
    std::vector<Node*> chain;
    tTree t = list;
    for (; t != NoTree && t->Kind == kind; t = (t->*node).*rest) {
        chain.push_back(&(t->*node));
        yyVisit1((t->*node).*element);
    }
    yyVisit1(t);
    for (auto n = chain.rbegin(); n != chain.rend(); ++n) set_list(**n, type_of((*n)->*element), (*n)->*rest);
}

void visit_objects(tTree list) { visit_list(list, kobj1, &Tree_Node::obj1, &yobj1::objects, &yobj1::object); }

// Tensor entries stand last written first and are visited in that order.
void visit_tensor_values(tTree list)
{
    visit_list(list, ktenvals2, &Tree_Node::tenvals2, &ytenvals2::tensorvals, &ytenvals2::tensorval);
}

// Power maps are checked from the last to the first.
void visit_power_maps(tTree list)
{
    std::vector<tTree> chain;
    for (tTree t = list; t != NoTree && t->Kind == kchartab_pow1; t = t->chartab_pow1.chartab_powers)
        chain.push_back(t);
    for (auto n = chain.rbegin(); n != chain.rend(); ++n) yyVisit1((*n)->chartab_pow1.chartab_pow);
}

// Checks that the list's elements all have `type`.
void expect(tTree list, const ZEM_type& type, const char* text, tPosition position)
{
    if (type_of(list) != type) error(text, position);
}

// The argument check of a built-in: -1 for a wrong count, else the number of
// arguments whose type differs from the declared one.
int check_arguments(const builtin_func_definition& definition, int n, tTree arguments)
{
    pointer_to_objects<ZEM_type> types(n);
    collect_types_from_tree(n, arguments, types.block());
    std::vector<int> flags(static_cast<std::size_t>(n), 0);
    return definition.check_arg_types(n, types, flags.data());
}

const func_symtab::func_symtabelt* find_builtin(const char* name)
{
    const func_symtab::func_symtabelt* entry = global_functions.lookup(ZEM_string(name));
    if (entry && entry->kind != 1) ZEM_FAIL("user defined functions not implemented (yet)");
    return entry;
}

// What is wrong with calling `entry` (null when the name is not registered)
// as a procedure or as a function with the n arguments of the list, or null.
// The kind is checked last, once count and types have passed: a procedure
// called as a function would have no naming function for its result.
const char* call_fault(const func_symtab::func_symtabelt* entry, bool as_procedure, int n, tTree arguments)
{
    if (!entry) return " not defined";
    int result = check_arguments(*entry->definition, n, arguments);
    if (result < 0) return ": wrong number of arguments";
    if (result > 0) return ": wrong argument types";
    if (entry->definition->is_procedure() != as_procedure)
        return as_procedure ? ": function used as procedure" : ": procedure used as function";
    return nullptr;
}

void visit_function_call(tTree t)
{
    auto& call = t->function_call;
    visit_objects(call.objects);
    const char* name = call.identifier->identifier.Text;
    const func_symtab::func_symtabelt* entry = find_builtin(name);
    int n = count_of(call.objects);
    if (const char* fault = call_fault(entry, false, n, call.objects)) {
        error(quoted("function", name, fault), call.Pos);
        set_type(call.Type, tp_error());
        take_name(t, entry ? copy_of_text("** error **") : nullptr);
        return;
    }
    std::vector<char*> copies(static_cast<std::size_t>(n));
    std::vector<std::unique_ptr<char[]>> owned(copies.size());  // room first: the copies are owned at once
    collect_names_from_tree(n, call.objects, copies.data());
    for (std::size_t i = 0; i < copies.size(); ++i) owned[i].reset(copies[i]);
    std::vector<const char*> names(copies.begin(), copies.end());
    set_type(call.Type, entry->definition->result_type);
    take_name(t, entry->definition->name_of_result(n, names.data()));
}

void visit_variable(tTree t)
{
    const char* name = t->obj_id.identifier->identifier.Text;
    take_name(t, copy_of_text(name));
    const var_symtab::var_symtabelt* entry = global_objects.lookup(ZEM_string(name));
    if (!entry) error(quoted("variable", name, " not defined"), t->obj_id.Pos);
    set_type(t->obj_id.Type, entry ? entry->type : tp_error());
}

void visit_matrix(tTree t)
{
    visit_objects(t->matrix.objects);
    const bool known = visit_scalar_instance<scalar_set::with_real>(
        type_of(t->matrix.objects), tp_vector,
        [&](auto tag) { set_value(t, tp_matrix(typename decltype(tag)::type().type())); });
    if (known) return;
    error("illegal type in row of matrix definition", t->matrix.Pos);
    set_value(t, tp_error());
}

void visit_group(tTree t, const ZEM_type& matrix, const char* text)
{
    visit_objects(t->imgroup.objects);
    expect(t->imgroup.objects, matrix, text, t->imgroup.Pos);
}

void visit_cyclotomic(tTree t)
{
    auto& c = t->cyclotomic;
    visit_objects(c.exp_denominators);
    visit_objects(c.exp_numerators);
    visit_objects(c.factors);
    int n = count_of(c.factors);
    if (count_of(c.exp_numerators) != n || count_of(c.exp_denominators) != n)
        error("number sequences in the definition of a cyclotomic should be of equal length", c.Pos);
    expect(c.factors, tp_fraction(), "factors in the definition of a cyclotomic should be of type fraction", c.Pos);
    expect(c.exp_numerators, tp_int(),
        "numerators of exponents in the definition of a cyclotomic should be of type int", c.Pos);
    expect(c.exp_denominators, tp_int(),
        "denominators of exponents in the definition of a cyclotomic should be of type int", c.Pos);
    set_value(t, tp_cyclotomic());
}

void visit_character_table(tTree t)
{
    auto& c = t->chartab;
    visit_objects(c.vector_representation);
    expect(c.vector_representation, tp_cyclotomic(),
        "Entries in the definition of the vector representation part of a character table should be of type "
        "cyclotomic",
        c.Pos);
    visit_objects(c.determinant);
    visit_power_maps(c.powers);
    visit_objects(c.entries);
    visit_objects(c.element_orders);
    visit_objects(c.class_sizes);
    visit_objects(c.classes);
    expect(
        c.classes, tp_string(), "conj. classes in the definition of a character table should be of type string", c.Pos);
    expect(
        c.class_sizes, tp_int(), "conj. class size in the definition of character table should be of type int", c.Pos);
    expect(c.element_orders, tp_int(), "orders in the definition of a chararcter table should be of type int", c.Pos);
    expect(c.entries, tp_cyclotomic(), "Entries in the definition of a character table should be of type cyclotomic",
        c.Pos);
    expect(c.determinant, tp_cyclotomic(),
        "Entries in the definition of the determinant representation part of a character table should be of type "
        "cyclotomic",
        c.Pos);
    set_value(t, tp_character_table());
}

void visit_tensor(tTree t)
{
    auto& c = t->tensor;
    yyVisit1(c.permutation);
    if (type_of(c.permutation) != tp_string()) error("permutation should have type string", c.Pos);
    visit_tensor_values(c.values);
    yyVisit1(c.rank);
    yyVisit1(c.dimension);
    if (type_of(c.dimension) != tp_int()) error("Dimension should have type int", c.Pos);
    if (type_of(c.rank) != tp_int()) error("rank should have type int", c.Pos);
    set_value(t, tp_tensor(type_of(c.values)));
}

void visit_tensor_value(tTree t)
{
    auto& c = t->tensorval;
    visit_objects(c.indices);
    c.IndexCount = count_of(c.indices);
    if (c.IndexCount <= 0) error("at least one index required", c.Pos);
    yyVisit1(c.value);
    expect(c.indices, tp_int(), "indices should all have type int", c.Pos);
    set_type(c.Type, type_of(c.value));
}

}

void BeginSemantics() { semantic_errors = 0; }

void Semantics(tTree statement) { yyVisit1(statement); }

void CloseSemantics() { }

int check_procedure(const char* name, tTree arguments, tPosition position, int count)
{
    const char* fault = call_fault(find_builtin(name), true, count, arguments);
    if (!fault) return 1;
    Message(quoted("procedure", name, fault).c_str(), xxError, position);
    return 0;
}

void yyVisit1(tTree t)
{
    if (t == NoTree) return;
    switch (t->Kind) {
    case kobj_assignment:
        yyVisit1(t->obj_assignment.object);
        break;
    case kinput_stmnt:
        yyVisit1(t->input_stmnt.object);
        break;
    case kfile_stmnt:
        yyVisit1(t->file_stmnt.object);
        yyVisit1(t->file_stmnt.file_name);
        break;
    case kprocedure_call_stmnt: {
        auto& call = t->procedure_call_stmnt;
        visit_objects(call.objects);
        if (!check_procedure(call.identifier->identifier.Text, call.objects, call.identifier->identifier.Pos,
                count_of(call.objects)))
            ++semantic_errors;
        break;
    }
    case kobject:
        take_name(t, copy_of_text("untitled"));
        break;
    case kobj_id:
        visit_variable(t);
        break;
    case kfunction_call:
        visit_function_call(t);
        break;
    case kstringconst:
        set_value(t, tp_string());
        break;
    case kstring_list:
        visit_objects(t->string_list.objects);
        expect(t->string_list.objects, tp_string(),
            "Objects in the definition of a string_list should be of type string", t->string_list.Pos);
        set_value(t, tp_linkedlist(tp_string()));
        break;
    case kinteger:
        set_value(t, tp_int());
        break;
    case kfraction:
    case kfr1:
    case kfr2:
        set_value(t, tp_fraction());
        break;
    case kfloatobj:
        set_value(t, tp_real());
        break;
    case kvector: {
        visit_objects(t->vector.objects);
        ZEM_type element = type_of(t->vector.objects);
        if (!is_scalar_instance<scalar_set::with_real>(element, std::identity()))
            error("Objects in the definition of a vector should be of type int, fraction, real or cyclotomic",
                t->vector.Pos);
        set_value(t, tp_vector(element));
        break;
    }
    case kmatrix:
        visit_matrix(t);
        break;
    case kimgroup:
        visit_group(t, tp_matrix(tp_int()), "`matrix<int>' expected as type for elements of int. matrix group");
        set_value(t, tp_group(tp_matrix(tp_int())));
        break;
    case kmgroup:
        visit_group(t, tp_matrix(tp_fraction()), "`matrix<fraction>' expected as type for elements of matrix group");
        set_value(t, tp_group(tp_matrix(tp_fraction())));
        break;
    case kreprgroup:
        visit_group(t, tp_matrix(tp_cyclotomic()),
            "`matrix<cyclotomic>' expected as type for elements of representation group");
        set_value(t, tp_group(type_of(t->reprgroup.objects)));
        break;
    case kcyclotomic:
        visit_cyclotomic(t);
        break;
    case kchartab:
        visit_character_table(t);
        break;
    case ktensor:
        visit_tensor(t);
        break;
    case kobjects:
        t->objects.Count = 0;
        break;
    case kobj1:
        visit_objects(t);
        break;
    case kobj2:
        t->obj2.Count = 0;
        set_type(t->obj2.Type, tp_void());
        break;
    case kchartab_pow1:
        visit_power_maps(t);
        break;
    case kchartab_pow:
        visit_objects(t->chartab_pow.objects);
        expect(t->chartab_pow.objects, tp_int(), "Powers in the definition of a character table should be of type int",
            t->chartab_pow.Pos);
        break;
    case ktensorvals:
        t->tensorvals.Count = 0;
        break;
    case ktenvals1:
        t->tenvals1.Count = 0;
        set_type(t->tenvals1.Type, tp_void());
        break;
    case ktenvals2:
        visit_tensor_values(t);
        break;
    case ktensorval:
        visit_tensor_value(t);
        break;
    default:
        break;
    }
}
