// A string stream whose text is whole or not there at all: where the text
// cannot grow for want of memory, the output fails with std::bad_alloc, as
// every allocation of the system may, instead of going on with the text
// silently cut short (which a file, a page or a message would then carry).
#pragma once

#include <sstream>

class text_stream : public std::ostringstream {
public:
    text_stream() { exceptions(std::ios::badbit); }
};
