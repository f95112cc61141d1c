"""Python binding of libpsw: find printers on the network and read their state over SNMP.

A thin layer over the installed C library (``libpsw.so.0``) through ctypes::

    import psw

    for found in psw.discover("192.0.2.255"):
        print(found.address, found.model_name)

    with psw.Printer("192.0.2.10", community="public") as printer:
        print(printer.identity().serial_number)
        for supply in printer.supplies():
            print(supply.description, supply.percent)

Failures raise a subclass of :class:`psw.errors.PSWError` named after the result code
(``psw.errors.TimeoutError`` for ``PSW_ERR_TIMEOUT``, ...). Records are frozen dataclasses with
``to_dict()`` and ``to_json()``. A handle, and so a ``Printer``, is used by one thread at a time;
different printers may be read on different threads at once. Set ``PSW_LIBRARY`` to load the C
library from another file.
"""

from __future__ import annotations

import ctypes
from typing import Callable, Iterable, Iterator, List, Optional, TypeVar

from . import _native, errors
from ._layout import VERSION as HEADER_VERSION
from .errors import PSWError
from .records import (Alert, DateTime, Device, FoundDevice, Identity, InputTray, LayoutError,
                      MarkerCounter, OutputTray, PrinterStatus, Record, Storage, Supply, Toner,
                      UsmSettings, Job, _CAlertInfo, _CDeviceInfo, _CIdentityInfo, _CInputTrayInfo,
                      _CJobInfo, _COutputTrayInfo, _CPrinterInfo, _CStorageInfo, _CSupplyInfo,
                      _CTonerInfo)

__all__ = [
    "Printer", "discover", "version", "transport_available", "errors", "PSWError", "LayoutError",
    "Record", "PrinterStatus", "Storage", "Device", "InputTray", "OutputTray", "Toner", "Alert",
    "DateTime", "Job", "Supply", "MarkerCounter", "Identity", "FoundDevice", "UsmSettings",
    "HEADER_VERSION", "UDP_IPV4", "UDP_IPV6", "IPX",
]
__version__ = HEADER_VERSION

#: Transport codes.
UDP_IPV4, IPX, UDP_IPV6 = 1, 2, 5
#: Job kinds of Printer.jobs.
JOB_KINDS = {"all": 0, "others": 1, "separated": 2}

_lib = _native.lib
R = TypeVar("R", bound=Record)


def version() -> str:
    """The version of the loaded C library ("MAJOR.MINOR.PATCH")."""
    return _native.LIBRARY_VERSION


def transport_available(transport: int) -> bool:
    """Whether this machine can use a transport (UDP_IPV4, UDP_IPV6 or IPX)."""
    return _lib.PSWTransportAvailable(transport) == 1


def _new_handle() -> ctypes.c_void_p:
    handle = ctypes.c_void_p()
    errors.raise_for_code(_lib.PSWInit(ctypes.byref(handle)), "PSWInit")
    return handle


def _set_community(handle: ctypes.c_void_p, command: str, value: str) -> None:
    errors.raise_for_code(_lib.PSWCommandString(handle, command.encode(), value.encode()),
                          "PSWCommandString")


def discover(address: Optional[str] = None, *, community: str = "public", timeout: int = 2000,
             retries: int = 0, ipv6: bool = False, filters: Iterable[str] = (),
             usm: Optional[UsmSettings] = None) -> Iterator[FoundDevice]:
    """Finds the printers of the supported model that answer one SNMP GET of sysObjectID.

    address: a broadcast, multicast or unicast address; None sends to 255.255.255.255 (ff02::1
    with ipv6). timeout: milliseconds collected after each of the retries + 1 sends. filters:
    sysObjectID prefixes, at least one of which a printer must match. usm: SNMPv3 settings (an
    engine-id probe, then one request to each device that answered).

    Returns an iterator: the discovery runs at the first ``next()``, then yields each printer.
    Raises a PSWError subclass when the discovery fails."""
    handle = _new_handle()
    try:
        _set_community(handle, "CmdSetCommunityFind", community)
        for prefix in filters:
            errors.raise_for_code(_lib.PSWFindAddFilter(handle, prefix.encode()), "PSWFindAddFilter")
        transport = UDP_IPV6 if ipv6 else UDP_IPV4
        target = address.encode() if address is not None else None
        count = ctypes.c_int32(0)
        if usm is None:
            result = _lib.PSWFindDeviceSNMP(handle, target, transport, timeout, retries,
                                            ctypes.byref(count))
        else:
            result = _lib.PSWFindDeviceSNMPEx(handle, target, transport, 2, usm.to_c(), timeout,
                                              retries, ctypes.byref(count))
        errors.raise_for_code(result, "PSWFindDeviceSNMP")
        texts = [ctypes.create_string_buffer(64) for _ in range(4)]
        while _lib.PSWGetDeviceNext(handle, *texts) == 1:
            yield FoundDevice(address=texts[0].value.decode(), model_name=texts[1].value.decode(),
                              sys_object_id=texts[3].value.decode())
    finally:
        _lib.PSWUnInit(handle)


