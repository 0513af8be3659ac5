// The hash states are told apart by: any one bit changed anywhere, in the tail that fills no
// whole word too, or a length of zeros more or less, gives another key in both halves.
#include "explore/hash.h"

#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

TEST(StateHash, EveryBitAndEveryLengthGivesAKeyOfItsOwnInBothHalves)
{
    std::set<std::pair<uint64_t, uint64_t>> keys;
    size_t made = 0;
    for (size_t size = 0; size <= 24; ++size) {
        std::vector<unsigned char> bytes(size, 0);
        StateKey128 zeros = hashBytes(bytes.data(), size);
        keys.insert({zeros.a, zeros.b});
        ++made;
        for (size_t bit = 0; bit < size * 8; ++bit) {
            bytes[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
            StateKey128 key = hashBytes(bytes.data(), size);
            bytes[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
            EXPECT_NE(key.a, zeros.a) << size << " bytes, bit " << bit;
            EXPECT_NE(key.b, zeros.b) << size << " bytes, bit " << bit;
            keys.insert({key.a, key.b});
            ++made;
        }
    }
    EXPECT_EQ(keys.size(), made);

    // The same bytes give the same key, wherever they lie in memory.
    const unsigned char text[] = {'s', 't', 'a', 'r', 't', 0, 1, 2, 3, 4, 5};
    unsigned char shifted[sizeof text + 1] = {0xff};
    for (size_t i = 0; i < sizeof text; ++i) shifted[i + 1] = text[i];
    EXPECT_TRUE(hashBytes(text, sizeof text) == hashBytes(shifted + 1, sizeof text));
}
