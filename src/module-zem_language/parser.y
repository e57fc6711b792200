/* The grammar of the command language. Bison builds the LALR(1) automaton; the
   driver below the grammar runs it, builds the syntax tree and does the error
   recovery and repair, which Bison's own driver cannot: on an error it reports
   the tokens that could follow, skips to a token that the rest of a shortest
   completion can take, and inserts the tokens that lead there. Bison's driver
   (yypush_parse) is generated but never called. */

%code top {
#include "module-zem_language/parser.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "module-zem_language/errors.h"
#include "module-zem_language/tree.h"
}

%code {
static void yyerror(const char*) {}

namespace {

struct value {
    tPosition position;  // of the first token
    tTree tree;
};

// Turns the chain into source order where the stack holds it, so that the
// stack still holds all of it when the node that is to take it cannot be made.
tTree list(value& chain) { return chain.tree = ReverseTree(chain.tree); }

// Per production, in grammar order: the node it builds and how, from the values
// of its right-hand side and the position `at` of its first token.
struct production {
    std::string_view node;
    tTree (*build)(tPosition at, value* v);
};

constexpr production productions[] = {
    {"root", [](tPosition, value* v) { TreeRoot = list(v[0]); return NoTree; }},
    {"mstatements_1", [](tPosition, value* v) { return mstatements_1(v[0].tree, v[1].tree); }},
    {"mstatements_2", [](tPosition, value*) { return mstatements_2(); }},
    {"mobj_assignment", [](tPosition at, value* v) { return mobj_assignment(at, v[0].tree, v[2].tree); }},
    {"minput_stmnt", [](tPosition at, value* v) { return minput_stmnt(at, v[2].tree); }},
    {"mfile_stmnt", [](tPosition at, value* v) { return mfile_stmnt(at, v[2].tree, v[3].tree); }},
    {"mprocedure_call_stmnt", [](tPosition at, value* v) { return mprocedure_call_stmnt(at, v[0].tree, list(v[2])); }},
    {"mempty_stmnt", [](tPosition at, value*) { return mempty_stmnt(at); }},
    {"mobj_id", [](tPosition at, value* v) { return mobj_id(at, v[0].tree); }},
    {"mfunction_call", [](tPosition at, value* v) { return mfunction_call(at, v[0].tree, list(v[2])); }},
    {"mstringconst", [](tPosition at, value* v) { return mstringconst(at, v[0].tree); }},
    {"mstring_list", [](tPosition at, value* v) { return mstring_list(at, list(v[1])); }},
    {"minteger", [](tPosition at, value* v) { return minteger(at, v[1].tree); }},
    {"mfr1", [](tPosition at, value* v) { return mfr1(at, v[0].tree); }},
    {"mfr2", [](tPosition at, value* v) { return mfr2(at, v[0].tree, v[2].tree); }},
    {"mfloatobj", [](tPosition at, value* v) { return mfloatobj(at, v[0].tree); }},
    {"mvector", [](tPosition at, value* v) { return mvector(at, list(v[1])); }},
    {"mmatrix", [](tPosition at, value* v) { return mmatrix(at, list(v[2])); }},
    {"mimgroup", [](tPosition at, value* v) { return mimgroup(at, list(v[2])); }},
    {"mmgroup", [](tPosition at, value* v) { return mmgroup(at, list(v[2])); }},
    {"mreprgroup", [](tPosition at, value* v) { return mreprgroup(at, list(v[2])); }},
    {"mcyclotomic", [](tPosition at, value* v) { return mcyclotomic(at, list(v[2]), list(v[4]), list(v[6])); }},
    {"mchartab",
     [](tPosition at, value* v) {
         return mchartab(at, list(v[2]), list(v[4]), list(v[6]), list(v[8]), list(v[10]), list(v[12]),
                         list(v[14]));
     }},
    // The tensor's value list keeps its last entry first.
    {"mtensor",
     [](tPosition at, value* v) { return mtensor(at, v[2].tree, v[3].tree, v[4].tree, v[6].tree); }},
    {"mobj1", [](tPosition, value* v) { return mobj1(v[0].tree, v[1].tree); }},
    {"mobj2", [](tPosition, value*) { return mobj2(); }},
    {"mchartab_pow1", [](tPosition, value* v) { return mchartab_pow1(v[0].tree, v[1].tree); }},
    {"mchartab_pow2", [](tPosition, value*) { return mchartab_pow2(); }},
    {"mchartab_pow", [](tPosition at, value* v) { return mchartab_pow(at, list(v[1])); }},
    {"mtenvals1", [](tPosition, value*) { return mtenvals1(); }},
    {"mtenvals2", [](tPosition, value* v) { return mtenvals2(v[0].tree, v[1].tree); }},
    {"mtensorval", [](tPosition at, value* v) { return mtensorval(at, list(v[1]), v[3].tree); }},
};

// Bison emits the actions in rule order, so the counter numbers them as the
// table does.
constexpr int first_action = __COUNTER__ + 1;
#define BUILDS(node_name)                                                     \
    static_assert(productions[__COUNTER__ - first_action].node == #node_name, \
                  "the table of productions is not in grammar order")

}
}

