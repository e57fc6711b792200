#include "module-tensor/perm_symmetry.h"

#include <climits>
#include <map>
#include <memory>
#include <vector>

#include "module-object/error.h"

namespace {

const char* const module = "module-tensor/tensor-c";

const char* const illegal_character = "illegal character in permutation symmetry string";
const char* const no_indices = "no indices in permutation string";
const char* const each_index_once = "each index should occur exactly once";
const char* const empty_sequence = "empty permutation sequence";
const char* const unmatched_closing = "unmatched `)' or `]' in permutation symmetry string";
const char* const end_in_element = "unexpected end of string while attempting to read symmetry element";
const char* const element_expected = "oops, attempting to read symmetry element, <int>, `(' or `[' expected";
const char* const lpar_expected = "oops, while attempting to read `( ... )', '(' expected";
const char* const rpar_expected = "oops, while attempting to read `( ... )', ')' expected";
const char* const lbracket_expected = "oops, while attempting to read `[ ... ]', '[' expected";
const char* const rbracket_expected = "oops, while attempting to read `[ ... ]', ']' expected";
const char* const nested_too_deeply = "permutation symmetry string nested too deeply";

// Far beyond any symmetry of a real tensor, and shallow enough that the parser,
// the enumeration, copies and destruction, all recursive, stay well within the stack.
const int deepest_nesting = 1000;

// Digit runs saturate here, so that n_indices = value + 1 still fits in an int;
// such a value can never pass the index check.
const int largest_index = INT_MAX - 1;

[[noreturn]] void meant_to_be_abstract()
{
    _zem_error_(module, __LINE__, "hmm.., this function was meant to be abstract, please report");
}

bool at_type(const perm_token_iterator& it, int type)
{
    return !it.at_end() && it.token()->get_toktype() == type;
}

}

permsym_plusmin flip(permsym_plusmin sign) { return sign == permsym_plus ? permsym_minus : permsym_plus; }

// ---- tokens

perm_token_base::~perm_token_base() = default;

int perm_token_base::get_value() const { return -1; }

perm_token_list::~perm_token_list()
{
    node* n = head_;
    while (n) {
        node* next = n->next;
        delete n->token;
        delete n;
        n = next;
    }
}

void perm_token_list::add_at_tail(perm_token_base* token)
{
    node* n;
    try {
        n = new node{token, nullptr, tail_};
    } catch (...) {
        delete token;
        throw;
    }
    if (tail_)
        tail_->next = n;
    else
        head_ = n;
    tail_ = n;
}

void tokenize_it(const char* text, perm_token_list& tokens, const char** error)
{
    const char* c = text;
    for (;;) {
        if (*c >= '0' && *c <= '9') {
            int value = 0;
            for (; *c >= '0' && *c <= '9'; ++c) {
                int digit = *c - '0';
                value = value > (largest_index - digit) / 10 ? largest_index : value * 10 + digit;
            }
            tokens.add_at_tail(new perm_int(value));
            continue;
        }
        switch (*c) {
        case ' ':
        case '\t':
            break;
        case '(':
            tokens.add_at_tail(new perm_lpar);
            break;
        case ')':
            tokens.add_at_tail(new perm_rpar);
            break;
        case '[':
            tokens.add_at_tail(new perm_lbracket);
            break;
        case ']':
            tokens.add_at_tail(new perm_rbracket);
            break;
        case '\0':
            return;
        default:
            *error = illegal_character;
            return;
        }
        ++c;
    }
}

// ---- elements

perm_symmetry_type_base* perm_symmetry_type_base::copy() const { meant_to_be_abstract(); }

perm_symmetry_type_base::~perm_symmetry_type_base() = default;

int perm_symmetry_type_base::contains_index_number(int) const { meant_to_be_abstract(); }

void perm_symmetry_type_base::print(std::ostream&) const { meant_to_be_abstract(); }

void perm_symmetry_type_base::for_all_symmetrical_with_do(permsym_callback, const pointer_to_objects<int>&,
                                                          permsym_plusmin, void*) const
{
    meant_to_be_abstract();
}

int perm_symmetry_type_base::n_indices() const { meant_to_be_abstract(); }

void perm_symmetry_type_base::get_indices(int&, int*) const { meant_to_be_abstract(); }

perm_symmetry_type_seq::perm_symmetry_type_seq(elements& parts, int count) : parts_(count)
{
    for (int k = 0; k < count; ++k) parts_[k].set(parts[k].release());
}

