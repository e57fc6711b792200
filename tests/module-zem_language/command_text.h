// Command texts as files for the scanner and the parser, and printed forms of
// what they make of them.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "module-zem_language/tree.h"

// A file holding `text`, removed again when it goes.
class command_file {
public:
    explicit command_file(const std::string& text)
    {
        static std::atomic<int> count = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zarn_command_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~command_file() { std::filesystem::remove(path_); }
    command_file(const command_file&) = delete;
    command_file& operator=(const command_file&) = delete;

    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline std::string printed_tree(tTree t);

namespace command_text_detail {

std::string chain(tTree t);

inline std::string call(const char* name, tTree objects) { return std::string(name) + "(" + chain(objects) + ")"; }

// The elements of a list in chain order, then a mark if the end is not the
// end-of-list node of that kind of list.
inline std::string chain(tTree t)
{
    std::string out;
    auto add = [&](const std::string& element) { out += (out.empty() ? "" : " ") + element; };
    for (;;) {
        if (!t) return out + " <NoTree>";
        switch (t->Kind) {
        case kstatements_1:
            add(t->statements_1.statement->Kind == kempty_stmnt ? ";" : printed_tree(t->statements_1.statement) + " ;");
            t = t->statements_1.statements;
            continue;
        case kobj1:
            add(printed_tree(t->obj1.object));
            t = t->obj1.objects;
            continue;
        case kchartab_pow1:
            add("{" + chain(t->chartab_pow1.chartab_pow->chartab_pow.objects) + "}");
            t = t->chartab_pow1.chartab_powers;
            continue;
        case ktenvals2:
            add("(" + chain(t->tenvals2.tensorval->tensorval.indices) + " = " +
                printed_tree(t->tenvals2.tensorval->tensorval.value) + ")");
            t = t->tenvals2.tensorvals;
            continue;
        case kstatements_2:
        case kobj2:
        case kchartab_pow2:
        case ktenvals1: return out;
        default: return out + " <kind " + std::to_string(t->Kind) + ">";
        }
    }
}

}

// A syntax tree in a compact notation close to the source: lists in their
// chain order, separated by blanks, each statement followed by " ;".
inline std::string printed_tree(tTree t)
{
    using command_text_detail::call, command_text_detail::chain;
    if (!t) return "<NoTree>";
    std::ostringstream out;
    switch (t->Kind) {
    case kstatements_1:
    case kstatements_2: return chain(t);
    case kobj_assignment:
        return printed_tree(t->obj_assignment.identifier) + " = " + printed_tree(t->obj_assignment.object);
    case kinput_stmnt: return "include(" + printed_tree(t->input_stmnt.object) + ")";
    case kfile_stmnt:
        return "file(" + printed_tree(t->file_stmnt.file_name) + " " + printed_tree(t->file_stmnt.object) + ")";
    case kprocedure_call_stmnt:
        return printed_tree(t->procedure_call_stmnt.identifier) + "(" + chain(t->procedure_call_stmnt.objects) + ")";
    case kempty_stmnt: return "";
    case kobj_id: return printed_tree(t->obj_id.identifier);
    case kfunction_call:
        return printed_tree(t->function_call.identifier) + "(" + chain(t->function_call.objects) + ")";
    case kstringconst: return printed_tree(t->stringconst.string);
    case kstring_list: return "{" + chain(t->string_list.objects) + "}";
    case kinteger: return "#" + printed_tree(t->integer.number);
    case kfr1: return printed_tree(t->fr1.number);
    case kfr2: return printed_tree(t->fr2.numerator) + "/" + printed_tree(t->fr2.denominator);
    case kfloatobj: return printed_tree(t->floatobj.real);
    case kvector: return "[" + chain(t->vector.objects) + "]";
    case kmatrix: return call("matrix", t->matrix.objects);
    case kimgroup: return call("int_matrix_group", t->imgroup.objects);
    case kmgroup: return call("matrix_group", t->mgroup.objects);
    case kreprgroup: return call("representation_group", t->reprgroup.objects);
    case kcyclotomic:
        return "cyclotomic(" + chain(t->cyclotomic.factors) + " | " + chain(t->cyclotomic.exp_numerators) + " | " +
               chain(t->cyclotomic.exp_denominators) + ")";
    case kchartab:
        return "character_table(" + chain(t->chartab.classes) + " | " + chain(t->chartab.class_sizes) + " | " +
               chain(t->chartab.element_orders) + " | " + chain(t->chartab.entries) + " | " +
               chain(t->chartab.powers) + " | " + chain(t->chartab.determinant) + " | " +
               chain(t->chartab.vector_representation) + ")";
    case ktensor:
        return "tensor(" + printed_tree(t->tensor.dimension) + " " + printed_tree(t->tensor.rank) + " " +
               printed_tree(t->tensor.permutation) + " | " + chain(t->tensor.values) + ")";
    case kidentifier: return t->identifier.Text;
    case kstring: return std::string("\"") + t->string.Text + "\"";
    case knumber: return std::to_string(t->number.Value);
    case kreal: out << t->real.Value; return out.str();
    default: return "<kind " + std::to_string(t->Kind) + ">";
    }
}
