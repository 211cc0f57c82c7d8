// Byte order of the table files: every multi-byte number is big-endian, its
// first byte the most significant.

#ifndef GRULO_TABLES_BIG_ENDIAN_H_
#define GRULO_TABLES_BIG_ENDIAN_H_

#include <cstdint>

namespace grulo {

inline uint16_t ReadBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) |
         uint32_t{p[3]};
}

inline void WriteBigEndian16(uint16_t v, uint8_t* p) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

inline void WriteBigEndian32(uint32_t v, uint8_t* p) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace grulo

#endif  // GRULO_TABLES_BIG_ENDIAN_H_
