#include "module-tensor/perm_symmetry.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <vector>

namespace {

// The messages stay in the symmetry, so each is a literal, never freed.
const char* const each_index_once = "each index should occur exactly once";

// Far beyond any symmetry of a real tensor, and shallow enough that the parser,
// the enumeration, copies and destruction, all recursive, stay well within the stack.
const int deepest_nesting = 1000;

// Digit runs saturate here, so that n_indices = value + 1 still fits in an int;
// such a value can never pass the index check.
const int largest_index = INT_MAX - 1;

// Whether the tokens from the iterator on open more groups at once than taken.
bool too_deep(perm_token_iterator it)
{
    int depth = 0;
    for (; it.token(); it.advance()) {
        const int type = it.toktype();
        if (type == 1 || type == 3) ++depth;
        if (type == 2 || type == 4) --depth;
        if (depth > deepest_nesting) return true;
    }
    return false;
}

// The rule of a parenthesis or bracket group.
template <class Group>
perm_symmetry_type_base* group_rule(int n_indices, perm_token_iterator& it, const char** error, int open, int close,
                                    const char* open_expected, const char* close_expected)
{
    if (it.toktype() != open) {
        *error = open_expected;
        return nullptr;
    }
    it.advance();
    std::unique_ptr<perm_symmetry_type_seq> parts(recursive_descent_perm_symm_sequence(n_indices, it, error));
    if (*error) return nullptr;
    if (it.toktype() != close) {
        *error = close_expected;
        return nullptr;
    }
    it.advance();
    return new Group(std::move(*parts));
}

}

perm_token_list::~perm_token_list()
{
    for (node* n = head_; n;) {
        node* next = n->next;
        delete n->token;
        delete n;
        n = next;
    }
}

void perm_token_list::add_at_tail(perm_token_base* token)
{
    std::unique_ptr<perm_token_base> owned(token);
    node* added = new node{token, nullptr, tail_};
    owned.release();
    (tail_ ? tail_->next : head_) = added;
    tail_ = added;
}

void tokenize_it(const char* text, perm_token_list& tokens, const char** error)
{
    for (const char* c = text;; ++c) {
        if (*c >= '0' && *c <= '9') {
            int value = 0;
            for (; *c >= '0' && *c <= '9'; ++c) {
                int digit = *c - '0';
                value = value > (largest_index - digit) / 10 ? largest_index : value * 10 + digit;
            }
            tokens.add_at_tail(new perm_int(value));
            --c;
            continue;
        }
        switch (*c) {
        case '\0': return;
        case ' ':
        case '\t': break;
        case '(': tokens.add_at_tail(new perm_lpar); break;
        case ')': tokens.add_at_tail(new perm_rpar); break;
        case '[': tokens.add_at_tail(new perm_lbracket); break;
        case ']': tokens.add_at_tail(new perm_rbracket); break;
        default: *error = "illegal character in permutation symmetry string"; return;
        }
    }
}

perm_symmetry_type_seq* parse_it(int n_indices, const perm_token_list& tokens, const char** error)
{
    perm_token_iterator it(tokens);
    return recursive_descent_start(n_indices, it, error);
}

perm_symmetry_type_seq* recursive_descent_start(int n_indices, perm_token_iterator& it, const char** error)
{
    if (too_deep(it)) {
        *error = "permutation symmetry string nested too deeply";
        return nullptr;
    }
    std::unique_ptr<perm_symmetry_type_seq> seq(recursive_descent_perm_symm_sequence(n_indices, it, error));
    if (seq && it.token()) {
        // A ")" or "]" that closes no group: what follows it would be silently lost.
        *error = "unmatched `)' or `]' in permutation symmetry string";
        return nullptr;
    }
    return seq.release();
}

perm_symmetry_type_seq* recursive_descent_perm_symm_sequence(int n_indices, perm_token_iterator& it,
                                                             const char** error)
{
    std::vector<std::unique_ptr<perm_symmetry_type_base>> read;
    for (int type = it.toktype(); type == 0 || type == 1 || type == 3; type = it.toktype()) {
        std::unique_ptr<perm_symmetry_type_base> part(recursive_descent_perm_symm_element(n_indices, it, error));
        if (*error) return nullptr;
        // More elements than indices: some index is repeated.
        if (static_cast<int>(read.size()) >= n_indices) {
            *error = each_index_once;
            return nullptr;
        }
        read.push_back(std::move(part));
    }
    if (read.empty()) {
        *error = "empty permutation sequence";
        return nullptr;
    }
    perm_symmetry_type_seq::elements parts(static_cast<int>(read.size()));
    for (int k = 0; k < parts.count(); ++k) parts[k].set(read[static_cast<std::size_t>(k)].release());
    return new perm_symmetry_type_seq(std::move(parts));
}

