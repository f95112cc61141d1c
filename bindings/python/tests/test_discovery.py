"""Discovery as an iterator, broadcast inside network namespaces of the test's own."""

from __future__ import annotations

import json
import subprocess
import sys

from conftest import PRINTERS, SUPPORTED_MODEL, SimulatedPrinter

DISCOVER = """
import json, sys, psw
found = psw.discover(sys.argv[1], community="rich", timeout=700, filters=sys.argv[2:])
print(json.dumps([device.to_dict() for device in found]))
"""


def discover_in(namespace, package_env, address, *filters):
    """Runs psw.discover inside the client namespace; its broadcast never leaves the pair."""
    result = subprocess.run(["ip", "netns", "exec", namespace, sys.executable, "-c", DISCOVER, address, *filters],
                            env=package_env, cwd="/", capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    return json.loads(result.stdout)


def test_discovery_finds_the_printer_behind_a_broadcast(namespaces, package_env):
    agent = SimulatedPrinter([PRINTERS / "rich.snmprec"], namespaces["printer_address"], namespaces["host"])
    try:
        agent.wait_until_answering()
        found = discover_in(namespaces["client"], package_env, namespaces["broadcast"])
        assert found == [{"address": namespaces["printer_address"],
                          "model_name": found[0]["model_name"] if found else None,
                          "sys_object_id": SUPPORTED_MODEL}]
        assert found[0]["model_name"]
        # A filter the printer does not match leaves nothing.
        assert discover_in(namespaces["client"], package_env, namespaces["broadcast"], "1.3.6.1.4.1.9999") == []
        assert len(discover_in(namespaces["client"], package_env, namespaces["broadcast"], SUPPORTED_MODEL[:20])) == 1
    finally:
        agent.stop()


def test_discovery_of_nobody_is_an_empty_iterator(namespaces, package_env):
    assert discover_in(namespaces["client"], package_env, namespaces["broadcast"]) == []
