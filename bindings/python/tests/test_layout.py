"""The import-time layout check: a record whose ctypes layout and C layout differ stops the
package from loading, naming the record."""

from __future__ import annotations

import shutil
import subprocess
import sys
from pathlib import Path

import pytest

import psw
from psw import records

PACKAGE = Path(psw.__file__).resolve().parent


def test_every_record_matches_the_layout_file():
    records.check_layout()  # raises on any difference
    assert set(records.C_RECORDS) == set(psw._layout.RECORDS)


# (what is changed on purpose, file, text, replacement, the record the error must name)
CHANGES = [
    ("the C record grew", "_layout.py", '"PSWTonerInfo": (268,', '"PSWTonerInfo": (272,', "PSWTonerInfo"),
    ("a C field moved", "_layout.py", '"description": (96, 256),', '"description": (100, 256),', "PSWSupplyInfo.description"),
    ("a ctypes field narrowed", "records.py", '("percent", i32)', '("percent", i16)', "PSWSupplyInfo"),
    ("a ctypes field dropped", "records.py", '("marker_count", i32),', "", "PSWIdentityInfo"),
]


@pytest.mark.parametrize("what, file, text, replacement, named", CHANGES, ids=[c[0] for c in CHANGES])
def test_a_changed_layout_fails_the_import_loudly(tmp_path, package_env, what, file, text, replacement, named):
    copy = tmp_path / "psw"
    shutil.copytree(PACKAGE, copy, ignore=shutil.ignore_patterns("__pycache__"))
    source = (copy / file).read_text()
    assert text in source, f"{file} no longer holds {text!r}; update this test"
    (copy / file).write_text(source.replace(text, replacement, 1))
    env = dict(package_env, PYTHONPATH=str(tmp_path))
    result = subprocess.run([sys.executable, "-c", "import psw"], env=env, cwd=tmp_path, capture_output=True, text=True)
    assert result.returncode != 0
    assert "psw.records.LayoutError" in result.stderr
    assert named in result.stderr
