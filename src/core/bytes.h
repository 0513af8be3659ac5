// Byte records written and read field by field: 32-bit numbers, least significant byte first,
// and counted strings (a 32-bit length, then the bytes, no NUL). Reading is bounded: a record
// cut short or with a length that runs past its end is refused, never read outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

struct ByteWriter {
    std::string* out;

    void number(uint32_t value)
    {
        for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
    }
    void signedNumber(int value) { number(static_cast<uint32_t>(value)); }
    void bytes(const void* from, size_t length) { out->append(static_cast<const char*>(from), length); }
    void text(const char* value)
    {
        size_t length = std::strlen(value);
        number(static_cast<uint32_t>(length));
        bytes(value, length);
    }
};

struct ByteReader {
    const unsigned char* at;
    const unsigned char* end;
    bool ok = true;   // false once a read went past the end (every later read gives 0)

    bool has(size_t length)
    {
        if (ok && static_cast<size_t>(end - at) >= length) return true;
        ok = false;
        return false;
    }
    uint32_t number()
    {
        if (!has(4)) return 0;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t{*at++} << (8 * i);
        return value;
    }
    int signedNumber() { return static_cast<int>(number()); }
    void bytes(void* to, size_t length)
    {
        if (!has(length)) return;
        std::memcpy(to, at, length);
        at += length;
    }
    // A counted string into text (size bytes with its NUL); one that does not fit is refused.
    void text(char* value, size_t size)
    {
        uint32_t length = number();
        if (!ok || length >= size || !has(length)) {
            ok = false;
            if (size) value[0] = '\0';
            return;
        }
        std::memcpy(value, at, length);
        value[length] = '\0';
        at += length;
    }
    bool finished() const { return ok && at == end; }
};