perm_symmetry_type_base* recursive_descent_perm_symm_element(int n_indices, perm_token_iterator& it,
                                                             const char** error)
{
    if (!it.token()) {
        *error = "unexpected end of string while attempting to read symmetry element";
        return nullptr;
    }
    perm_symmetry_type_base* read = nullptr;
    switch (it.toktype()) {
    case 0:
        read = new perm_symmetry_type_nosym(it.token()->get_value());
        it.advance();
        break;
    case 1: read = recursive_descent_symm(n_indices, it, error); break;
    case 3: read = recursive_descent_anti_symm(n_indices, it, error); break;
    default: break;
    }
    if (!read && !*error) *error = "oops, attempting to read symmetry element, <int>, `(' or `[' expected";
    return read;
}

perm_symmetry_type_base* recursive_descent_symm(int n_indices, perm_token_iterator& it, const char** error)
{
    return group_rule<perm_symmetry_type_sym>(n_indices, it, error, 1, 2,
                                              "oops, while attempting to read `( ... )', '(' expected",
                                              "oops, while attempting to read `( ... )', ')' expected");
}

perm_symmetry_type_base* recursive_descent_anti_symm(int n_indices, perm_token_iterator& it, const char** error)
{
    return group_rule<perm_symmetry_type_antisym>(n_indices, it, error, 3, 4,
                                                  "oops, while attempting to read `[ ... ]', '[' expected",
                                                  "oops, while attempting to read `[ ... ]', ']' expected");
}

permsym_plusmin flip(permsym_plusmin sign) { return sign == permsym_plus ? permsym_minus : permsym_plus; }

// ---- elements

perm_symmetry_type_seq::perm_symmetry_type_seq(const elements& parts) : parts_(parts.count())
{
    for (int k = 0; k < parts.count(); ++k) parts_[k].set(parts[k]->copy().release());
}

void perm_symmetry_type_seq::set_at_top()
{
    for (int k = 0; k < count(); ++k) parts_[k]->at_top = 1;
}

void perm_symmetry_type_seq::print(std::ostream& out) const
{
    for (int k = 0; k < count(); ++k) {
        if (k > 0) out << ' ';
        (*this)[k].print(out);
    }
}

perm_symmetry_type_group::perm_symmetry_type_group(perm_symmetry_type_seq&& parts, bool antisymmetric)
    : parts_(std::move(parts)), antisymmetric_(antisymmetric)
{
    index_parts();
}

perm_symmetry_type_group::perm_symmetry_type_group(const perm_symmetry_type_group& other)
    : perm_symmetry_type_base(other), parts_(other.parts_), antisymmetric_(other.antisymmetric_)
{
    index_parts();
}

void perm_symmetry_type_group::index_parts()
{
    part_list_ = pointer_to_objects<const perm_symmetry_type_base*>(parts_.count());
    part_indices_ = pointer_to_objects<pointer_to_objects<int>>(parts_.count());
    for (int p = 0; p < parts_.count(); ++p) {
        part_list_[p] = &parts_[p];
        part_indices_[p] = pointer_to_objects<int>(parts_[p].n_indices());
        int count = 0;
        parts_[p].get_indices(count, part_indices_[p].block());
    }
}

int perm_symmetry_type_group::contains_index_number(int k) const
{
    for (int p = 0; p < parts_.count(); ++p)
        if (parts_[p].contains_index_number(k)) return 1;
    return 0;
}

int perm_symmetry_type_group::n_indices() const
{
    int n = 0;
    for (const pointer_to_objects<int>& indices : part_indices_) n += indices.count();
    return n;
}

void perm_symmetry_type_group::get_indices(int& count, int* out) const
{
    for (const pointer_to_objects<int>& indices : part_indices_)
        for (int index : indices) out[count++] = index;
}

void perm_symmetry_type_group::print(std::ostream& out) const
{
    out << (antisymmetric_ ? '[' : '(');
    parts_.print(out);
    out << (antisymmetric_ ? ']' : ')');
}

std::unique_ptr<perm_symmetry_type_base> perm_symmetry_type_sym::copy() const
{
    return std::make_unique<perm_symmetry_type_sym>(*this);
}

std::unique_ptr<perm_symmetry_type_base> perm_symmetry_type_antisym::copy() const
{
    return std::make_unique<perm_symmetry_type_antisym>(*this);
}

