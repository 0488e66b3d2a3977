// CRC-32 as PNG and zlib compute it (polynomial 0xEDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of the bytes; pass the CRC of the bytes before them as
// `running` to go on from there (0 to start).
std::uint32_t crc32(const unsigned char* bytes, std::size_t size, std::uint32_t running = 0);
