"""Result codes of libpsw as one exception hierarchy.

Every failure code of the C library has its own class, all derived from :class:`PSWError`, which
carries the code, its name and the library's one-line meaning. A few also derive from the
built-in exception that says the same (``TimeoutError``, ``ValueError``, ``MemoryError``,
``IndexError``), so ordinary ``except`` clauses catch them too. The classes are made from the
code list that the build takes from ``psw_result.h`` (``psw/_layout.py``).
"""

from __future__ import annotations

from typing import Dict, Tuple, Type

from . import _layout

__all__ = ["PSWError", "error_for_code", "raise_for_code", "CODES"]

#: name -> (value, meaning) of every result code, success included.
CODES: Dict[str, Tuple[int, str]] = {name: (value, meaning) for name, value, meaning in _layout.RESULT_CODES}


class PSWError(Exception):
    """A libpsw call failed. ``code`` is the C result code, ``name`` its constant's name
    (``PSW_ERR_TIMEOUT``) and ``meaning`` the library's one-line text for it."""

    code: int = 0
    name: str = ""
    meaning: str = ""

    def __init__(self, call: str = "", code: int | None = None) -> None:
        if code is not None:
            self.code = code
        self.call = call
        where = f"{call}: " if call else ""
        super().__init__(f"{where}{self.meaning} ({self.name or 'code'} {self.code})")


# Built-in exceptions that some codes also are.
_ALSO = {
    "PSW_ERR_PARAMETER": ValueError,
    "PSW_ERR_NO_MEMORY": MemoryError,
    "PSW_INIT_NO_MEMORY": MemoryError,
    "PSW_ERR_TIMEOUT": TimeoutError,
    "PSW_ERR_INDEX": IndexError,
}


def _class_name(code_name: str) -> str:
    """PSW_ERR_NOT_FOUND -> NotFoundError, PSW_INIT_NO_MEMORY -> InitNoMemoryError."""
    stem = code_name[len("PSW_ERR_"):] if code_name.startswith("PSW_ERR_") else code_name[len("PSW_"):]
    return "".join(part.capitalize() for part in stem.split("_")) + "Error"


_BY_CODE: Dict[int, Type[PSWError]] = {}
for _name, (_value, _meaning) in CODES.items():
    if _value == 0:
        continue
    _bases: Tuple[type, ...] = (PSWError,) + ((_ALSO[_name],) if _name in _ALSO else ())
    _cls = type(_class_name(_name), _bases, {
        "code": _value, "name": _name, "meaning": _meaning,
        "__doc__": f"{_name} ({_value}): {_meaning}.", "__module__": __name__,
    })
    globals()[_cls.__name__] = _cls
    __all__.append(_cls.__name__)
    _BY_CODE[_value] = _cls


def error_for_code(code: int, call: str = "") -> PSWError:
    """The exception for a C result code; an unknown code gives a plain PSWError."""
    cls = _BY_CODE.get(code)
    if cls is None:
        error = PSWError(call, code)
        error.meaning = "unknown result code"
        error.args = (f"{call + ': ' if call else ''}unknown result code ({code})",)
        return error
    return cls(call)


def raise_for_code(code: int, call: str) -> None:
    """Raises the exception of ``code`` unless it is PSW_SUCCESS (0)."""
    if code != 0:
        raise error_for_code(code, call)
