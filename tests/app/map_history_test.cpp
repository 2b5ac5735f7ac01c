// The history of maps: a ring of ten that forgets its oldest map.
#include "app/map_history.h"

#include <gtest/gtest.h>

namespace {

TEST(MapHistory, PushPopAndPeek) {
    CMap maps[3];
    MapHistory history;
    history.Clear();
    EXPECT_EQ(history.Peek(), nullptr);
    EXPECT_EQ(history.Pop(), nullptr);  // harmless on an empty history
    EXPECT_EQ(history.Peek(), nullptr);

    history.Clear();
    history.Push(&maps[0]);
    EXPECT_EQ(history.Peek(), &maps[0]);
    history.Push(&maps[1]);
    history.Push(&maps[2]);
    EXPECT_EQ(history.Peek(), &maps[2]);
    EXPECT_EQ(history.Pop(), &maps[2]);
    EXPECT_EQ(history.Peek(), &maps[1]);
    EXPECT_EQ(history.Pop(), &maps[1]);
    EXPECT_EQ(history.Pop(), &maps[0]);
    // Emptied by pops, it offers nothing more: Back is disabled.
    EXPECT_EQ(history.Peek(), nullptr);
    EXPECT_EQ(history.Pop(), nullptr);
}

TEST(MapHistory, TenPushesFillTheRingAndPeekGivesTheTenth) {
    CMap maps[10];
    MapHistory history;
    history.Clear();
    for (CMap& map : maps) history.Push(&map);
    EXPECT_EQ(history.index, 0) << "the index has gone round";
    EXPECT_EQ(history.Peek(), &maps[9]);
    EXPECT_EQ(history.Peek(), &maps[9]) << "Peek changes nothing";
    for (int i = 9; i >= 0; --i) {
        EXPECT_EQ(history.Peek(), &maps[i]) << i;
        EXPECT_EQ(history.Pop(), &maps[i]) << i;
    }
    EXPECT_EQ(history.Peek(), nullptr);
}

TEST(MapHistory, ElevenPushesKeepTheLastTen) {
    CMap maps[11];
    MapHistory history;
    history.Clear();
    for (CMap& map : maps) history.Push(&map);
    for (int i = 10; i >= 1; --i) EXPECT_EQ(history.Pop(), &maps[i]) << i;
    EXPECT_EQ(history.Pop(), nullptr);
    EXPECT_EQ(history.Peek(), nullptr);

    // Round the ring again from wherever the index stands.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 7; ++i) history.Push(&maps[i]);
        for (int i = 6; i >= 0; --i) EXPECT_EQ(history.Pop(), &maps[i]);
        EXPECT_EQ(history.Pop(), nullptr);
    }
    history.Push(&maps[4]);
    history.Clear();
    EXPECT_EQ(history.Peek(), nullptr);
    EXPECT_EQ(history.index, 0);
}

}  // namespace
