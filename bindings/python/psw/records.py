"""The records of libpsw: ctypes structures of the C layout, and plain Python values.

Each C record has a ctypes structure (``_C...``) whose size and field offsets are compared at
import with the layout that the build took from the C headers (``psw/_layout.py``); a mismatch
raises :class:`LayoutError` and the package does not load. Callers see frozen dataclasses
instead: plain values with ``to_dict()`` and ``to_json()``.
"""

from __future__ import annotations

import ctypes
import dataclasses
import json
from typing import Any, Dict, List, Tuple, Type

from . import _layout

__all__ = [
    "LayoutError", "Record", "PrinterStatus", "Storage", "Device", "InputTray", "OutputTray",
    "Toner", "Alert", "DateTime", "Job", "Supply", "MarkerCounter", "Identity", "FoundDevice",
    "UsmSettings",
]

i32, u32, i16, u8 = ctypes.c_int32, ctypes.c_uint32, ctypes.c_int16, ctypes.c_uint8


def _text(size: int) -> Any:
    return ctypes.c_char * size


class _CUSMSettings(ctypes.Structure):
    _fields_ = [("user_name", _text(64)), ("security_level", i32), ("auth_protocol", i32),
                ("priv_protocol", i32), ("auth_pass_phrase", _text(64)),
                ("priv_pass_phrase", _text(64)), ("context_name", _text(512))]


class _CPrinterInfo(ctypes.Structure):
    _fields_ = [("printer_status", i32), ("detected_error_state", u8 * 4)]


class _CStorageInfo(ctypes.Structure):
    _fields_ = [("storage_type", i32), ("allocation_units", i32), ("size", i32),
                ("description", _text(256))]


class _CDeviceInfo(ctypes.Structure):
    _fields_ = [("device_type", i32), ("device_status", i32), ("description", _text(256))]


class _CInputTrayInfo(ctypes.Structure):
    _fields_ = [("type", i32), ("dimension_unit", i32), ("media_dim_feed_declared", i32),
                ("media_dim_xfeed_declared", i32), ("media_dim_feed_chosen", i32),
                ("media_dim_xfeed_chosen", i32), ("capacity_unit", i32), ("max_capacity", i32),
                ("current_level", i32), ("status", i32), ("media_name", _text(64)),
                ("name", _text(64)), ("description", _text(256)), ("media_type", _text(64)),
                ("media_color", _text(64))]


class _COutputTrayInfo(ctypes.Structure):
    _fields_ = [("type", i32), ("status", i32), ("name", _text(64)), ("description", _text(256))]


class _CTonerInfo(ctypes.Structure):
    _fields_ = [("supply_unit", i32), ("max_capacity", i32), ("level", i32),
                ("description", _text(256))]


class _CAlertInfo(ctypes.Structure):
    _fields_ = [("severity_level", i32), ("group", i32), ("group_index", i32), ("location", i32),
                ("code", i32), ("description", _text(256))]


class _CDateTime(ctypes.Structure):
    _fields_ = [("year", i16), ("month", i16), ("day", i16), ("hour", i16), ("minute", i16),
                ("second", i16)]


class _CJobInfo(ctypes.Structure):
    _fields_ = [("job_type", i32), ("job_state", i32), ("value_59_6_10", i32),
                ("value_59_16_5", u32), ("value_59_16_6", u32), ("localized_text1", _text(256)),
                ("localized_text2", _text(256)), ("localized_text3", _text(256)),
                ("job_id", _text(256)), ("text", _text(256)), ("date1", _CDateTime),
                ("date2", _CDateTime), ("date3", _CDateTime)]


class _CSupplyInfo(ctypes.Structure):
    _fields_ = [("supply_index", i32), ("supply_class", i32), ("supply_type", i32),
                ("supply_unit", i32), ("max_capacity", i32), ("level", i32), ("percent", i32),
                ("colorant_index", i32), ("colorant", _text(64)), ("description", _text(256))]


class _CMarkerCounter(ctypes.Structure):
    _fields_ = [("counter_unit", i32), ("life_count", u32)]


class _CIdentityInfo(ctypes.Structure):
    _fields_ = [("sys_descr", _text(256)), ("sys_object_id", _text(128)),
                ("sys_contact", _text(256)), ("sys_name", _text(256)),
                ("sys_location", _text(256)), ("uptime", u32), ("marker_count", i32),
                ("serial_number", _text(256)), ("device_descr", _text(256)),
                ("markers", _CMarkerCounter * 4)]


