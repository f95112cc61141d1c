// psw status: printer status, trays, toner, alerts, storage and hardware devices.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/names.h"
#include "cli/progress.h"
#include "cli/records.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kHelp =
    "usage: psw status ADDRESS [--community C] [--timeout MS] [--retries N] [--ipv6] [--json]\n"
    "                  [SNMPv3 options]\n"
    "\n"
    "Reads one printer: its status and the error conditions it detects, input trays (name,\n"
    "media, size, level, status), output trays, toner (level and capacity), alerts, storage\n"
    "areas and hardware devices.\n"
    "\n"
    "options:\n"
    "  --community C   read community (default \"public\")\n"
    "  --timeout MS    milliseconds per try (default 2000)\n"
    "  --retries N     extra tries (default 1)\n"
    "  --ipv6          use UDP over IPv6 (implied by an IPv6 address)\n"
    "  --json          one JSON document on stdout\n";

struct Status {
    PSWPrinterInfo printer{};
    int32_t printer_code = PSW_SUCCESS;
    RecordTable<PSWInputTrayInfo> inputs;
    RecordTable<PSWOutputTrayInfo> outputs;
    RecordTable<PSWTonerInfo> toners;
    RecordTable<PSWAlertInfo> alerts;
    RecordTable<PSWStorageInfo> storage;
    RecordTable<PSWDeviceInfo> devices;
};

Status read_status(PSWHandle handle)
{
    Status status;
    status.printer_code = PSWGetPrinterInfo(handle, &status.printer);
    if (status.printer_code != PSW_SUCCESS) {
        return status;
    }
    status.inputs = read_records<PSWInputTrayInfo>(handle, PSWGetNumberOfInputTrayInfo,
                                                   PSWGetInputTrayInfo);
    status.outputs = read_records<PSWOutputTrayInfo>(handle, PSWGetNumberOfOutputTrayInfo,
                                                     PSWGetOutputTrayInfo);
    status.toners = read_records<PSWTonerInfo>(handle, PSWGetNumberOfTonerInfo, PSWGetTonerInfo);
    status.alerts = read_records<PSWAlertInfo>(handle, PSWGetNumberOfAlertInfo, PSWGetAlertInfo);
    status.storage = read_records<PSWStorageInfo>(handle, PSWGetNumberOfStorageInfo,
                                                  PSWGetStorageInfo);
    status.devices = read_records<PSWDeviceInfo>(handle, PSWGetNumberOfDeviceInfo,
                                                 PSWGetDeviceInfo);
    return status;
}

std::string tray_size(const PSWInputTrayInfo& tray)
{
    if (tray.media_dim_feed_chosen > 0 && tray.media_dim_xfeed_chosen > 0) {
        return media_size_text(tray.dimension_unit, tray.media_dim_feed_chosen,
                               tray.media_dim_xfeed_chosen);
    }
    return media_size_text(tray.dimension_unit, tray.media_dim_feed_declared,
                           tray.media_dim_xfeed_declared);
}

uint64_t storage_bytes(const PSWStorageInfo& storage)
{
    if (storage.allocation_units <= 0 || storage.size <= 0) {
        return 0;
    }
    return static_cast<uint64_t>(storage.allocation_units) * static_cast<uint64_t>(storage.size);
}

// ---- JSON ------------------------------------------------------------------------------------

void json_quantity(JsonWriter& json, const char* name, int32_t value)
{
    json.key(name);
    if (value >= 0) {
        json.number(value);
    } else {
        json.null();
    }
    json.key((std::string(name) + "_word").c_str());
    if (value >= 0) {
        json.null();
    } else {
        json.string(quantity_text(value));
    }
}

void json_percent(JsonWriter& json, int32_t level, int32_t capacity)
{
    json.key("percent");
    if (auto percent = level_percent(level, capacity)) {
        json.number(*percent);
    } else {
        json.null();
    }
}

template <typename Record, typename Fn>
void json_section(JsonWriter& json, const char* name, const RecordTable<Record>& table, Fn row)
{
    json.key(name);
    if (!table.ok()) {
        json.null();
        return;
    }
    json.begin_array();
    for (const Record& record : table.rows) {
        json.begin_object();
        row(record);
        json.end_object();
    }
    json.end_array();
}

template <typename Record>
void json_error(JsonWriter& json, const char* section, const RecordTable<Record>& table)
{
    if (!table.ok()) {
        json.begin_object()
            .key("section").string(section)
            .key("code").number(table.code)
            .key("meaning").string(psw_result_meaning(table.code))
            .end_object();
    }
}

