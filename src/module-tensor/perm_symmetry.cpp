#include "module-tensor/perm_symmetry.h"

#include <algorithm>
#include <climits>
#include <cstring>
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

enum perm_token_kind { perm_int, perm_lpar, perm_rpar, perm_lbracket, perm_rbracket };

// A number carries its value; the symbols carry -1.
struct perm_token {
    perm_token_kind kind;
    int value;
};

using perm_tokens = std::vector<perm_token>;

// Digits written together form one number; blanks and tabs only separate.
// Anything else is an illegal character, and the scan stops there.
perm_tokens tokenize_it(const char* text, const char** error)
{
    perm_tokens tokens;
    for (const char* c = text;; ++c) {
        if (*c >= '0' && *c <= '9') {
            int value = 0;
            for (; *c >= '0' && *c <= '9'; ++c) {
                int digit = *c - '0';
                value = value > (largest_index - digit) / 10 ? largest_index : value * 10 + digit;
            }
            tokens.push_back({perm_int, value});
            --c;
            continue;
        }
        static const char symbols[] = "()[]";
        static const perm_token_kind symbol_kinds[] = {perm_lpar, perm_rpar, perm_lbracket, perm_rbracket};
        if (*c == '\0') return tokens;
        if (*c == ' ' || *c == '\t') continue;
        const char* symbol = std::strchr(symbols, *c);
        if (!symbol) {
            *error = "illegal character in permutation symmetry string";
            return tokens;
        }
        tokens.push_back({symbol_kinds[symbol - symbols], -1});
    }
}

// Recursive descent over the tokens; every rule returns null when it sets the error.
class parser {
public:
    parser(const perm_tokens& tokens, int n_indices, const char** error)
        : tokens_(tokens), n_indices_(n_indices), error_(error)
    {
    }

    // The top-level sequence, which must take every token.
    std::unique_ptr<perm_symmetry_type_seq> parse_it()
    {
        if (too_deep()) {
            *error_ = "permutation symmetry string nested too deeply";
            return nullptr;
        }
        std::unique_ptr<perm_symmetry_type_seq> seq = sequence();
        if (seq && !at_end()) {
            // A ")" or "]" that closes no group: what follows it would be silently lost.
            *error_ = "unmatched `)' or `]' in permutation symmetry string";
            return nullptr;
        }
        return seq;
    }

private:
    bool at_end() const { return next_ == tokens_.size(); }
    bool at(perm_token_kind kind) const { return !at_end() && tokens_[next_].kind == kind; }

    bool too_deep() const
    {
        int depth = 0;
        for (const perm_token& token : tokens_) {
            if (token.kind == perm_lpar || token.kind == perm_lbracket) ++depth;
            if (token.kind == perm_rpar || token.kind == perm_rbracket) --depth;
            if (depth > deepest_nesting) return true;
        }
        return false;
    }

    // Elements up to the end or to a ")" or "]", which is left for the group.
    std::unique_ptr<perm_symmetry_type_seq> sequence()
    {
        perm_symmetry_type_seq::elements read;
        while (at(perm_int) || at(perm_lpar) || at(perm_lbracket)) {
            std::unique_ptr<perm_symmetry_type_base> part = element();
            if (*error_) return nullptr;
            // More elements than indices: some index is repeated.
            if (static_cast<int>(read.size()) == n_indices_) {
                *error_ = each_index_once;
                return nullptr;
            }
            read.push_back(std::move(part));
        }
        if (read.empty()) {
            *error_ = "empty permutation sequence";
            return nullptr;
        }
        return std::make_unique<perm_symmetry_type_seq>(std::move(read));
    }

    std::unique_ptr<perm_symmetry_type_base> element()
    {
        if (at_end()) {
            *error_ = "unexpected end of string while attempting to read symmetry element";
            return nullptr;
        }
        std::unique_ptr<perm_symmetry_type_base> read;
        if (at(perm_int))
            read = std::make_unique<perm_symmetry_type_nosym>(tokens_[next_++].value);
        else if (at(perm_lpar))
            read = group<perm_symmetry_type_sym>(perm_lpar, perm_rpar,
                                                 "oops, while attempting to read `( ... )', '(' expected",
                                                 "oops, while attempting to read `( ... )', ')' expected");
        else if (at(perm_lbracket))
            read = group<perm_symmetry_type_antisym>(perm_lbracket, perm_rbracket,
                                                     "oops, while attempting to read `[ ... ]', '[' expected",
                                                     "oops, while attempting to read `[ ... ]', ']' expected");
        if (!read && !*error_) *error_ = "oops, attempting to read symmetry element, <int>, `(' or `[' expected";
        return read;
    }

    template <class Group>
    std::unique_ptr<perm_symmetry_type_base> group(perm_token_kind open, perm_token_kind close,
                                                   const char* open_expected, const char* close_expected)
    {
        if (!at(open)) {
            *error_ = open_expected;
            return nullptr;
        }
        ++next_;
        std::unique_ptr<perm_symmetry_type_seq> parts = sequence();
        if (*error_) return nullptr;
        if (!at(close)) {
            *error_ = close_expected;
            return nullptr;
        }
        ++next_;
        return std::make_unique<Group>(std::move(*parts));
    }

    const perm_tokens& tokens_;
    std::size_t next_ = 0;
    int n_indices_;
    const char** error_;
};

}

permsym_plusmin flip(permsym_plusmin sign) { return sign == permsym_plus ? permsym_minus : permsym_plus; }

// ---- elements

perm_symmetry_type_seq::perm_symmetry_type_seq(const perm_symmetry_type_seq& other)
{
    parts_.reserve(other.parts_.size());
    for (const auto& part : other.parts_) parts_.push_back(part->copy());
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
    part_indices_.reserve(static_cast<std::size_t>(parts_.count()));
    for (int p = 0; p < parts_.count(); ++p) {
        pointer_to_objects<int> indices(parts_[p].n_indices());
        int count = 0;
        parts_[p].get_indices(count, indices.block());
        part_indices_.push_back(std::move(indices));
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
    const perm_tokens tokens = tokenize_it(text.c_str(), &error);
    if (error) return;

    int max = -1;
    int n_integers = 0;
    for (const perm_token& token : tokens)
        if (token.kind == perm_int) {
            max = std::max(max, token.value);
            ++n_integers;
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
    for (const perm_token& token : tokens)
        if (token.kind == perm_int) ++occurrences[static_cast<std::size_t>(token.value)];
    for (int count : occurrences)
        if (count != 1) {
            error = each_index_once;
            return;
        }

    seq = parser(tokens, n_indices, &error).parse_it();
    if (error) {
        seq.reset();
        return;
    }
    by_closure_ = needs_closure(*seq);
}

perm_symmetry_type::perm_symmetry_type(const perm_symmetry_type& other)
    : n_indices(other.n_indices), seq(other.seq ? std::make_unique<perm_symmetry_type_seq>(*other.seq) : nullptr),
      error(other.error), by_closure_(other.by_closure_)
{
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
