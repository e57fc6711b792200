#include "module-tensor/symmetry_enumeration.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "module-object/error.h"

namespace {

// Links over the elements of a sequence, the last one reporting to `callback`;
// short chains, nearly all of them, live inside the object.
class chain_of_links {
public:
    // element_at(k) gives the k-th of the n elements.
    template <class Elements>
    chain_of_links(int n, Elements element_at, permsym_callback callback, void* data, walk_memo* memo)
    {
        if (n > inline_count) spilled_.resize(static_cast<std::size_t>(n));
        links_ = n > inline_count ? spilled_.data() : inline_;
        for (int k = 0; k < n; ++k)
            links_[k] = {k + 1 < n ? follow_link : callback, k + 1 < n ? static_cast<void*>(&links_[k + 1]) : data,
                         element_at(k), memo};
    }
    chain_of_links(const chain_of_links&) = delete;
    chain_of_links& operator=(const chain_of_links&) = delete;

    void run(const pointer_to_objects<int>& tuple, permsym_plusmin sign) { follow_link(tuple, sign, links_); }

private:
    static constexpr int inline_count = 8;
    forallstruct_1 inline_[inline_count];
    std::vector<forallstruct_1> spilled_;
    forallstruct_1* links_;
};

// A tuple to exchange parts in: the memo's, reused, when the walk has one.
class scratch_tuple {
public:
    scratch_tuple(walk_memo* memo, int length)
        : memo_(memo), own_(memo ? 0 : length), tuple_(memo ? &memo->borrow(length) : &own_)
    {
    }
    scratch_tuple(const scratch_tuple&) = delete;
    scratch_tuple& operator=(const scratch_tuple&) = delete;
    ~scratch_tuple()
    {
        if (memo_) memo_->give_back();
    }

    pointer_to_objects<int>& tuple() { return *tuple_; }

private:
    walk_memo* memo_;
    pointer_to_objects<int> own_;
    pointer_to_objects<int>* tuple_;
};

// The parts of a group as its walk reads them.
struct group_parts {
    const pointer_to_objects<const perm_symmetry_type_base*>& list;
    // The index numbers of each part.
    const pointer_to_objects<int>* indices;
    bool antisymmetric;
    // Names the group's steps in the memo.
    const void* identity;
};

// A group's walk over one tuple: the chain of its parts, built once, and the
// exchanges of its parts from a position on.
class group_walk {
public:
    group_walk(const group_parts& parts, permsym_callback callback, void* data, walk_memo* memo)
        : parts_(parts), callback_(callback), data_(data), memo_(memo),
          chain_(parts.list.count(), [&](int k) { return parts.list[k]; }, callback, data, memo)
    {
    }

    void run_chain(const pointer_to_objects<int>& tuple, permsym_plusmin sign) { chain_.run(tuple, sign); }

    void exchange_parts(int i, const pointer_to_objects<int>& tuple, permsym_plusmin sign)
    {
        const int n = parts_.list.count();
        // The last part has nothing after it to exchange with.
        if (i >= n - 1) return;
        // Position 0 is reached only on entering the group, which the memo has seen.
        if (memo_ && i > 0 && !memo_->first_visit(parts_.identity, i, sign, tuple)) return;
        exchange_parts(i + 1, tuple, sign);
        scratch_tuple scratch(memo_, tuple.count());
        pointer_to_objects<int>& exchanged = scratch.tuple();
        for (int j = i + 1; j < n; ++j) {
            if (memo_) memo_->count_exchange();
            std::copy(tuple.begin(), tuple.end(), exchanged.begin());
            permswap(exchanged, parts_.indices[i], parts_.indices[j]);
            if (exchanged != tuple) {
                // As on entering: the chain reports the exchanged tuple first.
                const permsym_plusmin new_sign = parts_.antisymmetric ? flip(sign) : sign;
                if (!memo_) callback_(exchanged, new_sign, data_);
                run_chain(exchanged, new_sign);
                exchange_parts(i + 1, exchanged, new_sign);
            } else if (parts_.antisymmetric && sign == permsym_plus) {
                // Two equal parts under a bracket group: the component equals its negative.
                callback_(exchanged, permsym_minus, data_);
            }
        }
    }

private:
    group_parts parts_;
    permsym_callback callback_;
    void* data_;
    walk_memo* memo_;
    chain_of_links chain_;
};

// The exchanges of parts known only by their elements.
void exchange_parts(bool antisymmetric, int i, permsym_callback callback, const pointer_to_objects<int>& tuple,
                    permsym_plusmin sign, void* data, const pointer_to_objects<const perm_symmetry_type_base*>& parts)
{
    pointer_to_objects<pointer_to_objects<int>> indices(parts.count());
    for (int p = 0; p < parts.count(); ++p) {
        indices[p] = pointer_to_objects<int>(parts[p]->n_indices());
        int count = 0;
        parts[p]->get_indices(count, indices[p].block());
    }
    group_walk(group_parts{parts, indices.block(), antisymmetric, &parts}, callback, data, nullptr)
        .exchange_parts(i, tuple, sign);
}

// Runs the chain of the top-level elements on the tuple with sign plus.
void walk_top_level(const perm_symmetry_type_seq& seq, permsym_callback callback, const pointer_to_objects<int>& tuple,
                    void* data, walk_memo* memo)
{
    chain_of_links(seq.count(), [&](int k) { return &seq[k]; }, callback, data, memo).run(tuple, permsym_plus);
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
            out.push_back({group->indices_of_part(i), group->indices_of_part(j), group->is_antisymmetric()});
    }
}

