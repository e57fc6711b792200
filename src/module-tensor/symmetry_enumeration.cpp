#include "module-tensor/symmetry_enumeration.h"

#include <cstdint>
#include <deque>
#include <unordered_set>
#include <utility>
#include <vector>

#include "module-object/error.h"

namespace {

const char* const module = "module-tensor/tensor-c";

long long exchanges_tried = 0;

// When only distinct images matter, a step of the walk that was taken before
// (the same link or the same exchange position, on the same tuple and sign)
// can only repeat its earlier reports, which the sink drops: it is skipped.
// Nothing re-enters a step from within itself, so every earlier one is complete.
// Without this, tuples with repeated indices walk factorially many paths.
class walk_memo {
public:
    // True the first time the step is met.
    bool first_visit(int kind, const void* where, int position, permsym_plusmin sign,
                     const pointer_to_objects<int>& tuple)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(where);
        std::vector<int> key;
        key.reserve(static_cast<std::size_t>(tuple.count()) + 5);
        key.insert(key.end(), {kind, static_cast<int>(address >> 32), static_cast<int>(address & 0xffffffffu),
                               position, static_cast<int>(sign)});
        key.insert(key.end(), tuple.begin(), tuple.end());
        return steps_.insert(std::move(key)).second;
    }

private:
    struct key_hash {
        std::size_t operator()(const std::vector<int>& key) const
        {
            return static_cast<std::size_t>(mix_of_ints(key.data(), static_cast<int>(key.size())));
        }
    };

    std::unordered_set<std::vector<int>, key_hash> steps_;
};

// The memo of the enumeration under way, if it drops repetitions.
walk_memo* current_memo = nullptr;

class memo_in_use {
public:
    explicit memo_in_use(walk_memo* memo) : previous_(std::exchange(current_memo, memo)) {}
    memo_in_use(const memo_in_use&) = delete;
    memo_in_use& operator=(const memo_in_use&) = delete;
    ~memo_in_use() { current_memo = previous_; }

private:
    walk_memo* previous_;
};

enum { link_step = 0, exchange_step = 1 };

pointer_to_objects<int> indices_of(const perm_symmetry_type_base& element)
{
    pointer_to_objects<int> indices(element.n_indices());
    int count = 0;
    element.get_indices(count, indices.block());
    return indices;
}

perm_part_list part_list(const perm_symmetry_type_seq& seq)
{
    perm_part_list parts(seq.count());
    for (int k = 0; k < seq.count(); ++k) parts[k] = &seq[k];
    return parts;
}

// Runs the chain of `parts` on (tuple, sign): each part enumerates the images of
// every image of the parts before it, and the last one reports to `callback`.
void run_chain(const perm_part_list& parts, permsym_callback link, permsym_callback callback,
               const pointer_to_objects<int>& tuple, permsym_plusmin sign, void* data)
{
    int n = parts.count();
    pointer_to_objects<forallstruct_1> chain(n);
    for (int k = 0; k < n; ++k) {
        chain[k].element = parts[k];
        chain[k].callback = k < n - 1 ? link : callback;
        chain[k].data = k < n - 1 ? static_cast<void*>(&chain[k + 1]) : data;
    }
    link(tuple, sign, &chain[0]);
}

void follow_link(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    const auto* link = static_cast<const forallstruct_1*>(data);
    // An element sits at one place in the tree, so it names where its images go.
    // A single index only passes the image on: remembering it would cost more.
    if (current_memo && dynamic_cast<const perm_symmetry_type_group*>(link->element)
        && !current_memo->first_visit(link_step, link->element, 0, sign, image))
        return;
    link->element->for_all_symmetrical_with_do(link->callback, image, sign, link->data);
}

