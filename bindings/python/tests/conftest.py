"""Fixtures of the binding's tests: a simulated printer (snmpsimd) on a leased loopback address,
and a pair of network namespaces for discovery.

Environment: PSW_LIBRARY (the C library under test), PSW_REFERENCE_READER (the C reference
reader, bindings/python/reference_reader.c), CI (a missing peer fails instead of skipping),
PSW_TEST_LOCK_DIR (where the loopback leases live, /tmp by default).
"""

from __future__ import annotations

import fcntl
import os
import shutil
import socket
import subprocess
import tempfile
import time
from pathlib import Path
from typing import Dict, Iterator, List, Optional

import pytest

REPOSITORY = Path(__file__).resolve().parents[3]
PRINTERS = REPOSITORY / "tests" / "data" / "printers"
SUPPORTED_MODEL = "1.3.6.1.4.1.297.1.11.93.1.35.27.1"


def require(condition: bool, reason: str) -> None:
    """Skips the test when a peer is missing, or fails it when CI is set."""
    if condition:
        return
    if os.environ.get("CI"):
        pytest.fail(f"peer unavailable and CI is set, refusing to skip: {reason}")
    pytest.skip(reason)


def require_agent() -> None:
    require(os.geteuid() == 0, "not root (port 161, network namespaces)")
    require(Path("/usr/bin/snmpsimd").exists(), "snmpsimd missing (package snmpsim)")


def read_snmprec(path: Path) -> Dict[str, str]:
    """OID -> value text of a recording."""
    values = {}
    for line in path.read_text().splitlines():
        oid, _, rest = line.partition("|")
        values[oid] = rest.partition("|")[2]
    return values


class SimulatedPrinter:
    """snmpsimd serving recordings (community = file name) at one address, port 161."""

    def __init__(self, recordings: List[Path], address: str, netns: Optional[str] = None) -> None:
        """Inside a namespace the agent listens on every address of it, so that it hears
        broadcasts too (a socket bound to one unicast address does not)."""
        self.address = address
        # A folder of its own: the agent runs as nobody and must reach it.
        self.work = Path(tempfile.mkdtemp(prefix="psw-python-printer-"))
        data, cache = self.work / "data", self.work / "cache"
        data.mkdir()
        cache.mkdir()
        for recording in recordings:
            shutil.copy(recording, data)
        self.work.chmod(0o755)
        data.chmod(0o755)
        for file in data.iterdir():
            file.chmod(0o644)
        shutil.chown(cache, "nobody", "nogroup")
        self.log = self.work / "snmpsimd.log"
        self.log.touch()
        shutil.chown(self.log, "nobody", "nogroup")
        command = ["/usr/bin/snmpsimd", f"--data-dir={data}", f"--cache-dir={cache}",
                   "--process-user=nobody", "--process-group=nogroup",
                   f"--agent-udpv4-endpoint={'0.0.0.0' if netns else address}:161", f"--logging-method=file:{self.log}"]
        if netns:
            command = ["ip", "netns", "exec", netns] + command
        self.netns = netns
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        self.community = recordings[0].stem

    def wait_until_answering(self) -> None:
        command = ["snmpget", "-v1", "-c", self.community, "-r0", "-t0.2", "-On",
                   f"{self.address}:161", "1.3.6.1.2.1.1.2.0"]
        if self.netns:
            command = ["ip", "netns", "exec", self.netns] + command
        for _ in range(150):
            if self.process.poll() is not None:
                break
            if subprocess.run(command, capture_output=True).returncode == 0:
                return
            time.sleep(0.1)
        self.stop()
        raise RuntimeError(f"the simulated printer did not answer; its log:\n{self.log.read_text()[-2000:]}")

    def stop(self) -> None:
        if self.process.poll() is None:
            os.killpg(self.process.pid, 15)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, 9)
                self.process.wait()
        shutil.rmtree(self.work, ignore_errors=True)


def _port_free(address: str) -> bool:
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        try:
            probe.bind((address, 161))
        except OSError:
            return False
    return True


@pytest.fixture(scope="session")
def loopback_address() -> Iterator[str]:
    """A 127.0.0.N of this session's own, leased as the C tests lease theirs (flock)."""
    lock_dir = Path(os.environ.get("PSW_TEST_LOCK_DIR", "/tmp"))
    for n in range(2, 255):
        path = lock_dir / f"psw-test-loopback-{n}.lock"
        fd = os.open(path, os.O_RDWR | os.O_CREAT, 0o666)
        try:
            fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except OSError:
            os.close(fd)
            continue
        if not _port_free(f"127.0.0.{n}"):
            os.close(fd)
            continue
        try:
            yield f"127.0.0.{n}"
        finally:
            os.close(fd)
        return
    raise RuntimeError("no free loopback address on port 161")


@pytest.fixture(scope="session")
def printer(loopback_address: str) -> Iterator[SimulatedPrinter]:
    """The rich recording (community "rich"; the supported model) and another model's
    (community "other-model") on a leased loopback address."""
    require_agent()
    agent = SimulatedPrinter([PRINTERS / "rich.snmprec", PRINTERS / "other-model.snmprec"],
                             loopback_address)
    try:
        agent.wait_until_answering()
        yield agent
    finally:
        agent.stop()


@pytest.fixture
def namespaces() -> Iterator[Dict[str, str]]:
    """Two network namespaces of this test's own joined by a veth pair on 10.78.0.0/24: the
    client (10.78.0.1) and the printer (10.78.0.2). Broadcasts stay inside them; both go at
    the end."""
    require_agent()
    require(shutil.which("ip") is not None, "ip missing (package iproute2)")
    stem = f"psw-py-{os.getpid()}"
    client, host = f"{stem}-c", f"{stem}-p"
    made: List[str] = []

    def ip(*args: str) -> None:
        subprocess.run(["ip", *args], check=True, capture_output=True)

    try:
        for name in (client, host):
            ip("netns", "add", name)
            made.append(name)
        ip("-n", client, "link", "add", "veth0", "type", "veth", "peer", "name", "veth1", "netns", host)
        for name, device, address in ((client, "veth0", "10.78.0.1/24"), (host, "veth1", "10.78.0.2/24")):
            ip("-n", name, "addr", "add", address, "broadcast", "10.78.0.255", "dev", device)
            ip("-n", name, "link", "set", device, "up")
            ip("-n", name, "link", "set", "lo", "up")
        yield {"client": client, "host": host, "client_address": "10.78.0.1",
               "printer_address": "10.78.0.2", "broadcast": "10.78.0.255"}
    finally:
        for name in made:
            subprocess.run(["ip", "netns", "delete", name], capture_output=True)


@pytest.fixture
def package_env() -> Dict[str, str]:
    """The environment under which a child Python imports this same package and library."""
    env = dict(os.environ)
    import psw  # the package under test, wherever it was imported from
    env["PYTHONPATH"] = str(Path(psw.__file__).resolve().parents[1])
    return env
