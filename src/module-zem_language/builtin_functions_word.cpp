// Built-ins on words.
#include <vector>

#include "module-object/string.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/builtin_functions.h"
#include "numbers/word.h"

namespace {

// a..z are the generators 1..26, A..Z their inverses; anything else is the
// letter 0, which prints as "?".
short letter_of(char c)
{
    if (c >= 'a' && c <= 'z') return static_cast<short>(c - 96);
    if (c >= 'A' && c <= 'Z') return static_cast<short>(64 - c);
    return 0;
}

ZEM_object* word(int, const ZEM_object** args)
{
    const ZEM_string& spelling = argument<ZEM_string>(args, 0);
    if (spelling.length() == 0) return new ZEM_word();
    std::vector<short> letters(static_cast<std::size_t>(spelling.length()));
    for (int k = 0; k < spelling.length(); ++k) letters[static_cast<std::size_t>(k)] = letter_of(spelling.c_str()[k]);
    return new ZEM_word(spelling.length(), letters.data());
}

ZEM_type at_word[] = {tp_string()};
builtin_func_definition f_word(ZEM_string("word"), ZEM_string("create a word"),
                               ZEM_string("The function word creates a word from a string, e.g. word(\"aaBcD\")"),
                               word, name_untitled, tp_word(), 1, at_word);

}