/* Reductions only on their lookaheads: a state that may shift or reduce in
   several ways must see the lookahead before it reduces, or the tokens it could
   have taken are lost before the error is found. */
%define lr.default-reduction accepting
%define api.push-pull push
%define api.pure full
%expect 0

/* The codes are the scanner's. */
%token IDENTIFIER 1 STRING 2 NUMBER 3 REAL 4 FILE_ 5 INCLUDE 6
%token LBRACE 7 RBRACE 8 LPAREN 9 RPAREN 10 SLASH 11 EQUALS 12 BAR 13 SEMICOLON 14
%token HASH 15 LBRACKET 16 RBRACKET 17 MATRIX 18 INT_MATRIX_GROUP 19 MATRIX_GROUP 20
%token REPRESENTATION_GROUP 21 CYCLOTOMIC 22 CHARACTER_TABLE 23 TENSOR 24

%%

/* The productions are numbered from 1 in this order. Each one's action names
   the node that the driver's table of productions builds for it, so a rule
   moved without its entry in the table does not compile. (Bison's own driver,
   which would run the actions, is never called.) */
root : statements { BUILDS(root); } ;

statements
    : statements statement { BUILDS(mstatements_1); }
    | %empty { BUILDS(mstatements_2); }
    ;

statement
    : IDENTIFIER EQUALS object SEMICOLON { BUILDS(mobj_assignment); }
    | INCLUDE LPAREN object RPAREN SEMICOLON { BUILDS(minput_stmnt); }
    | FILE_ LPAREN object object RPAREN SEMICOLON { BUILDS(mfile_stmnt); }
    | IDENTIFIER LPAREN objects RPAREN SEMICOLON { BUILDS(mprocedure_call_stmnt); }
    | SEMICOLON { BUILDS(mempty_stmnt); }
    ;

object
    : IDENTIFIER { BUILDS(mobj_id); }
    | IDENTIFIER LPAREN objects RPAREN { BUILDS(mfunction_call); }
    | STRING { BUILDS(mstringconst); }
    | LBRACE objects RBRACE { BUILDS(mstring_list); }
    | HASH NUMBER { BUILDS(minteger); }
    | NUMBER { BUILDS(mfr1); }
    | NUMBER SLASH NUMBER { BUILDS(mfr2); }
    | REAL { BUILDS(mfloatobj); }
    | LBRACKET objects RBRACKET { BUILDS(mvector); }
    | MATRIX LPAREN objects RPAREN { BUILDS(mmatrix); }
    | INT_MATRIX_GROUP LPAREN objects RPAREN { BUILDS(mimgroup); }
    | MATRIX_GROUP LPAREN objects RPAREN { BUILDS(mmgroup); }
    | REPRESENTATION_GROUP LPAREN objects RPAREN { BUILDS(mreprgroup); }
    | CYCLOTOMIC LPAREN objects BAR objects BAR objects RPAREN { BUILDS(mcyclotomic); }
    | CHARACTER_TABLE LPAREN objects BAR objects BAR objects BAR objects BAR
          chartab_powers BAR objects BAR objects RPAREN { BUILDS(mchartab); }
    | TENSOR LPAREN object object object BAR tensorvals RPAREN { BUILDS(mtensor); }
    ;

