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
   thread at a time.

   Messages: a function with a `char** error` argument sets *error to NULL
   when it succeeds and to a new message (free it with grulo_free) when it
   fails; a message that *error still points to on entry is freed first. So
   pass a pointer to NULL the first time, and the same pointer may serve
   call after call without leaking (LevelDB's rule). */

#ifndef GRULO_GRULO_H_
#define GRULO_GRULO_H_

#include <stddef.h>

#include "grulo/export.h"
#include "grulo/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses. */
#define GRULO_OK 0
#define GRULO_ERROR_ARGUMENT 1  /* a NULL pointer, or a value out of range */
#define GRULO_ERROR_TABLES 2    /* the tables cannot be opened (see the message) */
#define GRULO_ERROR_NO_DATE 3   /* the grouper has neither a date nor the clock */
#define GRULO_ERROR_MEMORY 4    /* out of memory */
#define GRULO_ERROR_NO_OUTCOME 5 /* nothing grouped yet, or the last grouping failed */
#define GRULO_ERROR_INPUT 6      /* the input file cannot be read (see the message) */
#define GRULO_ERROR_OUTPUT 7     /* an output cannot be written (see the message) */

/* Format recognition of a line. */
#define GRULO_FORMAT_WELL_FORMED 0
#define GRULO_FORMAT_UNREADABLE 1     /* fewer than 12 characters */
#define GRULO_FORMAT_UNKNOWN 2        /* format number neither "M04" nor "MA4" */
#define GRULO_FORMAT_SIZE_PROBLEM 3   /* length and act count disagree */

typedef struct grulo_tables grulo_tables;
typedef struct grulo_grouper grulo_grouper;

/* A short English text for a status; never NULL. */
GRULO_EXPORT const char* grulo_status_text(int status);

/* The running library's version, "MAJOR.MINOR.PATCH", and as
   GRULO_VERSION_NUMBER writes it (MAJOR * 1000000 + MINOR * 1000 + PATCH). */
GRULO_EXPORT const char* grulo_version(void);
GRULO_EXPORT int grulo_version_number(void);

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

/* The date the checks take as today. A date that is not one of the
   calendar (a month outside 1 to 12, a day the month does not have, a year
   outside 1 to 9999) gives GRULO_ERROR_ARGUMENT and changes nothing. */
GRULO_EXPORT int grulo_grouper_set_today(grulo_grouper* grouper, int day, int month, int year);

/* Reads "DDMMYYYY" (eight digits, such as "07122026") into the three
   numbers that the set_today functions take; GRULO_ERROR_ARGUMENT, and
   nothing written, for other text or a date that is not one of the
   calendar. Any of the three pointers may be NULL. */
GRULO_EXPORT int grulo_parse_date(const char* ddmmyyyy, int* day, int* month, int* year);

/* Reads the computer's local date before every summary from now on. */
GRULO_EXPORT int grulo_grouper_use_local_clock(grulo_grouper* grouper);

/* Groups one summary line of `length` bytes, without its line end (a NUL
   byte ends it; an empty line is "", never NULL). On GRULO_OK the outcome
   can be read with the getters below until the next call. A line that is
   not a summary is an outcome (see grulo_outcome_format), not an error. On
   any other status the grouper holds no outcome: the getters return what
   they return before the first grouping. */
GRULO_EXPORT int grulo_group(grulo_grouper* grouper, const grulo_tables* tables, const char* line,
                             size_t length);

/* The outcome of the last grulo_group of the grouper; 0 (or "") for NULL,
   before the first grouping and after a failed one. */
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

/* The .grp line and the .err entry of the last line grouped, the bytes the
   batch writes for it (Windows-1252, every line ending with CR LF), as
   snprintf writes: at most size - 1 bytes and a NUL go into `buffer` (NULL
   allowed when size is 0), and the return value is the whole text's
   length, so a return >= size asks for a larger buffer. 0, and "" in the
   buffer, when the batch writes none (a malformed or blocked line has no
   .grp line, a summary without error no .err entry), for NULL and when the
   grouper holds no outcome. The entry's header names line `line_number`. */
GRULO_EXPORT size_t grulo_outcome_grp_line(const grulo_grouper* grouper, char* buffer,
                                           size_t size);
GRULO_EXPORT size_t grulo_outcome_err_entry(const grulo_grouper* grouper, long long line_number,
                                            char* buffer, size_t size);

/* The error catalogue: the one-line description of error `number` (UTF-8,
   English; NULL outside 1 to 82), and whether it blocks the grouping (1), or
   not (0); -1 outside 1 to 82. */
GRULO_EXPORT const char* grulo_error_description(int number);
GRULO_EXPORT int grulo_error_blocking(int number);

/* Whole files, exactly as the batch program groups them: the same .grp and
   .err bytes and the same counters. The tables are opened by the batch's
   rules, not by grulo_tables_open's: a table that cannot be opened ends
   the summary (return code 99) and is tried again with the next one, a
   table of another version gives 9, and the .err file carries the batch's
   messages.

     grulo_file_run* run = NULL;
     grulo_file_run_new(&run);
     grulo_file_run_set_tables(run, "/srv/grulo/tables");
     grulo_file_run_set_today(run, 7, 12, 2026);
     grulo_file_run_set_output_files(run, "week12.grp", "week12.err");
     if (grulo_group_file(run, "week12.rss", &error) == GRULO_OK)
       printf("%lld lines\n", grulo_file_run_counter(run, GRULO_COUNTER_NBLUS));
     grulo_file_run_free(run);

   A grulo_file_run belongs to one thread at a time. */
typedef struct grulo_file_run grulo_file_run;

/* The four counters the batch writes into its configuration file. */
#define GRULO_COUNTER_NBLUS 0        /* lines read */
#define GRULO_COUNTER_NBERRBLOQ 1    /* summaries with a blocking error */
#define GRULO_COUNTER_NBERRNONBLOQ 2 /* summaries with non-blocking errors only */
#define GRULO_COUNTER_NBERRFORM 3    /* lines that the format recognition refused */

/* Takes `length` bytes of an output; returns 0 to go on, anything else to
   stop the run (grulo_group_file then returns GRULO_ERROR_OUTPUT). */
typedef int (*grulo_write_function)(void* context, const char* bytes, size_t length);

/* A new run: no tables set (all three missing), no date, the outputs
   dropped until set. */
GRULO_EXPORT int grulo_file_run_new(grulo_file_run** run);
GRULO_EXPORT void grulo_file_run_free(grulo_file_run* run);
/* The table directory, or the three paths. */
GRULO_EXPORT int grulo_file_run_set_tables(grulo_file_run* run, const char* directory);
GRULO_EXPORT int grulo_file_run_set_table_files(grulo_file_run* run, const char* tree,
                                                const char* acts, const char* diags);
/* Today's date as grulo_grouper_set_today takes it, or the local clock. */
GRULO_EXPORT int grulo_file_run_set_today(grulo_file_run* run, int day, int month, int year);
GRULO_EXPORT int grulo_file_run_use_local_clock(grulo_file_run* run);
/* The outputs: two files, each replaced in one step once the whole input
   has been grouped (never written through a symbolic link, left as they
   were when the run fails; an output on the input file or on the other
   output's file gives GRULO_ERROR_OUTPUT); or two functions, either NULL to drop that
   output, called with `context`. */
GRULO_EXPORT int grulo_file_run_set_output_files(grulo_file_run* run, const char* grp,
                                                 const char* err);
GRULO_EXPORT int grulo_file_run_set_output_functions(grulo_file_run* run,
                                                     grulo_write_function grp,
                                                     grulo_write_function err, void* context);
/* Groups the input file. GRULO_OK when every line was read, grouped and
   written; GRULO_ERROR_NO_DATE without a date; GRULO_ERROR_INPUT when the
   input cannot be read, GRULO_ERROR_OUTPUT when an output cannot be
   written, each with a message naming the file. */
GRULO_EXPORT int grulo_group_file(grulo_file_run* run, const char* input, char** error);
/* A counter of the last run (GRULO_COUNTER_*); 0 for NULL or another
   number. */
GRULO_EXPORT long long grulo_file_run_counter(const grulo_file_run* run, int counter);
/* The last run's table warnings, one per line (UTF-8), as the batch prints
   them at its end; "" when there is none. */
GRULO_EXPORT const char* grulo_file_run_warnings(const grulo_file_run* run);

#ifdef __cplusplus
}
#endif

#endif /* GRULO_GRULO_H_ */
