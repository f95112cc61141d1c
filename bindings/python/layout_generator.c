/* Writes psw/_layout.py: the version, the size and field offsets of every exported record and the
 * result codes with their meanings, all taken from the installed headers by the C compiler. The
 * Python package checks its ctypes records against this file when it is imported. */
#include <psw/psw.h>
#include <stddef.h>
#include <stdio.h>

#define FIELD(type, field)                                                 \
    printf("        \"%s\": (%zu, %zu),\n", #field, offsetof(type, field), \
           sizeof(((type*)0)->field))
#define RECORD_BEGIN(type) printf("    \"%s\": (%zu, {\n", #type, sizeof(type))
#define RECORD_END() printf("    }),\n")

static void print_result(const char* name, int32_t value, const char* meaning)
{
    printf("    (\"%s\", %d, \"%s\"),\n", name, (int)value, meaning);
}

int main(void)
{
    printf(
        "# Generated from the libpsw headers by bindings/python/layout_generator.c: do not "
        "edit.\n");
    printf("# The build writes it again (target psw_python_layout); a test compares the two.\n\n");
    printf("VERSION = \"%s\"\n\n", PSW_VERSION);
    printf("# record name: (size in bytes, {field: (offset, size)})\n");
    printf("RECORDS = {\n");
    RECORD_BEGIN(PSWUSMSettings);
    FIELD(PSWUSMSettings, user_name);
    FIELD(PSWUSMSettings, security_level);
    FIELD(PSWUSMSettings, auth_protocol);
    FIELD(PSWUSMSettings, priv_protocol);
    FIELD(PSWUSMSettings, auth_pass_phrase);
    FIELD(PSWUSMSettings, priv_pass_phrase);
    FIELD(PSWUSMSettings, context_name);
    RECORD_END();
    RECORD_BEGIN(PSWPrinterInfo);
    FIELD(PSWPrinterInfo, printer_status);
    FIELD(PSWPrinterInfo, detected_error_state);
    RECORD_END();
    RECORD_BEGIN(PSWStorageInfo);
    FIELD(PSWStorageInfo, storage_type);
    FIELD(PSWStorageInfo, allocation_units);
    FIELD(PSWStorageInfo, size);
    FIELD(PSWStorageInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWDeviceInfo);
    FIELD(PSWDeviceInfo, device_type);
    FIELD(PSWDeviceInfo, device_status);
    FIELD(PSWDeviceInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWInputTrayInfo);
    FIELD(PSWInputTrayInfo, type);
    FIELD(PSWInputTrayInfo, dimension_unit);
    FIELD(PSWInputTrayInfo, media_dim_feed_declared);
    FIELD(PSWInputTrayInfo, media_dim_xfeed_declared);
    FIELD(PSWInputTrayInfo, media_dim_feed_chosen);
    FIELD(PSWInputTrayInfo, media_dim_xfeed_chosen);
    FIELD(PSWInputTrayInfo, capacity_unit);
    FIELD(PSWInputTrayInfo, max_capacity);
    FIELD(PSWInputTrayInfo, current_level);
    FIELD(PSWInputTrayInfo, status);
    FIELD(PSWInputTrayInfo, media_name);
    FIELD(PSWInputTrayInfo, name);
    FIELD(PSWInputTrayInfo, description);
    FIELD(PSWInputTrayInfo, media_type);
    FIELD(PSWInputTrayInfo, media_color);
    RECORD_END();
    RECORD_BEGIN(PSWOutputTrayInfo);
    FIELD(PSWOutputTrayInfo, type);
    FIELD(PSWOutputTrayInfo, status);
    FIELD(PSWOutputTrayInfo, name);
    FIELD(PSWOutputTrayInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWTonerInfo);
    FIELD(PSWTonerInfo, supply_unit);
    FIELD(PSWTonerInfo, max_capacity);
    FIELD(PSWTonerInfo, level);
    FIELD(PSWTonerInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWAlertInfo);
    FIELD(PSWAlertInfo, severity_level);
    FIELD(PSWAlertInfo, group);
    FIELD(PSWAlertInfo, group_index);
    FIELD(PSWAlertInfo, location);
    FIELD(PSWAlertInfo, code);
    FIELD(PSWAlertInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWDateTime);
    FIELD(PSWDateTime, year);
    FIELD(PSWDateTime, month);
    FIELD(PSWDateTime, day);
    FIELD(PSWDateTime, hour);
    FIELD(PSWDateTime, minute);
    FIELD(PSWDateTime, second);
    RECORD_END();
    RECORD_BEGIN(PSWJobInfo);
    FIELD(PSWJobInfo, job_type);
    FIELD(PSWJobInfo, job_state);
    FIELD(PSWJobInfo, value_59_6_10);
    FIELD(PSWJobInfo, value_59_16_5);
    FIELD(PSWJobInfo, value_59_16_6);
    FIELD(PSWJobInfo, localized_text1);
    FIELD(PSWJobInfo, localized_text2);
    FIELD(PSWJobInfo, localized_text3);
    FIELD(PSWJobInfo, job_id);
    FIELD(PSWJobInfo, text);
    FIELD(PSWJobInfo, date1);
    FIELD(PSWJobInfo, date2);
    FIELD(PSWJobInfo, date3);
    RECORD_END();
    RECORD_BEGIN(PSWSupplyInfo);
    FIELD(PSWSupplyInfo, supply_index);
    FIELD(PSWSupplyInfo, supply_class);
    FIELD(PSWSupplyInfo, supply_type);
    FIELD(PSWSupplyInfo, supply_unit);
    FIELD(PSWSupplyInfo, max_capacity);
    FIELD(PSWSupplyInfo, level);
    FIELD(PSWSupplyInfo, percent);
    FIELD(PSWSupplyInfo, colorant_index);
    FIELD(PSWSupplyInfo, colorant);
    FIELD(PSWSupplyInfo, description);
    RECORD_END();
    RECORD_BEGIN(PSWMarkerCounter);
    FIELD(PSWMarkerCounter, counter_unit);
    FIELD(PSWMarkerCounter, life_count);
    RECORD_END();
    RECORD_BEGIN(PSWIdentityInfo);
    FIELD(PSWIdentityInfo, sys_descr);
    FIELD(PSWIdentityInfo, sys_object_id);
    FIELD(PSWIdentityInfo, sys_contact);
    FIELD(PSWIdentityInfo, sys_name);
    FIELD(PSWIdentityInfo, sys_location);
    FIELD(PSWIdentityInfo, uptime);
    FIELD(PSWIdentityInfo, marker_count);
    FIELD(PSWIdentityInfo, serial_number);
    FIELD(PSWIdentityInfo, device_descr);
    FIELD(PSWIdentityInfo, markers);
    RECORD_END();
    printf("}\n\n");
    printf("# (name, value, meaning) of every result code\n");
    printf("RESULT_CODES = (\n");
#define PSW_PRINT_RESULT(name, value, meaning) print_result(#name, value, meaning);
    PSW_RESULT_CODES(PSW_PRINT_RESULT)
#undef PSW_PRINT_RESULT
    printf(")\n");
    return 0;
}
