#include "module-main_zarn/tensor_request.h"

#include <sstream>
#include <type_traits>

#include "groups/group.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/conversions.h"
#include "module-main_zarn/init_tens.h"
#include "module-main_zarn/tensor_checks.h"
#include "module-matrix+tensor/matrix_times_tensor.h"
#include "module-mgrp+tensor/invariant_tensor.h"
#include "module-object/error.h"
#include "module-object/text_stream.h"
#include "numbers/scalar_instances.h"

namespace {

template <bool pseudo, class S>
using result_of = std::conditional_t<pseudo, ZEM_pseudo_tensor<ZEM_symbolic_number<S>>,
                                     ZEM_tensor<ZEM_symbolic_number<S>>>;

template <bool pseudo, class G, class S>
result_of<pseudo, S> solve(const ZEM_object& group, int rank, const ZEM_string& symmetry, int* n_free)
{
    const auto& g = static_cast<const ZEM_group<ZEM_matrix<G>>&>(group);
    result_of<pseudo, S> t;
    if constexpr (pseudo)
        invariant_pseudo_tensor<G, S>(g, rank, symmetry, n_free, t);
    else
        invariant_tensor<G, S>(g, rank, symmetry, n_free, t);
    return t;
}

template <class Value>
std::unique_ptr<ZEM_object> owned(const Value& value)
{
    return std::make_unique<Value>(value);
}

// T * t on the larger field of the two: cyclotomic as soon as either is.
template <class S, class Tensor>
std::unique_ptr<ZEM_object> transformed(const var_symtab::var_symtabelt& transformation, const Tensor& t,
                                        const std::string& prefix)
{
    constexpr bool cyclotomic = std::is_same_v<S, ZEM_cyclotomic_number>;
    const ZEM_object& matrix = *transformation.object;
    if (transformation.type == tp_matrix(tp_int())) {
        const auto f = int2frac(static_cast<const ZEM_matrix<ZEM_int>&>(matrix));
        if constexpr (cyclotomic)
            return owned(frac2cycl(f) * t);
        else
            return owned(f * t);
    }
    if (transformation.type == tp_matrix(tp_fraction())) {
        const auto& f = static_cast<const ZEM_matrix<ZEM_fraction>&>(matrix);
        if constexpr (cyclotomic)
            return owned(frac2cycl(f) * t);
        else
            return owned(f * t);
    }
    if (transformation.type == tp_matrix(tp_cyclotomic())) {
        const auto& c = static_cast<const ZEM_matrix<ZEM_cyclotomic_number>&>(matrix);
        if constexpr (cyclotomic)
            return owned(c * t);
        else
            return owned(c * frac2cycl(t));
    }
    ZEM_FAIL(prefix + "wrong transformation type");
}

std::string comment_of(const tensor_inputs& inputs, int n_free)
{
    text_stream comment;
    comment << "The point group used was \"" << inputs.point_group << "\".\n"
            << "Its basis was transformed by \"" << inputs.transformation << "\".\n"
            << "The number of free parameters is " << n_free << ".\n\n";
    return comment.str();
}

template <bool pseudo, class G, class S>
tensor_result solve_and_transform(const tensor_inputs& inputs, const var_symtab::var_symtabelt& group,
                                  const var_symtab::var_symtabelt& transformation, const std::string& prefix)
{
    int n_free = 0;
    const auto t = solve<pseudo, G, S>(*group.object, inputs.rank, ZEM_string(inputs.perm_symmetry.c_str()), &n_free);
    std::string comment = comment_of(inputs, n_free);
    return {transformed<S>(transformation, t, prefix), std::move(comment)};
}

template <bool pseudo>
tensor_result request(const tensor_inputs& inputs)
{
    const std::string prefix =
        std::string(pseudo ? "[do_execute_pseudo_tensor]" : "[do_execute_tensor]") + " (internal error) ";
    const auto fail = [&](const char* finding) {
        ZEM_FAIL(prefix + finding);
    };
    if (inputs.dimension < 1 || inputs.dimension > group_name_mappings.count()) fail("silly dimension");
    const ZEM_string* group_name = group_name_mappings.lookup(inputs.dimension, ZEM_string(inputs.point_group.c_str()));
    const ZEM_string* transformation_name =
        transformation_name_mappings.lookup(inputs.dimension, ZEM_string(inputs.transformation.c_str()));
    if (!group_name) fail("cannot find point group in group_name_mapping");
    if (!transformation_name) fail("cannot find transformation in transformation_name_mapping");
    const var_symtab::var_symtabelt* group = configuration_variable(group_name->c_str());
    const var_symtab::var_symtabelt* transformation = configuration_variable(transformation_name->c_str());
    if (!group) fail("point group does not exist");
    if (!transformation) fail("transformation does not exist");

    // An integer group's tensor is solved over fractions, the field of its solutions.
    tensor_result result;
    const bool solved = visit_scalar_instance(group->type, matrix_group_of, [&](auto tag) {
        using G = typename decltype(tag)::type;
        using S = std::conditional_t<std::is_same_v<G, ZEM_int>, ZEM_fraction, G>;
        result = solve_and_transform<pseudo, G, S>(inputs, *group, *transformation, prefix);
    });
    if (!solved) fail("wrong pointgroup type");
    return result;
}

}

tensor_result invariant_tensor_request(bool pseudo, const tensor_inputs& inputs)
{
    return pseudo ? request<true>(inputs) : request<false>(inputs);
}
