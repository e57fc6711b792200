#include "front-end-support/idents.h"

#include <cstring>
#include <deque>
#include <string_view>
#include <unordered_map>

namespace {

struct ident_table {
    // A deque keeps every text at its place, so references to it stay valid.
    std::deque<std::string> texts{"", ""};
    std::unordered_map<std::string_view, tIdent> numbers{{texts[NoIdent], NoIdent}};
};

// Made on first use, so that static constructors elsewhere may enter texts.
ident_table& table()
{
    static ident_table the_table;
    return the_table;
}

}

tIdent MakeIdent(const char* text, int length)
{
    ident_table& t = table();
    std::string_view key(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    auto found = t.numbers.find(key);
    if (found != t.numbers.end()) return found->second;
    auto ident = static_cast<tIdent>(t.texts.size());
    t.numbers.emplace(t.texts.emplace_back(key), ident);
    return ident;
}

void GetString(tIdent ident, char* buffer)
{
    const std::string& text = GetStringRef(ident);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

const std::string& GetStringRef(tIdent ident) { return table().texts.at(static_cast<std::size_t>(ident)); }
