/* The version of the grouping library these headers belong to. A program
   compares it with the version of the library it runs with:

     if (grulo_version_number() / 1000000 != GRULO_VERSION_NUMBER / 1000000)
       ... another major version: refuse to go on ...

   The number is MAJOR * 1000000 + MINOR * 1000 + PATCH, as SQLite's. */

#ifndef GRULO_VERSION_H_
#define GRULO_VERSION_H_

#define GRULO_VERSION_MAJOR 1
#define GRULO_VERSION_MINOR 2
#define GRULO_VERSION_PATCH 0
#define GRULO_VERSION_NUMBER \
  (GRULO_VERSION_MAJOR * 1000000 + GRULO_VERSION_MINOR * 1000 + GRULO_VERSION_PATCH)

#endif /* GRULO_VERSION_H_ */
