// psw status: who the printer is, its status, trays, supplies, alerts, storage and hardware
// devices; on any printer, with the model-specific options named as unavailable on another
// model.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/mib_names.h"
#include "cli/progress.h"
#include "cli/records.h"
#include "cli/session.h"
#include "cli/table.h"
#include "cli/text_format.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

struct Status {
    PSWPrinterInfo printer{};
    int32_t printer_code = PSW_SUCCESS;
    PSWIdentityInfo identity{};
    int32_t identity_code = PSW_SUCCESS;
    RecordTable<PSWSupplyInfo> supplies;
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
    status.identity_code = PSWGetIdentityInfo(handle, &status.identity);
    status.supplies =
        read_records<PSWSupplyInfo>(handle, PSWGetNumberOfSupplyInfo, PSWGetSupplyInfo);
    status.inputs =
        read_records<PSWInputTrayInfo>(handle, PSWGetNumberOfInputTrayInfo, PSWGetInputTrayInfo);
    status.outputs =
        read_records<PSWOutputTrayInfo>(handle, PSWGetNumberOfOutputTrayInfo, PSWGetOutputTrayInfo);
    status.toners = read_records<PSWTonerInfo>(handle, PSWGetNumberOfTonerInfo, PSWGetTonerInfo);
    status.alerts = read_records<PSWAlertInfo>(handle, PSWGetNumberOfAlertInfo, PSWGetAlertInfo);
    status.storage =
        read_records<PSWStorageInfo>(handle, PSWGetNumberOfStorageInfo, PSWGetStorageInfo);
    status.devices =
        read_records<PSWDeviceInfo>(handle, PSWGetNumberOfDeviceInfo, PSWGetDeviceInfo);
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

// A Printer MIB quantity: the number, or null with its word in "<name>_word".
void json_quantity(Json& object, const std::string& name, int32_t value)
{
    object[name] = value >= 0 ? Json(value) : Json(nullptr);
    object[name + "_word"] = value >= 0 ? Json(nullptr) : Json(quantity_text(value));
}

Json json_percent(int32_t level, int32_t capacity)
{
    const auto percent = level_percent(level, capacity);
    return percent ? Json(*percent) : Json(nullptr);
}

template <typename Record, typename Fn>
Json json_section(const RecordTable<Record>& table, Fn row)
{
    if (!table.ok()) {
        return nullptr;
    }
    Json list = Json::array();
    for (const Record& record : table.rows) {
        list.push_back(row(record));
    }
    return list;
}

void json_error(Json& errors, const char* section, int32_t code)
{
    if (code != PSW_SUCCESS) {
        errors.push_back(
            {{"section", section}, {"code", code}, {"meaning", psw_result_meaning(code)}});
    }
}

Json json_identity(const Status& status)
{
    if (status.identity_code != PSW_SUCCESS) {
        return nullptr;
    }
    const PSWIdentityInfo& identity = status.identity;
    Json counters = Json::array();
    for (int32_t i = 0; i < identity.marker_count && i < PSW_IDENTITY_MARKERS; ++i) {
        counters.push_back({{"life_count", identity.markers[i].life_count},
                            {"unit", counter_unit_name(identity.markers[i].counter_unit)}});
    }
    return {
        {"description", json_text(field_text(identity.sys_descr))},
        {"sysObjectID", json_text(field_text(identity.sys_object_id))},
        {"name", json_text(field_text(identity.sys_name))},
        {"location", json_text(field_text(identity.sys_location))},
        {"contact", json_text(field_text(identity.sys_contact))},
        {"serial_number", json_text(field_text(identity.serial_number))},
        {"device", json_text(field_text(identity.device_descr))},
        {"uptime_seconds", identity.uptime / 100},
        {"uptime", uptime_text(identity.uptime)},
        {"page_counters", counters},
    };
}

void print_json_status(const Connection& connection, bool supported, const Status& status)
{
    Json detected = Json::array();
    for (const std::string& name : detected_error_names(status.printer.detected_error_state)) {
        detected.push_back(name);
    }
    Json document = {
        {"address", json_text(connection.address)},
        {"supported_model", supported},
        {"identity", json_identity(status)},
        {"printer",
         {{"status", status.printer.printer_status},
          {"status_name", printer_status_name(status.printer.printer_status)},
          {"detected_errors", detected}}},
    };
    if (connection.name != connection.address) {
        document["host"] = json_text(connection.name);
    }
    document["input_trays"] = json_section(status.inputs, [](const PSWInputTrayInfo& tray) {
        Json row = {{"name", json_text(field_text(tray.name))},
                    {"media", json_text(field_text(tray.media_name))},
                    {"media_type", json_text(field_text(tray.media_type))},
                    {"media_color", json_text(field_text(tray.media_color))},
                    {"size", tray_size(tray)},
                    {"type", input_type_name(tray.type)},
                    {"capacity_unit", capacity_unit_name(tray.capacity_unit)}};
        json_quantity(row, "level", tray.current_level);
        json_quantity(row, "capacity", tray.max_capacity);
        row["percent"] = json_percent(tray.current_level, tray.max_capacity);
        row["status"] = tray.status;
        row["status_text"] = subunit_status_text(tray.status);
        return row;
    });
    document["output_trays"] = json_section(status.outputs, [](const PSWOutputTrayInfo& tray) {
        return Json{{"name", json_text(field_text(tray.name))},
                    {"description", json_text(field_text(tray.description))},
                    {"type", output_type_name(tray.type)},
                    {"status", tray.status},
                    {"status_text", subunit_status_text(tray.status)}};
    });
    document["supplies"] = json_section(status.supplies, [](const PSWSupplyInfo& supply) {
        Json row = {{"description", json_text(field_text(supply.description))},
                    {"type", supply_type_name(supply.supply_type)},
                    {"class", supply_class_name(supply.supply_class)},
                    {"colorant", json_text(field_text(supply.colorant))},
                    {"unit", supply_unit_name(supply.supply_unit)}};
        json_quantity(row, "level", supply.level);
        json_quantity(row, "capacity", supply.max_capacity);
        row["percent"] = supply.percent >= 0 ? Json(supply.percent) : Json(nullptr);
        return row;
    });
    document["toner"] = json_section(status.toners, [](const PSWTonerInfo& toner) {
        Json row = {{"description", json_text(field_text(toner.description))},
                    {"unit", supply_unit_name(toner.supply_unit)}};
        json_quantity(row, "level", toner.level);
        json_quantity(row, "capacity", toner.max_capacity);
        row["percent"] = json_percent(toner.level, toner.max_capacity);
        return row;
    });
    document["alerts"] = json_section(status.alerts, [](const PSWAlertInfo& alert) {
        return Json{{"severity", alert_severity_name(alert.severity_level)},
                    {"group", alert_group_name(alert.group)},
                    {"group_index", alert.group_index},
                    {"location", alert.location},
                    {"code", alert.code},
                    {"code_name", alert_code_name(alert.code)},
                    {"description", json_text(field_text(alert.description))}};
    });
    document["storage"] = json_section(status.storage, [](const PSWStorageInfo& storage) {
        return Json{{"type", storage_type_name(storage.storage_type)},
                    {"description", json_text(field_text(storage.description))},
                    {"allocation_units", storage.allocation_units},
                    {"size", storage.size},
                    {"bytes", storage_bytes(storage)}};
    });
    document["devices"] = json_section(status.devices, [](const PSWDeviceInfo& device) {
        return Json{{"type", device_type_name(device.device_type)},
                    {"type_code", device.device_type},
                    {"status", device_status_name(device.device_status)},
                    {"description", json_text(field_text(device.description))}};
    });
    Json errors = Json::array();
    json_error(errors, "identity", status.identity_code);
    json_error(errors, "input_trays", status.inputs.code);
    json_error(errors, "output_trays", status.outputs.code);
    json_error(errors, "supplies", status.supplies.code);
    json_error(errors, "toner", status.toners.code);
    json_error(errors, "alerts", status.alerts.code);
    json_error(errors, "storage", status.storage.code);
    json_error(errors, "devices", status.devices.code);
    document["errors"] = errors;
    print_json(document);
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

void print_identity(const Status& status)
{
    std::printf("\nIdentity\n");
    if (status.identity_code != PSW_SUCCESS) {
        std::printf("  (not read: %s (%d))\n", psw_result_meaning(status.identity_code),
                    status.identity_code);
        return;
    }
    const PSWIdentityInfo& identity = status.identity;
    std::string pages;
    for (int32_t i = 0; i < identity.marker_count && i < PSW_IDENTITY_MARKERS; ++i) {
        pages += (pages.empty() ? "" : ", ") + std::to_string(identity.markers[i].life_count) +
                 " " + counter_unit_name(identity.markers[i].counter_unit);
    }
    const std::pair<const char*, std::string> lines[] = {
        {"model", field_text(identity.sys_descr)},
        {"device", field_text(identity.device_descr)},
        {"serial", field_text(identity.serial_number)},
        {"name", field_text(identity.sys_name)},
        {"location", field_text(identity.sys_location)},
        {"contact", field_text(identity.sys_contact)},
        {"uptime", uptime_text(identity.uptime)},
        {"pages", pages},
        {"sysObjectID", field_text(identity.sys_object_id)},
    };
    for (const auto& [label, value] : lines) {
        if (!value.empty()) {
            std::printf("  %-11s  %s\n", label, printable(fit_width(value, 100)).c_str());
        }
    }
}

void print_human(const Connection& connection, bool supported, const Status& status)
{
    const auto errors = detected_error_names(status.printer.detected_error_state);
    std::string error_text;
    for (const std::string& name : errors) {
        error_text += (error_text.empty() ? "" : ", ") + name;
    }
    std::printf("Printer %s\n", connection.shown().c_str());
    std::printf("  status  %s\n", printer_status_name(status.printer.printer_status).c_str());
    std::printf("  errors  %s\n", errors.empty() ? "none" : error_text.c_str());
    if (!supported) {
        std::printf("  note    another model: model-specific options are not available\n");
    }
    print_identity(status);

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
                          field_text(tray.name),
                          field_text(tray.media_name),
                          tray_size(tray),
                          level_text(tray.current_level, tray.max_capacity),
                          capacity,
                          subunit_status_text(tray.status)};
                  });
    print_section(
        "Output trays", status.outputs,
        Table({{"NAME", Align::left, 40}, {"TYPE"}, {"STATUS"}, {"DESCRIPTION", Align::left, 40}}),
        [](const PSWOutputTrayInfo& tray) {
            return std::vector<std::string>{field_text(tray.name), output_type_name(tray.type),
                                            subunit_status_text(tray.status),
                                            field_text(tray.description)};
        });
    print_section("Supplies", status.supplies,
                  Table({{"DESCRIPTION", Align::left, 40},
                         {"TYPE"},
                         {"COLOR"},
                         {"LEVEL", Align::right},
                         {"CAPACITY", Align::right},
                         {"UNIT"},
                         {"FILL"}}),
                  [](const PSWSupplyInfo& supply) {
                      return std::vector<std::string>{
                          field_text(supply.description),
                          supply_type_name(supply.supply_type),
                          field_text(supply.colorant),
                          quantity_text(supply.level),
                          quantity_text(supply.max_capacity),
                          supply_unit_name(supply.supply_unit),
                          supply.percent >= 0 ? percent_text(supply.percent) : "-"};
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
    const Failure failure =
        request_failure(std::string("reading ") + section, table.code, connection);
    std::fprintf(stderr, "psw: status: %s\n", failure.message.c_str());
    return false;
}

int run_status(const CLI::App* command, const ConnectionOptions& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("status", error);
    }
    if (options.words.size() != 1) {
        return usage_error("status", "exactly one printer address is needed");
    }
    Connection connection;
    if (!read_connection(options, options.words[0], &connection, &error)) {
        return usage_error("status", error);
    }
    DeviceSession session;
    if (auto failure = session.open(connection, std::nullopt, true)) {
        return report("status", *failure, connection, options.json);
    }
    const Status status = run_with_progress("reading " + connection.address, std::nullopt,
                                            [&] { return read_status(session.handle()); });
    if (status.printer_code != PSW_SUCCESS) {
        return report(
            "status",
            request_failure("reading the printer status", status.printer_code, connection),
            connection, options.json);
    }
    if (options.json) {
        print_json_status(connection, session.supported_model(), status);
    } else {
        print_human(connection, session.supported_model(), status);
    }
    bool ok = true;
    if (status.identity_code != PSW_SUCCESS) {
        ok = report_section("identity", RecordTable<PSWIdentityInfo>{status.identity_code, {}},
                            connection);
    }
    ok = report_section("input trays", status.inputs, connection) && ok;
    ok = report_section("output trays", status.outputs, connection) && ok;
    ok = report_section("supplies", status.supplies, connection) && ok;
    ok = report_section("toner", status.toners, connection) && ok;
    ok = report_section("alerts", status.alerts, connection) && ok;
    ok = report_section("storage", status.storage, connection) && ok;
    ok = report_section("hardware devices", status.devices, connection) && ok;
    return ok ? kExitOk : kExitFailed;
}

}  // namespace

void add_status_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<ConnectionOptions>();
    CLI::App* command = add_command(
        app, "status", "who the printer is, its status, trays, supplies, alerts, storage, devices",
        "ADDRESS [-c C] [--timeout MS] [--retries N] [--ipv6] [--json | --format csv]\n"
        "                 [SNMPv3 options]",
        "Reads one printer of any model (ADDRESS is an address or a host name): who it is\n"
        "(description, serial number, name, location, contact, uptime, page counters), its\n"
        "status and the error conditions it detects, input trays (name, media, size, level,\n"
        "status), output trays, every supply (toner, drums, waste toner, fuser, staples, ...),\n"
        "alerts, storage areas and hardware devices. On a printer of another model one line says\n"
        "that the model-specific options are not available.");
    add_connection_options(command, options.get());
    command->callback([=] { *exit_code = run_status(command, *options); });
}

}  // namespace psw::cli
