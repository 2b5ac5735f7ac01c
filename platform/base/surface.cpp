#include "platform/base/surface.h"

#include <algorithm>

namespace platform {

void Surface::resize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_pixels.assign(static_cast<std::size_t>(m_width) * m_height, 0x00FFFFFFu);
}

void Surface::fill(std::uint32_t xrgb) { std::fill(m_pixels.begin(), m_pixels.end(), xrgb); }

}  // namespace platform