objects
    : objects object { BUILDS(mobj1); }
    | %empty { BUILDS(mobj2); }
    ;

chartab_powers
    : chartab_powers chartab_pow { BUILDS(mchartab_pow1); }
    | %empty { BUILDS(mchartab_pow2); }
    ;

chartab_pow : LBRACE objects RBRACE { BUILDS(mchartab_pow); } ;

tensorvals
    : %empty { BUILDS(mtenvals1); }
    | tensorvals tensorval { BUILDS(mtenvals2); }
    ;

tensorval : LPAREN objects EQUALS object RPAREN { BUILDS(mtensorval); } ;

%%

const char* const Parser_TokenName[tkCount] = {
    "_EndOfFile", "identifier", "string", "number", "real", "file", "include", "{", "}",
    "(", ")", "/", "=", "|", ";", "#", "[", "]", "matrix", "int_matrix_group", "matrix_group",
    "representation_group", "cyclotomic", "character_table", "tensor",
};

namespace {

// Bison numbers its rules from 1 with its own "$accept: root $end" first, so a
// rule number is one above the production number of the grammar above.
constexpr int accept_rule = 1;

int symbol_of(int token) { return YYTRANSLATE(token); }

// The action of `state` on a terminal symbol: > 0 shifts into that state, < 0
// reduces by rule -action, 0 is an error.
int action(int state, int symbol)
{
    int n = yypact[state];
    if (!yypact_value_is_default(n)) {
        n += symbol;
        if (0 <= n && n <= YYLAST && yycheck[n] == symbol) {
            int entry = yytable[n];
            return yytable_value_is_error(entry) ? 0 : entry;
        }
    }
    return -yydefact[state];
}

// The state reached from `state` over a nonterminal (Bison's number). The
// tables answer for every state, also for those without such a transition.
int next_state(int state, int nonterminal)
{
    int n = yypgoto[nonterminal - YYNTOKENS] + state;
    return 0 <= n && n <= YYLAST && yycheck[n] == state ? yytable[n] : yydefgoto[nonterminal - YYNTOKENS];
}

// The states of `base` after moves tried on top of it; `base` stays as it is,
// so a try costs only the states it touches, however deep the stack.
class trial_stack {
public:
    explicit trial_stack(const yyStateStack& base) : base_(base), kept_(base.size()) {}
    std::size_t size() const { return kept_ + pushed_.size(); }
    int back() const { return pushed_.empty() ? base_[kept_ - 1] : pushed_.back(); }
    void push_back(int state) { pushed_.push_back(state); }
    void resize(std::size_t size)
    {
        if (size >= kept_) {
            pushed_.resize(size - kept_);
        } else {
            pushed_.clear();
            kept_ = size;
        }
    }

private:
    const yyStateStack& base_;
    std::size_t kept_;
    yyStateStack pushed_;
};

enum class step { shifted, reduced, none };

// One move of the automaton on `symbol`, on the states alone. A stack that the
// automaton cannot have built moves no further.
template <class Stack>
step simulate(Stack& stack, int symbol)
{
    const int state = stack.back();
    if (state < 0 || state >= YYNSTATES || state == YYFINAL) return step::none;
    int a = action(state, symbol);
    if (a == 0) return step::none;
    if (a > 0) {
        stack.push_back(a);
        return step::shifted;
    }
    if (stack.size() <= std::size_t(yyr2[-a])) return step::none;
    stack.resize(stack.size() - yyr2[-a]);
    stack.push_back(next_state(stack.back(), yyr1[-a]));
    return step::reduced;
}

constexpr int unreachable = 1 << 28;

// Each state's continuation terminal, computed once from the tables.
//
// The tables hold neither the items of a state nor the right-hand sides of the
// rules, so both are recovered first: the real transitions over nonterminals
// are those that a reduction can return to (found by walking each reduction
// back until nothing new turns up), and a rule's right-hand side is read off
// the accessing symbols of the states that one such walk passes.
//
// A state then follows the item that completes one of its kernel items with
// the fewest terminals (shortest yields of the symbols still to come, plus, for
// an item predicted inside the state, what its predictor still needs), so the
// walk finishes what the state has begun rather than opening something new.
// Items that only lengthen a left-recursive list are never followed: finishing
// one leads back to the same state, and the walk would go round the list.
// Ties go to a reduction, then to a terminal to shift, then to the lower rule
// and dot position; a reduction is made on its lowest lookahead code.

struct reduction {
    int state, rule;
};

// The grammar as far as the continuations need it, recovered from the tables.
struct recovered_grammar {
    std::vector<std::vector<int>> predecessors;  // per state, the states with a transition into it
    std::vector<reduction> reductions;           // every (state, rule) that some lookahead reduces
    std::vector<std::vector<int>> rhs;           // per rule, its right-hand side
    std::vector<int> shortest;                   // per symbol, the fewest terminals it derives

