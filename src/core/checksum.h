// CRC-32 (the polynomial of zlib and PNG), for records that must tell whether they are whole.
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of length bytes; crc32Of(nullptr, 0) is 0.
uint32_t crc32Of(const void* bytes, size_t length);