void print_json(const Connection& connection, const Status& status)
{
    JsonWriter json;
    json.begin_object().key("address").string(connection.address);
    json.key("printer").begin_object();
    json.key("status").number(status.printer.printer_status);
    json.key("status_name").string(printer_status_name(status.printer.printer_status));
    json.key("detected_errors").begin_array();
    for (const std::string& name : detected_error_names(status.printer.detected_error_state)) {
        json.string(name);
    }
    json.end_array();
    json.end_object();

    json_section(json, "input_trays", status.inputs, [&](const PSWInputTrayInfo& tray) {
        json.key("name").string(field_text(tray.name))
            .key("media").string(field_text(tray.media_name))
            .key("media_type").string(field_text(tray.media_type))
            .key("media_color").string(field_text(tray.media_color))
            .key("size").string(tray_size(tray))
            .key("type").string(input_type_name(tray.type))
            .key("capacity_unit").string(capacity_unit_name(tray.capacity_unit));
        json_quantity(json, "level", tray.current_level);
        json_quantity(json, "capacity", tray.max_capacity);
        json_percent(json, tray.current_level, tray.max_capacity);
        json.key("status").number(tray.status)
            .key("status_text").string(subunit_status_text(tray.status));
    });
    json_section(json, "output_trays", status.outputs, [&](const PSWOutputTrayInfo& tray) {
        json.key("name").string(field_text(tray.name))
            .key("description").string(field_text(tray.description))
            .key("type").string(output_type_name(tray.type))
            .key("status").number(tray.status)
            .key("status_text").string(subunit_status_text(tray.status));
    });
    json_section(json, "toner", status.toners, [&](const PSWTonerInfo& toner) {
        json.key("description").string(field_text(toner.description))
            .key("unit").string(supply_unit_name(toner.supply_unit));
        json_quantity(json, "level", toner.level);
        json_quantity(json, "capacity", toner.max_capacity);
        json_percent(json, toner.level, toner.max_capacity);
    });
    json_section(json, "alerts", status.alerts, [&](const PSWAlertInfo& alert) {
        json.key("severity").string(alert_severity_name(alert.severity_level))
            .key("group").string(alert_group_name(alert.group))
            .key("group_index").number(alert.group_index)
            .key("location").number(alert.location)
            .key("code").number(alert.code)
            .key("code_name").string(alert_code_name(alert.code))
            .key("description").string(field_text(alert.description));
    });
    json_section(json, "storage", status.storage, [&](const PSWStorageInfo& storage) {
        json.key("type").string(storage_type_name(storage.storage_type))
            .key("description").string(field_text(storage.description))
            .key("allocation_units").number(storage.allocation_units)
            .key("size").number(storage.size)
            .key("bytes").number(static_cast<int64_t>(storage_bytes(storage)));
    });
    json_section(json, "devices", status.devices, [&](const PSWDeviceInfo& device) {
        json.key("type").string(device_type_name(device.device_type))
            .key("type_code").number(device.device_type)
            .key("status").string(device_status_name(device.device_status))
            .key("description").string(field_text(device.description));
    });
    json.key("errors").begin_array();
    json_error(json, "input_trays", status.inputs);
    json_error(json, "output_trays", status.outputs);
    json_error(json, "toner", status.toners);
    json_error(json, "alerts", status.alerts);
    json_error(json, "storage", status.storage);
    json_error(json, "devices", status.devices);
    json.end_array();
    json.end_object();
    std::fputs(json.str().c_str(), stdout);
}

// ---- human output ----------------------------------------------------------------------------

template <typename Record, typename Fn>
void print_section(const char* title, const RecordTable<Record>& table, Table layout, Fn row)
{
    std::printf("\n%s\n", title);
    if (!table.ok()) {
        std::printf("  (not read: %s (%d))\n", psw_result_meaning(table.code), table.code);
        return;
    }
    if (table.rows.empty()) {
        std::printf("  (none)\n");
        return;
    }
    for (const Record& record : table.rows) {
        layout.add_row(row(record));
    }
    std::fputs(layout.render(2).c_str(), stdout);
}

