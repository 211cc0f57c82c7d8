"""Checks and groups the weekly summaries of follow-up care and rehabilitation
stays, as the batch program grulo does.

Whole files, exactly as the batch groups them (table problems, retries and
version messages included)::

    import grulo
    run = grulo.group_file("week12.rss", "/srv/grulo/tables", today="07122026")
    run.grp, run.err           # the bytes of the .grp and .err files
    run.counters.NbLus         # the counters the batch writes into grulo.ini
    frame = grulo.read_frame("week12.rss", "/srv/grulo/tables", today="07122026")

One line at a time, with three tables that can be used together::

    tables = grulo.Tables("/srv/grulo/tables")
    result = tables.group(line, today=datetime.date(2026, 12, 7))
    result.category, result.number, result.return_code, result.grp_line

Today's date: the checks compare the summaries' dates with "today". Give it
as a datetime.date or a "DDMMYYYY" str; None asks for the computer's local
date, read before every summary as the batch reads it, so that results
change at midnight. group_file and read_frame require it; Tables.group and
Tables.group_file take the local date when it is left out.

Paths are str, bytes or os.PathLike (a NUL byte in one is refused). An input
is a path or a binary file object (io.BytesIO(data) for bytes in memory);
group_file and read_frame also read any other object with a buffer
(bytearray, memoryview, mmap) as the input's bytes. Whole files are grouped
without the GIL, so Python threads may group several at once.
"""

import dataclasses
import datetime
import os
import types
from typing import Any, BinaryIO, Iterator, Mapping, NamedTuple, Optional, Sequence, Tuple, Union

from grulo import _grulo
from grulo._grulo import LineFormat, Result

__all__ = [
    "Counters",
    "ERRORS",
    "ErrorInfo",
    "FORMAT_NAMES",
    "FRAME_COLUMNS",
    "FileResult",
    "LineFormat",
    "Result",
    "TableError",
    "Tables",
    "VERSION_NUMBER",
    "group_file",
    "read_frame",
    "version_info",
]

__version__: str = _grulo.version
#: The version as numbers: (major, minor, patch).
version_info: Tuple[int, int, int] = tuple(int(n) for n in __version__.split("."))  # type: ignore
#: The version as one number, major * 1000000 + minor * 1000 + patch.
VERSION_NUMBER: int = version_info[0] * 1000000 + version_info[1] * 1000 + version_info[2]

#: The most threads a whole file is grouped on, as for grulo --threads.
MAX_THREADS = 256

Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
Today = Union[datetime.date, str, None]
Input = Union[Path, BinaryIO, bytearray, memoryview]
TableFiles = Union[Path, Sequence[Path]]


class TableError(OSError):
    """Tables that cannot be used together (an OSError).

    str() names every table that failed and why, one per line. filename is
    the first table that failed; errno the system's error number when the
    system refused that file (errno.ENOENT: missing), None when the file was
    read and refused (too short, a record size the program refuses, another
    version); strerror the reason of that table.
    """

    def __init__(self, message: str, errno: Optional[int] = None,
                 strerror: Optional[str] = None, filename: Optional[str] = None) -> None:
        super().__init__(message)
        self.errno = errno
        self.strerror = strerror
        self.filename = filename

    def __str__(self) -> str:
        return str(self.args[0])

    def __reduce__(self) -> tuple:
        return (TableError, (self.args[0], self.errno, self.strerror, self.filename))


class Counters(NamedTuple):
    """What a run counts of its lines.

    The first four are the counters the batch writes into grulo.ini, under
    the same names. Counters add up: ``a + b``, ``sum(counters)``.
    """

    NbLus: int = 0
    NbErrBloq: int = 0
    NbErrNonBloq: int = 0
    NbErrForm: int = 0
    NbGrp: int = 0
    NbErrTab: int = 0
    NbErrArbre: int = 0

    def __add__(self, other: Any) -> "Counters":  # type: ignore[override]
        if not isinstance(other, Counters):
            return NotImplemented
        return Counters(*(a + b for a, b in zip(self, other)))

    def __radd__(self, other: Any) -> "Counters":
        if isinstance(other, int) and other == 0:  # the start of sum()
            return self
        return NotImplemented