// Adds the tuple followed by its sign, built in `key`, to `seen`; true if it was new.
bool first_signed(int_key_set& seen, std::vector<int>& key, const pointer_to_objects<int>& tuple,
                  permsym_plusmin sign)
{
    key.assign(tuple.begin(), tuple.end());
    key.push_back(sign);
    return seen.insert(key.data(), static_cast<int>(key.size()));
}

// Breadth first over (tuple, sign) from (tuple, plus), so that an image that the
// group reaches with both signs is found with both. all == 0 reports each tuple
// once, with its first sign; otherwise each (tuple, sign) once.
void images_by_closure(const perm_symmetry_type_seq& seq, permsym_callback callback,
                       const pointer_to_objects<int>& tuple, void* data, int all)
{
    std::vector<exchange> exchanges;
    for (int k = 0; k < seq.count(); ++k) collect_exchanges(seq[k], exchanges);

    int_key_set states, tuples;
    std::vector<int> key;
    std::deque<std::pair<pointer_to_objects<int>, permsym_plusmin>> queue;
    auto visit = [&](const pointer_to_objects<int>& image, permsym_plusmin sign) {
        if (!first_signed(states, key, image, sign)) return;
        queue.emplace_back(image, sign);
        const bool new_tuple = tuples.insert(image.block(), image.count());
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

bool walk_memo::first_visit(const void* where, int position, permsym_plusmin sign,
                            const pointer_to_objects<int>& tuple)
{
    const auto address = reinterpret_cast<std::uintptr_t>(where);
    key_.resize(static_cast<std::size_t>(tuple.count()) + 3);
    key_[0] = static_cast<int>(address >> 32);
    key_[1] = static_cast<int>(address & 0xffffffffu);
    key_[2] = position * 4 + static_cast<int>(sign);
    std::copy(tuple.begin(), tuple.end(), key_.begin() + 3);
    return steps_.insert(key_.data(), static_cast<int>(key_.size()));
}

pointer_to_objects<int>& walk_memo::borrow(int length)
{
    if (lent_ == spare_.size()) spare_.emplace_back(length);
    pointer_to_objects<int>& tuple = spare_[lent_++];
    if (tuple.count() != length) tuple = pointer_to_objects<int>(length);
    return tuple;
}

void follow_link(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    const auto* link = static_cast<const forallstruct_1*>(data);
    link->element->for_all_symmetrical_with_do(link->callback, image, sign, link->data, link->memo);
}

void fhups_sym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
               void* data, const pointer_to_objects<const perm_symmetry_type_base*>& parts)
{
    exchange_parts(false, i, callback, tuple, sign, data, parts);
}

void fhups_antisym(int i, permsym_callback callback, const pointer_to_objects<int>& tuple, permsym_plusmin sign,
                   void* data, const pointer_to_objects<const perm_symmetry_type_base*>& parts)
{
    exchange_parts(true, i, callback, tuple, sign, data, parts);
}

void fhups_symtype_2(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* sink = static_cast<forallstruct_2*>(data);
    if (sink->seen.insert(image.block(), image.count())) sink->callback(image, sign, sink->data);
}

void permswap(pointer_to_objects<int>& tuple, const pointer_to_objects<int>& first,
              const pointer_to_objects<int>& second)
{
    if (first.count() != second.count()) ZEM_FAIL("[permswap] |swap1| not eq. to |swap2|");
    for (int k = 0; k < first.count(); ++k) std::swap(tuple[first[k]], tuple[second[k]]);
}

void nsw1(const pointer_to_objects<int>&, permsym_plusmin sign, void* data)
{
    if (sign == permsym_plus) ++*static_cast<int*>(data);
}

void perm_symmetry_type_group::for_all_symmetrical_with_do(permsym_callback callback,
                                                           const pointer_to_objects<int>& tuple,
                                                           permsym_plusmin sign, void* data, walk_memo* memo) const
{
    if (memo && !memo->first_visit(this, -1, sign, tuple)) return;
    // The chain's first report is the tuple itself with its sign, or was made
    // before, so a walk that drops repetitions leaves this one out.
    if (!at_top && !memo) callback(tuple, sign, data);
    group_walk walk(group_parts{part_list(), part_indices(), is_antisymmetric(), this}, callback, data, memo);
    walk.run_chain(tuple, sign);
    walk.exchange_parts(0, tuple, sign);
}

namespace {

// The sink that passes each distinct (tuple, sign) on once.
void signed_sink(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto* sink = static_cast<forallstruct_2*>(data);
    if (first_signed(sink->seen, sink->key, image, sign)) sink->callback(image, sign, sink->data);
}

void check_enumeration(const perm_symmetry_type& symmetry, const pointer_to_objects<int>& tuple)
{
    if (!symmetry.seq)
        ZEM_FAIL(symmetry.error ? symmetry.error : "[perm_symmetry_type] no symmetry");
    if (tuple.count() < symmetry.n_indices)
        ZEM_FAIL("[perm_symmetry_type] fewer indices in the tuple than in the symmetry");
}

}

void for_all_distinct_images_do(const perm_symmetry_type& symmetry, permsym_callback callback,
                                const pointer_to_objects<int>& tuple, void* data, walk_memo& memo)
{
    check_enumeration(symmetry, tuple);
    failing_as_out_of_memory([&] {
        if (symmetry.by_closure()) {
            images_by_closure(*symmetry.seq, callback, tuple, data, 0);
            return;
        }
        forallstruct_2 sink{callback, data, {}, {}};
        fhups_symtype_2(tuple, permsym_plus, &sink);
        walk_top_level(*symmetry.seq, fhups_symtype_2, tuple, &sink, &memo);
    });
}

void perm_symmetry_type::for_all_symmetrical_with_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                                     void* data, int all) const
{
    if (!all) {
        walk_memo memo;
        for_all_distinct_images_do(*this, callback, tuple, data, memo);
        return;
    }
    check_enumeration(*this, tuple);
    failing_as_out_of_memory([&] {
        if (by_closure_) {
            images_by_closure(*seq, callback, tuple, data, all);
            return;
        }
        callback(tuple, permsym_plus, data);
        walk_top_level(*seq, callback, tuple, data, nullptr);
    });
}

void perm_symmetry_type::for_all_signed_images_do(permsym_callback callback, const pointer_to_objects<int>& tuple,
                                                  void* data) const
{
    check_enumeration(*this, tuple);
    failing_as_out_of_memory([&] {
        if (by_closure_) {
            images_by_closure(*seq, callback, tuple, data, 1);
            return;
        }
        forallstruct_2 sink{callback, data, {}, {}};
        signed_sink(tuple, permsym_plus, &sink);
        walk_memo memo;
        walk_top_level(*seq, signed_sink, tuple, &sink, &memo);
    });
}

int perm_symmetry_type::n_symmetrical_with(const pointer_to_objects<int>& tuple) const
{
    int counter = 0;
    for_all_symmetrical_with_do(nsw1, tuple, &counter, 0);
    return counter;
}
