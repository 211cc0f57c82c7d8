"""The Python package against the batch program: on an input with every kind
of line and on table sets good and broken, group_file gives the batch's .grp
and .err bytes and counters, read_frame the outcome of every line, and the
lines grouped one by one the batch's .grp lines and .err entries. Then the
package's own promises: paths, inputs, results and errors as Python expects
them, never a crash."""

import ast
import ctypes
import datetime
import enum
import errno
import importlib.util
import inspect
import io
import mmap
import os
import pathlib
import pickle
import shutil
import subprocess
import threading

import pytest

import grulo

BUILD = os.environ.get("GRULO_BUILD_DIR", "build")
SOURCE = os.environ.get("GRULO_SOURCE_DIR", ".")
TODAY = "07122026"
DEMO = os.path.join(SOURCE, "data", "demo")


def _scramble(data):
    data = bytearray(data)
    for i in range(64, len(data), 7):
        data[i] = (i * 31) & 0xFF
    return bytes(data)


def _version(data):
    return data[:8] + b"\x80\x81" + data[10:]  # the euro sign, a byte Windows leaves undefined


# Table sets made from the demo tables: file name -> None (left out) or an edit.
TABLE_SETS = {
    "good": {},
    "no-tree": {"arbressr.tab": None},
    "no-acts": {"ccamcssr.tab": None},
    "acts-version": {"ccamcssr.tab": lambda b: b[:9] + b"Z" + b[10:]},
    "diags-refused": {"diag10sr.tab": lambda b: b[:84] + b"\0" + b[85:]},  # record size 0
    "diags-cut": {"diag10sr.tab": lambda b: b[:len(b) // 3]},
    "tree-scrambled": {"arbressr.tab": _scramble},
    "version-bytes": {name: _version for name in grulo._grulo.TABLE_NAMES},
}


def _lines(data):
    """The lines of the bytes, as the batch reads them."""
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return [line[:-1] if line.endswith(b"\r") else line for line in lines]


class Setup:
    """Table sets, an input with every kind of line, and the batch's run."""

    def __init__(self, root):
        self.root = root
        good = os.path.join(root, "good")
        subprocess.run([os.path.join(BUILD, "grulo-tables"), "build",
                        "--tree", os.path.join(DEMO, "tree.txt"),
                        "--acts", os.path.join(DEMO, "acts.txt"),
                        "--diag", os.path.join(DEMO, "diag.txt"), "--out", good], check=True)
        for name, edits in TABLE_SETS.items():
            directory = os.path.join(root, name)
            os.makedirs(directory, exist_ok=True)
            for table in grulo._grulo.TABLE_NAMES:
                with open(os.path.join(good, table), "rb") as f:
                    data = f.read()
                edit = edits.get(table, lambda b: b)
                if edit is not None:
                    with open(os.path.join(directory, table), "wb") as f:
                        f.write(edit(data))
        generated = os.path.join(root, "generated.txt")
        subprocess.run([os.path.join(BUILD, "grulo-gen"), "--count", "1500", "--seed", "5",
                        "--faulty-share", "0.4", "--malformed-share", "0.08",
                        "--diag", os.path.join(DEMO, "diag.txt"),
                        "--acts", os.path.join(DEMO, "acts.txt"), "--out", generated],
                       check=True)
        with open(os.path.join(DEMO, "input.txt"), "rb") as f:
            data = f.read().rstrip(b"\n") + b"\n"
        with open(generated, "rb") as f:
            data += f.read()
        good_line = data[:data.index(b"\n")]
        # Over-long lines (one longer than the reader's buffer), NUL bytes, a
        # CR LF line, an empty line and a last line without its line feed.
        data += b"7" * 5000 + b"\n" + good_line + b"8" * 100000 + b"\n"
        data += good_line[:100] + b"\0" + good_line[101:] + b"\n"
        data += good_line + b"\r\n\n" + good_line
        self.data = data
        self.input = os.path.join(root, "week.rss")
        with open(self.input, "wb") as f:
            f.write(data)
        self.runs = {}

    def tables(self, name):
        return os.path.join(self.root, name)

    def batch(self, name):
        """(.grp, .err, the four counters) of grulo on the input with a table set."""
        if name not in self.runs:
            run = os.path.join(self.root, "run-" + name)
            os.makedirs(os.path.join(run, "out"))
            program = os.path.join(run, "grulo")
            shutil.copy(os.path.join(BUILD, "grulo"), program)
            with open(os.path.join(run, "grulo.ini"), "wb") as f:
                f.write(b"[G\xe9n\xe9ral]\r\nRepTab=" + self.tables(name).encode() +
                        b"/\r\nFicEnt=" + self.input.encode() + b"\r\nRepSor=" +
                        run.encode() + b"/out\r\n")
            subprocess.run([program], check=True, capture_output=True,
                           env=dict(os.environ, GRULO_TODAY=TODAY))
            with open(os.path.join(run, "out", "week.grp"), "rb") as f:
                grp = f.read()
            with open(os.path.join(run, "out", "week.err"), "rb") as f:
                err = f.read()
            with open(os.path.join(run, "grulo.ini"), "rb") as f:
                ini = dict(line.split(b"=", 1) for line in f.read().split(b"\r\n") if b"=" in line)
            counters = tuple(int(ini[k]) for k in (b"NbLus", b"NbErrBloq", b"NbErrNonBloq",
                                                   b"NbErrForm"))
            self.runs[name] = (grp, err, counters)
        return self.runs[name]


@pytest.fixture(scope="module")
def setup(tmp_path_factory):
    return Setup(str(tmp_path_factory.mktemp("grulo")))


@pytest.mark.parametrize("name", TABLE_SETS)
def test_group_file_is_the_batch(setup, name):
    grp, err, counters = setup.batch(name)
    for threads in (1, 3):
        run = grulo.group_file(setup.input, setup.tables(name), today=TODAY, threads=threads)
        assert run.grp == grp and run.err == err, threads
        assert run.counters[:4] == counters
        assert run.counters.NbGrp == grp.count(b"\n")
    problems = name in ("no-tree", "no-acts", "acts-version", "diags-refused")
    assert (bool(run.warnings), run.counters.NbErrTab > 0) == (problems, problems)


_WRITE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t)


def _c_library():
    """libgrulo.so of the build, through ctypes; skips where there is none."""
    path = os.path.join(BUILD, "lib", "libgrulo.so")
    if not os.path.exists(path):
        pytest.skip("no shared library in this build")
    lib = ctypes.CDLL(path)
    lib.grulo_file_run_counter.restype = ctypes.c_longlong
    lib.grulo_error_description.restype = ctypes.c_char_p
    return lib


@pytest.mark.parametrize("name", ["good", "no-tree", "no-acts", "acts-version", "diags-refused"])
def test_the_c_interface_agrees_with_python(setup, name):
    """Whole files, refused table sets and the catalogue are the same in C."""
    lib = _c_library()
    run = ctypes.c_void_p()
    assert lib.grulo_file_run_new(ctypes.byref(run)) == 0
    out = {"grp": bytearray(), "err": bytearray()}
    writers = [_WRITE(lambda _, data, n, kept=kept: kept.extend(ctypes.string_at(data, n)) or 0)
               for kept in (out["grp"], out["err"])]
    assert lib.grulo_file_run_set_tables(run, setup.tables(name).encode()) == 0
    assert lib.grulo_file_run_set_today(run, 7, 12, 2026) == 0
    assert lib.grulo_file_run_set_output_functions(run, writers[0], writers[1], None) == 0
    assert lib.grulo_group_file(run, setup.input.encode(), None) == 0
    python = grulo.group_file(setup.input, setup.tables(name), today=TODAY)
    assert (bytes(out["grp"]), bytes(out["err"])) == (python.grp, python.err)
    assert tuple(lib.grulo_file_run_counter(run, i) for i in range(4)) == python.counters[:4]
    lib.grulo_file_run_free(run)

    tables = ctypes.c_void_p()
    status = lib.grulo_tables_open(setup.tables(name).encode(), ctypes.byref(tables), None)
    lib.grulo_tables_free(tables)
    try:
        grulo.Tables(setup.tables(name))
        refused = False
    except grulo.TableError:
        refused = True
    assert (status == 2, refused) == (name != "good", name != "good")  # GRULO_ERROR_TABLES

    for number, info in grulo.ERRORS.items():
        assert lib.grulo_error_description(number).decode() == info.description
        assert lib.grulo_error_blocking(number) == int(info.blocking)


def test_every_input_and_output_gives_the_same_run(setup):
    tables = setup.tables("good")
    expected = grulo.group_file(setup.input, tables, today=TODAY)
    paths = [os.path.join(tables, n) for n in grulo._grulo.TABLE_NAMES]
    with open(setup.input, "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as m:
        inputs = [pathlib.Path(setup.input), os.fsencode(setup.input), io.BytesIO(setup.data),
                  io.BufferedReader(io.BytesIO(setup.data)), bytearray(setup.data),
                  memoryview(setup.data), m]
        for source in inputs:
            assert grulo.group_file(source, pathlib.Path(tables), today=TODAY) == expected
    date = datetime.date(2026, 12, 7)
    assert grulo.group_file(setup.input, paths, today=date) == expected
    grp, err = io.BytesIO(), io.BytesIO()
    run = grulo.group_file(setup.input, tables, today=TODAY, grp=grp, err=err)
    assert (grp.getvalue(), err.getvalue(), run.grp, run.err) == \
        (expected.grp, expected.err, None, None)
    assert sum([run.counters, run.counters]) == run.counters + run.counters


def test_lines_grouped_one_by_one_are_the_batch(setup):
    grp, err, _ = setup.batch("good")
    tables = grulo.Tables(setup.tables("good"))
    from_file = list(tables.group_file(setup.input, today=TODAY))
    assert [r.line_number for r in from_file] == list(range(1, len(from_file) + 1))
    assert b"".join(r.grp_line or b"" for r in from_file) == grp
    assert b"".join(r.err_entry for r in from_file) == err
    one_by_one = [tables.group(line, TODAY, line_number=n)
                  for n, line in enumerate(_lines(setup.data), start=1)]
    assert {r.format for r in one_by_one} == set(grulo.LineFormat)
    assert one_by_one == from_file


def test_read_frame_is_group_line_by_line(setup):
    pandas = pytest.importorskip("pandas", reason="read_frame needs pandas (python3-pandas)")
    name = "version-bytes"
    frame = grulo.read_frame(setup.input, setup.tables(name), today=TODAY, threads=2)
    results = list(grulo.Tables(setup.tables(name)).group_file(setup.input, today=TODAY))
    summary = [r.format == grulo.LineFormat.WELL_FORMED for r in results]

    def numbers(values):
        return pandas.array([v if s else None for v, s in zip(values, summary)], dtype="Int16")

    expected = pandas.DataFrame({
        "line": [r.line_number for r in results],
        "format": pandas.Categorical([grulo.FORMAT_NAMES[r.format] for r in results],
                                     categories=list(grulo.FORMAT_NAMES.values())),
        "category": numbers(r.category for r in results),
        "number": numbers(r.number for r in results),
        "return": numbers(r.return_code for r in results),
        "version": pandas.Categorical([r.version if s else None
                                       for r, s in zip(results, summary)]),
        "blocking": [r.blocking for r in results],
        "non_blocking": [r.non_blocking for r in results],
    })
    assert list(frame.columns) == list(grulo.FRAME_COLUMNS)
    pandas.testing.assert_frame_equal(frame, expected)
    assert frame.attrs["counters"] == grulo.group_file(setup.input, setup.tables(name),
                                                       today=TODAY).counters


def test_a_version_in_windows_1252(setup):
    tables = grulo.Tables(setup.tables("version-bytes"))
    result = tables.group(_lines(setup.data)[0], TODAY)
    assert tables.version == result.version == "\u20ac\x81"
    assert result.grp_line.startswith(b"\x80\x81")


def test_results_are_values(setup):
    tables = grulo.Tables(setup.tables("good"))
    lines = _lines(setup.data)
    results = [tables.group(line, TODAY, line_number=7) for line in lines[:40]]
    copies = pickle.loads(pickle.dumps(results))
    assert copies == results and [c.err_entry for c in copies] == [r.err_entry for r in results]
    assert len(set(results + copies)) == len(set(results)) > 30
    assert results[0] != tables.group(lines[0], TODAY, line_number=8)
    with pytest.raises(AttributeError):
        results[0].category = 1
    accented = b"\xe9" + lines[0][1:]  # one byte in Windows-1252, two in UTF-8
    from_bytes = tables.group(accented, TODAY)
    assert from_bytes.format == grulo.LineFormat.WELL_FORMED
    for same in (accented.decode("cp1252"), bytearray(accented), memoryview(accented)):
        assert tables.group(same, TODAY) == from_bytes
    assert repr(tables.group(b"short", TODAY)) == \
        "grulo.Result(line_number=0, format=grulo.LineFormat.UNREADABLE)"
    assert repr(results[0]).startswith(
        "grulo.Result(line_number=7, format=grulo.LineFormat.WELL_FORMED, category=")
    assert pickle.loads(pickle.dumps(tables)).paths == tables.paths


@pytest.mark.parametrize("name,error_number,table", [
    ("no-tree", errno.ENOENT, "arbressr.tab"),
    ("no-acts", errno.ENOENT, "ccamcssr.tab"),
    ("diags-refused", None, "diag10sr.tab"),
    ("acts-version", None, "ccamcssr.tab"),
])
def test_tables_that_cannot_be_used_together_raise(setup, name, error_number, table):
    with pytest.raises(grulo.TableError) as raised:
        grulo.Tables(setup.tables(name))
    assert isinstance(raised.value, OSError)
    assert raised.value.errno == error_number
    assert raised.value.filename == os.path.join(setup.tables(name), table)
    assert str(raised.value).startswith(raised.value.filename + ": ")
    copy = pickle.loads(pickle.dumps(raised.value))  # as multiprocessing and Dask carry it
    assert (str(copy), copy.errno, copy.filename) == \
        (str(raised.value), raised.value.errno, raised.value.filename)


def test_bad_arguments_raise(setup):
    tables = grulo.Tables(setup.tables("good"))
    good = setup.tables("good")
    with open(setup.input) as text_file:
        cases = [
            (TypeError, lambda: tables.group(12)),
            (ValueError, lambda: tables.group(b"x", today="7122026")),
            (ValueError, lambda: tables.group(b"x", today="31022026")),
            (TypeError, lambda: tables.group(b"x", today=20261207)),
            (UnicodeEncodeError, lambda: tables.group("\u4e00" * 343)),
            (FileNotFoundError, lambda: tables.group_file(setup.input + ".missing")),
            (ValueError, lambda: tables.group_file(setup.input + "\0junk")),
            (ValueError, lambda: grulo.group_file(setup.input + "\0junk", good, today=TODAY)),
            (ValueError, lambda: grulo.group_file(setup.input, good + "\0", today=TODAY)),
            (ValueError, lambda: grulo.Tables(os.fsencode(good) + b"\0")),
            (TypeError, lambda: grulo.group_file(setup.input, good)),  # today is required
            (TypeError, lambda: grulo.group_file(text_file, good, today=TODAY)),
            (TypeError, lambda: grulo.group_file(setup.input, good, today=TODAY, threads=1.0)),
            (ValueError, lambda: grulo.group_file(setup.input, good, today=TODAY, threads=0)),
            (TypeError, lambda: grulo.group_file(setup.input, (good, good), today=TODAY)),
            (IsADirectoryError, lambda: grulo.group_file(good, good, today=TODAY)),
            (TypeError, lambda: grulo.Tables(None)),
        ]
        for error, call in cases:
            with pytest.raises(error):
                call()

    class Failing(io.RawIOBase):
        def readinto(self, b):
            raise KeyError("from the file object")

    with pytest.raises(KeyError):
        grulo.group_file(Failing(), good, today=TODAY)
    with pytest.raises(KeyError):
        next(tables.group_file(Failing()))
    assert tables.group(b"").format == grulo.LineFormat.UNREADABLE


def test_the_package_describes_itself():
    assert issubclass(grulo.LineFormat, enum.Enum)
    assert grulo.version_info == tuple(int(n) for n in grulo.__version__.split("."))
    assert sorted(grulo.ERRORS) == list(range(1, 83))
    assert (grulo.ERRORS[13].blocking, grulo.ERRORS[21].blocking) == (True, False)
    assert sum(not e.blocking for e in grulo.ERRORS.values()) == 35
    for name in grulo.__all__:
        value = getattr(grulo, name)
        if callable(value) and not isinstance(value, type):
            inspect.signature(value)
        if inspect.isclass(value) or callable(value):
            assert value.__doc__, name
    for method in (grulo.Tables.group, grulo.Tables.group_file, grulo.Tables.from_files):
        assert method.__doc__ and inspect.signature(method)
    # The stub names what the native module holds.
    stub = ast.parse(pathlib.Path(grulo.__file__).with_name("_grulo.pyi").read_text())
    named = {getattr(node, "name", None) or getattr(node, "target").id for node in stub.body
             if isinstance(node, (ast.ClassDef, ast.FunctionDef, ast.AnnAssign))}
    assert named == {n for n in dir(grulo._grulo) if not n.startswith("__")}


def test_threads_group_files_at_once(setup):
    expected = grulo.group_file(setup.input, setup.tables("good"), today=TODAY)
    results = []
    threads = [threading.Thread(target=lambda: results.append(
        grulo.group_file(setup.input, setup.tables("good"), today=TODAY))) for _ in range(3)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results == [expected] * 3


@pytest.mark.filterwarnings("ignore::DeprecationWarning:tornado")
def test_the_dask_example_gives_the_figures_of_one_run(setup, tmp_path):
    pytest.importorskip("dask", reason="the Dask example needs python3-dask")
    distributed = pytest.importorskip("distributed",
                                      reason="the Dask example needs python3-distributed")
    pandas = pytest.importorskip("pandas", reason="the Dask example needs python3-pandas")
    found = importlib.util.spec_from_file_location(
        "group_folder", os.path.join(SOURCE, "examples", "dask", "group_folder.py"))
    example = importlib.util.module_from_spec(found)
    found.loader.exec_module(example)
    lines = setup.data.split(b"\n")
    folder = tmp_path / "weeks"
    folder.mkdir()
    for week, start in enumerate(range(0, len(lines), 600)):
        (folder / f"week{week:02d}.rss").write_bytes(b"\n".join(lines[start:start + 600]) +
                                                     b"\n")
    tables = setup.tables("good")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        counters, frame = example.group_folder(client, str(folder), tables, TODAY)
    whole = b"".join(p.read_bytes() for p in sorted(folder.iterdir()))
    single = grulo.read_frame(io.BytesIO(whole), tables, today=TODAY)
    assert counters == single.attrs["counters"]
    columns = list(grulo.FRAME_COLUMNS[1:])
    as_values = {"version": object}  # categories in another order
    pandas.testing.assert_frame_equal(frame[columns].astype(as_values),
                                      single[columns].astype(as_values))
