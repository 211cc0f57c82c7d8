"""Groups a whole file through the Python module and reports summaries per
second.
    PYTHONPATH=build/python python3 bench/python_bench.py TABLE_DIR INPUT_FILE"""

import sys
import time

import grulo


def main():
    tables = grulo.Tables(sys.argv[1])
    start = time.perf_counter()
    count = sum(1 for _ in tables.group_file(sys.argv[2], today="07122026"))
    seconds = time.perf_counter() - start
    print(f"{count} summaries in {seconds:.3f} s: {count / seconds:,.0f} summaries per second")


if __name__ == "__main__":
    main()
