#include "platform/base/rect.h"
#include "platform/base/region.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

using platform::Region;

// A brute-force model of a region on a small grid.
constexpr int kLow = -4, kHigh = 28;
struct Grid {
    bool cell[kHigh - kLow][kHigh - kLow] = {};
    void apply(const RECT& r, int op) {  // 0 add, 1 subtract, 2 intersect
        for (int y = kLow; y < kHigh; ++y)
            for (int x = kLow; x < kHigh; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                bool& c = cell[y - kLow][x - kLow];
                if (op == 0) c = c || inside;
                else if (op == 1) c = c && !inside;
                else c = c && inside;
            }
    }
    int area() const {
        int n = 0;
        for (auto& row : cell)
            for (bool c : row) n += c;
        return n;
    }
};

RECT random_rect(std::mt19937& random) {
    std::uniform_int_distribution<int> coord(kLow, kHigh);
    // Empty and inverted rectangles come up too.
    return RECT{coord(random), coord(random), coord(random), coord(random)};
}

bool overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(Region, RandomEditsMatchAPixelModel) {
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        Region region;
        Grid model;
        std::vector<RECT> excluded;
        const int steps = 1 + static_cast<int>(random() % 12);
        for (int s = 0; s < steps; ++s) {
            const RECT r = random_rect(random);
            const int op = s == 0 ? 0 : static_cast<int>(random() % 3);
            model.apply(r, op);
            if (op == 0) region.add(r);
            if (op == 1) {
                region.subtract(r);
                excluded.push_back(r);
            }
            if (op == 2) region.intersect(r);
            if (op == 0) excluded.clear();  // an addition may cover what was excluded
        }
        const auto& pieces = region.rects();
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_FALSE(IsRectEmpty(&pieces[i]));
            for (std::size_t j = i + 1; j < pieces.size(); ++j) EXPECT_FALSE(overlap(pieces[i], pieces[j]));
            for (const RECT& e : excluded) EXPECT_TRUE(IsRectEmpty(&e) || !overlap(pieces[i], e));
        }
        ASSERT_EQ(region.area(), static_cast<unsigned long long>(model.area())) << "round " << round;
        for (int y = kLow; y < kHigh; ++y)
            for (int x = kLow; x < kHigh; ++x) ASSERT_EQ(region.contains(x, y), model.cell[y - kLow][x - kLow]);
    }
}

TEST(Region, ExclusionsTakeExactlyTheirOwnAreaAway) {
    // The map, then border images and the overview frame cut out of a
    // 240 x 268 client area: what is left plus what was cut is the whole.
    Region region(RECT{0, 0, 240, 268});
    const RECT cuts[] = {{20, 0, 220, 268}, {0, 100, 20, 140}, {0, 0, 43, 21}, {230, 260, 300, 300}};
    unsigned long long removed = 0;
    Region cut;
    const RECT client{0, 0, 240, 268};
    for (const RECT& c : cuts) {
        region.subtract(c);
        RECT inside;
        if (IntersectRect(&inside, &c, &client)) cut.add(inside);
    }
    removed = cut.area();
    EXPECT_EQ(region.area() + removed, 240ull * 268);
    EXPECT_FALSE(region.contains(100, 100));
    EXPECT_TRUE(region.contains(10, 50));
    EXPECT_FALSE(region.contains(10, 120));
}

TEST(Region, ExtremeCoordinatesNeitherOverflowNorLosePieces) {
    Region region(RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    EXPECT_EQ(region.area(), 4294967295ull * 4294967295ull);
    region.subtract(RECT{-10, -10, 10, 10});
    EXPECT_EQ(region.area(), 4294967295ull * 4294967295ull - 400);
    region.intersect(RECT{-20, -20, 20, 20});
    EXPECT_EQ(region.area(), 1600ull - 400);
    const RECT b = region.bounds();
    EXPECT_EQ(b.left, -20);
    EXPECT_EQ(b.bottom, 20);
    region.subtract(RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    EXPECT_TRUE(region.empty());
}

TEST(Rect, HelpersKeepWin32MeaningAndSaturate) {
    RECT r;
    SetRect(&r, 10, 20, 30, 40);
    EXPECT_TRUE(PtInRect(&r, POINT{10, 20}));
    EXPECT_FALSE(PtInRect(&r, POINT{30, 39}));  // right is exclusive
    RECT other{25, 35, 50, 60}, common;
    EXPECT_TRUE(IntersectRect(&common, &r, &other));
    const RECT expected{25, 35, 30, 40}, touching{30, 20, 40, 40}, empty{0, 0, 0, 0};
    EXPECT_TRUE(EqualRect(&common, &expected));
    EXPECT_FALSE(IntersectRect(&common, &r, &touching));  // touching is not overlapping
    EXPECT_TRUE(IsRectEmpty(&common));
    RECT u;
    UnionRect(&u, &r, &empty);  // an empty one adds nothing
    EXPECT_TRUE(EqualRect(&u, &r));
    RECT far{INT_MAX - 5, INT_MIN + 5, INT_MAX, 0};
    OffsetRect(&far, 100, -100);
    EXPECT_EQ(far.left, INT_MAX);
    EXPECT_EQ(far.top, INT_MIN);
    InflateRect(&far, INT_MAX, INT_MAX);
    EXPECT_EQ(far.right, INT_MAX);
}

}  // namespace
