"""Loads libpsw.so.0 and declares the C prototypes the binding calls."""

from __future__ import annotations

import ctypes
import os

from . import _layout
from .records import (_CAlertInfo, _CDeviceInfo, _CIdentityInfo, _CInputTrayInfo, _CJobInfo,
                      _COutputTrayInfo, _CPrinterInfo, _CStorageInfo, _CSupplyInfo, _CTonerInfo,
                      _CUSMSettings, LayoutError)

#: The environment variable naming the library file to load instead of libpsw.so.<major>.
LIBRARY_VARIABLE = "PSW_LIBRARY"


def _load() -> ctypes.CDLL:
    major = _layout.VERSION.split(".")[0]
    path = os.environ.get(LIBRARY_VARIABLE) or f"libpsw.so.{major}"
    try:
        return ctypes.CDLL(path)
    except OSError as error:
        raise ImportError(f"cannot load the libpsw C library ({path}): {error}; install the "
                          f"libpsw{major} package or set {LIBRARY_VARIABLE}") from error


lib = _load()

_handle = ctypes.c_void_p
_i32, _u32, _i16 = ctypes.c_int32, ctypes.c_uint32, ctypes.c_int16
_P = ctypes.POINTER


def _declare(name: str, restype: object, *argtypes: object) -> None:
    function = getattr(lib, name)
    function.restype = restype
    function.argtypes = list(argtypes)


_declare("PSWGetVersion", ctypes.c_char_p)
_declare("PSWInit", _i32, _P(_handle))
_declare("PSWUnInit", None, _handle)
_declare("PSWCommandString", _i32, _handle, ctypes.c_char_p, ctypes.c_char_p)
_declare("PSWTransportAvailable", _i16, _i32)
_declare("PSWFindDeviceSNMP", _i32, _handle, ctypes.c_char_p, _i32, _u32, _u32, _P(_i32))
_declare("PSWFindDeviceSNMPEx", _i32, _handle, ctypes.c_char_p, _i32, _i32, _CUSMSettings, _u32,
         _u32, _P(_i32))
_declare("PSWFindAddFilter", _i32, _handle, ctypes.c_char_p)
_declare("PSWGetDeviceNext", _i16, _handle, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p,
         ctypes.c_char_p)
for _name in ("PSWInitDevice", "PSWInitAnyDevice"):
    _declare(_name, _i32, _handle, ctypes.c_char_p, _i32, _u32, _u32)
for _name in ("PSWInitDeviceEx", "PSWInitAnyDeviceEx"):
    _declare(_name, _i32, _handle, ctypes.c_char_p, _i32, _i32, _CUSMSettings, _u32, _u32)
_declare("PSWRefreshOptions", _i32, _handle)
_declare("PSWGetOptionValueBoolean", _i32, _handle, ctypes.c_char_p, ctypes.c_uint16, _P(_i16))
_declare("PSWGetOptionValueInteger", _i32, _handle, ctypes.c_char_p, ctypes.c_uint16, _P(_i32))
_declare("PSWGetOptionValueString", _i32, _handle, ctypes.c_char_p, ctypes.c_uint16,
         ctypes.c_char_p)
for _kind, _record in (("Storage", _CStorageInfo), ("Device", _CDeviceInfo),
                       ("InputTray", _CInputTrayInfo), ("OutputTray", _COutputTrayInfo),
                       ("Toner", _CTonerInfo), ("Alert", _CAlertInfo), ("Supply", _CSupplyInfo)):
    _declare(f"PSWGetNumberOf{_kind}Info", _i32, _handle, _P(_i32))
    _declare(f"PSWGet{_kind}Info", _i32, _handle, _i32, _P(_record))
_declare("PSWGetNumberOfJobInfo", _i32, _handle, _u32, _P(_i32))
_declare("PSWGetJobInfo", _i32, _handle, _i32, _P(_CJobInfo))
_declare("PSWGetPrinterInfo", _i32, _handle, _P(_CPrinterInfo))
_declare("PSWGetIdentityInfo", _i32, _handle, _P(_CIdentityInfo))
_declare("PSWGetCharSet", _i32, _handle, _u32, _P(_i32))
_declare("PSWCancelJob", _i32, _handle, ctypes.c_char_p)

# The records were checked against the headers the layout file was made from; the library
# loaded must be of the same major version (the same SONAME keeps the records' layout).
LIBRARY_VERSION: str = lib.PSWGetVersion().decode()
if LIBRARY_VERSION.split(".")[0] != _layout.VERSION.split(".")[0]:
    raise LayoutError(f"libpsw {LIBRARY_VERSION} was loaded; this binding was made for the "
                      f"records of libpsw {_layout.VERSION}")
