#include "platform/backend/headless/headless_backend.h"

#include <cstdio>
#include <cstdlib>

namespace platform::backend {

bool HeadlessBackend::poll_input(InputEvent& event) {
    if (m_input.empty()) return false;
    event = m_input.front();
    m_input.pop_front();
    return true;
}

void HeadlessBackend::wait_input(std::uint64_t timeoutMs) {
    if (m_idle && m_idle()) return;
    if (timeoutMs == kNoTimeout) {
        // Nobody will ever give input: a test or script forgot a step, or the
        // program waits where it should not. Hanging would hide which.
        std::fprintf(stderr,
                     "headless: the program waits for input, but no input, idle handler or timer will come\n");
        std::abort();
    }
    m_clock += timeoutMs;
}

void HeadlessBackend::present(const Surface& screen) {
    m_frame = screen;
    ++m_presents;
}

void HeadlessBackend::play_sound(const PcmSound&, const SoundRecord& record) {
    SoundRecord kept = record;
    kept.atMs = m_clock;
    m_sounds.push_back(kept);
    m_soundEnd = m_clock + record.durationMs;
}

void HeadlessBackend::stop_sound() {
    SoundRecord record;
    record.kind = SoundRecord::Kind::Stop;
    record.atMs = m_clock;
    m_sounds.push_back(record);
    m_soundEnd = m_clock;
}

std::uint32_t HeadlessBackend::sound_pending_ms() {
    return m_soundEnd > m_clock ? static_cast<std::uint32_t>(m_soundEnd - m_clock) : 0;
}

std::unique_ptr<Backend> make_headless(SIZE screen) { return std::make_unique<HeadlessBackend>(screen); }

}  // namespace platform::backend
