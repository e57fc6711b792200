#include "module-tensor/tensor.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "module-object/error.h"
#include "numbers/value_hash.h"

namespace {

// Writes one component name and frees it at once.
template <class T>
void write_name(std::ostream& out, const ZEM_tensor_impl<T>& body, int component)
{
    std::unique_ptr<char[]> name(body.give_name(component));
    out << name.get();
}

// Reals cannot be hashed: this fails as their own hash does.
std::uint64_t spread_hash(const ZEM_real& x) { return static_cast<std::uint32_t>(hash(x)); }

// What equality compares: the count, the constant and the non-zero terms.
template <class T>
std::uint64_t spread_hash(const ZEM_symbolic_number<T>& x)
{
    std::uint64_t h = hash_mix(static_cast<std::uint32_t>(x.coefficients().count()), spread_hash(x.constant()));
    for (const auto& [k, v] : x.terms()) h = hash_mix(hash_mix(h, static_cast<std::uint32_t>(k)), spread_hash(v));
    return h;
}

template <class T>
struct value_at {
    const T* values;
    std::size_t operator()(int k) const { return static_cast<std::size_t>(spread_hash(values[k])); }
    bool operator()(int a, int b) const { return values[a] == values[b]; }
};

}

template <class T>
void ZEM_tensor_impl<T>::fill(const entries& given, const T* default_value)
{
    if (default_value)
        for (T& value : values_) value = *default_value;
    for (const tp_tensor_entry<T>& entry : given) {
        // The entry's own tuple is checked before anything of it is written.
        tensor_indices_to_index(dim_, rank_, entry.indices);
        spread data{this, &entry.value};
        symmetry_.for_all_symmetrical_with_do(_f1, entry.indices, &data, 0);
    }
}

template <class T>
void ZEM_tensor_impl<T>::_f1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* s = static_cast<spread*>(data);
    ZEM_tensor_impl& body = *s->body;
    T& component = body.values_[tensor_indices_to_index(body.dim_, body.rank_, image)];
    if (sign == permsym_plus)
        component = *s->value;
    else
        component = negative(*s->value);
}

template <class T>
const pointer_to_objects<T>& ZEM_tensor_impl<T>::checked(const pointer_to_objects<T>& values) const
{
    if (values.count() != basis_.entry_count())
        ZEM_FAIL("[ZEM_tensor_impl] the number of values differs from dim^rank");
    return values;
}

template <class T>
void ZEM_tensor_impl<T>::print(std::ostream& out) const
{
    // Components grouped by equal value, each group under its first holder, in
    // flat order; the values are hashed so that rational ones spread too.
    const int n = values_.count();
    const value_at<T> by_value{values_.block()};
    std::unordered_map<int, int, value_at<T>, value_at<T>> group_of(std::size_t(n), by_value, by_value);
    std::vector<int> holders;
    std::vector<std::vector<int>> members(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const auto [at, fresh] = group_of.try_emplace(k, k);
        if (fresh)
            holders.push_back(k);
        else
            members[std::size_t(at->second)].push_back(k);
    }
    for (int k : holders) {
        out << "  ";
        write_name(out, *this, k);
        for (int j : members[std::size_t(k)]) {
            out << " = ";
            write_name(out, *this, j);
        }
        out << " = ";
        values_[k].print(out);
        out << "\n";
    }
}

template <class T, bool pseudo>
const ZEM_tensor_impl<T>& ZEM_tensor_handle<T, pseudo>::impl() const
{
    if (!this->has_body()) ZEM_FAIL("[ZEM_tensor] empty tensor handle");
    return *this->body();
}

template <class T, bool pseudo>
ZEM_type ZEM_tensor_handle<T, pseudo>::type() const
{
    ZEM_type element = T().type();
    return pseudo ? tp_pseudo_tensor(element) : tp_tensor(element);
}

template <class T, bool pseudo>
void ZEM_tensor_handle<T, pseudo>::print(std::ostream& out) const
{
    type().print(out);
    out << "(\n";
    if (this->has_body()) {
        const ZEM_tensor_impl<T>& b = impl();
        out << "  dim = " << b.dim() << " rank = " << b.rank() << "\n";
        out << "  permutation symmetry: \"";
        b.symmetry().print(out);
        out << "\"\n";
        b.print(out);
    }
    out << ")";
}

template class ZEM_tensor_impl<ZEM_int>;
template class ZEM_tensor_impl<ZEM_real>;
template class ZEM_tensor_impl<ZEM_fraction>;
template class ZEM_tensor_impl<ZEM_cyclotomic_number>;
template class ZEM_tensor_impl<ZEM_symbolic_number<ZEM_fraction>>;
template class ZEM_tensor_impl<ZEM_symbolic_number<ZEM_cyclotomic_number>>;
template class ZEM_tensor_handle<ZEM_int, false>;
template class ZEM_tensor_handle<ZEM_real, false>;
template class ZEM_tensor_handle<ZEM_fraction, false>;
template class ZEM_tensor_handle<ZEM_cyclotomic_number, false>;
template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_fraction>, false>;
template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_cyclotomic_number>, false>;
template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_fraction>, true>;
template class ZEM_tensor_handle<ZEM_symbolic_number<ZEM_cyclotomic_number>, true>;