// ---- the symmetry

namespace {

const perm_symmetry_type_group* as_group(const perm_symmetry_type_base& element)
{
    return dynamic_cast<const perm_symmetry_type_group*>(&element);
}

// What the choice of enumeration needs to know of an element, found in one walk
// over the tree: shapes are numbered as they are met, so comparing two of them
// costs one int and no subtree is walked twice.
struct element_summary {
    int n_indices;
    bool part_sizes_agree;
    // The shape up to index numbers; a group of one part has its part's shape,
    // since it permutes nothing.
    int shape;
    bool exchanges_unlike_parts;
};

class shape_numbers {
public:
    element_summary summarise(const perm_symmetry_type_base& element)
    {
        const perm_symmetry_type_group* group = as_group(element);
        if (!group) return {1, true, index_shape, false};
        const perm_symmetry_type_seq& parts = group->parts();
        std::vector<int> key{group->is_antisymmetric() ? 1 : 0};
        element_summary summary{0, true, 0, false};
        int first_size = 0;
        int first_shape = 0;
        for (int p = 0; p < parts.count(); ++p) {
            element_summary part = summarise(parts[p]);
            if (p == 0) {
                first_size = part.n_indices;
                first_shape = part.shape;
            }
            summary.n_indices += part.n_indices;
            summary.part_sizes_agree =
                summary.part_sizes_agree && part.part_sizes_agree && part.n_indices == first_size;
            summary.exchanges_unlike_parts =
                summary.exchanges_unlike_parts || part.exchanges_unlike_parts || part.shape != first_shape;
            key.push_back(part.shape);
        }
        summary.shape = parts.count() == 1 ? first_shape : number_of(key);
        return summary;
    }

private:
    static constexpr int index_shape = 0;

    int number_of(const std::vector<int>& key)
    {
        auto found = numbers_.try_emplace(key, static_cast<int>(numbers_.size()) + 1).first;
        return found->second;
    }

    std::map<std::vector<int>, int> numbers_;
};

// Parts of unequal size are left to the part-by-part walk, which reports them.
bool needs_closure(const perm_symmetry_type_seq& seq)
{
    shape_numbers shapes;
    bool unlike = false;
    for (int k = 0; k < seq.count(); ++k) {
        element_summary summary = shapes.summarise(seq[k]);
        if (!summary.part_sizes_agree) return false;
        unlike = unlike || summary.exchanges_unlike_parts;
    }
    return unlike;
}

}

perm_symmetry_type::perm_symmetry_type(const ZEM_string& text)
{
    perm_token_list tokens;
    tokenize_it(text.c_str(), tokens, &error);
    if (error) return;

    int max = -1;
    int n_integers = 0;
    for (perm_token_iterator it(tokens); it.token(); it.advance()) {
        max = std::max(max, it.token()->get_value());
        if (it.toktype() == 0) ++n_integers;
    }
    if (max < 0) {
        error = "no indices in permutation string";
        return;
    }
    n_indices = max + 1;
    // More positions than integers: one must be missing, and the counts need no room.
    if (n_indices > n_integers) {
        error = each_index_once;
        return;
    }
    std::vector<int> occurrences(static_cast<std::size_t>(n_indices), 0);
    for (perm_token_iterator it(tokens); it.token(); it.advance())
        if (it.toktype() == 0) ++occurrences[static_cast<std::size_t>(it.token()->get_value())];
    for (int count : occurrences)
        if (count != 1) {
            error = each_index_once;
            return;
        }

    seq.reset(parse_it(n_indices, tokens, &error));
    if (error) {
        seq.reset();
        return;
    }
    seq->set_at_top();
    by_closure_ = needs_closure(*seq);
}

perm_symmetry_type::perm_symmetry_type(const perm_symmetry_type& other)
    : n_indices(other.n_indices), seq(other.seq ? std::make_unique<perm_symmetry_type_seq>(*other.seq) : nullptr),
      error(other.error), by_closure_(other.by_closure_)
{
    if (seq) seq->set_at_top();
}

perm_symmetry_type& perm_symmetry_type::operator=(const perm_symmetry_type& other)
{
    if (this == &other) return *this;
    seq = other.seq ? std::make_unique<perm_symmetry_type_seq>(*other.seq) : nullptr;
    n_indices = other.n_indices;
    error = other.error;
    by_closure_ = other.by_closure_;
    return *this;
}

perm_symmetry_type::~perm_symmetry_type() = default;

void perm_symmetry_type::print(std::ostream& out) const
{
    if (seq) seq->print(out);
}