    // The fewest terminals that complete `rule` from `dot` on.
    int rest(int rule, int dot) const
    {
        int length = 0;
        for (std::size_t j = dot; j < rhs[rule].size(); ++j) length += shortest[rhs[rule][j]];
        return length;
    }
};

bool add_transition(recovered_grammar& g, int from, int to)
{
    std::vector<int>& into = g.predecessors[to];
    if (std::find(into.begin(), into.end(), from) != into.end()) return false;
    into.push_back(from);
    return true;
}

// The shifts and reductions of every state, then the transitions over
// nonterminals that some reduction returns along, until nothing new turns up.
void find_transitions(recovered_grammar& g)
{
    g.predecessors.assign(YYNSTATES, {});
    for (int q = 0; q < YYNSTATES; ++q) {
        if (q == YYFINAL) continue;
        for (int t = 0; t < YYNTOKENS; ++t) {
            int a = action(q, t);
            if (a > 0) add_transition(g, q, a);
            bool known = false;
            for (const reduction& r : g.reductions) known |= r.state == q && r.rule == -a;
            if (a < 0 && !known) g.reductions.push_back({q, -a});
        }
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (const reduction& r : g.reductions) {
            std::vector<int> level{r.state};
            for (int k = 0; k < yyr2[r.rule]; ++k) {
                std::vector<int> below;
                for (int s : level)
                    for (int p : g.predecessors[s])
                        if (std::find(below.begin(), below.end(), p) == below.end()) below.push_back(p);
                level = below;
            }
            for (int p : level) changed |= add_transition(g, p, next_state(p, yyr1[r.rule]));
        }
    }
}

// Each rule's right-hand side, read off the states that one reduction by it
// walks back over.
void find_right_hand_sides(recovered_grammar& g)
{
    g.rhs.assign(YYNRULES + 1, {});
    g.rhs[accept_rule] = {YYSYMBOL_root, YYSYMBOL_YYEOF};
    for (const reduction& r : g.reductions) {
        std::vector<int>& rhs = g.rhs[r.rule];
        if (!rhs.empty()) continue;
        rhs.resize(yyr2[r.rule]);
        int s = r.state;
        for (int k = yyr2[r.rule] - 1; k >= 0; --k) {
            rhs[k] = yystos[s];
            if (k > 0) s = g.predecessors[s].front();
        }
    }
}

void find_shortest_yields(recovered_grammar& g)
{
    g.shortest.assign(YYNTOKENS + YYNNTS, unreachable);
    for (int t = 0; t < YYNTOKENS; ++t) g.shortest[t] = 1;
    for (bool changed = true; changed;) {
        changed = false;
        for (int r = accept_rule + 1; r <= YYNRULES; ++r) {
            int length = 0;
            for (int x : g.rhs[r]) length = std::min(unreachable, length + g.shortest[x]);
            if (length < g.shortest[yyr1[r]]) {
                g.shortest[yyr1[r]] = length;
                changed = true;
            }
        }
    }
}

struct item {
    int rule, dot, cost;
};

// The items of every state, found by walking each rule from each state where
// it can begin.
std::vector<std::vector<item>> items_of_states(const recovered_grammar& g)
{
    std::vector<std::vector<item>> items(YYNSTATES);
    auto walk = [&](int from, int rule) {
        int s = from;
        for (std::size_t dot = 0;; ++dot) {
            items[s].push_back({rule, int(dot), unreachable});
            if (dot == g.rhs[rule].size()) break;
            int x = g.rhs[rule][dot];
            s = x < YYNTOKENS ? action(s, x) : next_state(s, x);
        }
    };
    walk(0, accept_rule);
    for (int s = 0; s < YYNSTATES; ++s)
        if (yystos[s] >= YYNTOKENS)
            for (int p : g.predecessors[s])
                for (int r = accept_rule + 1; r <= YYNRULES; ++r)
                    if (yyr1[r] == yystos[s]) walk(p, r);
    return items;
}

// The cost of each item of a state: what completes a kernel item (not a mere
// list extension), and for a predicted item what completes its predictor too.
void cost_items(const recovered_grammar& g, std::vector<item>& here)
{
    for (item& i : here) {
        bool list_extension = g.rhs[i.rule].size() > 1 && g.rhs[i.rule][0] == yyr1[i.rule] && i.dot > 0 &&
                              i.dot < int(g.rhs[i.rule].size());
        bool kernel = i.dot > 0 || i.rule == accept_rule;
        if (kernel && !list_extension) i.cost = g.rest(i.rule, i.dot);
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (item& predicted : here) {
            if (predicted.dot > 0 || predicted.rule == accept_rule) continue;
            for (const item& by : here) {
                if (by.cost >= unreachable || by.dot == int(g.rhs[by.rule].size()) ||
                    g.rhs[by.rule][by.dot] != yyr1[predicted.rule])
                    continue;
                int cost = g.rest(predicted.rule, 0) + by.cost - g.shortest[yyr1[predicted.rule]];
                if (cost < predicted.cost) {
                    predicted.cost = cost;
                    changed = true;
                }
            }
        }
    }
}

// The terminal that the cheapest item of state q reduces on or shifts.
int cheapest_continuation(const recovered_grammar& g, int q, const std::vector<item>& here)
{
    enum { reduces, shifts_terminal, shifts_nonterminal };
    auto kind = [&](const item& i) {
        if (i.dot == int(g.rhs[i.rule].size())) return reduces;
        return g.rhs[i.rule][i.dot] < YYNTOKENS ? shifts_terminal : shifts_nonterminal;
    };
    const item* best = nullptr;
    for (const item& i : here) {
        if (i.cost >= unreachable || kind(i) == shifts_nonterminal) continue;
        if (!best || std::make_tuple(i.cost, kind(i), i.rule, i.dot) <
                         std::make_tuple(best->cost, kind(*best), best->rule, best->dot))
            best = &i;
    }
    if (!best) return tkEndOfFile;
    for (int t = 0; t < tkCount; ++t) {
        if (kind(*best) == reduces ? action(q, symbol_of(t)) == -best->rule
                                   : symbol_of(t) == g.rhs[best->rule][best->dot])
            return t;
    }
    return tkEndOfFile;
}

const recovered_grammar& grammar()
{
    static const recovered_grammar g = [] {
        recovered_grammar g;
        find_transitions(g);
        find_right_hand_sides(g);
        find_shortest_yields(g);
        return g;
    }();
    return g;
}

std::vector<int> compute_continuations()
{
    const recovered_grammar& g = grammar();
    std::vector<std::vector<item>> items = items_of_states(g);
    std::vector<int> continuation(YYNSTATES, tkEndOfFile);
    for (int q = 0; q < YYNSTATES; ++q) {
        if (q == YYFINAL) continue;
        cost_items(g, items[q]);
        continuation[q] = cheapest_continuation(g, q, items[q]);
    }
    return continuation;
}

const std::vector<int>& continuations()
{
    static const std::vector<int> table = compute_continuations();
    return table;
}

// Bison numbers its rules from 1 with its own "$accept: root $end" first.
static_assert(YYNRULES == std::size(productions) + 1);
// Bison numbers the nonterminals in the order of the grammar, as the header does: each is checked.
static_assert(YYSYMBOL_statements - YYSYMBOL_root == ntStatements - ntRoot &&
              YYSYMBOL_statement - YYSYMBOL_root == ntStatement - ntRoot &&
              YYSYMBOL_object - YYSYMBOL_root == ntObject - ntRoot &&
              YYSYMBOL_objects - YYSYMBOL_root == ntObjects - ntRoot &&
              YYSYMBOL_chartab_powers - YYSYMBOL_root == ntChartabPowers - ntRoot &&
              YYSYMBOL_chartab_pow - YYSYMBOL_root == ntChartabPow - ntRoot &&
              YYSYMBOL_tensorvals - YYSYMBOL_root == ntTensorvals - ntRoot &&
              YYSYMBOL_tensorval - YYSYMBOL_root == ntTensorval - ntRoot);

struct token {
    int code;
    value attribute;
};

class parser {
public:
    parser() { push(0, {NoPosition, NoTree}); }
    ~parser()
    {
        // A failure (of the scanner, or for want of memory) leaves trees behind.
        for (value& v : values_) ReleaseTree(v.tree);
        ReleaseTree(lookahead_.attribute.tree);
    }
    parser(const parser&) = delete;
    parser& operator=(const parser&) = delete;

