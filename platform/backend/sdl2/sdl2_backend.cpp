// The SDL2 backend: the device screen in a resizable desktop window, scaled
// by the largest whole factor that fits and letter-boxed; the left mouse
// button as the stylus; the keyboard's cursor keys, Enter and Escape; SDL
// audio for sounds. This is the only file that includes SDL.
#include "platform/backend/backend.h"
#include "platform/base/text_convert.h"
#include "platform/base/virtual_keys.h"

#include <SDL.h>

#include <algorithm>
#include <deque>

namespace platform::backend {
namespace {

class Sdl2Backend : public Backend {
public:
    Sdl2Backend(SIZE screen) : m_screen(screen) {}
    ~Sdl2Backend() override;

    bool open(std::string* error);

    bool is_headless() const override { return false; }
    SIZE screen() const override { return m_screen; }
    std::uint64_t now_ms() override { return SDL_GetTicks64(); }
    void sleep_ms(std::uint32_t ms) override;
    bool poll_input(InputEvent& event) override;
    void wait_input(std::uint64_t timeoutMs) override;
    void present(const Surface& screen) override;
    void set_cursor(CursorShape shape) override;
    void raise() override;
    void set_icon(int width, int height, const std::uint32_t* argb) override;
    void play_sound(const PcmSound& sound, const SoundRecord& record) override;
    void stop_sound() override;
    std::uint32_t sound_pending_ms() override;

private:
    void handle(const SDL_Event& event);
    void pump();
    void redraw();
    bool to_screen(int windowX, int windowY, int& x, int& y, bool clamp);
    bool open_audio();

    SIZE m_screen;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    SDL_Cursor* m_arrow = nullptr;
    SDL_Cursor* m_wait = nullptr;
    std::deque<InputEvent> m_input;
    bool m_stylusDown = false;
    bool m_haveFrame = false;
    SDL_AudioDeviceID m_audio = 0;
    SDL_AudioSpec m_audioSpec{};
    bool m_audioTried = false;
};

Sdl2Backend::~Sdl2Backend() {
    if (m_audio) SDL_CloseAudioDevice(m_audio);
    if (m_arrow) SDL_FreeCursor(m_arrow);
    if (m_wait) SDL_FreeCursor(m_wait);
    if (m_texture) SDL_DestroyTexture(m_texture);
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_window) SDL_DestroyWindow(m_window);
    SDL_Quit();
}

bool Sdl2Backend::open(std::string* error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *error = SDL_GetError();
        return false;
    }
    // The device has pixels, not a smoothed picture: scale nearest.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // The stylus is the mouse; touches arrive as mouse events.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "1");

    int scale = 2;
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        // Room is left for the desktop window's own frame.
        scale = std::max(1, std::min((usable.w - 16) / m_screen.cx, (usable.h - 48) / m_screen.cy));
        scale = std::min(scale, 4);
    }
    m_window = SDL_CreateWindow("Mapfolio", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, m_screen.cx * scale,
                                m_screen.cy * scale, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (m_window == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    SDL_SetWindowMinimumSize(m_window, m_screen.cx, m_screen.cy);
    m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (m_renderer == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, m_screen.cx,
                                  m_screen.cy);
    if (m_texture == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    m_arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    m_wait = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    SDL_StartTextInput();
    redraw();
    return true;
}

// Where the screen sits in the window's drawable: the largest whole
// scale that fits, centred.
SDL_Rect screen_placement(SDL_Renderer* renderer, SIZE screen) {
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer, &width, &height);
    int scale = std::max(1, std::min(width / screen.cx, height / screen.cy));
    return SDL_Rect{(width - screen.cx * scale) / 2, (height - screen.cy * scale) / 2, screen.cx * scale,
                    screen.cy * scale};
}

void Sdl2Backend::redraw() {
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (m_haveFrame) {
        SDL_Rect place = screen_placement(m_renderer, m_screen);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &place);
    }
    SDL_RenderPresent(m_renderer);
}

void Sdl2Backend::present(const Surface& screen) {
    if (screen.width() != m_screen.cx || screen.height() != m_screen.cy) return;
    SDL_UpdateTexture(m_texture, nullptr, screen.pixels(), screen.width() * 4);
    m_haveFrame = true;
    redraw();
}

