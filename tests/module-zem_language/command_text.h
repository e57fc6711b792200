// Command texts as files for the scanner and the parser, and syntax trees
// printed in a notation close to the source.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include <unistd.h>

#include "module-zem_language/tree.h"

// A file holding `text`, removed again when it goes.
struct command_file {
    explicit command_file(const std::string& text)
    {
        static std::atomic<int> count = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zarn_command_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~command_file() { std::filesystem::remove(path_); }
    std::string path() const { return path_.string(); }
    std::filesystem::path path_;
};

// The parts one after the other. (Appending, unlike "text" + string, gives no
// false overlap warnings from the optimiser.)
template <class... Parts>
std::string joined(const Parts&... parts)
{
    std::string out;
    (out.append(parts), ...);
    return out;
}

// Lists in source order, elements separated by blanks, each statement followed
// by " ;"; "<NoTree>" or "<kind n>" where a node is missing or out of place.
inline std::string printed_tree(tTree t)
{
    auto p = printed_tree;
    auto then = [](const std::string& element, tTree rest) {
        const std::string others = printed_tree(rest);
        return others.empty() ? element : joined(element, " ", others);
    };
    auto call = [](const std::string& name, std::initializer_list<tTree> lists) {
        std::string out = name;
        for (tTree list : lists) out.append("(").append(printed_tree(list)).append(")");
        return out;
    };
    if (!t) return "<NoTree>";
    switch (t->Kind) {
    case kstatements_1: {
        tTree s = t->statements_1.statement;
        return then(s && s->Kind == kempty_stmnt ? ";" : joined(p(s), " ;"), t->statements_1.statements);
    }
    case kobj1: return then(p(t->obj1.object), t->obj1.objects);
    case kchartab_pow1:
        return then(joined("{", p(t->chartab_pow1.chartab_pow->chartab_pow.objects), "}"),
                    t->chartab_pow1.chartab_powers);
    case ktenvals2: {
        auto& entry = t->tenvals2.tensorval->tensorval;
        return then(joined("(", p(entry.indices), " = ", p(entry.value), ")"), t->tenvals2.tensorvals);
    }
    case kstatements_2: case kobj2: case kchartab_pow2: case ktenvals1: return "";
    case kobj_assignment: return joined(p(t->obj_assignment.identifier), " = ", p(t->obj_assignment.object));
    case kinput_stmnt: return call("include", {t->input_stmnt.object});
    case kfile_stmnt: return joined("file(", p(t->file_stmnt.file_name), " ", p(t->file_stmnt.object), ")");
    case kprocedure_call_stmnt: return call(p(t->procedure_call_stmnt.identifier), {t->procedure_call_stmnt.objects});
    case kobj_id: return p(t->obj_id.identifier);
    case kfunction_call: return call(p(t->function_call.identifier), {t->function_call.objects});
    case kstringconst: return p(t->stringconst.string);
    case kstring_list: return joined("{", p(t->string_list.objects), "}");
    case kinteger: return joined("#", p(t->integer.number));
    case kfr1: return p(t->fr1.number);
    case kfr2: return joined(p(t->fr2.numerator), "/", p(t->fr2.denominator));
    case kfloatobj: return p(t->floatobj.real);
    case kvector: return joined("[", p(t->vector.objects), "]");
    case kmatrix: return call("matrix", {t->matrix.objects});
    case kimgroup: return call("int_matrix_group", {t->imgroup.objects});
    case kmgroup: return call("matrix_group", {t->mgroup.objects});
    case kreprgroup: return call("representation_group", {t->reprgroup.objects});
    case kcyclotomic: {
        auto& c = t->cyclotomic;
        return call("cyclotomic", {c.factors, c.exp_numerators, c.exp_denominators});
    }
    case kchartab: {
        auto& c = t->chartab;
        return call("character_table", {c.classes, c.class_sizes, c.element_orders, c.entries, c.powers,
                                        c.determinant, c.vector_representation});
    }
    case ktensor: {
        auto& c = t->tensor;
        return joined("tensor(", p(c.dimension), " ", p(c.rank), " ", p(c.permutation), ")(", p(c.values), ")");
    }
    case kidentifier: return t->identifier.Text;
    case kstring: return joined("\"", t->string.Text, "\"");
    case knumber: return std::to_string(t->number.Value);
    case kreal: return (std::ostringstream() << t->real.Value).str();
    default: return joined("<kind ", std::to_string(t->Kind), ">");
    }
}