perm_symmetry_type_seq::perm_symmetry_type_seq(const perm_symmetry_type_seq& other) : parts_(other.count())
{
    for (int k = 0; k < other.count(); ++k) parts_[k].set(other[k].copy());
}

void perm_symmetry_type_seq::set_at_top()
{
    for (auto& part : parts_) part->at_top = 1;
}

void perm_symmetry_type_seq::print(std::ostream& out) const
{
    for (int k = 0; k < count(); ++k) {
        if (k > 0) out << ' ';
        (*this)[k].print(out);
    }
}

perm_symmetry_type_base* perm_symmetry_type_nosym::copy() const { return new perm_symmetry_type_nosym(*this); }

int perm_symmetry_type_nosym::contains_index_number(int k) const { return k == index_; }

void perm_symmetry_type_nosym::print(std::ostream& out) const { out << index_; }

int perm_symmetry_type_nosym::n_indices() const { return 1; }

void perm_symmetry_type_nosym::get_indices(int& count, int* out) const { out[count++] = index_; }

int perm_symmetry_type_group::contains_index_number(int k) const
{
    for (int p = 0; p < parts_.count(); ++p)
        if (parts_[p].contains_index_number(k)) return 1;
    return 0;
}

int perm_symmetry_type_group::n_indices() const
{
    int n = 0;
    for (int p = 0; p < parts_.count(); ++p) n += parts_[p].n_indices();
    return n;
}

void perm_symmetry_type_group::get_indices(int& count, int* out) const
{
    for (int p = 0; p < parts_.count(); ++p) parts_[p].get_indices(count, out);
}

void perm_symmetry_type_group::print_parts(std::ostream& out, char open, char close) const
{
    out << open;
    parts_.print(out);
    out << close;
}

perm_symmetry_type_base* perm_symmetry_type_sym::copy() const { return new perm_symmetry_type_sym(*this); }

void perm_symmetry_type_sym::print(std::ostream& out) const { print_parts(out, '(', ')'); }

perm_symmetry_type_base* perm_symmetry_type_antisym::copy() const { return new perm_symmetry_type_antisym(*this); }

void perm_symmetry_type_antisym::print(std::ostream& out) const { print_parts(out, '[', ']'); }

// ---- parser

perm_symmetry_type_seq* parse_it(int n_indices, const perm_token_list& tokens, const char** error)
{
    int depth = 0;
    for (perm_token_iterator it(tokens); !it.at_end(); it.advance()) {
        int type = it.token()->get_toktype();
        if (type == perm_lpar_type || type == perm_lbracket_type) ++depth;
        if (type == perm_rpar_type || type == perm_rbracket_type) --depth;
        if (depth > deepest_nesting) {
            *error = nested_too_deeply;
            return nullptr;
        }
    }
    perm_token_iterator it(tokens);
    perm_symmetry_type_seq* seq = recursive_descent_start(n_indices, it, error);
    if (seq && !it.at_end()) {
        // A ")" or "]" that closes no group: what follows it would be silently lost.
        delete seq;
        *error = unmatched_closing;
        return nullptr;
    }
    return seq;
}

perm_symmetry_type_seq* recursive_descent_start(int n_indices, perm_token_iterator& it, const char** error)
{
    return recursive_descent_perm_symm_sequence(n_indices, it, error);
}

perm_symmetry_type_seq* recursive_descent_perm_symm_sequence(int n_indices, perm_token_iterator& it,
                                                             const char** error)
{
    // Slots grow with the elements read: n_indices of them at every level of a
    // deep nest would take the square of the string's length.
    std::vector<std::unique_ptr<perm_symmetry_type_base>> read;
    while (at_type(it, perm_int_type) || at_type(it, perm_lpar_type) || at_type(it, perm_lbracket_type)) {
        std::unique_ptr<perm_symmetry_type_base> element(recursive_descent_perm_symm_element(n_indices, it, error));
        if (*error) return nullptr;
        if (static_cast<int>(read.size()) == n_indices) {
            *error = each_index_once;
            return nullptr;
        }
        read.push_back(std::move(element));
    }
    if (read.empty()) {
        *error = empty_sequence;
        return nullptr;
    }
    const int count = static_cast<int>(read.size());
    perm_symmetry_type_seq::elements slots(count);
    for (int k = 0; k < count; ++k) slots[k].set(read[static_cast<std::size_t>(k)].release());
    return new perm_symmetry_type_seq(slots, count);
}

