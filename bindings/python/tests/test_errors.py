"""Failures of the C calls raise the exception of their result code."""

from __future__ import annotations

import pytest

import psw
from psw import errors
from psw._layout import RESULT_CODES


def test_every_failure_code_has_its_class_with_the_library_meaning():
    for name, value, meaning in RESULT_CODES:
        if value == 0:
            continue
        error = errors.error_for_code(value, "PSWCall")
        assert isinstance(error, errors.PSWError)
        assert (error.code, error.name, error.meaning) == (value, name, meaning)
        assert type(error) is getattr(errors, type(error).__name__)
        assert meaning in str(error) and "PSWCall" in str(error)
    unknown = errors.error_for_code(-12345)
    assert type(unknown) is errors.PSWError and unknown.code == -12345


@pytest.mark.parametrize("code, builtin", [(-2, ValueError), (-3, MemoryError), (-203, TimeoutError), (-11, IndexError)])
def test_some_codes_are_builtin_exceptions_too(code, builtin):
    assert isinstance(errors.error_for_code(code), builtin)


# (what, how to open the printer, the exception expected, its code)
CASES = [
    ("wrong community: snmpsim stays silent",
     dict(community="no-such-community", timeout=300, retries=0), "status", errors.TimeoutError, -203),
    ("another model where the supported one is needed",
     dict(community="other-model", any_model=False), None, errors.ParameterError, -2),
    ("address longer than 63 characters",
     dict(address="a" * 64), None, errors.ParameterError, -2),
    ("an option on a session of any model",
     dict(community="rich"), "refresh_options", errors.UnsupportedError, -5),
]


@pytest.mark.parametrize("what, arguments, call, expected, code", CASES, ids=[case[0] for case in CASES])
def test_errors_raise_the_exception_of_their_code(printer, what, arguments, call, expected, code):
    arguments = dict(arguments)
    address = arguments.pop("address", printer.address)
    with pytest.raises(expected) as caught:
        with psw.Printer(address, **arguments) as session:
            getattr(session, call)()
    assert caught.value.code == code


def test_a_closed_printer_is_not_initialised():
    session = psw.Printer("192.0.2.1")
    with pytest.raises(errors.NotInitializedError):
        session.status()
    with pytest.raises(ValueError):
        psw.Printer("192.0.2.1").jobs(kind="finished")
