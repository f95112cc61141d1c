#!/usr/bin/python3
"""Captures the SNMP datagrams that Net-SNMP's tools and agents really send, as hex fixtures.

Run as root from anywhere:  /usr/bin/python3 tests/data/snmp/capture.py [OUTPUT_DIR]

It starts a private snmpd on 127.0.0.1:16161 and an snmpsim agent on 127.0.0.1:16162 (serving
capture.snmprec under the community "capture"), then runs each client command of CASES against a
relay on 127.0.0.1:16190. The relay records the first datagram the tool sends and, when the case
names an agent, forwards it there and records the first answer. Every datagram is written as one
line of hex to <case>-request.hex / <case>-response.hex. Request ids come from the tools and
differ between runs; the tests read them from the fixtures as they are checked in.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else HERE
RELAY = ("127.0.0.1", 16190)
SNMPD = ("127.0.0.1", 16161)
SNMPSIM = ("127.0.0.1", 16162)
R = "udp:127.0.0.1:16190"
TOOL = ["-r0", "-t1"]

# name, agent (None: no answer is awaited), command
CASES = [
    ("get-v1", SNMPD, ["snmpget", "-v1", "-c", "public", *TOOL, R,
                       "1.3.6.1.2.1.1.2.0", "1.3.6.1.2.1.1.3.0"]),
    ("getnext-v2c", SNMPSIM, ["snmpgetnext", "-v2c", "-c", "capture", *TOOL, R,
                              "1.3.6.1.2.1.43.8.2.1.2"]),
    ("get-types-v2c", SNMPSIM, ["snmpget", "-v2c", "-c", "capture", *TOOL, R,
                                "1.3.6.1.2.1.43.8.2.1.2.1.1", "1.3.6.1.2.1.43.8.2.1.3.1.1",
                                "1.3.6.1.2.1.43.8.2.1.4.1.1", "1.3.6.1.2.1.43.8.2.1.5.1.1",
                                "1.3.6.1.2.1.43.8.2.1.6.1.1", "1.3.6.1.2.1.43.8.2.1.7.1.1",
                                "1.3.6.1.2.1.43.8.2.1.8.1.1", "1.3.6.1.2.1.43.8.2.1.9.1.1",
                                "1.3.6.1.2.1.43.8.2.1.10.1.1", "1.3.6.1.2.1.43.8.2.1.11.1.1"]),
    ("get-exceptions-v2c", SNMPD, ["snmpget", "-v2c", "-c", "public", *TOOL, R,
                                   "1.3.6.1.2.1.1.5.0", "1.3.6.1.2.1.1.99.0",
                                   "1.3.6.1.2.1.1.5.1"]),
    ("getnext-end-v2c", SNMPSIM, ["snmpgetnext", "-v2c", "-c", "capture", *TOOL, R,
                                  "1.3.6.1.2.1.43.9"]),
    ("get-nosuchname-v1", SNMPD, ["snmpget", "-v1", "-c", "public", *TOOL, R,
                                  "1.3.6.1.2.1.1.5.0", "1.3.6.1.2.1.1.99.0",
                                  "1.3.6.1.2.1.1.1.0"]),
    ("set-v1", SNMPD, ["snmpset", "-v1", "-c", "private", *TOOL, R,
                       "1.3.6.1.2.1.1.4.0", "s", "Tray 1"]),
    ("set-readonly-v2c", SNMPD, ["snmpset", "-v2c", "-c", "private", *TOOL, R,
                                 "1.3.6.1.2.1.1.4.0", "s", "ops",
                                 "1.3.6.1.2.1.1.3.0", "t", "5"]),
    ("set-types-v1", None, ["snmpset", "-v1", "-c", "private", *TOOL, R,
                            "1.3.6.1.2.1.1.5.0", "i", "-5",
                            "1.3.6.1.2.1.1.6.0", "u", "4000000000",
                            "1.3.6.1.2.1.1.7.0", "t", "987654",
                            "1.3.6.1.2.1.1.8.0", "a", "10.1.2.3",
                            "1.3.6.1.2.1.1.9.0", "o", "1.3.6.1.4.1.2021",
                            "1.3.6.1.2.1.1.4.0", "s", "Tray 1",
                            "1.3.6.1.2.1.1.10.0", "x", "00ff10"]),
    ("set-null-opaque-v2c", None, ["snmpset", "-v2c", "-c", "private", *TOOL, R,
                                   "1.3.6.1.2.1.1.5.0", "n", "x",
                                   "1.3.6.1.2.1.1.6.0", "U", "12345678901"]),
    ("trap-v1-specific", None, ["snmptrap", "-v1", "-c", "public", R,
                                "1.3.6.1.4.1.297", "127.0.0.1", "6", "10", "12345",
                                "1.3.6.1.2.1.1.5.0", "s", "printer"]),
    ("trap-v1-generic", None, ["snmptrap", "-v1", "-c", "public", R,
                               "1.3.6.1.4.1.297", "127.0.0.1", "2", "0", "77",
                               "1.3.6.1.2.1.2.2.1.1.3", "i", "3"]),
    ("trap-v2c", None, ["snmptrap", "-v2c", "-c", "public", R, "555",
                        "1.3.6.1.4.1.297.0.1"]),
]

SNMPREC = """1.3.6.1.2.1.1.2.0|6|1.3.6.1.4.1.297.1.11.93.1.35.27.1
1.3.6.1.2.1.43.8.2.1.2.1.1|2|-5
1.3.6.1.2.1.43.8.2.1.3.1.1|4|Tray 1
1.3.6.1.2.1.43.8.2.1.4.1.1|4x|00ff10
1.3.6.1.2.1.43.8.2.1.5.1.1|5|
1.3.6.1.2.1.43.8.2.1.6.1.1|6|1.3.6.1.4.1.2021.10.1.3.1
1.3.6.1.2.1.43.8.2.1.7.1.1|64|10.1.2.3
1.3.6.1.2.1.43.8.2.1.8.1.1|65|123456
1.3.6.1.2.1.43.8.2.1.9.1.1|66|4000000000
1.3.6.1.2.1.43.8.2.1.10.1.1|67|987654
1.3.6.1.2.1.43.8.2.1.11.1.1|70|12345678901234567890
"""


def relay(agent, record, ready):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(RELAY)
    sock.settimeout(3)
    ready.set()
    try:
        data, source = sock.recvfrom(65535)
        record["request"] = data
        if agent is not None:
            out = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            out.settimeout(3)
            out.sendto(data, agent)
            answer, _ = out.recvfrom(65535)
            record["response"] = answer
            sock.sendto(answer, source)
    except socket.timeout:
        pass
    finally:
        sock.close()


def wait_for(agent, community):
    for _ in range(50):
        result = subprocess.run(["snmpget", "-v2c", "-c", community, "-r0", "-t0.2",
                                 "udp:%s:%d" % agent, "1.3.6.1.2.1.1.2.0"],
                                capture_output=True, env=ENV)
        if result.returncode == 0:
            return
        time.sleep(0.1)
    raise SystemExit("agent on %s:%d did not answer" % agent)


work = tempfile.mkdtemp(prefix="psw-capture-")
os.chmod(work, 0o755)
ENV = dict(os.environ, MIBS="", SNMP_PERSISTENT_DIR=os.path.join(work, "persist"),
           SNMPCONFPATH=work)
procs = []
try:
    with open(os.path.join(work, "snmpd.conf"), "w") as conf:
        conf.write("[snmp] persistentDir %s/persist\n[snmp] mibs :\n" % work)
        conf.write("agentAddress udp:%s:%d\n" % SNMPD)
        conf.write("rocommunity public default\nrwcommunity private default\n")
        conf.write("sysName printer\n")
    procs.append(subprocess.Popen(["snmpd", "-f", "-Lo", "-C", "-c",
                                   os.path.join(work, "snmpd.conf")], env=ENV,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    data = os.path.join(work, "data")
    cache = os.path.join(work, "cache")
    os.makedirs(data)
    os.makedirs(cache)
    shutil.chown(cache, "nobody", "nogroup")
    with open(os.path.join(data, "capture.snmprec"), "w") as rec:
        rec.write(SNMPREC)
    os.chmod(os.path.join(data, "capture.snmprec"), 0o644)
    procs.append(subprocess.Popen(["/usr/bin/snmpsimd", "--data-dir=" + data,
                                   "--cache-dir=" + cache, "--process-user=nobody",
                                   "--process-group=nogroup",
                                   "--agent-udpv4-endpoint=%s:%d" % SNMPSIM,
                                   "--logging-method=file:" + os.path.join(work, "sim.log")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for(SNMPD, "public")
    wait_for(SNMPSIM, "capture")
    for name, agent, command in CASES:
        record = {}
        ready = threading.Event()
        thread = threading.Thread(target=relay, args=(agent, record, ready))
        thread.start()
        ready.wait()
        subprocess.run(command, capture_output=True, env=ENV)
        thread.join()
        for part in ("request", "response"):
            if part in record:
                with open(os.path.join(OUT, "%s-%s.hex" % (name, part)), "w") as out:
                    out.write(record[part].hex() + "\n")
                print("%s-%s: %d bytes" % (name, part, len(record[part])))
            elif part == "request" or agent is not None:
                print("%s-%s: MISSING" % (name, part))
finally:
    for proc in procs:
        proc.terminate()
        proc.wait()
    shutil.rmtree(work, ignore_errors=True)
