// The web backend: the device screen on a <canvas> in a browser page. Pointer
// Events (mouse, pen and touch alike) are the stylus, the keyboard gives
// the device's keys and the desktop shortcuts, Web Audio plays the sounds and
// performance.now() is the clock. Waiting for input yields to the browser
// through Asyncify, so an idle page runs nothing. The page's side of it is
// web_screen.js, reached here as Module.webScreen; this file and that one
// are all the platform knows of the browser.
#include "platform/backend/backend.h"
#include "platform/base/virtual_keys.h"

#include <emscripten.h>
#include <wasm_simd128.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform::backend {
namespace {

// One raw event as web_screen.js hands it over.
struct RawEvent {
    enum Kind : std::int32_t { Down, Move, Up, KeyDown, KeyUp, Char, Wheel };
    std::int32_t kind;
    std::int32_t x;  // device pixels, possibly off the screen
    std::int32_t y;
    std::int32_t key;  // the key's Windows virtual-key code; Wheel: +1 up, -1 down
    std::int32_t flags;
    std::int32_t ch;  // Char: one UTF-16 unit
};
constexpr std::int32_t kRepeat = 1;
constexpr std::int32_t kCtrl = 2;
constexpr std::int32_t kAlt = 4;
constexpr std::int32_t kShift = 8;
constexpr std::int32_t kMeta = 16;
constexpr int kVkF1 = 0x70;

// clang-format off
EM_JS(int, web_take_event, (void* event), { return Module.webScreen.takeEvent(event); });
EM_ASYNC_JS(void, web_wait, (double timeoutMs), { await Module.webScreen.wait(timeoutMs); });
EM_JS(void, web_present, (const void* rgba, int width, int height, int top, int rows), {
    Module.webScreen.present(rgba, width, height, top, rows);
});
EM_JS(void, web_set_busy, (int busy), { Module.webScreen.setBusy(busy); });
EM_JS(void, web_set_icon, (const void* rgba, int width, int height), {
    Module.webScreen.setIcon(rgba, width, height);
});
EM_JS(void, web_play, (const void* samples, int bytes, int channels, int rate, int bits), {
    Module.webScreen.play(samples, bytes, channels, rate, bits);
});
EM_JS(void, web_stop_sound, (), { Module.webScreen.stopSound(); });
// clang-format on

// The device's keys, as the SDL window takes them.
unsigned device_key(int vk) {
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_TAB:
    case VK_DELETE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_SHIFT: return static_cast<unsigned>(vk);
    default: return 0;
    }
}

// A key of the desktop that stands for a menu-bar button, with the
// modifiers it needs and none that would make it another shortcut.
bool desktop_key(int vk, std::int32_t flags, DesktopKey& out) {
    const bool ctrl = (flags & kCtrl) != 0;
    if (flags & (kAlt | kMeta | kShift)) return false;
    switch (vk) {
    case VK_BACK: out = DesktopKey::Backspace; return !ctrl;
    case VK_HOME: out = DesktopKey::Home; return !ctrl;
    case kVkF1: out = DesktopKey::F1; return !ctrl;
    case 'F': out = DesktopKey::CtrlF; return ctrl;
    case 'Q': out = DesktopKey::CtrlQ; return ctrl;
    default: return false;
    }
}

class WebBackend : public Backend {
public:
    explicit WebBackend(SIZE screen) : m_screen(screen) {}

    bool is_headless() const override { return false; }
    SIZE screen() const override { return m_screen; }
    std::uint64_t now_ms() override;
    void sleep_ms(std::uint32_t ms) override;
    bool poll_input(InputEvent& event) override;
    void wait_input(std::uint64_t timeoutMs) override;
    void present(const Surface& screen) override;
    void set_cursor(CursorShape shape) override { web_set_busy(shape == CursorShape::Busy); }
    void raise() override {}
    void set_icon(int width, int height, const std::uint32_t* argb) override;
    void play_sound(const PcmSound& sound, const SoundRecord& record) override;
    void stop_sound() override;
    std::uint32_t sound_pending_ms() override;
    const std::vector<SoundRecord>* sound_record() const override { return &m_sounds; }

private:
    // Turns one raw event into input; false when it means nothing here.
    bool translate(const RawEvent& raw, InputEvent& event);
    // Hands the sound played last to the page, if it has not started yet.
    void start_sound();