    int run();

private:
    void read_token();
    void push(int state, value v);
    void make_room();
    void reduce(int rule);
    void yyErrorRecovery();
    void insert(int token, int state);
    void shift(int token, int state, value v);
    void refuse_the_rest(tPosition at);

    yyStateStack states_;
    std::vector<value> values_;
    token lookahead_ = {tkEndOfFile, {NoPosition, NoTree}};
    int errors_ = 0;
    int depth_ = 0;  // brackets, parentheses and braces open on the stack
};

// The parser takes the leaf; it never needs the token's text.
void parser::read_token()
{
    lookahead_.code = GetToken();
    lookahead_.attribute = {Attribute.Position, Attribute.Tree};
    delete[] Attribute.Text;
    Attribute.Text = nullptr;
    Attribute.Tree = NoTree;
}

void parser::push(int state, value v)
{
    states_.push_back(state);
    values_.push_back(v);
}

// Room for one more state and value, made before a node is built, so that
// pushing the node cannot fail and lose it.
void parser::make_room()
{
    if (states_.size() == states_.capacity()) {
        states_.push_back(0);
        states_.pop_back();
    }
    if (values_.size() == values_.capacity()) {
        values_.push_back({});
        values_.pop_back();
    }
}

// The right-hand side stays on the stack until its node is made.
void parser::reduce(int rule)
{
    make_room();
    std::size_t base = values_.size() - yyr2[rule];
    tPosition at = yyr2[rule] > 0 ? values_[base].position : lookahead_.attribute.position;
    value result = {at, productions[rule - accept_rule - 1].build(at, values_.data() + base)};
    states_.resize(base);
    values_.resize(base);
    push(next_state(states_.back(), yyr1[rule]), result);
}

// Reports the error, names the tokens that could follow, and skips the input up
// to a token that the shortest completion of the stack can take.
void parser::yyErrorRecovery()
{
    tPosition at = lookahead_.attribute.position;
    ErrorMessage(xxSyntaxError, xxError, at);
    const yyTerminalSet continuation = yyComputeContinuation(states_);
    std::string expected;
    for (int t = 0; t < tkCount; ++t) {
        if (!continuation[t]) continue;
        std::string name = std::string(Parser_TokenName[t]) + ' ';
        if (expected.size() + name.size() > 255) break;
        expected += name;
    }
    ErrorMessageI(xxExpectedTokens, xxInformation, at, xxString, expected.c_str());

    const yyTerminalSet restart = yyComputeRestartPoints(states_);
    if (restart[lookahead_.code]) return;
    do {
        ReleaseTree(lookahead_.attribute.tree);
        lookahead_.attribute.tree = NoTree;
        read_token();
    } while (!restart[lookahead_.code]);
    ErrorMessage(xxRestartPoint, xxInformation, lookahead_.attribute.position);
}

// The message and the room come first: once made, the token's leaf is pushed.
void parser::insert(int token, int state)
{
    ErrorMessageI(xxTokenInserted, xxRepair, lookahead_.attribute.position, xxString, Parser_TokenName[token]);
    make_room();
    tScanAttribute inserted;
    ErrorAttribute(token, &inserted);
    delete[] inserted.Text;
    shift(token, state, {inserted.Position, inserted.Tree});
}

// Every production closes what it opens, so counting the tokens shifted is
// counting what the stack holds open.
void parser::shift(int token, int state, value v)
{
    if (token == tkLeftParen || token == tkLeftBracket || token == tkLeftBrace) ++depth_;
    if (token == tkRightParen || token == tkRightBracket || token == tkRightBrace) --depth_;
    push(state, v);
}

void parser::refuse_the_rest(tPosition at)
{
    ++errors_;
    Message("expression nested too deeply", xxError, at);
    for (;;) {
        ReleaseTree(lookahead_.attribute.tree);
        lookahead_.attribute.tree = NoTree;
        if (lookahead_.code == tkEndOfFile) break;
        read_token();
    }
    TreeRoot = mstatements_2();
}

int parser::run()
{
    read_token();
    bool repairing = false;
    while (states_.back() != YYFINAL) {
        if (depth_ > max_nesting) {
            refuse_the_rest(values_.back().position);
            break;
        }
        int state = states_.back();
        int a = action(state, symbol_of(lookahead_.code));
        if (a > 0) {
            shift(lookahead_.code, a, lookahead_.attribute);
            lookahead_.attribute.tree = NoTree;
            if (lookahead_.code != tkEndOfFile) read_token();
            repairing = false;
        } else if (a < 0) {
            reduce(-a);
        } else if (!repairing) {
            ++errors_;
            yyErrorRecovery();
            repairing = true;
        } else {
            int t = continuations()[state];
            int b = action(state, symbol_of(t));
            if (b < 0) {
                reduce(-b);
            } else if (b == 0 || (t == tkEndOfFile && lookahead_.code != tkEndOfFile)) {
                // The repair would end the file before the lookahead: a fresh
                // error, which skips the rest.
                repairing = false;
            } else {
                insert(t, b);
            }
        }
    }
    return errors_;
}

}