// Window points to screen pixels. The drawable may have more pixels than
// the window has points (high-density displays).
bool Sdl2Backend::to_screen(int windowX, int windowY, int& x, int& y, bool clamp) {
    int pointsW = 0;
    int pointsH = 0;
    int pixelsW = 0;
    int pixelsH = 0;
    SDL_GetWindowSize(m_window, &pointsW, &pointsH);
    SDL_GetRendererOutputSize(m_renderer, &pixelsW, &pixelsH);
    if (pointsW <= 0 || pointsH <= 0) return false;
    long px = static_cast<long>(windowX) * pixelsW / pointsW;
    long py = static_cast<long>(windowY) * pixelsH / pointsH;
    SDL_Rect place = screen_placement(m_renderer, m_screen);
    int scale = place.w / m_screen.cx;
    long sx = px - place.x;
    long sy = py - place.y;
    // Floor division, so that the row left of the screen is -1, not 0.
    sx = sx >= 0 ? sx / scale : -((-sx + scale - 1) / scale);
    sy = sy >= 0 ? sy / scale : -((-sy + scale - 1) / scale);
    bool inside = sx >= 0 && sy >= 0 && sx < m_screen.cx && sy < m_screen.cy;
    if (!inside && !clamp) return false;
    // A stylus dragged off the glass stops at its edge.
    x = static_cast<int>(std::clamp<long>(sx, 0, m_screen.cx - 1));
    y = static_cast<int>(std::clamp<long>(sy, 0, m_screen.cy - 1));
    return true;
}

unsigned virtual_key(SDL_Keycode key) {
    switch (key) {
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    // Shift turns Tab backwards in a dialog.
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    default: return 0;
    }
}

// A key of the desktop that stands for a menu-bar button, with the
// modifiers it needs and none that would make it another shortcut.
bool desktop_key(const SDL_Keysym& key, DesktopKey& out) {
    const bool ctrl = (key.mod & KMOD_CTRL) != 0;
    const bool other = (key.mod & (KMOD_ALT | KMOD_GUI | KMOD_SHIFT)) != 0;
    if (other) return false;
    switch (key.sym) {
    case SDLK_BACKSPACE: out = DesktopKey::Backspace; return !ctrl;
    case SDLK_HOME: out = DesktopKey::Home; return !ctrl;
    case SDLK_F1: out = DesktopKey::F1; return !ctrl;
    case SDLK_f: out = DesktopKey::CtrlF; return ctrl;
    case SDLK_q: out = DesktopKey::CtrlQ; return ctrl;
    default: return false;
    }
}

void Sdl2Backend::handle(const SDL_Event& event) {
    InputEvent input;
    input.time = SDL_GetTicks64();
    switch (event.type) {
    case SDL_QUIT:
        input.kind = InputEvent::Kind::Close;
        m_input.push_back(input);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            input.kind = InputEvent::Kind::Close;
            m_input.push_back(input);
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            redraw();
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button != SDL_BUTTON_LEFT || m_stylusDown) break;
        if (!to_screen(event.button.x, event.button.y, input.x, input.y, false)) break;
        m_stylusDown = true;
        input.kind = InputEvent::Kind::StylusDown;
        m_input.push_back(input);
        break;
    case SDL_MOUSEMOTION:
        // Without the button down there is no stylus on the screen.
        if (!m_stylusDown) break;
        to_screen(event.motion.x, event.motion.y, input.x, input.y, true);
        input.kind = InputEvent::Kind::StylusMove;
        m_input.push_back(input);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT || !m_stylusDown) break;
        m_stylusDown = false;
        to_screen(event.button.x, event.button.y, input.x, input.y, true);
        input.kind = InputEvent::Kind::StylusUp;
        m_input.push_back(input);
        break;
    case SDL_MOUSEWHEEL: {
        int steps = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
        if (steps == 0) break;
        input.kind = InputEvent::Kind::Desktop;
        input.desktop = steps > 0 ? DesktopKey::WheelUp : DesktopKey::WheelDown;
        m_input.push_back(input);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // A desktop shortcut never reaches the program as a key; like a tap
        // on its button it acts once as it goes down, not on auto-repeat.
        if (desktop_key(event.key.keysym, input.desktop)) {
            if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
                input.kind = InputEvent::Kind::Desktop;
                m_input.push_back(input);
            }
        } else if (unsigned vk = virtual_key(event.key.keysym.sym)) {
            input.kind = event.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
            input.key = vk;
            input.repeat = event.key.repeat != 0;
            m_input.push_back(input);
        }
        break;
    case SDL_TEXTINPUT:
        for (char16_t ch : from_utf8(event.text.text)) {
            input.kind = InputEvent::Kind::Char;
            input.ch = ch;
            m_input.push_back(input);
        }
        break;
    default:
        break;
    }
}

