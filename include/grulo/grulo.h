/* The grouping library's C interface.

   Open the three tables once, create one grouper per thread, then group
   summary lines one at a time and read the outcome through the getters:

     grulo_tables* tables = NULL;
     char* error = NULL;
     if (grulo_tables_open("/srv/grulo/tables", &tables, &error) != GRULO_OK) {
       fprintf(stderr, "%s\n", error);
       grulo_free(error);
       return 1;
     }
     grulo_grouper* grouper = NULL;
     grulo_grouper_new(&grouper);
     grulo_grouper_set_today(grouper, 7, 12, 2026);
     if (grulo_group(grouper, tables, line, strlen(line)) == GRULO_OK) {
       printf("%02d%03d%02d\n", grulo_outcome_category(grouper),
              grulo_outcome_number(grouper), grulo_outcome_return_code(grouper));
     }
     grulo_grouper_free(grouper);
     grulo_tables_free(tables);

   Every function checks its pointer arguments and returns a status (or a
   neutral value for a getter) instead of crashing on a NULL. No C++
   exception crosses this interface. An open grulo_tables is immutable and
   may be shared by any number of threads; a grulo_grouper belongs to one
   thread at a time. */

#ifndef GRULO_GRULO_H_
#define GRULO_GRULO_H_

#include <stddef.h>

#include "grulo/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses. */
#define GRULO_OK 0
#define GRULO_ERROR_ARGUMENT 1  /* a NULL pointer, or a value out of range */
#define GRULO_ERROR_TABLES 2    /* the tables cannot be opened (see the message) */
#define GRULO_ERROR_NO_DATE 3   /* the grouper has neither a date nor the clock */
#define GRULO_ERROR_MEMORY 4    /* out of memory */
#define GRULO_ERROR_NO_OUTCOME 5 /* nothing grouped yet */

/* Format recognition of a line. */
#define GRULO_FORMAT_WELL_FORMED 0
#define GRULO_FORMAT_UNREADABLE 1     /* fewer than 12 characters */
#define GRULO_FORMAT_UNKNOWN 2        /* format number neither "M04" nor "MA4" */
#define GRULO_FORMAT_SIZE_PROBLEM 3   /* length and act count disagree */

typedef struct grulo_tables grulo_tables;
typedef struct grulo_grouper grulo_grouper;

/* A short English text for a status; never NULL. */
GRULO_EXPORT const char* grulo_status_text(int status);

/* The library's version, "MAJOR.MINOR.PATCH". */
GRULO_EXPORT const char* grulo_version(void);

/* Frees a message returned through an `error` argument; NULL is allowed. */
GRULO_EXPORT void grulo_free(void* p);

/* Opens arbressr.tab, ccamcssr.tab and diag10sr.tab in `directory` (a
   separator is added when it has none). On success *tables is the open set;
   otherwise *tables is NULL and, when `error` is not NULL, *error is a
   message (free it with grulo_free) naming each table's path and what is
   wrong, one problem per line. */
GRULO_EXPORT int grulo_tables_open(const char* directory, grulo_tables** tables, char** error);

/* The same from the three files' paths. */
GRULO_EXPORT int grulo_tables_open_files(const char* tree, const char* acts, const char* diags,
                                         grulo_tables** tables, char** error);

/* The tables' version (at most two characters); "" for NULL. */
GRULO_EXPORT const char* grulo_tables_version(const grulo_tables* tables);

/* Closes the tables; NULL is allowed. A grouper's outcome stays readable. */
GRULO_EXPORT void grulo_tables_free(grulo_tables* tables);

/* A new grouper, without a date: set one with grulo_grouper_set_today or
   ask for the clock with grulo_grouper_use_local_clock before grouping. */
GRULO_EXPORT int grulo_grouper_new(grulo_grouper** grouper);

/* Frees the grouper; NULL is allowed. */
GRULO_EXPORT void grulo_grouper_free(grulo_grouper* grouper);

/* The date the checks take as today (any numbers are accepted and written
   as DDMMYYYY, a month outside 1 to 12 as 13). */
GRULO_EXPORT int grulo_grouper_set_today(grulo_grouper* grouper, int day, int month, int year);

/* Reads the computer's local date before every summary from now on. */
GRULO_EXPORT int grulo_grouper_use_local_clock(grulo_grouper* grouper);

/* Groups one summary line of `length` bytes, without its line end (a NUL
   byte ends it). On GRULO_OK the outcome can be read with the getters below
   until the next call. A line that is not a summary is an outcome (see
   grulo_outcome_format), not an error. */
GRULO_EXPORT int grulo_group(grulo_grouper* grouper, const grulo_tables* tables, const char* line,
                             size_t length);

/* The outcome of the last grulo_group of the grouper; 0 (or "") for NULL or
   before the first grouping. */
GRULO_EXPORT int grulo_outcome_format(const grulo_grouper* grouper);
GRULO_EXPORT int grulo_outcome_category(const grulo_grouper* grouper);
GRULO_EXPORT int grulo_outcome_number(const grulo_grouper* grouper);
GRULO_EXPORT int grulo_outcome_return_code(const grulo_grouper* grouper);
GRULO_EXPORT const char* grulo_outcome_version(const grulo_grouper* grouper);
/* 1 when an error blocks the grouping (no result line), else 0. */
GRULO_EXPORT int grulo_outcome_blocked(const grulo_grouper* grouper);
/* The number of errors, in check order (a number may occur twice). */
GRULO_EXPORT int grulo_outcome_error_count(const grulo_grouper* grouper);
/* Error i (0 <= i < grulo_outcome_error_count): its number and whether it
   blocks (1) or not (0); either pointer may be NULL. */
GRULO_EXPORT int grulo_outcome_error(const grulo_grouper* grouper, int i, int* number,
                                     int* blocking);

#ifdef __cplusplus
}
#endif

#endif /* GRULO_GRULO_H_ */