@dataclasses.dataclass(frozen=True, repr=False)
class FileResult:
    """What group_file gives of a whole input.

    grp and err are the bytes of the .grp and .err files as the batch writes
    them (Windows-1252, CR LF), or None when they went to file objects.
    counters are the run's Counters. warnings name each table file that a
    summary could not use and why, as the batch tells the operator; empty
    when the tables gave no problem.
    """

    grp: Optional[bytes]
    err: Optional[bytes]
    counters: Counters
    warnings: Tuple[str, ...]

    def __repr__(self) -> str:
        def size(b: Optional[bytes]) -> str:
            return "None" if b is None else f"<{len(b)} bytes>"

        return (f"grulo.FileResult(counters={self.counters!r}, grp={size(self.grp)}, "
                f"err={size(self.err)}, warnings={self.warnings!r})")


class ErrorInfo(NamedTuple):
    """An error number as the catalogue describes it."""

    number: int
    blocking: bool
    produced: bool
    field: str
    description: str
    note: str


def _describe(fields: Any, docs: Mapping[str, str]) -> None:
    """Gives the fields of a NamedTuple their docstrings, which help() shows."""
    for name, doc in docs.items():
        getattr(fields, name).__doc__ = doc


_describe(Counters, {
    "NbLus": "Lines read.",
    "NbErrBloq": "Summaries with at least one blocking error.",
    "NbErrNonBloq": "Summaries with non-blocking errors only.",
    "NbErrForm": "Lines that the format recognition refused.",
    "NbGrp": "Lines written to the .grp file.",
    "NbErrTab": "Summaries that a table problem ended (return code 99 or 9).",
    "NbErrArbre": "Summaries whose tree walk failed (99, 904, 1 to 3).",
})
_describe(ErrorInfo, {
    "number": "The error number, 1 to 82.",
    "blocking": "A summary with this error is not grouped.",
    "produced": "False for a number that no check gives.",
    "field": "The field of the summary it concerns (\"\" when not produced).",
    "description": "One line, for listings.",
    "note": "What the one line leaves out, or \"\".",
})


#: The error catalogue: each number from 1 to 82 and its ErrorInfo.
ERRORS: Mapping[int, ErrorInfo] = types.MappingProxyType(
    {entry[0]: ErrorInfo(*entry) for entry in _grulo.error_catalogue()})


def _path(path: Any, what: str) -> Union[str, bytes]:
    """The path as str or bytes; a NUL byte refused."""
    if not isinstance(path, (str, bytes, os.PathLike)):
        raise TypeError(f"{what} is a path (str, bytes or os.PathLike), not "
                        f"{type(path).__name__}")
    path = os.fspath(path)
    if ("\0" if isinstance(path, str) else b"\0") in path:
        raise ValueError(f"{what} holds a NUL byte: {path!r}")
    return path


def _is_path(value: Any) -> bool:
    return isinstance(value, (str, bytes, os.PathLike))


def _table_paths(tables: Any) -> Tuple[bytes, bytes, bytes]:
    """The three table paths of a directory or of (tree, acts, diags)."""
    if _is_path(tables):
        directory = os.fsencode(_path(tables, "tables"))
        if directory and not directory.endswith(b"/"):
            directory += b"/"
        return tuple(directory + name.encode() for name in _grulo.TABLE_NAMES)  # type: ignore
    try:
        tree, acts, diags = tables
    except (TypeError, ValueError):
        raise TypeError("tables is a directory or a sequence of three paths (tree, acts, "
                        f"diags), not {tables!r}") from None
    return (os.fsencode(_path(tree, "the tree table")), os.fsencode(_path(acts, "the act table")),
            os.fsencode(_path(diags, "the diagnosis table")))


def _threads(threads: Any) -> int:
    if isinstance(threads, bool) or not isinstance(threads, int):
        raise TypeError(f"threads is an int, not {type(threads).__name__}")
    if not 1 <= threads <= MAX_THREADS:
        raise ValueError(f"threads is 1 to {MAX_THREADS}, not {threads}")
    return threads