void print_human(const Connection& connection, const Status& status)
{
    const auto errors = detected_error_names(status.printer.detected_error_state);
    std::string error_text;
    for (const std::string& name : errors) {
        error_text += (error_text.empty() ? "" : ", ") + name;
    }
    std::printf("Printer %s\n", connection.address.c_str());
    std::printf("  status  %s\n", printer_status_name(status.printer.printer_status).c_str());
    std::printf("  errors  %s\n", errors.empty() ? "none" : error_text.c_str());

    print_section("Input trays", status.inputs,
                  Table({{"NAME", Align::left, 40},
                         {"MEDIA", Align::left, 40},
                         {"SIZE"},
                         {"LEVEL"},
                         {"CAPACITY", Align::right},
                         {"STATUS"}}),
                  [](const PSWInputTrayInfo& tray) {
                      std::string capacity = quantity_text(tray.max_capacity);
                      if (tray.max_capacity >= 0 && tray.capacity_unit == 8) {
                          capacity += " sheets";
                      }
                      return std::vector<std::string>{
                          field_text(tray.name), field_text(tray.media_name), tray_size(tray),
                          level_text(tray.current_level, tray.max_capacity), capacity,
                          subunit_status_text(tray.status)};
                  });
    print_section("Output trays", status.outputs,
                  Table({{"NAME", Align::left, 40},
                         {"TYPE"},
                         {"STATUS"},
                         {"DESCRIPTION", Align::left, 40}}),
                  [](const PSWOutputTrayInfo& tray) {
                      return std::vector<std::string>{field_text(tray.name),
                                                      output_type_name(tray.type),
                                                      subunit_status_text(tray.status),
                                                      field_text(tray.description)};
                  });
    print_section("Toner", status.toners,
                  Table({{"DESCRIPTION", Align::left, 40},
                         {"LEVEL", Align::right},
                         {"CAPACITY", Align::right},
                         {"UNIT"}, {"FILL"}}),
                  [](const PSWTonerInfo& toner) {
                      auto percent = level_percent(toner.level, toner.max_capacity);
                      return std::vector<std::string>{
                          field_text(toner.description), quantity_text(toner.level),
                          quantity_text(toner.max_capacity), supply_unit_name(toner.supply_unit),
                          percent ? percent_text(*percent) : "-"};
                  });
    print_section("Alerts", status.alerts,
                  Table({{"SEVERITY"}, {"GROUP"}, {"CODE"}, {"DESCRIPTION", Align::left, 40}}),
                  [](const PSWAlertInfo& alert) {
                      return std::vector<std::string>{
                          alert_severity_name(alert.severity_level),
                          alert_group_name(alert.group) + " " + std::to_string(alert.group_index),
                          alert_code_name(alert.code), field_text(alert.description)};
                  });
    print_section("Storage", status.storage,
                  Table({{"TYPE"}, {"SIZE", Align::right}, {"DESCRIPTION", Align::left, 40}}),
                  [](const PSWStorageInfo& storage) {
                      return std::vector<std::string>{storage_type_name(storage.storage_type),
                                                      bytes_text(storage_bytes(storage)),
                                                      field_text(storage.description)};
                  });
    print_section("Hardware devices", status.devices,
                  Table({{"TYPE"}, {"STATUS"}, {"DESCRIPTION", Align::left, 40}}),
                  [](const PSWDeviceInfo& device) {
                      return std::vector<std::string>{device_type_name(device.device_type),
                                                      device_status_name(device.device_status),
                                                      field_text(device.description)};
                  });
}

template <typename Record>
bool report_section(const char* section, const RecordTable<Record>& table,
                    const Connection& connection)
{
    if (table.ok()) {
        return true;
    }
    report_failure("status", std::string("reading ") + section, table.code, connection);
    return false;
}

}  // namespace

int run_status(const Args& args)
{
    std::string error;
    auto parsed = parse_args(args, connection_options(), &error);
    if (!parsed) {
        return usage_error("status", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kHelp, stdout);
        std::fputs(usm_help(), stdout);
        return 0;
    }
    if (parsed->positionals.size() != 1) {
        return usage_error("status", "exactly one printer address is needed");
    }
    Connection connection;
    if (!read_connection(*parsed, parsed->positionals[0], &connection, &error)) {
        return usage_error("status", error);
    }
    DeviceSession session;
    int32_t result = session.open(connection, std::nullopt);
    if (result != PSW_SUCCESS) {
        return report_failure("status", "cannot set up " + connection.address, result, connection);
    }
    const Status status = run_with_progress("reading " + connection.address, std::nullopt,
                                            [&] { return read_status(session.handle()); });
    if (status.printer_code != PSW_SUCCESS) {
        return report_failure("status", "reading the printer status", status.printer_code,
                              connection);
    }
    if (parsed->has_flag("json")) {
        print_json(connection, status);
    } else {
        print_human(connection, status);
    }
    bool ok = report_section("input trays", status.inputs, connection);
    ok = report_section("output trays", status.outputs, connection) && ok;
    ok = report_section("toner", status.toners, connection) && ok;
    ok = report_section("alerts", status.alerts, connection) && ok;
    ok = report_section("storage", status.storage, connection) && ok;
    ok = report_section("hardware devices", status.devices, connection) && ok;
    return ok ? 0 : 1;
}

}  // namespace psw::cli
