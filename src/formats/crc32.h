// The zip CRC-32 (polynomial 0xEDB88320): frame fingerprints of the harness,
// in the native and the browser builds alike.
#pragma once

#include <cstddef>
#include <cstdint>

// crc: the CRC of the bytes before these, to go on from (0 to start).
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
