// A transcript of what a host reads from one set-up handle: each call's name and result, and
// every byte it copied out. Two readings of the same printer compare as text (four threads
// against one, SNMPv3 against SNMPv1).
#pragma once

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "psw/psw.h"

namespace psw::test {

class Transcript {
public:
    void result(const std::string& call, int32_t code)
    {
        m_text += call + "=" + std::to_string(code) + "\n";
    }
    template <typename T>
    void bytes(const T& value)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(&value);
        char hex[3];
        for (size_t i = 0; i < sizeof value; ++i) {
            std::snprintf(hex, sizeof hex, "%02x", p[i]);
            m_text += hex;
        }
        m_text += "\n";
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// Counts the records of one kind and copies every one of them (and one past the end).
template <typename Record, typename Count, typename Copy>
int32_t read_records(PSWHandle handle, Transcript& out, const std::string& name, Count count,
                     Copy copy)
{
    int32_t n = -1;
    const int32_t counted = count(handle, &n);
    out.result("count " + name, counted);
    out.result("number " + name, n);
    for (int32_t i = 0; counted == PSW_SUCCESS && i <= n; ++i) {
        Record record;
        std::memset(&record, 0, sizeof record);
        const int32_t copied = copy(handle, i, &record);
        out.result("copy " + name + " " + std::to_string(i), copied);
        if (copied == PSW_SUCCESS) {
            out.bytes(record);
        }
    }
    return n;
}

// Every record table, the printer information, both character sets, the option refresh and
// each named option at indexes 0 to `indexes` - 1 in all three value types.
template <typename Names>
void read_device(PSWHandle handle, Transcript& out, const Names& option_names, uint16_t indexes)
{
    read_records<PSWStorageInfo>(handle, out, "storage", PSWGetNumberOfStorageInfo,
                                 PSWGetStorageInfo);
    read_records<PSWDeviceInfo>(handle, out, "device", PSWGetNumberOfDeviceInfo, PSWGetDeviceInfo);
    read_records<PSWInputTrayInfo>(handle, out, "input", PSWGetNumberOfInputTrayInfo,
                                   PSWGetInputTrayInfo);
    read_records<PSWInputTrayInfoEx>(handle, out, "input-ex", PSWGetNumberOfInputTrayInfoEx,
                                     PSWGetInputTrayInfoEx);
    read_records<PSWOutputTrayInfo>(handle, out, "output", PSWGetNumberOfOutputTrayInfo,
                                    PSWGetOutputTrayInfo);
    read_records<PSWTonerInfo>(handle, out, "toner", PSWGetNumberOfTonerInfo, PSWGetTonerInfo);
    read_records<PSWAlertInfo>(handle, out, "alert", PSWGetNumberOfAlertInfo, PSWGetAlertInfo);
    for (uint32_t kind : {PSW_JOB_KIND_ALL, PSW_JOB_KIND_OTHERS, PSW_JOB_KIND_SEPARATED}) {
        read_records<PSWJobInfo>(
            handle, out, "job " + std::to_string(kind),
            [kind](PSWHandle h, int32_t* n) { return PSWGetNumberOfJobInfo(h, kind, n); },
            PSWGetJobInfo);
    }
    PSWPrinterInfo printer;
    std::memset(&printer, 0, sizeof printer);
    out.result("printer", PSWGetPrinterInfo(handle, &printer));
    out.bytes(printer);
    for (uint32_t which : {PSW_CHARSET_STANDARD, PSW_CHARSET_PRIVATE}) {
        int32_t charset = -1;
        out.result("charset " + std::to_string(which), PSWGetCharSet(handle, which, &charset));
        out.result("charset value", charset);
    }
    out.result("refresh", PSWRefreshOptions(handle));
    for (const char* name : option_names) {
        for (uint16_t index = 0; index < indexes; ++index) {
            const std::string call = std::string(name) + "[" + std::to_string(index) + "]";
            int16_t flag = -1;
            out.result(call + " bool", PSWGetOptionValueBoolean(handle, name, index, &flag));
            out.result("value", flag);
            int32_t number = -1;
            out.result(call + " int", PSWGetOptionValueInteger(handle, name, index, &number));
            out.result("value", number);
            char text[PSW_OPTION_TEXT_SIZE] = {};
            out.result(call + " text", PSWGetOptionValueString(handle, name, index, text));
            out.result(std::string("value ") + text, 0);
        }
    }
}

}  // namespace psw::test
