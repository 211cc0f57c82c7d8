"""Groups the first three lines of a summary file through the Python module
and prints each result with its errors.
    python3 group_lines.py TABLE_DIR INPUT_FILE"""

import itertools
import sys

import grulo


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: group_lines.py TABLE_DIR INPUT_FILE")
    try:
        tables = grulo.Tables(sys.argv[1])
    except grulo.TableError as error:
        sys.exit(str(error))
    for result in itertools.islice(tables.group_file(sys.argv[2], today="07122026"), 3):
        if result.format != grulo.LineFormat.WELL_FORMED:
            print(f"line {result.line_number}: not a summary")
            continue
        errors = "".join(f" {n}{'*' if blocking else ''}" for n, blocking in result.errors)
        print(f"line {result.line_number}: {result.version} "
              f"{result.category:02d}{result.number:03d}{result.return_code:02d}"
              f"{' blocked' if result.blocked else ''} errors:{errors}")


if __name__ == "__main__":
    main()