    SIZE m_screen;
    bool m_stylusDown = false;
    SIZE m_shownSize{0, 0};  // the canvas's, once a frame is on it
    std::vector<std::uint8_t> m_rgba;  // the frame on the canvas, as it takes it
    std::vector<SoundRecord> m_sounds;
    // The sound played last. It starts once the program yields, after the
    // frame that goes with it: the page would take its time before that.
    PcmSound m_sound;
    bool m_soundWaiting = false;
    double m_soundEnd = 0;  // when it ends, on the page's clock
};

std::uint64_t WebBackend::now_ms() {
    // performance.now() starts near 0 with the page and never goes back.
    return static_cast<std::uint64_t>(emscripten_get_now());
}

bool WebBackend::translate(const RawEvent& raw, InputEvent& event) {
    event = InputEvent{};
    event.time = now_ms();
    const bool inside = raw.x >= 0 && raw.y >= 0 && raw.x < m_screen.cx && raw.y < m_screen.cy;
    // A stylus dragged off the glass stops at its edge.
    event.x = std::clamp<int>(raw.x, 0, m_screen.cx - 1);
    event.y = std::clamp<int>(raw.y, 0, m_screen.cy - 1);
    switch (raw.kind) {
    case RawEvent::Down:
        if (m_stylusDown || !inside) return false;
        m_stylusDown = true;
        event.kind = InputEvent::Kind::StylusDown;
        return true;
    case RawEvent::Move:
        // Without the stylus on the glass there is nothing to move.
        if (!m_stylusDown) return false;
        event.kind = InputEvent::Kind::StylusMove;
        return true;
    case RawEvent::Up:
        if (!m_stylusDown) return false;
        m_stylusDown = false;
        event.kind = InputEvent::Kind::StylusUp;
        return true;
    case RawEvent::Wheel:
        event.kind = InputEvent::Kind::Desktop;
        event.desktop = raw.key > 0 ? DesktopKey::WheelUp : DesktopKey::WheelDown;
        return true;
    case RawEvent::KeyDown:
    case RawEvent::KeyUp:
        // A desktop shortcut never reaches the program as a key; it acts
        // once as it goes down, not on auto-repeat.
        if (desktop_key(raw.key, raw.flags, event.desktop)) {
            event.kind = InputEvent::Kind::Desktop;
            return raw.kind == RawEvent::KeyDown && !(raw.flags & kRepeat);
        }
        event.key = device_key(raw.key);
        event.kind = raw.kind == RawEvent::KeyDown ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        event.repeat = (raw.flags & kRepeat) != 0;
        return event.key != 0;
    case RawEvent::Char:
        event.kind = InputEvent::Kind::Char;
        event.ch = static_cast<char16_t>(raw.ch);
        return true;
    default: return false;
    }
}

bool WebBackend::poll_input(InputEvent& event) {
    RawEvent raw{};
    while (web_take_event(&raw)) {
        if (translate(raw, event)) return true;
    }
    return false;
}

void WebBackend::wait_input(std::uint64_t timeoutMs) {
    start_sound();
    // The browser runs the page meanwhile; an event or the timeout ends the
    // wait. No timeout: the page sleeps until the user does something.
    web_wait(timeoutMs == kNoTimeout ? -1.0 : static_cast<double>(timeoutMs));
}

void WebBackend::sleep_ms(std::uint32_t ms) {
    start_sound();
    emscripten_sleep(ms);
}

// 0x00RRGGBB or 0xAARRGGBB pixels as the canvas takes them: R, G, B, A
// bytes. Four pixels at a time: their bytes B, G, R, X swapped round.
v128_t rgba4(const std::uint32_t* pixels, v128_t alpha) {
    const v128_t bgrx = wasm_v128_load(pixels);
    return wasm_v128_or(wasm_i8x16_shuffle(bgrx, bgrx, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15), alpha);
}

std::uint32_t rgba1(std::uint32_t pixel, bool opaque) {
    const std::uint32_t alpha = opaque ? 0xFFu : pixel >> 24;
    return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16 | alpha << 24;
}