class Printer:
    """A session with one printer, opened by ``with`` (or ``open()``) and closed at its end.

    address: the printer's address or host name. community: the read community; write_community
    the one of cancel_job ("private" unless given). timeout: milliseconds per try; retries: extra
    tries. ipv6: UDP over IPv6. usm: SNMPv3 settings (every request then goes over SNMPv3).
    any_model: True (default) reads a printer of any make; False checks that the printer is the
    supported model (and fails with ParameterError otherwise), which the option calls need.
    """

    def __init__(self, address: str, *, community: str = "public",
                 write_community: Optional[str] = None, timeout: int = 2000, retries: int = 1,
                 ipv6: bool = False, usm: Optional[UsmSettings] = None,
                 any_model: bool = True) -> None:
        self.address = address
        self.community = community
        self.write_community = write_community
        self.timeout = timeout
        self.retries = retries
        self.ipv6 = ipv6
        self.usm = usm
        self.any_model = any_model
        self._handle: Optional[ctypes.c_void_p] = None

    def open(self) -> "Printer":
        """Makes the library handle and binds it to the printer; raises a PSWError subclass on
        failure (the handle is freed then)."""
        if self._handle is not None:
            return self
        handle = _new_handle()
        try:
            _set_community(handle, "CmdSetCommunityGetOption", self.community)
            if self.write_community is not None:
                _set_community(handle, "CmdSetCommunityWrite", self.write_community)
            transport = UDP_IPV6 if self.ipv6 else UDP_IPV4
            call = "PSWInitAnyDevice" if self.any_model else "PSWInitDevice"
            if self.usm is None:
                result = getattr(_lib, call)(handle, self.address.encode(), transport,
                                             self.timeout, self.retries)
            else:
                call += "Ex"
                result = getattr(_lib, call)(handle, self.address.encode(), transport, 2,
                                             self.usm.to_c(), self.timeout, self.retries)
            errors.raise_for_code(result, call)
        except BaseException:
            _lib.PSWUnInit(handle)
            raise
        self._handle = handle
        return self

    def close(self) -> None:
        """Frees the handle; harmless when already closed."""
        if self._handle is not None:
            _lib.PSWUnInit(self._handle)
            self._handle = None

    def __enter__(self) -> "Printer":
        return self.open()

    def __exit__(self, *exc_info: object) -> None:
        self.close()

    def __del__(self) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "open" if self._handle is not None else "closed"
        return f"<psw.Printer {self.address} {state}>"

    @property
    def handle(self) -> ctypes.c_void_p:
        """The C handle; raises NotInitializedError when the printer is not open."""
        if self._handle is None:
            raise errors.error_for_code(-8, "Printer (not open)")
        return self._handle

    def _table(self, kind: str, c_record: type, record: Callable[[ctypes.Structure], R],
               *count_args: int) -> List[R]:
        count = ctypes.c_int32(0)
        errors.raise_for_code(getattr(_lib, f"PSWGetNumberOf{kind}Info")(
            self.handle, *count_args, ctypes.byref(count)), f"PSWGetNumberOf{kind}Info")
        rows: List[R] = []
        for index in range(count.value):
            item = c_record()
            errors.raise_for_code(getattr(_lib, f"PSWGet{kind}Info")(
                self.handle, index, ctypes.byref(item)), f"PSWGet{kind}Info")
            rows.append(record(item))
        return rows

    def status(self) -> PrinterStatus:
        """hrPrinterStatus and the detected error state."""
        item = _CPrinterInfo()
        errors.raise_for_code(_lib.PSWGetPrinterInfo(self.handle, ctypes.byref(item)),
                              "PSWGetPrinterInfo")
        return PrinterStatus.from_c(item)  # type: ignore[return-value]

    def identity(self) -> Identity:
        """System group, serial number, device description and page counters."""
        item = _CIdentityInfo()
        errors.raise_for_code(_lib.PSWGetIdentityInfo(self.handle, ctypes.byref(item)),
                              "PSWGetIdentityInfo")
        return Identity.from_c(item)  # type: ignore[return-value]

    def supplies(self) -> List[Supply]:
        """Every supply, in table order."""
        return self._table("Supply", _CSupplyInfo, Supply.from_c)  # type: ignore[arg-type]

    def toners(self) -> List[Toner]:
        """The toner supplies."""
        return self._table("Toner", _CTonerInfo, Toner.from_c)  # type: ignore[arg-type]

    def input_trays(self) -> List[InputTray]:
        """The input trays."""
        return self._table("InputTray", _CInputTrayInfo, InputTray.from_c)  # type: ignore[arg-type]

    def output_trays(self) -> List[OutputTray]:
        """The output trays."""
        return self._table("OutputTray", _COutputTrayInfo, OutputTray.from_c)  # type: ignore[arg-type]

    def alerts(self) -> List[Alert]:
        """The alerts, in table order."""
        return self._table("Alert", _CAlertInfo, Alert.from_c)  # type: ignore[arg-type]

    def storage(self) -> List[Storage]:
        """The storage areas."""
        return self._table("Storage", _CStorageInfo, Storage.from_c)  # type: ignore[arg-type]

    def devices(self) -> List[Device]:
        """The hardware devices."""
        return self._table("Device", _CDeviceInfo, Device.from_c)  # type: ignore[arg-type]

    def jobs(self, kind: str = "all") -> List[Job]:
        """The jobs of the supported model's job tables: kind "all", "others" or "separated"."""
        if kind not in JOB_KINDS:
            raise ValueError(f"job kind {kind!r}: one of {', '.join(JOB_KINDS)}")
        return self._table("Job", _CJobInfo, Job.from_c, JOB_KINDS[kind])  # type: ignore[arg-type]

    def char_set(self, private: bool = False) -> int:
        """The standard (or the printer's private) character set number."""
        out = ctypes.c_int32(0)
        errors.raise_for_code(_lib.PSWGetCharSet(self.handle, 1 if private else 0,
                                                 ctypes.byref(out)), "PSWGetCharSet")
        return out.value

    def cancel_job(self, job_id: str) -> None:
        """Cancels a job (a Job.job_id) with one SNMP SET of the write community."""
        errors.raise_for_code(_lib.PSWCancelJob(self.handle, job_id.encode()), "PSWCancelJob")

    def refresh_options(self) -> None:
        """Reads the installed options again (a printer opened with any_model=False)."""
        errors.raise_for_code(_lib.PSWRefreshOptions(self.handle), "PSWRefreshOptions")

    def option(self, name: str, kind: type = bool, index: int = 0) -> object:
        """An installed option by name, as bool, int or str (from the last refresh_options)."""
        if kind is bool:
            flag = ctypes.c_int16(0)
            result = _lib.PSWGetOptionValueBoolean(self.handle, name.encode(), index, ctypes.byref(flag))
            errors.raise_for_code(result, "PSWGetOptionValueBoolean")
            return flag.value != 0
        if kind is int:
            number = ctypes.c_int32(0)
            result = _lib.PSWGetOptionValueInteger(self.handle, name.encode(), index, ctypes.byref(number))
            errors.raise_for_code(result, "PSWGetOptionValueInteger")
            return number.value
        if kind is str:
            text = ctypes.create_string_buffer(256)
            result = _lib.PSWGetOptionValueString(self.handle, name.encode(), index, text)
            errors.raise_for_code(result, "PSWGetOptionValueString")
            return text.value.decode("utf-8", "replace")
        raise ValueError("kind is bool, int or str")
