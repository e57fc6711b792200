#include "module-object/error.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <utility>

#include "module-object/string.h"

namespace {

// Building the text would need the memory that has run out.
const char out_of_memory[] = "run-time exception: out of memory\n";

}

void _zem_error_(const char*, int, const char* message)
{
    if (message && std::strcmp(message, "out of memory") == 0) throw ZEM_string::borrowed(out_of_memory);
    throw ZEM_string("run-time exception: ") + ZEM_string(message) + ZEM_string("\n");
}

void _zem_error_(const char* file, int line, const std::string& message)
{
    _zem_error_(file, line, message.c_str());
}

bool failed_with(const ZEM_string& failure, const char* message)
{
    const std::string_view text = failure.c_str(), prefix = "run-time exception: ";
    return text.starts_with(prefix) && text.ends_with('\n') &&
           text.substr(prefix.size(), text.size() - prefix.size() - 1) == message;
}

const char* failure_text(std::string& place, const char* text) noexcept
{
    try {
        place = text;
        return place.c_str();
    } catch (const std::bad_alloc&) {
        return out_of_memory;
    }
}

alert_seam::~alert_seam() = default;

// Without anyone to answer, every question is closed unanswered.
int alert_seam::ask_choice(const std::string&, const std::vector<std::string>&) { return -1; }
std::optional<std::string> alert_seam::ask_text(const std::string&, const std::string&) { return std::nullopt; }

int alert_seam::ask_selection(const std::string& title, const std::vector<std::string>& entries,
                              const std::function<bool(int)>& pressed)
{
    std::vector<std::string> buttons = entries;
    buttons.push_back("cancel");
    for (;;) {
        const int k = ask_choice(title, buttons);
        if (k < 0 || k >= int(entries.size())) return -1;
        if (pressed(k)) return k;
    }
}

void alert_seam::show_failure(const std::string& text) { show_alert(text); }

void alert_seam::beep() {}

namespace {

class stderr_alerts : public alert_seam {
public:
    void show_alert(const std::string& text) override { std::cerr << text << std::flush; }
};

stderr_alerts fallback_alerts;
alert_seam* current_alerts = &fallback_alerts;

}

namespace {

// Mapped apart from the heap, so that giving it back returns address space to
// the system, where the toolkit maps its fonts, not only to the heap's free lists.
constexpr std::size_t reserve_size = std::size_t(8) << 20;
void* reserve = nullptr;
bool reserve_wanted = false;
int rooms = 0;
bool outermost_room = false;

void* map_reserve() noexcept
{
    void* block = ::mmap(nullptr, reserve_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void take_reserve() noexcept
{
    // Without room now, the next alert tries again.
    if (!reserve && reserve_wanted && rooms == 0) reserve = map_reserve();
}

// Whether `size` bytes of address space are free now.
bool free_now(std::size_t size) noexcept
{
    void* block = ::mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) return false;
    ::munmap(block, size);
    return true;
}

}

void hold_alert_reserve() noexcept
{
    reserve_wanted = true;
    take_reserve();
}

alert_room::alert_room(std::size_t more) noexcept
{
    if (!reserve_wanted) {
        ++rooms;
        return;
    }
    if (rooms++ > 0) {
        // The outermost room has given the reserve back already, and what
        // followed may have used some of it.
        room_ = outermost_room;
    } else {
        // Taken now where it was not held: then the room is there too.
        if (!reserve) reserve = map_reserve();
        room_ = outermost_room = reserve != nullptr;
        if (reserve) ::munmap(std::exchange(reserve, nullptr), reserve_size);
    }
    if (room_ && more > 0) room_ = more <= SIZE_MAX - reserve_size && free_now(reserve_size + more);
}

alert_room::~alert_room()
{
    --rooms;
    take_reserve();
}

bool alert_reserve_held() noexcept { return reserve != nullptr; }

alert_seam* install_alert_seam(alert_seam* seam)
{
    alert_seam* previous = current_alerts;
    current_alerts = seam ? seam : &fallback_alerts;
    return previous;
}

namespace {

void show(const char* text, void (alert_seam::*shown)(const std::string&))
{
    if (!text) text = "";
    try {
        // Every alert has the reserve's room, whatever it says; a seam that
        // draws asks for a room of its own too, and draws only with room.
        const alert_room room;
        (current_alerts->*shown)(text);
    } catch (const std::bad_alloc&) {
        // Written with no memory of its own, so the user still reads it.
        write_to_error_stream(text);
    }
}

}

void write_to_error_stream(const char* text) noexcept
{
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}

void message(const char* text) { show(text, &alert_seam::show_alert); }

void failure_message(const char* text) { show(text, &alert_seam::show_failure); }

int ask_choice(const std::string& title, const std::vector<std::string>& buttons)
{
    return current_alerts->ask_choice(title, buttons);
}

int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                  const std::function<bool(int)>& pressed)
{
    return current_alerts->ask_selection(title, entries, pressed);
}

std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial)
{
    return current_alerts->ask_text(prompt, initial);
}

void beep() { current_alerts->beep(); }
