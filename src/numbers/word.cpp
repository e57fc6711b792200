#include "numbers/word.h"

ZEM_word_impl::ZEM_word_impl() : length(0), letters(nullptr) {}

ZEM_word_impl::ZEM_word_impl(int n, const short* given) : length(n), letters(trailing_elements<short>(this))
{
    for (int k = 0; k < n; ++k) letters[k] = given[k];
}

ZEM_word_impl::ZEM_word_impl(int n, const ZEM_linkedlist<ZEM_int>& list)
    : length(n), letters(trailing_elements<short>(this))
{
    int k = 0;
    for (ZEM_iterator<ZEM_int> it(list.create_iter_at_begin()); it && k < n; it++) letters[k++] = static_cast<short>((*it).value());
    for (; k < n; ++k) letters[k] = 0;
}

ZEM_word::ZEM_word() { attach(new ZEM_word_impl()); }

ZEM_word::ZEM_word(int length, const short* letters)
{
    attach(new_with_trailing<ZEM_word_impl, short>(static_cast<std::size_t>(length), length, letters));
}

ZEM_word::ZEM_word(const ZEM_linkedlist<ZEM_int>& list)
{
    const int length = list.n_elements();
    attach(new_with_trailing<ZEM_word_impl, short>(static_cast<std::size_t>(length), length, list));
}

ZEM_object* ZEM_word::copy_object() const { return new ZEM_word(*this); }

void ZEM_word::print(std::ostream& out) const
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    type().print(out);
    out << '(';
    for (int k = 0; k < body()->length; ++k) {
        const int letter = body()->letters[k];
        if (letter >= 1 && letter <= 26)
            out << alphabet[letter - 1];
        else if (letter >= -26 && letter <= -1)
            out << alphabet[26 - letter - 1];
        else
            out << '?';
    }
    out << ')';
}

ZEM_type ZEM_word::type() const { return tp_word(); }

ZEM_type tp_word() { return ZEM_type("word", 0); }
