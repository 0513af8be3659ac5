// A 128-bit hash of bytes, for telling states apart: two independent 64-bit lanes, each
// mixing every eight bytes with a multiply and a rotation and finished with a full avalanche.
// Two different states share a hash with a chance of about one in 2^128 per pair.
#pragma once

#include <cstddef>

#include "explore/shared.h"

StateKey128 hashBytes(const void* data, size_t size);