class _Opened:
    """The input of a whole-file grouping: a path, opened here so that
    Python's own exceptions say what is wrong with it, then given as bytes
    for the native half to read without the GIL; or the caller's object as
    it is."""

    def __init__(self, input: Any) -> None:
        self.file = None
        self.source = input
        if _is_path(input):
            path = _path(input, "input")
            self.file = open(path, "rb", buffering=0)
            self.source = os.fsencode(path)

    def __enter__(self) -> Any:
        return self.source

    def __exit__(self, *exc: Any) -> None:
        if self.file is not None:
            self.file.close()


def _run(input: Input, tables: TableFiles, today: Today, threads: int, grp: Any, err: Any,
         frame: bool) -> tuple:
    """The native run; each output None (bytes returned), a file object, or
    False (nowhere)."""
    paths = _table_paths(tables)
    threads = _threads(threads)
    with _Opened(input) as source:
        return _grulo.run(source, *paths, today, threads, grp, err, frame)


def group_file(input: Input, tables: TableFiles, *, today: Today, threads: int = 1,
               grp: Optional[BinaryIO] = None, err: Optional[BinaryIO] = None) -> FileResult:
    """Groups a whole input exactly as the batch program does.

    input: a path, a binary file object, or an object with a buffer
    (bytearray, memoryview, mmap) holding the input's bytes.
    tables: the table directory, or the paths (tree, acts, diags). The tables
    are opened by the batch's rules: a table that cannot be opened ends the
    summary (return code 99) and is tried again with the next one, a table of
    another version gives 9 once, and every summary's outcome, messages and
    counters are those of the batch.
    today: a datetime.date or "DDMMYYYY" (None: the local date, read before
    every summary). Required, so that results do not depend on the day.
    threads: how many threads group (1 to 256); the outputs are the same.
    grp, err: binary file objects to write the .grp and .err bytes into
    (FileResult.grp and .err are then None); by default they are returned.

    The GIL is released while the file is grouped. Raises OSError when the
    input cannot be opened or read or an output cannot be written, and what
    a file object raises.
    """
    for name, out in (("grp", grp), ("err", err)):
        if out is not None and not callable(getattr(out, "write", None)):
            raise TypeError(f"{name} is a binary file object (with write) or None")
    grp_bytes, err_bytes, counters, warnings, _ = _run(input, tables, today, threads, grp, err,
                                                       False)
    return FileResult(grp_bytes, err_bytes, Counters(*counters), tuple(warnings))


#: The columns of read_frame, in order: those of the JSON rows of grulo group.
FRAME_COLUMNS = ("line", "format", "category", "number", "return", "version", "blocking",
                 "non_blocking")

#: The names of the formats in read_frame's format column, by LineFormat.
FORMAT_NAMES: Mapping[LineFormat, str] = types.MappingProxyType({
    LineFormat.WELL_FORMED: "well-formed",
    LineFormat.UNREADABLE: "unreadable",
    LineFormat.UNKNOWN_FORMAT: "unknown-format",
    LineFormat.SIZE_PROBLEM: "size-problem",
})