template <bool antisymmetric>
void exchange_parts(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
                    void* data, const perm_part_list& parts)
{
    int n = parts.count();
    if (i >= n) return;
    // The first part names its group.
    if (current_memo && !current_memo->first_visit(exchange_step, parts[0], i, sign, tuple)) return;
    exchange_parts<antisymmetric>(i + 1, callback, tuple, sign, data, parts);
    permsym_callback link = antisymmetric ? fhups_antisym_1 : fhups_sym_1;
    for (int j = i + 1; j < n; ++j) {
        ++exchanges_tried;
        pointer_to_objects<int> exchanged(tuple);
        permswap(exchanged, indices_of(*parts[i]), indices_of(*parts[j]));
        if (exchanged != tuple) {
            permsym_plusmin new_sign = antisymmetric ? flip(sign) : sign;
            callback(exchanged, new_sign, data);
            run_chain(parts, link, callback, exchanged, new_sign, data);
            exchange_parts<antisymmetric>(i + 1, callback, exchanged, new_sign, data, parts);
        } else if (antisymmetric && sign == permsym_plus) {
            // Two equal parts under a bracket group: the component equals its negative.
            callback(exchanged, permsym_minus, data);
        }
    }
}

// ---- images by closure, for symmetries whose groups exchange parts of different shape

struct exchange {
    pointer_to_objects<int> first;
    pointer_to_objects<int> second;
    bool flips;
};

void collect_exchanges(const perm_symmetry_type_base& element, std::vector<exchange>& out)
{
    const auto* group = dynamic_cast<const perm_symmetry_type_group*>(&element);
    if (!group) return;
    const perm_symmetry_type_seq& parts = group->parts();
    for (int i = 0; i < parts.count(); ++i) {
        collect_exchanges(parts[i], out);
        for (int j = i + 1; j < parts.count(); ++j)
            out.push_back({indices_of(parts[i]), indices_of(parts[j]), group->is_antisymmetric()});
    }
}

// The tuple followed by its sign: the state that the closure visits.
pointer_to_objects<int> state_of(const pointer_to_objects<int>& tuple, permsym_plusmin sign)
{
    pointer_to_objects<int> state(tuple.count() + 1);
    for (int k = 0; k < tuple.count(); ++k) state[k] = tuple[k];
    state[tuple.count()] = sign;
    return state;
}

// Breadth first over (tuple, sign) from (tuple, plus), so that an image that the
// group reaches with both signs is found with both. all == 0 reports each tuple
// once, with its first sign; otherwise each (tuple, sign) once.
void images_by_closure(const perm_symmetry_type_seq& seq, permsym_callback callback,
                       const pointer_to_objects<int>& tuple, void* data, int all)
{
    std::vector<exchange> exchanges;
    for (int k = 0; k < seq.count(); ++k) collect_exchanges(seq[k], exchanges);

    index_set states, tuples;
    std::deque<std::pair<pointer_to_objects<int>, permsym_plusmin>> queue;
    auto visit = [&](const pointer_to_objects<int>& image, permsym_plusmin sign) {
        pointer_to_objects<int> state = state_of(image, sign);
        if (states.is_set(state)) return;
        states.set(state);
        queue.emplace_back(image, sign);
        bool new_tuple = !tuples.is_set(image);
        if (new_tuple) tuples.set(image);
        if (all || new_tuple) callback(image, sign, data);
    };
    visit(tuple, permsym_plus);
    while (!queue.empty()) {
        auto [current, sign] = std::move(queue.front());
        queue.pop_front();
        for (const exchange& e : exchanges) {
            pointer_to_objects<int> image(current);
            permswap(image, e.first, e.second);
            visit(image, e.flips ? flip(sign) : sign);
        }
    }
}

}

void fhups_sym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
               void* data, const perm_part_list& parts)
{
    exchange_parts<false>(i, callback, tuple, sign, data, parts);
}

void fhups_antisym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
                   void* data, const perm_part_list& parts)
{
    exchange_parts<true>(i, callback, tuple, sign, data, parts);
}

void fhups_sym_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    follow_link(image, sign, data);
}

void fhups_antisym_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    follow_link(image, sign, data);
}

void fhups_symtype_1(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    follow_link(image, sign, data);
}

void fhups_symtype_2(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* sink = static_cast<forallstruct_2*>(data);
    if (sink->seen.is_set(image)) return;
    sink->seen.set(image);
    sink->callback(image, sign, sink->data);
}

