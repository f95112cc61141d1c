#!/usr/bin/python3
"""Send one SNMP message to a broadcast address and print every answer.

usage: snmp_broadcast_probe.py ADDRESS PORT WAIT_SECONDS MESSAGE_HEX

Prints one line per datagram received within WAIT_SECONDS: "SOURCE_ADDRESS HEX".
"""
import select
import socket
import sys
import time


def main():
    address, port, wait, message = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), bytes.fromhex(sys.argv[4])
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    sock.bind(("0.0.0.0", 0))
    sock.sendto(message, (address, port))
    deadline = time.monotonic() + wait
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        ready, _, _ = select.select([sock], [], [], left)
        if not ready:
            break
        data, source = sock.recvfrom(65535)
        print(source[0], data.hex(), flush=True)


if __name__ == "__main__":
    main()