int yyNext(int state, int symbol)
{
    if (state < 0 || state >= YYNSTATES || state == YYFINAL) return 0;
    if (symbol >= 0 && symbol < tkCount) return std::max(action(state, symbol_of(symbol)), 0);
    if (symbol < ntRoot || symbol > ntTensorval) return 0;
    const int to = next_state(state, YYSYMBOL_root + (symbol - ntRoot));
    const std::vector<int>& into = grammar().predecessors[to];
    return std::find(into.begin(), into.end(), state) != into.end() ? to : 0;
}

bool yyIsContinuation(int token, const yyStateStack& states)
{
    if (states.empty() || token < 0 || token >= tkCount) return false;
    trial_stack stack(states);
    const int symbol = symbol_of(token);
    for (;;) {
        switch (simulate(stack, symbol)) {
        case step::shifted: return true;
        case step::none: return false;
        case step::reduced: break;
        }
    }
}

yyTerminalSet yyComputeContinuation(const yyStateStack& stack)
{
    yyTerminalSet continuation;
    for (int t = 0; t < tkCount; ++t) continuation[t] = yyIsContinuation(t, stack);
    return continuation;
}

yyTerminalSet yyComputeRestartPoints(const yyStateStack& states)
{
    yyTerminalSet restart;
    restart[tkEndOfFile] = true;
    if (states.empty()) return restart;
    yyStateStack stack = states;
    for (;;) {
        restart |= yyComputeContinuation(stack);
        const int state = stack.back();
        if (state < 0 || state >= YYNSTATES) break;
        if (simulate(stack, symbol_of(continuations()[state])) == step::none) break;
    }
    return restart;
}

void BeginParser() {}

void CloseParser() {}

int Parser()
{
    BeginParser();
    const int scan_errors = CountedScanErrors;
    parser p;
    const int errors = p.run();
    return errors + CountedScanErrors - scan_errors;
}
