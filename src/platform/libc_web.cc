// What Emscripten's C library declares but does not have, for the POSIX
// files of the platform layer that the web build shares. The web build's
// files live in memory: there is no disk to hand written pages to.

#include <fcntl.h>

extern "C" int sync_file_range(int, off_t, off_t, unsigned int) { return 0; }
