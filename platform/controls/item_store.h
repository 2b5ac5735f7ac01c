// Platform internal: the items of a list (a list box, a combo box's list):
// texts with their item data, in display order. A sorted list places each
// new text in lstrcmpiW order, after the items equal to it. The order is
// kept in chunks of item numbers, so an insertion moves at most one chunk's
// numbers and finding an index by position costs a binary search over the
// chunks: filling a list of tens of thousands of sorted items stays close
// to the cost of sorting them.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::controls {

struct ListItem {
    std::u16string text;
    LPARAM data = 0;
};

class ItemStore {
public:
    int count() const { return m_count; }

    // The index the text went to.
    int insert_sorted(std::u16string text);
    // Inserts before index (count: at the end); the index must be valid.
    int insert_at(int index, std::u16string text);
    void erase(int index);
    void clear();
    void reserve(int items);

    // index must be in [0, count).
    const ListItem& at(int index) const;
    ListItem& at(int index);

    // The first item after start, going round to the top and back to start
    // (start -1: from the top), whose text begins with text (exact: equals
    // it), without regard to case; -1 when none does.
    int find(int start, std::u16string_view text, bool exact) const;

    // Calls visit(index, item) for the items of [first, last) in order.
    template <class Visit>
    void for_range(int first, int last, Visit visit) const {
        if (first < 0) first = 0;
        if (last > m_count) last = m_count;
        if (first >= last) return;
        auto [chunk, offset] = locate(first);
        for (int index = first; index < last; ++index) {
            visit(index, m_pool[m_chunks[chunk][offset]]);
            if (++offset == m_chunks[chunk].size()) {
                ++chunk;
                offset = 0;
            }
        }
    }

private:
    struct Place {
        std::size_t chunk;
        std::size_t offset;
    };
    Place locate(int index) const;
    std::uint32_t allocate(std::u16string text);
    int insert_into(std::size_t chunk, std::size_t offset, std::uint32_t id);
    void rebuild_starts();

    std::vector<ListItem> m_pool;        // items by number, in no order
    std::vector<std::uint32_t> m_free;   // numbers of erased items
    std::vector<std::vector<std::uint32_t>> m_chunks;  // display order
    std::vector<int> m_starts;           // display index of each chunk's first item
    int m_count = 0;
};

}  // namespace platform::controls
