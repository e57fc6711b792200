#include "module-zem_language/codegen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/tensor_basis.h"
#include "module-vector/vector.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/icode_values.h"
#include "numbers/cyclotomic.h"
#include "numbers/scalar_instances.h"

namespace {

void yyExit() { std::abort(); }

[[noreturn]] void yyAbort(const char* routine)
{
    std::fprintf(stderr, "Error: module Trafo, routine %s failed\n", routine);
    Trafo_Exit();
    std::abort();
}

// The list owns the instruction from here on, even if appending fails.
void emit(icode_instr_list* code, icode_instr* instruction)
{
    std::unique_ptr<icode_instr> owned(instruction);
    code->add(instruction);
    owned.release();
}

template <class T>
void emit_constant(icode_instr_list* code, const T& value)
{
    std::unique_ptr<ZEM_object> constant(new T(value));
    icode_instr* push = new icode_pushObject(constant.get());
    constant.release();
    emit(code, push);
}

ZEM_string text_of(Tree_Node* identifier) { return ZEM_string(identifier->identifier.Text); }

// An objects list (obj1 ... obj2) or a list of power maps (chartab_pow1 ...
// chartab_pow2), linked from its first element: the elements' code, last
// element first. A loop rather than recursion, so long lists cost no stack.
// Returns the number of elements.
int emit_list(Tree_Node* list, icode_instr_list* code)
{
    std::vector<Tree_Node*> elements;
    for (;;) {
        if (list->Kind == kobj1) {
            elements.push_back(list->obj1.object);
            list = list->obj1.objects;
        } else if (list->Kind == kchartab_pow1) {
            elements.push_back(list->chartab_pow1.chartab_pow);
            list = list->chartab_pow1.chartab_powers;
        } else if (list->Kind == kobj2 || list->Kind == kchartab_pow2) {
            break;
        } else {
            yyAbort("gen_i_code");
        }
    }
    for (auto element = elements.rbegin(); element != elements.rend(); ++element) gen_i_code(*element, code);
    return static_cast<int>(elements.size());
}

// A tensor's value list is linked from its last entry, so following the links
// already walks it last entry first. Returns the number of indices written in
// each entry, first entry first.
std::vector<int> emit_tensor_values(Tree_Node* list, icode_instr_list* code)
{
    std::vector<int> indices_written;
    for (; list->Kind == ktenvals2; list = list->tenvals2.tensorvals) {
        gen_i_code(list->tenvals2.tensorval, code);
        indices_written.push_back(list->tenvals2.tensorval->tensorval.indices->objects.Count);
    }
    if (list->Kind != ktenvals1) yyAbort("gen_i_code");
    std::reverse(indices_written.begin(), indices_written.end());
    return indices_written;
}

// The instruction over the element type that `type` names as outer(element).
template <template <class> class Instruction, class... Arguments>
void emit_by_element(icode_instr_list* code, const ZEM_type& type, ZEM_type (*outer)(const ZEM_type&),
                     const char* failure, const Arguments&... arguments)
{
    const bool emitted = visit_scalar_instance<scalar_set::with_real>(type, outer, [&](auto tag) {
        emit(code, new Instruction<typename decltype(tag)::type>(arguments...));
    });
    if (!emitted) ZEM_FAIL(failure);
}

void emit_chartab(Tree_Node* t, icode_instr_list* code)
{
    const auto& c = t->chartab;
    chartab_part_counts written;
    written.vector = emit_list(c.vector_representation, code);
    written.determinant = emit_list(c.determinant, code);
    written.power_maps = emit_list(c.powers, code);
    written.entries = emit_list(c.entries, code);
    written.element_orders = emit_list(c.element_orders, code);
    written.class_sizes = emit_list(c.class_sizes, code);
    written.class_names = emit_list(c.classes, code);
    const int classes = written.element_orders;
    // The semantic pass refuses an empty list of orders; the test spares a division by zero all the same.
    const int characters = classes == 0 ? 0 : written.entries / classes;
    emit(code, new icode_chartab(classes, characters, written));
}

void emit_tensor(Tree_Node* t, icode_instr_list* code)
{
    const auto& c = t->tensor;
    const std::vector<int> indices_written = emit_tensor_values(c.values, code);
    gen_i_code(c.permutation, code);
    gen_i_code(c.rank, code);
    gen_i_code(c.dimension, code);
    pointer_to_objects<int> counts(static_cast<int>(indices_written.size()));
    for (int k = 0; k < counts.count(); ++k) counts[k] = indices_written[static_cast<std::size_t>(k)];
    if (counts.count() == 0) ZEM_FAIL("[gen_i_code] a tensor needs at least one entry");
    // With values of mixed or other types there is no tensor to build.
    emit_by_element<icode_tensor>(
        code, *c.Type, tp_tensor,
        "[gen_i_code] the values of a tensor should all have one type: int, real, fraction or cyclotomic",
        counts);
}

}

void (*Trafo_Exit)() = yyExit;

