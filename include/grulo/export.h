/* Marks the symbols of the grouping library's interface: the only ones that
   the shared library exports. */

#ifndef GRULO_EXPORT_H_
#define GRULO_EXPORT_H_

#if defined(_WIN32) && defined(GRULO_SHARED_BUILD)
#define GRULO_EXPORT __declspec(dllexport)
#elif defined(_WIN32) && defined(GRULO_SHARED)
#define GRULO_EXPORT __declspec(dllimport)
#elif defined(__GNUC__)
#define GRULO_EXPORT __attribute__((visibility("default")))
#else
#define GRULO_EXPORT
#endif

#endif /* GRULO_EXPORT_H_ */
