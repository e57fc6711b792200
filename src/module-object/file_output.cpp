#include "module-object/file_output.h"

#include <cerrno>
#include <unistd.h>

bool write_all(int file, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(file, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        done += std::size_t(written);
    }
    return true;
}
