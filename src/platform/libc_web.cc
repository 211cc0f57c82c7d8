// What Emscripten's C library lacks, or does slowly, for the web build. The
// web build's files live in memory: there is no disk to hand written pages
// to. Its memchr and memcmp go a byte at a time, and they were a fifth of
// the time of a run (memchr finds the line ends of the input, memcmp
// compares the codes with the tables'): these take sixteen bytes at a time
// with WebAssembly's 128-bit vectors, which every browser of the last years
// has. This file is compiled without the compiler's own knowledge of them
// (-fno-builtin), so that their loops are not made calls to themselves.

#include <fcntl.h>
#include <wasm_simd128.h>

#include <cstddef>
#include <cstdint>

extern "C" int sync_file_range(int, off_t, off_t, unsigned int) { return 0; }

extern "C" void* memchr(const void* s, int c, size_t n) {
  const auto* p = static_cast<const unsigned char*>(s);
  const auto byte = static_cast<unsigned char>(c);
  if (n >= 16) {
    const v128_t wanted = wasm_i8x16_splat(static_cast<int8_t>(byte));
    for (; n >= 16; p += 16, n -= 16) {
      const uint32_t found = wasm_i8x16_bitmask(wasm_i8x16_eq(wasm_v128_load(p), wanted));
      if (found != 0) return const_cast<unsigned char*>(p + __builtin_ctz(found));
    }
  }
  for (; n > 0; ++p, --n) {
    if (*p == byte) return const_cast<unsigned char*>(p);
  }
  return nullptr;
}

extern "C" int memcmp(const void* a, const void* b, size_t n) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (; n >= 16; x += 16, y += 16, n -= 16) {
    const uint32_t same = wasm_i8x16_bitmask(wasm_i8x16_eq(wasm_v128_load(x), wasm_v128_load(y)));
    if (same != 0xffff) {
      const int at = __builtin_ctz(~same);
      return x[at] - y[at];
    }
  }
  for (; n > 0; ++x, ++y, --n) {
    if (*x != *y) return *x - *y;
  }
  return 0;
}
