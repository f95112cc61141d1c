"""The records the binding reads equal the ones a C caller of the same library gets."""

from __future__ import annotations

import json
import os
import subprocess
from collections import defaultdict
from typing import Dict, List

import pytest

import psw
from psw import records

from conftest import PRINTERS, SUPPORTED_MODEL, read_snmprec, require

# kind printed by the reference reader -> (ctypes record, plain record, Printer method)
KINDS = {
    "printer": (records._CPrinterInfo, psw.PrinterStatus, "status"),
    "identity": (records._CIdentityInfo, psw.Identity, "identity"),
    "supply": (records._CSupplyInfo, psw.Supply, "supplies"),
    "toner": (records._CTonerInfo, psw.Toner, "toners"),
    "input_tray": (records._CInputTrayInfo, psw.InputTray, "input_trays"),
    "output_tray": (records._COutputTrayInfo, psw.OutputTray, "output_trays"),
    "alert": (records._CAlertInfo, psw.Alert, "alerts"),
    "storage": (records._CStorageInfo, psw.Storage, "storage"),
    "device": (records._CDeviceInfo, psw.Device, "devices"),
}


@pytest.fixture(scope="module")
def c_records(printer) -> Dict[str, List[psw.Record]]:
    """What the C reference reader gets from the simulated printer, per kind."""
    reader = os.environ.get("PSW_REFERENCE_READER", "")
    require(os.access(reader, os.X_OK), "PSW_REFERENCE_READER names no program (tools/ci/python.sh sets it)")
    out = subprocess.run([reader, printer.address, "rich"], capture_output=True, text=True, timeout=60)
    assert out.returncode == 0, out.stderr
    by_kind: Dict[str, List[psw.Record]] = defaultdict(list)
    for line in out.stdout.splitlines():
        kind, index, data = line.split(" ")
        c_record, plain, _ = KINDS[kind]
        assert int(index) == len(by_kind[kind])
        by_kind[kind].append(plain.from_c(c_record.from_buffer_copy(bytes.fromhex(data))))
    return by_kind


@pytest.mark.parametrize("kind", sorted(KINDS))
def test_records_equal_the_c_results(printer, c_records, kind):
    with psw.Printer(printer.address, community="rich") as session:
        got = getattr(session, KINDS[kind][2])()
    got = got if isinstance(got, list) else [got]
    assert got == c_records[kind]
    # The recording has rows of every kind but toner-free kinds could be empty; the rich one has all.
    assert got, f"the rich recording gives no {kind} record"


def test_texts_and_numbers_decode_as_recorded(printer):
    recorded = read_snmprec(PRINTERS / "rich.snmprec")
    with psw.Printer(printer.address, community="rich") as session:
        identity = session.identity()
        supplies = session.supplies()
    assert identity.sys_object_id == SUPPORTED_MODEL
    assert identity.sys_name == recorded["1.3.6.1.2.1.1.5.0"]
    assert identity.serial_number == recorded["1.3.6.1.2.1.43.5.1.1.17.1"]
    assert identity.uptime == int(recorded["1.3.6.1.2.1.1.3.0"])
    first = supplies[0]
    assert first.description == recorded[f"1.3.6.1.2.1.43.11.1.1.6.1.{first.supply_index}"]
    assert first.level == int(recorded[f"1.3.6.1.2.1.43.11.1.1.9.1.{first.supply_index}"])


def test_records_are_plain_values_with_dict_and_json(printer):
    with psw.Printer(printer.address, community="rich") as session:
        identity = session.identity()
        status = session.status()
    as_dict = identity.to_dict()
    assert as_dict["serial_number"] == identity.serial_number
    assert as_dict["markers"][0] == identity.markers[0].to_dict()
    assert json.loads(identity.to_json()) == as_dict
    assert json.loads(status.to_json())["detected_error_state"] == list(status.detected_error_state)
    with pytest.raises(AttributeError):
        identity.sys_name = "changed"  # type: ignore[misc]