def read_frame(input: Input, tables: TableFiles, *, today: Today,
               threads: int = 1) -> "pandas.DataFrame":  # noqa: F821
    """Groups a whole input as group_file does into a pandas DataFrame, one
    row per line in input order, with the columns of the JSON rows of
    grulo group (FRAME_COLUMNS).

    line: the line's number, from 1 (int64). format: "well-formed",
    "unreadable", "unknown-format" or "size-problem" (categorical;
    FORMAT_NAMES). category, number, return: the three numbers of the
    result (Int16; <NA> for a line that is not a summary). version: the
    tree table's version that starts the .grp line, decoded as
    Result.version ("" while the tree table cannot be opened; <NA> for a
    line that is not a summary; categorical). blocking, non_blocking: the
    error numbers of the .err entry's two lists, in check order (tuples).
    frame.attrs["counters"] holds the run's Counters and
    frame.attrs["warnings"] its table warnings.

    Needs pandas (Debian: python3-pandas). The arguments are those of
    group_file.
    """
    try:
        import numpy
        import pandas
    except ImportError as error:
        raise ImportError("grulo.read_frame needs pandas (Debian: python3-pandas)") from error
    _, _, counters, warnings, columns = _run(input, tables, today, threads, False, False, True)
    count = len(columns["line_number"])
    not_summary = columns["format"] != LineFormat.WELL_FORMED.value

    def numbers(values: Any) -> Any:
        return pandas.arrays.IntegerArray(values, not_summary.copy())

    data = {
        "line": columns["line_number"],
        "format": pandas.Categorical.from_codes(columns["format"],
                                                categories=list(FORMAT_NAMES.values())),
        "category": numbers(columns["category"]),
        "number": numbers(columns["number"]),
        "return": numbers(columns["return_code"]),
        "version": pandas.Categorical.from_codes(columns["version"],
                                                 categories=columns["versions"]),
        # Object arrays made element by element: a tuple stays one value.
        "blocking": numpy.fromiter(columns["blocking"], dtype=object, count=count),
        "non_blocking": numpy.fromiter(columns["non_blocking"], dtype=object, count=count),
    }
    frame = pandas.DataFrame(data, columns=FRAME_COLUMNS)
    frame.attrs["counters"] = Counters(*counters)
    frame.attrs["warnings"] = tuple(warnings)
    return frame


class Tables:
    """The three tables (decision tree, acts, diagnoses), opened once and
    read into memory, to group lines one at a time.

    Tables that cannot be used together are refused: a table missing,
    unreadable or refused, or an act or diagnosis table of another version
    than the tree table raises TableError, which names every problem. (The
    batch, and group_file, go on with such tables by their own rules.)
    Any number of threads may group with one Tables.
    """

    __slots__ = ("_set",)

    def __init__(self, directory: Path) -> None:
        """Opens arbressr.tab, ccamcssr.tab and diag10sr.tab of the directory."""
        self._set = _grulo.TableSet(*_table_paths(_path(directory, "directory")))

    @classmethod
    def from_files(cls, tree: Path, acts: Path, diags: Path) -> "Tables":
        """Opens the three tables from their paths."""
        tables = cls.__new__(cls)
        tables._set = _grulo.TableSet(*_table_paths((tree, acts, diags)))
        return tables

    @property
    def version(self) -> str:
        """The tables' version (at most two characters), decoded as
        Result.version is."""
        return self._set.version

    @property
    def paths(self) -> Tuple[str, str, str]:
        """The paths of the tree, act and diagnosis tables."""
        return self._set.paths

    def __repr__(self) -> str:
        return f"grulo.Tables.from_files{self.paths!r}"

    def __reduce__(self) -> tuple:
        # Pickled as its paths: opened again where it is unpickled.
        return (Tables.from_files, self.paths)

    def group(self, line: Union[str, bytes, bytearray, memoryview], today: Today = None, *,
              line_number: int = 0) -> Result:
        """Groups one summary line, given without its line end.

        line: bytes-like as read from a summary file (a NUL byte ends it), or
        a str, encoded in Windows-1252.
        today: a datetime.date or "DDMMYYYY". LEFT OUT OR None, THE COMPUTER'S
        LOCAL DATE IS READ, and results change with the day: give it for
        results that can be reproduced.
        line_number: the number that the Result and its err_entry carry.
        """
        return self._set.group(line, today, line_number)

    def group_file(self, input: Input, today: Today = None) -> Iterator[Result]:
        """The Result of every line of an input, lazily, in input order,
        grouped with these tables (line_number from 1).

        input: a path or a binary file object, read as the batch reads its
        input (a line ends at LF, a CR before it is dropped, a last line
        without LF counts, a NUL byte ends a line's text).
        today: as for group: LEFT OUT OR None, THE LOCAL DATE IS READ.
        For the batch's whole-file outcome, see grulo.group_file.
        """
        if not _is_path(input):
            return self._set.lines(input, today, False)
        file = open(_path(input, "input"), "rb", buffering=0)
        try:
            return self._set.lines(file, today, True)
        except BaseException:
            file.close()
            raise
