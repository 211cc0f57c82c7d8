"""The Python package against the native batch on the same file: grulo
--threads 1, grulo.group_file and grulo.read_frame on one thread, the lines
of Tables.group_file, and group_file on two Python threads at once. Each is
run REPEAT times (default 3), alternated, and the median kept; summaries
per second and the ratio to the native run. Then group_file beside another
thread that keeps the GIL busy (a Python loop) and beside one as busy that
leaves the GIL free (hashing): the difference is what the GIL costs the
grouping, which releases it but for the signals it looks for.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [COUNT]

COUNT generated summaries (default 1000000) from the demo tables, in
build/bench-python/. Build first (scripts/build.sh, or cmake --build build).
"""

import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import threading
import time

import grulo

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
DEMO = os.path.join(ROOT, "data", "demo")
TODAY = "07122026"


def prepare(count):
    work = os.path.join(BUILD, "bench-python")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "out"))
    tables = os.path.join(work, "tables")
    subprocess.run([os.path.join(BUILD, "grulo-tables"), "build",
                    "--tree", os.path.join(DEMO, "tree.txt"),
                    "--acts", os.path.join(DEMO, "acts.txt"),
                    "--diag", os.path.join(DEMO, "diag.txt"), "--out", tables],
                   check=True, stdout=subprocess.DEVNULL)
    week = os.path.join(work, "week.rss")
    subprocess.run([os.path.join(BUILD, "grulo-gen"), "--count", str(count),
                    "--seed", "20261207", "--diag", os.path.join(DEMO, "diag.txt"),
                    "--acts", os.path.join(DEMO, "acts.txt"), "--out", week], check=True)
    program = os.path.join(work, "grulo")
    shutil.copy(os.path.join(BUILD, "grulo"), program)
    with open(os.path.join(work, "grulo.ini"), "wb") as f:
        f.write(b"[G\xe9n\xe9ral]\r\nRepTab=" + tables.encode() + b"/\r\nFicEnt=" +
                week.encode() + b"\r\nRepSor=" + work.encode() + b"/out\r\n")
    return program, tables, week


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 1000000
    repeat = int(os.environ.get("REPEAT", "3"))
    program, tables, week = prepare(count)
    opened = grulo.Tables(tables)

    def native():
        subprocess.run([program, "--threads", "1"], check=True,
                       env=dict(os.environ, GRULO_TODAY=TODAY))

    def two_threads():  # two files at once: summaries per second for both
        workers = [threading.Thread(target=grulo.group_file, args=(week, tables),
                                    kwargs={"today": TODAY}) for _ in range(2)]
        for w in workers:
            w.start()
        for w in workers:
            w.join()

    runs = {
        "grulo --threads 1": (native, count),
        "grulo.group_file": (lambda: grulo.group_file(week, tables, today=TODAY), count),
        "grulo.read_frame": (lambda: grulo.read_frame(week, tables, today=TODAY), count),
        "Tables.group_file lines": (lambda: sum(1 for _ in opened.group_file(week, TODAY)),
                                    count),
        "group_file, 2 Python threads": (two_threads, 2 * count),
    }
    seconds = {name: [] for name in runs}
    for _ in range(repeat):
        for name, (run, _) in runs.items():
            start = time.perf_counter()
            run()
            seconds[name].append(time.perf_counter() - start)
    base = count / statistics.median(seconds["grulo --threads 1"])
    print(f"{count} summaries, median of {repeat} runs, {os.cpu_count()} cores")
    for name, (_, summaries) in runs.items():
        rate = summaries / statistics.median(seconds[name])
        print(f"{name:30} {rate:12,.0f} summaries/s  {rate / base:5.2f} x native")
    group = runs["grulo.group_file"][0]
    beside = {name: busy_beside(group, work) for name, work in
              (("a Python loop", python_loop), ("hashing, without the GIL", hashing))}
    for name, taken in beside.items():
        print(f"group_file beside {name:25} {count / taken:12,.0f} summaries/s")


def python_loop(stop):
    while not stop:
        pass


def hashing(stop):
    data = b"x" * (1 << 20)
    while not stop:
        hashlib.sha256(data).digest()  # the GIL released while it hashes


def busy_beside(run, work):
    """Seconds of run() while another thread does work()."""
    stop = []
    busy = threading.Thread(target=work, args=(stop,))
    busy.start()
    start = time.perf_counter()
    run()
    seconds = time.perf_counter() - start
    stop.append(True)
    busy.join()
    return seconds


if __name__ == "__main__":
    main()
