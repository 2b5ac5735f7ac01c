// Platform internal: what the window manager needs from the machine under it.
// A backend only moves pixels, raw input, time and sound; everything that
// has Win32 meaning (windows, messages, hit testing) is above it.
#pragma once

#include "platform/base/desktop_keys.h"
#include "platform/base/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::backend {

// Raw input in device-screen pixels, before any window sees it.
struct InputEvent {
    enum class Kind { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Char, Close, Desktop };
    Kind kind = Kind::StylusDown;
    int x = 0;
    int y = 0;
    unsigned key = 0;     // VK_ code for KeyDown and KeyUp
    bool repeat = false;  // KeyDown: the key was already down
    char16_t ch = 0;      // Char: one UTF-16 unit of typed text
    DesktopKey desktop = DesktopKey::WheelUp;  // Desktop: a key the device has not
    std::uint64_t time = 0;  // the backend's clock when it happened
};

enum class CursorShape { Normal, Busy };

// PCM sound ready to play: interleaved signed 16-bit or unsigned 8-bit
// samples.
struct PcmSound {
    int channels = 1;
    int samplesPerSecond = 44100;
    int bitsPerSample = 16;
    std::vector<std::uint8_t> data;
};

// What was played, as kept by the headless backend for tests.
struct SoundRecord {
    enum class Kind { Wave, Beep, Stop };
    Kind kind = Kind::Wave;
    std::u16string name;    // the wave resource's name
    unsigned beepType = 0;  // MessageBeep's argument
    unsigned durationMs = 0;
    std::uint64_t atMs = 0;  // clock time when it started
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual bool is_headless() const = 0;
    // The device screen's size in pixels.
    virtual SIZE screen() const = 0;

    // Milliseconds on the backend's clock; never goes back.
    virtual std::uint64_t now_ms() = 0;
    // Lets ms pass (Sleep). The headless clock just moves on.
    virtual void sleep_ms(std::uint32_t ms) = 0;

    // The next raw input event, if one is waiting; never blocks.
    virtual bool poll_input(InputEvent& event) = 0;
    // Blocks until input may be waiting or timeoutMs have passed
    // (kNoTimeout: no limit). The headless backend asks its idle handler
    // for input, and otherwise lets virtual time run to the timeout.
    virtual void wait_input(std::uint64_t timeoutMs) = 0;

    // Shows the composed device screen.
    virtual void present(const Surface& screen) = 0;

    virtual void set_cursor(CursorShape shape) = 0;
    // Brings the program's desktop window in front of other programs.
    virtual void raise() = 0;
    // Sets the desktop window's icon from 32-bit ARGB pixels.
    virtual void set_icon(int width, int height, const std::uint32_t* argb) = 0;

    // Starts a sound, replacing any sound still playing; returns at once.
    // A backend without audio drops it silently.
    virtual void play_sound(const PcmSound& sound, const SoundRecord& record) = 0;
    virtual void stop_sound() = 0;
    // Milliseconds of sound still queued to play.
    virtual std::uint32_t sound_pending_ms() = 0;
    // What was played since the backend started, for tests and the web
    // page's state; null where nothing is kept.
    virtual const std::vector<SoundRecord>* sound_record() const { return nullptr; }
};

constexpr std::uint64_t kNoTimeout = ~std::uint64_t{0};

enum class BackendKind { Headless, Sdl2 };

// Chooses the backend before first use: the program asks for its window
// (SDL2 on the desktop, the canvas in a browser), tests
// and the script runner for headless. MAPFOLIO_BACKEND ("sdl2" or
// "headless") overrides the choice. Returns false when a backend is already
// running.
bool select(BackendKind kind);
// The running backend, started on first use (headless when nothing was
// selected).
Backend& current();
// True once a backend runs.
bool started();
// Ends the running backend (tests that start over).
void shut_down();
// Runs the given backend in place of any other.
void install(std::unique_ptr<Backend> backend);

// The device screen size: 240 x 320, or MAPFOLIO_SCREEN=WIDTHxHEIGHT.
SIZE screen_size();

std::unique_ptr<Backend> make_headless(SIZE screen);

// Makes the desktop window's backend; null, with error set, when no window
// can be opened. Only the programs that link the SDL2 backend (or, in a
// browser, the web backend) have one: it
// registers its maker as it is loaded, so the command-line tools, which
// never open a window, do not carry SDL at all.
using WindowBackendMaker = std::unique_ptr<Backend> (*)(SIZE screen, std::string* error);
void register_window_backend(WindowBackendMaker maker);

}  // namespace platform::backend