void BeginTrafo() {}
void CloseTrafo() {}

void gen_i_code(Tree_Node* t, icode_instr_list* code)
{
    // Where a count comes from emit_list among an instruction's constructor
    // arguments, the parts' code is emitted before the instruction is appended.
    switch (t->Kind) {
    case kobj_assignment:
        gen_i_code(t->obj_assignment.object, code);
        emit(code, new icode_objAssign(text_of(t->obj_assignment.identifier), *t->obj_assignment.object->object.Type));
        break;
    case kinput_stmnt:
        gen_i_code(t->input_stmnt.object, code);
        emit(code, new icode_input());
        break;
    case kfile_stmnt:
        // `file ( value name ) ;`: the first child is the value, the second the
        // name, whose code goes first so that the value is popped first.
        gen_i_code(t->file_stmnt.object, code);
        gen_i_code(t->file_stmnt.file_name, code);
        emit(code, new icode_file());
        break;
    case kprocedure_call_stmnt:
        emit(code, new icode_callProc(text_of(t->procedure_call_stmnt.identifier),
                                      emit_list(t->procedure_call_stmnt.objects, code)));
        break;
    case kempty_stmnt:
        break;
    case kobj_id:
        emit(code, new icode_objVar(text_of(t->obj_id.identifier)));
        break;
    case kfunction_call:
        emit(code,
             new icode_callFunc(text_of(t->function_call.identifier), emit_list(t->function_call.objects, code)));
        break;
    case kstringconst:
        emit_constant(code, ZEM_string(t->stringconst.string->string.Text));
        break;
    case kstring_list:
        emit(code, new icode_string_list(emit_list(t->string_list.objects, code)));
        break;
    case kinteger:
        emit_constant(code, ZEM_int(t->integer.number->number.Value));
        break;
    case kfr1:
        emit_constant(code, ZEM_fraction(t->fr1.number->number.Value));
        break;
    case kfr2:
        emit_constant(code, ZEM_fraction(t->fr2.numerator->number.Value, t->fr2.denominator->number.Value));
        break;
    case kfloatobj:
        emit_constant(code, ZEM_real(t->floatobj.real->real.Value));
        break;
    case kvector:
        emit_by_element<icode_vector>(code, *t->vector.Type, tp_vector,
                                      "[gen_i_code] no element type for a vector (please report)",
                                      emit_list(t->vector.objects, code));
        break;
    case kmatrix:
        emit_by_element<icode_matrix>(code, *t->matrix.Type, tp_matrix,
                                      "[gen_i_code] no element type for a matrix (please report)",
                                      emit_list(t->matrix.objects, code));
        break;
    case kimgroup:
        emit(code, new icode_group<ZEM_matrix<ZEM_int>>(emit_list(t->imgroup.objects, code)));
        break;
    case kmgroup:
        emit(code, new icode_group<ZEM_matrix<ZEM_fraction>>(emit_list(t->mgroup.objects, code)));
        break;
    case kreprgroup:
        emit(code, new icode_group<ZEM_matrix<ZEM_cyclotomic_number>>(emit_list(t->reprgroup.objects, code)));
        break;
    case kcyclotomic:
        emit_list(t->cyclotomic.exp_denominators, code);
        emit_list(t->cyclotomic.exp_numerators, code);
        emit(code, new icode_cyclotomic(emit_list(t->cyclotomic.factors, code)));
        break;
    case kchartab:
        emit_chartab(t, code);
        break;
    case ktensor:
        emit_tensor(t, code);
        break;
    case kobj1:
    case kobj2:
    case kchartab_pow1:
    case kchartab_pow2:
        emit_list(t, code);
        break;
    case kchartab_pow:
        emit(code, new icode_chartab_pow(emit_list(t->chartab_pow.objects, code)));
        break;
    case ktenvals1:
    case ktenvals2:
        emit_tensor_values(t, code);
        break;
    case ktensorval:
        gen_i_code(t->tensorval.value, code);
        emit_list(t->tensorval.indices, code);
        break;
    default:
        yyAbort("gen_i_code");
    }
}

namespace {

// Both collectors walk an objects list from its head, one array entry per element.
// The caller's count only sizes its array, so the walk goes by the links alone.
template <class Fill>
void collect(Tree_Node* list, const char* routine, Fill fill)
{
    for (; list->Kind == kobj1; list = list->obj1.objects) fill(list->obj1.object);
    if (list->Kind != kobj2) yyAbort(routine);
}

}

void collect_types_from_tree(int, Tree_Node* list, ZEM_type* types)
{
    collect(list, "collect_types_from_tree", [&](Tree_Node* object) { *types++ = *object->object.Type; });
}

void collect_names_from_tree(int, Tree_Node* list, char** names)
{
    char** next = names;
    try {
        collect(list, "collect_names_from_tree",
                [&](Tree_Node* object) { *next++ = copy_of_text(object->object.Name); });
    } catch (...) {
        while (next != names) delete[] *--next;
        throw;
    }
}
