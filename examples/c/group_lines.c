/* Groups the first three lines of a summary file through the C interface
   and prints each result with its errors.
     group_lines TABLE_DIR INPUT_FILE */

#include <stdio.h>
#include <string.h>

#include <grulo/grulo.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: group_lines TABLE_DIR INPUT_FILE\n");
    return 2;
  }
  grulo_tables* tables = NULL;
  char* error = NULL;
  if (grulo_tables_open(argv[1], &tables, &error) != GRULO_OK) {
    fprintf(stderr, "%s\n", error != NULL ? error : "cannot open the tables");
    grulo_free(error);
    return 1;
  }
  grulo_grouper* grouper = NULL;
  if (grulo_grouper_new(&grouper) != GRULO_OK) return 1;
  grulo_grouper_set_today(grouper, 7, 12, 2026);

  FILE* input = fopen(argv[2], "rb");
  if (input == NULL) {
    perror(argv[2]);
    return 1;
  }
  char line[1024];
  for (int n = 0; n < 3 && fgets(line, sizeof line, input) != NULL; ++n) {
    size_t length = strcspn(line, "\r\n");
    int status = grulo_group(grouper, tables, line, length);
    if (status != GRULO_OK) {
      fprintf(stderr, "%s\n", grulo_status_text(status));
      return 1;
    }
    if (grulo_outcome_format(grouper) != GRULO_FORMAT_WELL_FORMED) {
      printf("line %d: not a summary\n", n + 1);
      continue;
    }
    printf("line %d: %s %02d%03d%02d%s errors:", n + 1, grulo_outcome_version(grouper),
           grulo_outcome_category(grouper), grulo_outcome_number(grouper),
           grulo_outcome_return_code(grouper), grulo_outcome_blocked(grouper) ? " blocked" : "");
    for (int i = 0; i < grulo_outcome_error_count(grouper); ++i) {
      int number = 0, blocking = 0;
      grulo_outcome_error(grouper, i, &number, &blocking);
      printf(" %d%s", number, blocking ? "*" : "");
    }
    printf("\n");
  }
  fclose(input);
  grulo_grouper_free(grouper);
  grulo_tables_free(tables);
  return 0;
}