#: C record name -> ctypes structure; every record of the layout file has one.
C_RECORDS: Dict[str, Type[ctypes.Structure]] = {
    "PSWUSMSettings": _CUSMSettings, "PSWPrinterInfo": _CPrinterInfo,
    "PSWStorageInfo": _CStorageInfo, "PSWDeviceInfo": _CDeviceInfo,
    "PSWInputTrayInfo": _CInputTrayInfo, "PSWOutputTrayInfo": _COutputTrayInfo,
    "PSWTonerInfo": _CTonerInfo, "PSWAlertInfo": _CAlertInfo, "PSWDateTime": _CDateTime,
    "PSWJobInfo": _CJobInfo, "PSWSupplyInfo": _CSupplyInfo,
    "PSWMarkerCounter": _CMarkerCounter, "PSWIdentityInfo": _CIdentityInfo,
}


class LayoutError(ImportError):
    """A ctypes record does not match the C layout: reading through it would misread memory."""


def check_layout(records: Dict[str, Tuple[int, Dict[str, Tuple[int, int]]]] = _layout.RECORDS) -> None:
    """Compares every ctypes record with the C layout (size, field names, field offsets and
    sizes).

    Raises LayoutError naming every difference; called once when the package is imported."""
    problems: List[str] = []
    for name in sorted(set(records) | set(C_RECORDS)):
        if name not in C_RECORDS:
            problems.append(f"{name}: a C record without a ctypes structure")
            continue
        if name not in records:
            problems.append(f"{name}: a ctypes structure the C headers do not have")
            continue
        size, c_fields = records[name]
        cls = C_RECORDS[name]
        if ctypes.sizeof(cls) != size:
            problems.append(f"{name}: ctypes size {ctypes.sizeof(cls)}, C size {size}")
        fields = {field[0]: (getattr(cls, field[0]).offset, getattr(cls, field[0]).size)
                  for field in cls._fields_}
        if list(fields) != list(c_fields):
            problems.append(f"{name}: ctypes fields {list(fields)}, C fields {list(c_fields)}")
        for field, (offset, field_size) in c_fields.items():
            if field in fields and fields[field] != (offset, field_size):
                problems.append(f"{name}.{field}: ctypes offset and size {fields[field]}, "
                                f"C offset and size {(offset, field_size)}")
    if problems:
        raise LayoutError("libpsw records differ from the C layout:\n  " + "\n  ".join(problems))


def decode_text(raw: bytes) -> str:
    """A record's text: UTF-8 when it is valid UTF-8, else each byte as Latin-1."""
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


def _plain(value: Any) -> Any:
    if isinstance(value, Record):
        return value.to_dict()
    if isinstance(value, bytes):
        return list(value)
    if isinstance(value, tuple):
        return [_plain(item) for item in value]
    return value


@dataclasses.dataclass(frozen=True)
class Record:
    """Base of the plain records: immutable values, comparable, convertible to dict and JSON."""

    def to_dict(self) -> Dict[str, Any]:
        """The fields as a dict of plain values (texts, numbers, lists, dicts)."""
        return {field.name: _plain(getattr(self, field.name)) for field in dataclasses.fields(self)}

    def to_json(self, **kwargs: Any) -> str:
        """The record as one JSON object (keyword arguments go to json.dumps)."""
        return json.dumps(self.to_dict(), **kwargs)

    @classmethod
    def from_c(cls, struct: ctypes.Structure) -> "Record":
        """The plain record of a ctypes structure of the same fields."""
        values: Dict[str, Any] = {}
        for field in dataclasses.fields(cls):
            raw = getattr(struct, field.name)
            values[field.name] = _convert(raw, field.type)
        return cls(**values)


def _convert(raw: Any, annotation: Any) -> Any:
    if isinstance(raw, bytes):  # a char array: ctypes stops at the first zero
        return decode_text(raw)
    if isinstance(raw, ctypes.Structure):
        return _NESTED[type(raw)].from_c(raw)
    if isinstance(raw, ctypes.Array):
        items = list(raw)
        if items and isinstance(items[0], ctypes.Structure):
            return tuple(_NESTED[type(items[0])].from_c(item) for item in items)
        return bytes(items)
    return raw


@dataclasses.dataclass(frozen=True)
class PrinterStatus(Record):
    """hrPrinterStatus (1 other, 2 unknown, 3 idle, 4 printing, 5 warmup) and the first four
    octets of hrPrinterDetectedErrorState."""
    printer_status: int
    detected_error_state: bytes


