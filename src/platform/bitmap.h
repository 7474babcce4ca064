// The BMP reader behind loadBitmap (platform.h), for pictures already in
// memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// Copies a whole BMP file held in memory into image as loadBitmap does; false,
// with the image untouched, when the bytes are not a picture it can read.
bool decodeBitmap(const uint8_t* bytes, size_t size, Image* image);
