#include "platform/controls/item_store.h"

#include "platform/base/unicode_text.h"

#include <algorithm>

namespace platform::controls {
namespace {

// A chunk splits in two halves when it grows past this many items: small
// enough that an insertion moves little, large enough that there are few
// chunks to step over.
constexpr std::size_t kMaxChunk = 1024;

}  // namespace

ItemStore::Place ItemStore::locate(int index) const {
    // The last chunk that starts at or before index.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    const auto chunk = static_cast<std::size_t>(it - m_starts.begin()) - 1;
    return Place{chunk, static_cast<std::size_t>(index - m_starts[chunk])};
}

std::uint32_t ItemStore::allocate(std::u16string text) {
    if (!m_free.empty()) {
        const std::uint32_t id = m_free.back();
        m_free.pop_back();
        m_pool[id] = ListItem{std::move(text), 0};
        return id;
    }
    m_pool.push_back(ListItem{std::move(text), 0});
    return static_cast<std::uint32_t>(m_pool.size() - 1);
}

void ItemStore::rebuild_starts() {
    m_starts.resize(m_chunks.size());
    int start = 0;
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
        m_starts[c] = start;
        start += static_cast<int>(m_chunks[c].size());
    }
}

int ItemStore::insert_into(std::size_t chunk, std::size_t offset, std::uint32_t id) {
    if (m_chunks.empty()) {
        m_chunks.emplace_back();
        m_starts.push_back(0);
    }
    std::vector<std::uint32_t>& ids = m_chunks[chunk];
    ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(offset), id);
    const int index = m_starts[chunk] + static_cast<int>(offset);
    ++m_count;
    if (ids.size() > kMaxChunk) {
        std::vector<std::uint32_t> upper(ids.begin() + kMaxChunk / 2, ids.end());
        ids.resize(kMaxChunk / 2);
        m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, std::move(upper));
        rebuild_starts();
    } else {
        for (std::size_t c = chunk + 1; c < m_starts.size(); ++c) ++m_starts[c];
    }
    return index;
}

int ItemStore::insert_sorted(std::u16string text) {
    const std::uint32_t id = allocate(std::move(text));
    const std::u16string_view key = m_pool[id].text;
    const auto after = [this, key](std::uint32_t other) { return compare_without_case(key, m_pool[other].text) < 0; };
    // The first chunk whose last item sorts after the text, else the last.
    std::size_t lo = 0;
    std::size_t hi = m_chunks.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (after(m_chunks[mid].back())) hi = mid;
        else lo = mid + 1;
    }
    const std::size_t chunk = m_chunks.empty() ? 0 : std::min(lo, m_chunks.size() - 1);
    std::size_t offset = 0;
    if (!m_chunks.empty()) {
        const auto& ids = m_chunks[chunk];
        offset = static_cast<std::size_t>(
            std::upper_bound(ids.begin(), ids.end(), id,
                             [&](std::uint32_t, std::uint32_t other) { return after(other); }) -
            ids.begin());
    }
    return insert_into(chunk, offset, id);
}

int ItemStore::insert_at(int index, std::u16string text) {
    const std::uint32_t id = allocate(std::move(text));
    if (m_chunks.empty()) return insert_into(0, 0, id);
    if (index >= m_count) return insert_into(m_chunks.size() - 1, m_chunks.back().size(), id);
    const Place place = locate(index);
    return insert_into(place.chunk, place.offset, id);
}

void ItemStore::erase(int index) {
    const Place place = locate(index);
    std::vector<std::uint32_t>& ids = m_chunks[place.chunk];
    const std::uint32_t id = ids[place.offset];
    m_pool[id] = ListItem{};
    m_free.push_back(id);
    ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(place.offset));
    --m_count;
    if (ids.empty()) m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(place.chunk));
    rebuild_starts();
}

void ItemStore::clear() {
    m_pool.clear();
    m_free.clear();
    m_chunks.clear();
    m_starts.clear();
    m_count = 0;
}

void ItemStore::reserve(int items) {
    if (items > 0) m_pool.reserve(static_cast<std::size_t>(items));
}

const ListItem& ItemStore::at(int index) const {
    const Place place = locate(index);
    return m_pool[m_chunks[place.chunk][place.offset]];
}

ListItem& ItemStore::at(int index) {
    const Place place = locate(index);
    return m_pool[m_chunks[place.chunk][place.offset]];
}

int ItemStore::find(int start, std::u16string_view text, bool exact) const {
    if (m_count == 0) return -1;
    if (start < -1 || start >= m_count) start = -1;
    // From the item after start to the end, then from the top to start.
    int index = start + 1 == m_count ? 0 : start + 1;
    Place place = locate(index);
    for (int seen = 0; seen < m_count; ++seen) {
        const std::u16string& candidate = m_pool[m_chunks[place.chunk][place.offset]].text;
        if (exact ? equal_without_case(candidate, text) : starts_without_case(candidate, text)) return index;
        if (++index == m_count) {
            index = 0;
            place = Place{0, 0};
        } else if (++place.offset == m_chunks[place.chunk].size()) {
            ++place.chunk;
            place.offset = 0;
        }
    }
    return -1;
}

}  // namespace platform::controls