perm_symmetry_type_base* recursive_descent_perm_symm_element(int n_indices, perm_token_iterator& it,
                                                             const char** error)
{
    if (it.at_end()) {
        *error = end_in_element;
        return nullptr;
    }
    perm_symmetry_type_base* element = nullptr;
    switch (it.token()->get_toktype()) {
    case perm_int_type:
        element = new perm_symmetry_type_nosym(it.token()->get_value());
        it.advance();
        return element;
    case perm_lpar_type:
        element = recursive_descent_symm(n_indices, it, error);
        break;
    case perm_lbracket_type:
        element = recursive_descent_anti_symm(n_indices, it, error);
        break;
    default:
        break;
    }
    if (!element && !*error) *error = element_expected;
    return element;
}

namespace {

template <class Group>
perm_symmetry_type_base* read_group(int n_indices, perm_token_iterator& it, const char** error, int open,
                                    int close, const char* open_expected, const char* close_expected)
{
    if (!at_type(it, open)) {
        *error = open_expected;
        return nullptr;
    }
    it.advance();
    perm_symmetry_type_seq* parts = recursive_descent_perm_symm_sequence(n_indices, it, error);
    if (*error) {
        delete parts;
        return nullptr;
    }
    if (!at_type(it, close)) {
        delete parts;
        *error = close_expected;
        return nullptr;
    }
    it.advance();
    perm_symmetry_type_base* group;
    try {
        group = new Group(std::move(*parts));
    } catch (...) {
        delete parts;
        throw;
    }
    delete parts;
    return group;
}

}

perm_symmetry_type_base* recursive_descent_symm(int n_indices, perm_token_iterator& it, const char** error)
{
    return read_group<perm_symmetry_type_sym>(n_indices, it, error, perm_lpar_type, perm_rpar_type, lpar_expected,
                                              rpar_expected);
}

perm_symmetry_type_base* recursive_descent_anti_symm(int n_indices, perm_token_iterator& it, const char** error)
{
    return read_group<perm_symmetry_type_antisym>(n_indices, it, error, perm_lbracket_type, perm_rbracket_type,
                                                  lbracket_expected, rbracket_expected);
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

    int max = -9999;
    int n_integers = 0;
    for (perm_token_iterator it(tokens); !it.at_end(); it.advance()) {
        if (it.token()->get_value() > max) max = it.token()->get_value();
        if (it.token()->get_toktype() == perm_int_type) ++n_integers;
    }
    if (max < 0) {
        error = no_indices;
        return;
    }
    n_indices = max + 1;
    // More positions than integers: one must be missing, and the counts need no room.
    if (n_indices > n_integers) {
        error = each_index_once;
        return;
    }
    pointer_to_objects<int> occurrences(n_indices);
    for (int& count : occurrences) count = 0;
    for (perm_token_iterator it(tokens); !it.at_end(); it.advance()) {
        int value = it.token()->get_value();
        if (it.token()->get_toktype() == perm_int_type && value >= 0) ++occurrences[value];
    }
    for (int count : occurrences)
        if (count != 1) {
            error = each_index_once;
            return;
        }

    seq = parse_it(n_indices, tokens, &error);
    if (error) {
        delete seq;
        seq = nullptr;
        return;
    }
    seq->set_at_top();
    by_closure_ = needs_closure(*seq);
}

perm_symmetry_type::perm_symmetry_type(const perm_symmetry_type& other)
    : n_indices(other.n_indices), error(other.error), by_closure_(other.by_closure_)
{
    if (other.seq) {
        seq = new perm_symmetry_type_seq(*other.seq);
        seq->set_at_top();
    }
}

perm_symmetry_type& perm_symmetry_type::operator=(const perm_symmetry_type& other)
{
    if (this == &other) return *this;
    perm_symmetry_type_seq* copy = other.seq ? new perm_symmetry_type_seq(*other.seq) : nullptr;
    if (copy) copy->set_at_top();
    delete seq;
    seq = copy;
    n_indices = other.n_indices;
    error = other.error;
    by_closure_ = other.by_closure_;
    return *this;
}

perm_symmetry_type::~perm_symmetry_type() { delete seq; }

void perm_symmetry_type::print(std::ostream& out) const
{
    if (seq) seq->print(out);
}
