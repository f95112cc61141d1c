#!/usr/bin/python3
"""Decodes an SNMP message with a reference decoder, or builds one with pysnmp, for
tests/snmp/peer_codec_test.cpp.

  peer_decode.py tshark HEX     fields as tshark reads them (text2pcap | tshark -T json)
  peer_decode.py pysnmp HEX     fields as pysnmp reads them
  peer_decode.py build JSON     the message pysnmp writes, as hex

Fields are printed one a line, "key=value", bindings as "binding=NAME KIND VALUE" with byte
values in hex; a message the decoder does not take for SNMP prints "error=...".
"""
import json
import subprocess
import sys

PDU_NAMES = {"get-request": "get", "get-next-request": "getnext", "get-response": "response",
             "response": "response", "set-request": "set", "trap": "trap",
             "snmpV2-trap": "v2trap", "getBulkRequest": "getbulk", "get-bulk-request": "getbulk"}


def tshark(hexdata):
    text = " ".join(hexdata[i:i + 2] for i in range(0, len(hexdata), 2))
    pcap = subprocess.run(["text2pcap", "-q", "-u", "161,161", "-", "-"],
                          input=("000000 " + text + "\n").encode(), capture_output=True,
                          check=True).stdout
    out = subprocess.run(["tshark", "-r", "-", "-T", "json", "--no-duplicate-keys"], input=pcap,
                         capture_output=True, check=True).stdout
    layers = json.loads(out)[0]["_source"]["layers"]
    if not layers.get("frame", {}).get("frame.protocols", "").endswith(":snmp"):
        print("error=not snmp: " + layers.get("frame", {}).get("frame.protocols", ""))
        return
    snmp = layers["snmp"]
    print("version=%s" % snmp["snmp.version"])
    print("community=%s" % snmp["snmp.community"])
    for element, body in snmp["snmp.data_tree"].items():
        kind = element.replace("snmp.", "").replace("_element", "")
        kind = {"get_request": "get", "get_next_request": "getnext", "get_response": "response",
                "set_request": "set", "trap": "trap", "snmpV2_trap": "v2trap"}.get(kind, kind)
        print("pdu=%s" % kind)
        if kind == "trap":
            for key in ("enterprise", "agent_addr", "generic_trap", "specific_trap", "time_stamp"):
                print("%s=%s" % (key.replace("_", "-"), body["snmp." + key]))
        else:
            for key in ("request_id", "error_status", "error_index"):
                print("%s=%s" % (key.replace("_", "-"), body["snmp." + key]))
        for binding in body.get("snmp.variable_bindings_tree", {}).values():
            name = binding["snmp.name"]
            for key, value in binding.items():
                if key == "snmp.name" or key.endswith("_tree"):
                    continue
                kind = key.replace("snmp.value.", "").replace("snmp.", "")
                if kind in ("octets", "opaque"):
                    value = value.replace(":", "")
                if not isinstance(value, str):
                    value = ""  # the exceptions carry only their expert note
                print("binding=%s %s %s" % (name, kind, value))
                break


def pysnmp(hexdata):
    from pyasn1.codec.ber import decoder
    from pysnmp.proto import api
    data = bytes.fromhex(hexdata)
    try:
        version = int(api.decodeMessageVersion(data))
        module = api.protoModules[version]
        message, rest = decoder.decode(data, asn1Spec=module.Message())
    except Exception as error:  # any refusal of the decoder is the answer
        print("error=%s" % type(error).__name__)
        return
    if rest:
        print("error=%d bytes after the message" % len(rest))
    print("version=%d" % version)
    print("community=%s" % module.apiMessage.getCommunity(message).asOctets().decode("latin-1"))
    pdu = module.apiMessage.getPDU(message)
    kind = PDU_NAMES.get(message["data"].getName(), message["data"].getName())
    print("pdu=%s" % kind)
    if kind == "trap":
        trap = module.apiTrapPDU
        print("enterprise=%s" % trap.getEnterprise(pdu).prettyPrint())
        print("agent-addr=%s" % trap.getAgentAddr(pdu).prettyPrint())
        print("generic-trap=%d" % int(trap.getGenericTrap(pdu)))
        print("specific-trap=%d" % int(trap.getSpecificTrap(pdu)))
        print("time-stamp=%d" % int(trap.getTimeStamp(pdu)))
        bindings = trap.getVarBinds(pdu)
    else:
        print("request-id=%d" % int(module.apiPDU.getRequestID(pdu)))
        print("error-status=%d" % int(module.apiPDU.getErrorStatus(pdu)))
        print("error-index=%d" % int(module.apiPDU.getErrorIndex(pdu)))
        bindings = module.apiPDU.getVarBinds(pdu)
    for name, value in bindings:
        cls = value.__class__.__name__
        if cls in ("OctetString", "Opaque", "IpAddress", "Bits"):
            text = value.asOctets().hex()
        elif cls in ("Null", "NoSuchObject", "NoSuchInstance", "EndOfMibView"):
            text = ""
        elif cls == "ObjectIdentifier" or cls == "ObjectName":
            text = ".".join(str(x) for x in value)
        else:
            text = str(int(value))
        print("binding=%s %s %s" % (".".join(str(x) for x in name), cls, text))


def build(spec_text):
    from pyasn1.codec.ber import encoder
    from pysnmp.proto import api, rfc1902
    spec = json.loads(spec_text)
    module = api.protoModules[spec["version"]]
    kinds = {"get": module.GetRequestPDU, "getnext": module.GetNextRequestPDU,
             "response": module.GetResponsePDU, "set": module.SetRequestPDU,
             "trap": module.TrapPDU}
    pdu = kinds[spec["pdu"]]()
    values = {"int": rfc1902.Integer32, "octets": lambda v: rfc1902.OctetString(hexValue=v),
              "null": lambda v: module.Null(""), "oid": rfc1902.ObjectName,
              "ip": lambda v: rfc1902.IpAddress(hexValue=v), "counter": rfc1902.Counter32,
              "gauge": rfc1902.Gauge32, "ticks": rfc1902.TimeTicks,
              "counter64": rfc1902.Counter64, "opaque": lambda v: rfc1902.Opaque(hexValue=v)}
    bindings = [(b[0], values[b[1]](b[2])) for b in spec["bindings"]]
    if spec["pdu"] == "trap":
        trap = module.apiTrapPDU
        trap.setDefaults(pdu)
        trap.setEnterprise(pdu, spec["enterprise"])
        trap.setAgentAddr(pdu, spec["agent-addr"])
        trap.setGenericTrap(pdu, spec["generic-trap"])
        trap.setSpecificTrap(pdu, spec["specific-trap"])
        trap.setTimeStamp(pdu, spec["time-stamp"])
        trap.setVarBinds(pdu, bindings)
    else:
        module.apiPDU.setDefaults(pdu)
        module.apiPDU.setRequestID(pdu, spec["request-id"])
        module.apiPDU.setErrorStatus(pdu, spec.get("error-status", 0))
        module.apiPDU.setErrorIndex(pdu, spec.get("error-index", 0))
        module.apiPDU.setVarBinds(pdu, bindings)
    message = module.Message()
    module.apiMessage.setDefaults(message)
    module.apiMessage.setCommunity(message, spec["community"])
    module.apiMessage.setPDU(message, pdu)
    print(encoder.encode(message).hex())


if __name__ == "__main__":
    {"tshark": tshark, "pysnmp": pysnmp, "build": build}[sys.argv[1]](sys.argv[2])