void Sdl2Backend::pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(event);
}

bool Sdl2Backend::poll_input(InputEvent& event) {
    if (m_input.empty()) pump();
    if (m_input.empty()) return false;
    event = m_input.front();
    m_input.pop_front();
    return true;
}

void Sdl2Backend::wait_input(std::uint64_t timeoutMs) {
    if (!m_input.empty()) return;
    // Wake now and then even without input, so that a second copy asking
    // for this one is answered.
    constexpr std::uint64_t kLongestWait = 100;
    int wait = static_cast<int>(std::min(timeoutMs, kLongestWait));
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, wait)) {
        handle(event);
        pump();
    }
}

void Sdl2Backend::sleep_ms(std::uint32_t ms) {
    std::uint64_t end = SDL_GetTicks64() + ms;
    // The window keeps answering its desktop (exposure, resizing) during
    // the pause; input stays in SDL's queue for the program to take later.
    for (;;) {
        std::uint64_t now = SDL_GetTicks64();
        if (now >= end) break;
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) > 0) handle(event);
        SDL_Delay(static_cast<Uint32>(std::min<std::uint64_t>(end - now, 20)));
    }
}

void Sdl2Backend::set_cursor(CursorShape shape) {
    SDL_Cursor* cursor = shape == CursorShape::Busy ? m_wait : m_arrow;
    if (cursor) SDL_SetCursor(cursor);
}

void Sdl2Backend::raise() {
    SDL_RestoreWindow(m_window);
    SDL_RaiseWindow(m_window);
}

void Sdl2Backend::set_icon(int width, int height, const std::uint32_t* argb) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(m_window, icon);
    SDL_FreeSurface(icon);
}

bool Sdl2Backend::open_audio() {
    if (m_audioTried) return m_audio != 0;
    m_audioTried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    m_audio = SDL_OpenAudioDevice(nullptr, 0, &want, &m_audioSpec, 0);
    if (m_audio == 0) return false;
    SDL_PauseAudioDevice(m_audio, 0);
    return true;
}

void Sdl2Backend::play_sound(const PcmSound& sound, const SoundRecord&) {
    // No device: the program runs on silently.
    if (!open_audio()) return;
    SDL_AudioCVT convert;
    SDL_AudioFormat format = sound.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    if (SDL_BuildAudioCVT(&convert, format, static_cast<Uint8>(sound.channels), sound.samplesPerSecond,
                          m_audioSpec.format, m_audioSpec.channels, m_audioSpec.freq) < 0)
        return;
    std::vector<std::uint8_t> buffer(sound.data.size() * static_cast<std::size_t>(std::max(1, convert.len_mult)));
    std::copy(sound.data.begin(), sound.data.end(), buffer.begin());
    convert.buf = buffer.data();
    convert.len = static_cast<int>(sound.data.size());
    if (convert.needed && SDL_ConvertAudio(&convert) != 0) return;
    int length = convert.needed ? convert.len_cvt : convert.len;
    SDL_ClearQueuedAudio(m_audio);
    SDL_QueueAudio(m_audio, buffer.data(), static_cast<Uint32>(length));
}

void Sdl2Backend::stop_sound() {
    if (m_audio) SDL_ClearQueuedAudio(m_audio);
}

std::uint32_t Sdl2Backend::sound_pending_ms() {
    if (!m_audio) return 0;
    Uint32 bytes = SDL_GetQueuedAudioSize(m_audio);
    int frame = m_audioSpec.channels * static_cast<int>(SDL_AUDIO_BITSIZE(m_audioSpec.format) / 8);
    if (frame <= 0 || m_audioSpec.freq <= 0) return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(bytes / frame) * 1000 / m_audioSpec.freq);
}

}  // namespace

std::unique_ptr<Backend> make_sdl2(SIZE screen, std::string* error) {
    auto backend = std::make_unique<Sdl2Backend>(screen);
    if (!backend->open(error)) return nullptr;
    return backend;
}

// Linking this file is what gives a program its desktop window; the
// program's build links it whole, so this runs before main.
const bool kRegistered = (register_window_backend(make_sdl2), true);

}  // namespace platform::backend