@dataclasses.dataclass(frozen=True)
class Storage(Record):
    """A storage area (hrStorageTable row)."""
    storage_type: int
    allocation_units: int
    size: int
    description: str


@dataclasses.dataclass(frozen=True)
class Device(Record):
    """A hardware device (hrDeviceTable row)."""
    device_type: int
    device_status: int
    description: str


@dataclasses.dataclass(frozen=True)
class InputTray(Record):
    """An input tray (prtInputTable row); numbers as the printer sends them."""
    type: int
    dimension_unit: int
    media_dim_feed_declared: int
    media_dim_xfeed_declared: int
    media_dim_feed_chosen: int
    media_dim_xfeed_chosen: int
    capacity_unit: int
    max_capacity: int
    current_level: int
    status: int
    media_name: str
    name: str
    description: str
    media_type: str
    media_color: str


@dataclasses.dataclass(frozen=True)
class OutputTray(Record):
    """An output tray (prtOutputTable row)."""
    type: int
    status: int
    name: str
    description: str


@dataclasses.dataclass(frozen=True)
class Toner(Record):
    """A toner supply (prtMarkerSuppliesTable row of type toner)."""
    supply_unit: int
    max_capacity: int
    level: int
    description: str


@dataclasses.dataclass(frozen=True)
class Alert(Record):
    """An alert (prtAlertTable row)."""
    severity_level: int
    group: int
    group_index: int
    location: int
    code: int
    description: str


@dataclasses.dataclass(frozen=True)
class DateTime(Record):
    """A date of a job record; fields the printer's value lacks are 0."""
    year: int
    month: int
    day: int
    hour: int
    minute: int
    second: int


@dataclasses.dataclass(frozen=True)
class Job(Record):
    """A job of the supported model's job tables; ``job_id`` is what Printer.cancel_job takes."""
    job_type: int
    job_state: int
    value_59_6_10: int
    value_59_16_5: int
    value_59_16_6: int
    localized_text1: str
    localized_text2: str
    localized_text3: str
    job_id: str
    text: str
    date1: DateTime
    date2: DateTime
    date3: DateTime


@dataclasses.dataclass(frozen=True)
class Supply(Record):
    """Any supply (prtMarkerSuppliesTable row); ``percent`` is the level in percent of the
    capacity, or the printer's special value (-1 other, -2 unknown, -3 some remaining)."""
    supply_index: int
    supply_class: int
    supply_type: int
    supply_unit: int
    max_capacity: int
    level: int
    percent: int
    colorant_index: int
    colorant: str
    description: str


@dataclasses.dataclass(frozen=True)
class MarkerCounter(Record):
    """A marker's lifetime page counter."""
    counter_unit: int
    life_count: int


@dataclasses.dataclass(frozen=True)
class Identity(Record):
    """Who the printer is: the system group, serial number, device description and the
    counters of its first four markers."""
    sys_descr: str
    sys_object_id: str
    sys_contact: str
    sys_name: str
    sys_location: str
    uptime: int
    marker_count: int
    serial_number: str
    device_descr: str
    markers: Tuple[MarkerCounter, ...]


@dataclasses.dataclass(frozen=True)
class FoundDevice(Record):
    """A printer that answered a discovery."""
    address: str
    model_name: str
    sys_object_id: str


@dataclasses.dataclass(frozen=True)
class UsmSettings(Record):
    """SNMPv3 user settings. Levels: 0 noAuthNoPriv, 1 authNoPriv, 2 authPriv; authentication
    1 MD5, 2 SHA, 3..6 SHA-224..SHA-512; privacy 1 DES, 2 AES, 3 AES-192, 4 AES-256. An empty
    text or an out-of-range code keeps the library's built-in value."""
    user_name: str = ""
    security_level: int = 0
    auth_protocol: int = 0
    priv_protocol: int = 0
    auth_pass_phrase: str = ""
    priv_pass_phrase: str = ""
    context_name: str = ""

    def to_c(self) -> _CUSMSettings:
        """The C record, passed by value to the SNMPv3 calls."""
        return _CUSMSettings(self.user_name.encode(), self.security_level, self.auth_protocol,
                             self.priv_protocol, self.auth_pass_phrase.encode(),
                             self.priv_pass_phrase.encode(), self.context_name.encode())


_NESTED: Dict[type, Type[Record]] = {_CDateTime: DateTime, _CMarkerCounter: MarkerCounter}

check_layout()
