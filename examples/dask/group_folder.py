"""Groups a folder of weekly summary files on a Dask cluster and gathers the
counters and one pandas DataFrame: the figures of one batch run over the
files, one after the other.

    python3 group_folder.py TABLE_DIR FOLDER DDMMYYYY [SCHEDULER_ADDRESS]

Without a scheduler's address a LocalCluster of worker processes on this
machine groups the files. Each task groups one whole file with
grulo.read_frame (exactly as the batch groups it, the GIL released), on a
worker that reads the file and the tables from the same paths as the client:
a shared file system on a real cluster. The client adds the counters and
puts the frames one after the other in file order, with a `file` column.

Each file is a run of its own: with tables that open, the counters and the
rows are those of one run over all the files; a table problem is met (and
its message written) once per file, as by the batch run on each file."""

import glob
import os
import sys

import grulo
import pandas
from dask.distributed import Client, LocalCluster


def group_one(path, tables, today):
    """The frame of one file, with its name in a first column."""
    frame = grulo.read_frame(path, tables, today=today)
    frame.insert(0, "file", os.path.basename(path))
    return frame


def group_folder(client, folder, tables, today, pattern="*.rss"):
    """(counters, frame) of the files of the folder that match the pattern,
    grouped on the client's cluster, in file name order."""
    files = sorted(glob.glob(os.path.join(folder, pattern)))
    if not files:
        raise FileNotFoundError(f"no file {pattern} in {folder}")
    frames = client.gather(client.map(group_one, files, tables=tables, today=today))
    counters = sum(frame.attrs["counters"] for frame in frames)
    frame = pandas.concat(frames, ignore_index=True)
    # Categories that differ from file to file make plain columns: make them
    # categorical again.
    for column in ("file", "version"):
        frame[column] = frame[column].astype("category")
    return counters, frame


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit("usage: group_folder.py TABLE_DIR FOLDER DDMMYYYY [SCHEDULER_ADDRESS]")
    tables, folder, today = sys.argv[1:4]
    if len(sys.argv) == 5:
        client = Client(sys.argv[4])
    else:
        client = Client(LocalCluster(n_workers=os.cpu_count() or 1, threads_per_worker=1,
                                     processes=True, dashboard_address=None))
    with client:
        counters, frame = group_folder(client, folder, tables, today)
    for name, value in counters._asdict().items():
        print(f"{name}={value}")
    grouped = frame[frame["format"] == "well-formed"]
    groups = grouped.groupby(["category", "number"]).size().sort_values(ascending=False)
    print("most frequent groups (category, number, summaries):")
    for (category, number), count in groups.head(10).items():
        print(f"  {category:02d}{number:03d} {count}")


if __name__ == "__main__":
    main()
