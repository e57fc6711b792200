// The one way to fail: _zem_error_ (through ZEM_FAIL) throws "run-time exception: " + message + "\n"
// as a ZEM_string. The one way to tell the user something: `message`, through
// the alert seam that the program (a real dialog) or a test (a recorder) installs.
#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

// `file` and `line` name the caller and are not shown: ZEM_FAIL passes them.
[[noreturn]] void _zem_error_(const char* file, int line, const char* message);
[[noreturn]] void _zem_error_(const char* file, int line, const std::string& message);

// The build maps the source directory away, so __FILE__ is a path inside the project.
#define ZEM_FAIL(message) _zem_error_(__FILE__, __LINE__, (message))

class ZEM_string;
// Whether `failure`, as _zem_error_ threw it, carries exactly `message`.
bool failed_with(const ZEM_string& failure, const char* message);

// Copies a failure's text into `place` and returns it there; where not even the
// copy fits, the text of the failure "out of memory", which needs no memory.
const char* failure_text(std::string& place, const char* text) noexcept;

// Runs `work`; a standard container that cannot allocate inside it fails as
// every other allocation of the system does, with "out of memory".
template <class Work>
void failing_as_out_of_memory(Work&& work)
{
    try {
        work();
    } catch (const std::bad_alloc&) {
        ZEM_FAIL("out of memory");
    }
}

// Room for the toolkit to draw an alert, question or pop-up: a few megabytes
// of address space held back once hold_alert_reserve has been called (the
// program does at start-up) and given back while an alert_room lives, so that
// the alert can be drawn where a failure left no room. It is taken again when
// the last room ends; where it cannot be (the toolkit keeps part of what it
// used, or memory has filled meanwhile), a room has room only if the reserve
// can be taken at that moment.
void hold_alert_reserve() noexcept;
class alert_room {
public:
    // A room for what needs `more` bytes beyond the reserve (a pop-up of many
    // entries) has room only if that much address space is free besides.
    explicit alert_room(std::size_t more = 0) noexcept;
    ~alert_room();
    alert_room(const alert_room&) = delete;
    alert_room& operator=(const alert_room&) = delete;
    // Whether the toolkit may draw now; always where no reserve is held back.
    explicit operator bool() const noexcept { return room_; }

private:
    bool room_ = true;
};
// Whether the reserve is held now.
bool alert_reserve_held() noexcept;

// Every alert, beep and modal question of the program passes here, so that tests
// can answer or record them instead of blocking.
class alert_seam {
public:
    virtual ~alert_seam();
    // Returns when the user has closed the alert.
    virtual void show_alert(const std::string& text) = 0;
    // The same for the text of a failure; a seam that withholds alerts still
    // lets the user learn of a failure. By default, an alert.
    virtual void show_failure(const std::string& text);
    // A modal question titled `title` with one button per label; the index of
    // the button pressed, or -1 when the question was closed without one.
    virtual int ask_choice(const std::string& title, const std::vector<std::string>& buttons);
    // A modal selection pop-up titled `title`: one button per entry, then
    // "cancel". Pressing entry k runs `pressed(k)` while the pop-up stays open,
    // so it may open further pop-ups over this one; the pop-up closes when that
    // returns true. The index that closed it, or -1 for "cancel" or a close
    // through the window frame. A failure of `pressed` closes it and passes on.
    // By default each press that leaves it open asks `ask_choice` again.
    virtual int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                              const std::function<bool(int)>& pressed);
    // A modal line of text under `prompt`; nothing when the user cancelled.
    virtual std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial);
    virtual void beep();
};

// Installs `seam` (not owned) and returns the one it replaces, which may be the
// fallback; null restores the fallback, which writes the text to the standard
// error stream.
alert_seam* install_alert_seam(alert_seam* seam);

// An alert that cannot be built for want of memory, or that its seam has no
// room to draw (it throws std::bad_alloc), is written to the standard error
// stream instead, and the program goes on.
void message(const char* text);
// The same for a failure, which reaches the user even where its alert is
// withheld: it is written to the standard error stream then.
void failure_message(const char* text);
// Writes the text, and a line break where it ends without one, to the standard
// error stream; needs no memory.
void write_to_error_stream(const char* text) noexcept;
int ask_choice(const std::string& title, const std::vector<std::string>& buttons);
int ask_selection(const std::string& title, const std::vector<std::string>& entries,
                  const std::function<bool(int)>& pressed);
std::optional<std::string> ask_text(const std::string& prompt, const std::string& initial);
void beep();
