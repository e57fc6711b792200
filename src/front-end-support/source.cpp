#include "front-end-support/source.h"
#include "front-end-support/system.h"

#include <cerrno>
#include <unistd.h>
#include <unordered_map>

namespace {

// A byte read ahead after a block ending in a carriage return, per open file.
std::unordered_map<int, char>& held_bytes()
{
    static std::unordered_map<int, char> held;
    return held;
}

int read_some(int file, char* buffer, int size)
{
    for (;;) {
        ssize_t n = ::read(file, buffer, static_cast<std::size_t>(size));
        if (n >= 0 || errno != EINTR) return static_cast<int>(n);
    }
}

// Drops every carriage return that a line feed follows within buffer[0 .. n).
int drop_carriage_returns(char* buffer, int n)
{
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (!(buffer[i] == '\r' && i + 1 < n && buffer[i + 1] == '\n')) buffer[kept++] = buffer[i];
    return kept;
}

}

// Devices are read as files: /dev/null is empty, and one that never ends
// (/dev/zero) is stopped by the scanner's cap on alerts or by a read error. A
// named pipe waits for its writer, as any reader of it does. A directory opens
// and fails at the first read.
int BeginSource(const char* file_name) { return OpenInput(file_name); }

int GetLine(int file, char* buffer, int size)
{
    int n = 0;
    auto& held = held_bytes();
    if (auto h = held.find(file); h != held.end()) {
        buffer[n++] = h->second;
        held.erase(h);
    }
    if (n < size) {
        int got = read_some(file, buffer + n, size - n);
        if (got < 0 && n == 0) return got;
        if (got > 0) n += got;
    }
    n = drop_carriage_returns(buffer, n);
    // A carriage return at the end of the block: look at the byte after it.
    if (n > 0 && buffer[n - 1] == '\r') {
        char next;
        if (read_some(file, &next, 1) == 1) {
            if (next == '\n')
                buffer[n - 1] = '\n';
            else
                held[file] = next;
        }
    }
    return n;
}

void CloseSource(int file)
{
    held_bytes().erase(file);
    Close(file);
}
