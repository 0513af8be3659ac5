// The script's random draws in the browser: the same generator as the desktop's C library
// (an additive feedback generator over 34 words seeded by a multiplicative congruence), so
// that a seed gives the same draws there and here, and a replay plays the same story.
#include <cstdint>
#include <cstdlib>

namespace {

int32_t words[34];
int front = 3, rear = 0;   // the two taps, 31 words apart in a ring of 31

void seed(unsigned value)
{
    int32_t r[34];
    r[0] = value == 0 ? 1 : static_cast<int32_t>(value);
    for (int i = 1; i < 31; ++i) {
        // 16807 * r[i-1] % 2147483647 without overflow, as the desktop library computes it.
        int32_t hi = r[i - 1] / 127773, lo = r[i - 1] % 127773;
        int32_t word = 16807 * lo - 2836 * hi;
        r[i] = word < 0 ? word + 2147483647 : word;
    }
    for (int i = 0; i < 31; ++i) words[i] = r[i];
    front = 3;
    rear = 0;
    // The first 310 draws are thrown away.
    for (int i = 0; i < 310; ++i) std::rand();
}

bool seeded = false;

}  // namespace

extern "C" {

void srand(unsigned value)
{
    seeded = true;
    seed(value);
}

int rand(void)
{
    if (!seeded) srand(1);
    uint32_t sum = static_cast<uint32_t>(words[front]) + static_cast<uint32_t>(words[rear]);
    words[front] = static_cast<int32_t>(sum);
    front = (front + 1) % 31;
    rear = (rear + 1) % 31;
    return static_cast<int>(sum >> 1);
}

}  // extern "C"