void permswap(pointer_to_objects<int>& tuple, const pointer_to_objects<int>& first,
              const pointer_to_objects<int>& second)
{
    if (first.count() != second.count()) _zem_error_(module, __LINE__, "[permswap] |swap1| not eq. to |swap2|");
    for (int k = 0; k < first.count(); ++k) std::swap(tuple[first[k]], tuple[second[k]]);
}

void nsw1(const pointer_to_objects<int>&, permsym_plusmin sign, void* data)
{
    if (sign == permsym_plus) ++*static_cast<int*>(data);
}

void perm_symmetry_type_nosym::for_all_symmetrical_with_do(permsym_callback callback,
                                                           const pointer_to_objects<int>& tuple,
                                                           permsym_plusmin sign, void* data) const
{
    callback(tuple, sign, data);
}

void perm_symmetry_type_group::for_all_symmetrical_with_do(permsym_callback callback,
                                                           const pointer_to_objects<int>& tuple,
                                                           permsym_plusmin sign, void* data) const
{
    pointer_to_objects<int> own(tuple);
    if (!at_top) callback(own, sign, data);
    perm_part_list parts = part_list(this->parts());
    if (is_antisymmetric()) {
        run_chain(parts, fhups_antisym_1, callback, own, sign, data);
        fhups_antisym(0, callback, own, sign, data, parts);
    } else {
        run_chain(parts, fhups_sym_1, callback, own, sign, data);
        fhups_sym(0, callback, own, sign, data, parts);
    }
}

namespace {

// The sink that passes each distinct (tuple, sign) on once.
void signed_sink(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* sink = static_cast<forallstruct_2*>(data);
    pointer_to_objects<int> state = state_of(image, sign);
    if (sink->seen.is_set(state)) return;
    sink->seen.set(state);
    sink->callback(image, sign, sink->data);
}

void check_enumeration(const perm_symmetry_type& symmetry, const pointer_to_objects<int>& tuple)
{
    if (!symmetry.seq)
        _zem_error_(module, __LINE__, symmetry.error ? symmetry.error : "[perm_symmetry_type] no symmetry");
    if (tuple.count() < symmetry.n_indices)
        _zem_error_(module, __LINE__, "[perm_symmetry_type] fewer indices in the tuple than in the symmetry");
}

}

void perm_symmetry_type::for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                                     void* data, int all) const
{
    check_enumeration(*this, tuple);
    failing_as_out_of_memory(module, __LINE__, [&] {
        if (by_closure_) {
            images_by_closure(*seq, callback, tuple, data, all);
            return;
        }
        forallstruct_2 sink{callback, data, {}};
        fhups_symtype_2(tuple, permsym_plus, &sink);
        if (all) {
            memo_in_use none(nullptr);
            run_chain(part_list(*seq), fhups_symtype_1, callback, tuple, permsym_plus, data);
        } else {
            walk_memo memo;
            memo_in_use in_use(&memo);
            run_chain(part_list(*seq), fhups_symtype_1, fhups_symtype_2, tuple, permsym_plus, &sink);
        }
    });
}

void perm_symmetry_type::for_all_signed_images_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                                  void* data) const
{
    check_enumeration(*this, tuple);
    failing_as_out_of_memory(module, __LINE__, [&] {
        if (by_closure_) {
            images_by_closure(*seq, callback, tuple, data, 1);
            return;
        }
        forallstruct_2 sink{callback, data, {}};
        signed_sink(tuple, permsym_plus, &sink);
        walk_memo memo;
        memo_in_use in_use(&memo);
        run_chain(part_list(*seq), fhups_symtype_1, signed_sink, tuple, permsym_plus, &sink);
    });
}

int perm_symmetry_type::n_symmetrical_with(const pointer_to_objects<int>& tuple) const
{
    int counter = 0;
    for_all_symmetrical_with_do(nsw1, tuple, &counter, 0);
    return counter;
}

long long symmetry_exchanges_tried() { return exchanges_tried; }
