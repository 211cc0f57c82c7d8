"""The Python module against the batch program: the demo input followed by
generated lines of every kind, grouped line by line and file by file, gives
the results and error lists that grulo writes into its .grp and .err files.
Then the module's own promises: errors as exceptions, never a crash."""

import datetime
import os
import shutil
import subprocess

import pytest

import grulo

BUILD = os.environ.get("GRULO_BUILD_DIR", "build")
SOURCE = os.environ.get("GRULO_SOURCE_DIR", ".")
TODAY = "07122026"


def _lines(data):
    """The lines of the bytes, as the batch reads them."""
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return [line[:-1] if line.endswith(b"\r") else line for line in lines]


class Batch:
    """What the batch program says of each line of an input."""

    def __init__(self, root):
        demo = os.path.join(SOURCE, "data", "demo")
        self.tables = os.path.join(root, "tables")
        os.makedirs(self.tables)
        subprocess.run([os.path.join(BUILD, "grulo-tables"), "build",
                        "--tree", os.path.join(demo, "tree.txt"),
                        "--acts", os.path.join(demo, "acts.txt"),
                        "--diag", os.path.join(demo, "diag.txt"),
                        "--out", self.tables], check=True)
        generated = os.path.join(root, "generated.txt")
        subprocess.run([os.path.join(BUILD, "grulo-gen"), "--count", "1500", "--seed", "5",
                        "--faulty-share", "0.4", "--malformed-share", "0.05",
                        "--diag", os.path.join(demo, "diag.txt"),
                        "--acts", os.path.join(demo, "acts.txt"),
                        "--out", generated], check=True)
        with open(os.path.join(demo, "input.txt"), "rb") as f:
            data = f.read()
        if not data.endswith(b"\n"):
            data += b"\n"
        with open(generated, "rb") as f:
            data += f.read()
        self.input = os.path.join(root, "week.rss")
        with open(self.input, "wb") as f:
            f.write(data)
        self.lines = _lines(data)

        bin_dir = os.path.join(root, "bin")
        out_dir = os.path.join(root, "out")
        os.makedirs(bin_dir)
        os.makedirs(out_dir)
        program = os.path.join(bin_dir, "grulo")
        shutil.copy(os.path.join(BUILD, "grulo"), program)
        with open(os.path.join(bin_dir, "grulo.ini"), "wb") as f:
            f.write(b"[G\xe9n\xe9ral]\r\nRepTab=" + self.tables.encode() + b"/\r\nFicEnt=" +
                    self.input.encode() + b"\r\nRepSor=" + out_dir.encode() + b"\r\n")
        subprocess.run([program], check=True, env=dict(os.environ, GRULO_TODAY=TODAY))
        with open(os.path.join(out_dir, "week.err"), "rb") as f:
            err = _lines(f.read())
        with open(os.path.join(out_dir, "week.grp"), "rb") as f:
            self.grp = _lines(f.read())
        # .err entries by record number: (format problem, blocking, non-blocking)
        self.entries = {}
        record = 0
        header = b"=" * 36 + b"Enregistrement n\xb0 "
        for text in err:
            if text.startswith(header):
                record = int(text[len(header):])
                self.entries[record] = [b"", b"", b""]
            elif text.startswith(b"   -> "):
                self.entries[record][0] = text
            elif text.startswith(b"\t->  Liste des erreurs bloquantes: "):
                self.entries[record][1] = text.split(b": ", 1)[1]
            elif text.startswith(b"\t->  Liste des erreurs non bloquantes: "):
                self.entries[record][2] = text.split(b": ", 1)[1]


@pytest.fixture(scope="module")
def batch(tmp_path_factory):
    return Batch(str(tmp_path_factory.mktemp("batch")))


def _list_text(numbers):
    return b"".join(b"%d," % n for n in numbers)


def _check_against_batch(batch, results):
    grp = iter(batch.grp)
    count = 0
    for number, (line, result) in enumerate(zip(batch.lines, results), start=1):
        count += 1
        entry = batch.entries.get(number)
        if result.format != grulo.LineFormat.WELL_FORMED:
            assert entry is not None and entry[0], number
            continue
        blocking = [n for n, b in result.errors if b]
        non_blocking = [n for n, b in result.errors if not b]
        if result.errors:
            assert entry == [b"", _list_text(blocking), _list_text(non_blocking)], number
        else:
            assert entry is None, number
        assert result.blocked == bool(blocking)
        if not result.blocked:
            expected = b"%2s%02d%03d%02dM14" % (result.version.encode(), result.category,
                                               result.number, result.return_code)
            assert next(grp) == expected + line.split(b"\0")[0], number
    assert count == len(batch.lines)
    assert next(grp, None) is None


def test_group_agrees_with_the_batch(batch):
    tables = grulo.Tables(batch.tables)
    results = [tables.group(line, today=TODAY) for line in batch.lines]
    formats = {r.format for r in results}
    assert formats == set(grulo.LineFormat.__members__.values())
    _check_against_batch(batch, results)


def test_group_file_agrees_with_the_batch(batch):
    tables = grulo.Tables(batch.tables)
    results = tables.group_file(batch.input, today=datetime.date(2026, 12, 7))
    numbered = []
    for result in results:
        numbered.append(result)
        assert result.line_number == len(numbered)
    _check_against_batch(batch, numbered)


def _fields(result):
    return (result.format, result.category, result.number, result.return_code,
            result.version, result.errors, result.blocked)


def test_a_str_line_is_windows_1252(batch):
    tables = grulo.Tables(batch.tables)
    line = b"\xe9" + batch.lines[0][1:]  # one byte in Windows-1252, two in UTF-8
    from_bytes = tables.group(line, TODAY)
    assert from_bytes.format == grulo.LineFormat.WELL_FORMED
    assert _fields(tables.group(line.decode("cp1252"), TODAY)) == _fields(from_bytes)
    with pytest.raises(UnicodeEncodeError):
        tables.group("\u4e00" * 343)


def test_tables_that_cannot_be_opened_raise(tmp_path):
    with pytest.raises(grulo.TableError) as raised:
        grulo.Tables(str(tmp_path))
    for name in ("arbressr.tab", "ccamcssr.tab", "diag10sr.tab"):
        assert str(tmp_path / name) in str(raised.value)
    assert isinstance(raised.value, OSError)


def test_bad_arguments_raise(batch):
    tables = grulo.Tables(batch.tables)
    assert tables.version
    with pytest.raises(TypeError):
        tables.group(12)
    with pytest.raises(ValueError):
        tables.group(b"x", today="7122026")
    with pytest.raises(TypeError):
        tables.group(b"x", today=20261207)
    with pytest.raises(OSError):
        tables.group_file(os.path.join(batch.tables, "missing.rss"))
    with pytest.raises(TypeError):
        grulo.Tables(None)
    short = tables.group(b"")
    assert short.format == grulo.LineFormat.UNREADABLE and short.errors == []
