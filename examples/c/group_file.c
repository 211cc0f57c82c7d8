/* Groups a whole summary file as the batch program does, through the C
   interface: writes its .grp and .err files and prints the four counters.
     group_file TABLE_DIR INPUT_FILE DDMMYYYY GRP_FILE ERR_FILE */

#include <stdio.h>

#include <grulo/grulo.h>

int main(int argc, char** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: group_file TABLE_DIR INPUT_FILE DDMMYYYY GRP_FILE ERR_FILE\n");
    return 2;
  }
  /* A library of another major version than these headers' is refused. */
  if (grulo_version_number() / 1000000 != GRULO_VERSION_NUMBER / 1000000) {
    fprintf(stderr, "libgrulo %s, built for %d.x\n", grulo_version(), GRULO_VERSION_MAJOR);
    return 1;
  }
  int day, month, year;
  if (grulo_parse_date(argv[3], &day, &month, &year) != GRULO_OK) {
    fprintf(stderr, "not a date DDMMYYYY: %s\n", argv[3]);
    return 2;
  }
  grulo_file_run* run = NULL;
  if (grulo_file_run_new(&run) != GRULO_OK) return 1;
  grulo_file_run_set_tables(run, argv[1]);
  grulo_file_run_set_today(run, day, month, year);
  grulo_file_run_set_output_files(run, argv[4], argv[5]);
  char* error = NULL;
  int status = grulo_group_file(run, argv[2], &error);
  if (status != GRULO_OK) {
    fprintf(stderr, "%s: %s\n", grulo_status_text(status), error != NULL ? error : "");
    grulo_free(error);
    grulo_file_run_free(run);
    return 1;
  }
  static const char* const names[] = {"NbLus", "NbErrBloq", "NbErrNonBloq", "NbErrForm"};
  static const int counters[] = {GRULO_COUNTER_NBLUS, GRULO_COUNTER_NBERRBLOQ,
                                 GRULO_COUNTER_NBERRNONBLOQ, GRULO_COUNTER_NBERRFORM};
  for (int i = 0; i < 4; ++i) {
    printf("%s=%lld\n", names[i], grulo_file_run_counter(run, counters[i]));
  }
  fputs(grulo_file_run_warnings(run), stderr);
  grulo_file_run_free(run);
  return 0;
}
