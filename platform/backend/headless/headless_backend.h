// Platform internal: the headless backend. The screen lives in memory, the
// clock is virtual and input is injected by tests and the script runner.
#pragma once

#include "platform/backend/backend.h"

#include <deque>
#include <functional>

namespace platform::backend {

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(SIZE screen) : m_screen(screen) {}

    bool is_headless() const override { return true; }
    SIZE screen() const override { return m_screen; }
    std::uint64_t now_ms() override { return m_clock; }
    void sleep_ms(std::uint32_t ms) override { m_clock += ms; }
    bool poll_input(InputEvent& event) override;
    void wait_input(std::uint64_t timeoutMs) override;
    void present(const Surface& screen) override;
    void set_cursor(CursorShape shape) override { m_busy = shape == CursorShape::Busy; }
    void raise() override { ++m_raises; }
    void set_icon(int, int, const std::uint32_t*) override {}
    void play_sound(const PcmSound& sound, const SoundRecord& record) override;
    void stop_sound() override;
    std::uint32_t sound_pending_ms() override;
    const std::vector<SoundRecord>* sound_record() const override { return &m_sounds; }

    void advance(std::uint64_t ms) { m_clock += ms; }
    void inject(InputEvent event) {
        event.time = m_clock;
        m_input.push_back(event);
    }
    void set_idle_handler(std::function<bool()> handler) { m_idle = std::move(handler); }

    const Surface& frame() const { return m_frame; }
    int present_count() const { return m_presents; }
    const std::vector<SoundRecord>& sounds() const { return m_sounds; }
    void clear_sounds() { m_sounds.clear(); }
    bool busy() const { return m_busy; }
    int raises() const { return m_raises; }

private:
    SIZE m_screen;
    std::uint64_t m_clock = 0;
    std::deque<InputEvent> m_input;
    std::function<bool()> m_idle;
    Surface m_frame;
    int m_presents = 0;
    std::vector<SoundRecord> m_sounds;
    std::uint64_t m_soundEnd = 0;
    bool m_busy = false;
    int m_raises = 0;
};

}  // namespace platform::backend