v128_t alpha_bits(bool opaque) { return wasm_i32x4_splat(opaque ? static_cast<std::int32_t>(0xFF000000u) : 0); }

void to_rgba(const std::uint32_t* pixels, std::size_t count, bool opaque, std::uint8_t* out) {
    const v128_t alpha = alpha_bits(opaque);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) wasm_v128_store(out + 4 * i, rgba4(pixels + i, alpha));
    for (; i < count; ++i) {
        const std::uint32_t pixel = rgba1(pixels[i], opaque);
        std::memcpy(out + 4 * i, &pixel, 4);
    }
}

// Whether a row of opaque pixels is already on the canvas as these RGBA
// bytes, compared 16 bytes at a time.
bool shown_as(const std::uint32_t* pixels, const std::uint8_t* rgba, int count) {
    const v128_t alpha = alpha_bits(true);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        if (wasm_v128_any_true(wasm_v128_xor(rgba4(pixels + i, alpha), wasm_v128_load(rgba + 4 * i)))) return false;
    }
    for (; i < count; ++i) {
        const std::uint32_t pixel = rgba1(pixels[i], true);
        if (std::memcmp(rgba + 4 * i, &pixel, 4) != 0) return false;
    }
    return true;
}

void WebBackend::present(const Surface& screen) {
    const int width = screen.width();
    const int height = screen.height();
    // Only the rows that differ from the canvas's are converted and put
    // there: putting pixels on it costs the browser more than anything here.
    // The RGBA copy is the record of what the canvas holds.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    int top = 0;
    int bottom = height;
    if (m_shownSize.cx == width && m_shownSize.cy == height) {
        while (top < height && shown_as(screen.row(top), &m_rgba[top * rowBytes], width)) ++top;
        while (bottom > top && shown_as(screen.row(bottom - 1), &m_rgba[(bottom - 1) * rowBytes], width)) --bottom;
        if (top == bottom) return;
    } else {
        m_shownSize = SIZE{width, height};
        m_rgba.resize(rowBytes * height);
    }
    for (int y = top; y < bottom; ++y) to_rgba(screen.row(y), static_cast<std::size_t>(width), true, &m_rgba[y * rowBytes]);
    web_present(m_rgba.data(), width, height, top, bottom - top);
}

void WebBackend::set_icon(int width, int height, const std::uint32_t* argb) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    to_rgba(argb, static_cast<std::size_t>(width) * height, false, rgba.data());
    web_set_icon(rgba.data(), width, height);
}

void WebBackend::play_sound(const PcmSound& sound, const SoundRecord& record) {
    SoundRecord kept = record;
    kept.atMs = now_ms();
    m_sounds.push_back(kept);
    // The sound still playing, if any, stops as this one starts.
    m_sound = sound;
    const int frameBytes = sound.channels * (sound.bitsPerSample == 8 ? 1 : 2);
    const std::size_t frames = frameBytes > 0 ? sound.data.size() / frameBytes : 0;
    m_soundWaiting = frames > 0 && sound.samplesPerSecond > 0;
    m_soundEnd = emscripten_get_now() + (m_soundWaiting ? frames * 1000.0 / sound.samplesPerSecond : 0);
}

void WebBackend::start_sound() {
    if (!m_soundWaiting) return;
    m_soundWaiting = false;
    web_play(m_sound.data.data(), static_cast<int>(m_sound.data.size()), m_sound.channels, m_sound.samplesPerSecond,
             m_sound.bitsPerSample);
}

void WebBackend::stop_sound() {
    SoundRecord record;
    record.kind = SoundRecord::Kind::Stop;
    record.atMs = now_ms();
    m_sounds.push_back(record);
    m_soundWaiting = false;
    m_soundEnd = 0;
    web_stop_sound();
}

std::uint32_t WebBackend::sound_pending_ms() {
    return static_cast<std::uint32_t>(std::max(0.0, m_soundEnd - emscripten_get_now()));
}

std::unique_ptr<Backend> make_web(SIZE screen, std::string*) { return std::make_unique<WebBackend>(screen); }

// As the SDL window does on the desktop, the canvas registers itself as the
// program's window when the page's program is linked with it.
const bool kRegistered = (register_window_backend(make_web), true);

}  // namespace
}  // namespace platform::backend
