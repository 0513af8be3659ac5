#include "explore/hash.h"

#include <cstdint>
#include <cstring>

namespace {

uint64_t rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// The finaliser of MurmurHash3: every input bit reaches every output bit.
uint64_t avalanche(uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

}  // namespace

StateKey128 hashBytes(const void* data, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint64_t a = 0x9e3779b97f4a7c15ULL ^ size, b = 0xc2b2ae3d27d4eb4fULL + size;
    auto mix = [&](uint64_t word) {
        a = rotl(a ^ (word * 0x87c37b91114253d5ULL), 31) * 0x4cf5ad432745937fULL;
        b = rotl(b + (word * 0x52dce729ULL + 0x38495ab5ULL), 27) * 0x9fb21c651e98df25ULL ^ (b >> 29);
    };
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        mix(word);
    }
    // The bytes that fill no whole word (none, from an empty buffer that may be null).
    uint64_t tail = 0;
    if (size > i) std::memcpy(&tail, bytes + i, size - i);
    mix(tail);
    StateKey128 key{avalanche(a + b), avalanche(b ^ rotl(a, 17))};
    // 0 marks nothing in the tables: no key is all zero.
    if (key.a == 0 && key.b == 0) key.a = 1;
    return key;
}
