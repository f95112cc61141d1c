// The device session against the captured real printers, served by one snmpsim agent for the
// whole file. Each capture is served twice: as it was recorded (its own sysObjectID, community
// NAME) for a session on a printer of any model (PSWInitAnyDevice), and with its sysObjectID
// set to the supported model (community NAME-supported, a temporary copy) for the supported
// model's session. Identity, every supply and every tray (any model) and every record table
// (supported model) are compared column by column with what snmpwalk -v1 reads from the same
// agent. Captures hold only some columns of some tables, so a column is compared only where
// its walk has exactly the rows of the table's first column. The simulated printers "rich"
// and "other-model" show colorants and the refusal of model-specific options.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr char kModel[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
constexpr uint32_t kTimeout = 1500;
constexpr uint32_t kRetries = 1;
constexpr const char* kCaptures[] = {"dell-s5830dn", "hp-m252dw", "ricoh-mpc3002", "sharp-mx3570n"};

template <class Record>
struct ColumnCheck {
    std::string column;
    std::function<std::string(const Record&)> actual;
    std::function<std::string(const SnmpRow&)> expected;
};

std::string text_in(const std::string& value, size_t size)
{
    std::string text = value.substr(0, value.find('\0'));
    return text.substr(0, size - 1);
}

template <class Record>
ColumnCheck<Record> number(std::string column, int32_t Record::*field)
{
    return {std::move(column), [field](const Record& r) { return std::to_string(r.*field); },
            [](const SnmpRow& row) { return row.value; }};
}

template <class Record, size_t N>
ColumnCheck<Record> text(std::string column, char (Record::*field)[N])
{
    return {std::move(column), [field](const Record& r) { return std::string(r.*field); },
            [](const SnmpRow& row) { return text_in(row.value, N); }};
}

// A code from a type identifier "<prefix>.<n>" with n in [first, last]; 0 otherwise.
template <class Record>
ColumnCheck<Record> type_code(std::string column, int32_t Record::*field, std::string prefix,
                              std::vector<std::pair<int, int>> ranges)
{
    return {std::move(column), [field](const Record& r) { return std::to_string(r.*field); },
            [prefix, ranges](const SnmpRow& row) {
                if (row.value.rfind(prefix + ".", 0) != 0) {
                    return std::string("0");
                }
                const std::string arc = row.value.substr(prefix.size() + 1);
                if (arc.empty() || arc.find_first_not_of("0123456789") != std::string::npos) {
                    return std::string("0");
                }
                const int code = std::stoi(arc);
                for (const auto& [first, last] : ranges) {
                    if (code >= first && code <= last) {
                        return arc;
                    }
                }
                return std::string("0");
            }};
}

// One agent serves every recording, each under its own community.
class CapturedPrinterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (peer_unavailable(
                {Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::shared_printers})) {
            return;
        }
        std::vector<SnmprecSource> files;
        for (const char* name : kCaptures) {
            const std::string file = shared_printer_file(std::string(name) + ".snmprec");
            files.emplace_back(file);
            files.push_back(SnmprecSource(file, std::string(name) + "-supported")
                                .replace("1.3.6.1.2.1.1.2.0", "6", kModel));
        }
        for (const char* name : {"rich", "other-model"}) {
            files.emplace_back(test_data(std::string("printers/") + name + ".snmprec"));
        }
        // The rich printer's toners (rows 1, 3, 4, 5) with colorant indexes 1 to 4; its
        // recording gives every supply colorant 0.
        SnmprecSource colorants(test_data("printers/rich.snmprec"), "colorants");
        const char* toner_rows[] = {"1", "3", "4", "5"};
        for (int k = 0; k < 4; ++k) {
            colorants.replace(std::string("1.3.6.1.2.1.43.11.1.1.3.1.") + toner_rows[k], "2",
                              std::to_string(k + 1));
        }
        files.push_back(colorants);
        agent.start(SnmpsimOptions{.files = files});
    }
    static void TearDownTestSuite() { agent.stop(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::shared_printers);
        ASSERT_TRUE(agent.ready());
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    int32_t open(const std::string& name)
    {
        community = name;
        EXPECT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, name.c_str()),
                  PSW_SUCCESS);
        return PSWInitAnyDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                                kRetries);
    }

    // A session of the supported model on the copy of capture `name` that claims it.
    int32_t open_supported(const std::string& name)
    {
        community = name + "-supported";
        EXPECT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community.c_str()),
                  PSW_SUCCESS);
        return PSWInitDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1);
    }

    std::vector<SnmpRow> walk(const std::string& root)
    {
        const WalkResult result =
            agent->tools().walk(agent->target(), SnmpCredentials::v1(community), root);
        EXPECT_TRUE(result.ok()) << result.describe();
        return subtree(result.rows, root);
    }

    // The text an agent gives for `oid` (a scalar or the first row of a column); empty when
    // it has none.
    std::string first_value(const std::string& column)
    {
        const std::vector<SnmpRow> rows = walk(column);
        return rows.empty() ? std::string() : rows.front().value.substr(0, 255);
    }

    // Record i must hold, for every column that the capture has for each row of the first
    // column, the value snmpwalk reads in row i.
    template <class Record>
    void expect_columns(
        int32_t count, int32_t (*copy)(PSWHandle, int32_t, Record*),
        const std::vector<std::pair<std::string, std::function<std::string(const Record&)>>>&
            columns)
    {
        const std::vector<SnmpRow> first = walk(columns[0].first);
        ASSERT_EQ(static_cast<size_t>(count), first.size()) << community;
        std::vector<Record> records(first.size());
        for (size_t i = 0; i < records.size(); ++i) {
            ASSERT_EQ(copy(handle, static_cast<int32_t>(i), &records[i]), PSW_SUCCESS);
        }
        for (const auto& [column, actual] : columns) {
            const std::vector<SnmpRow> cells = walk(column);
            if (cells.size() != first.size()) {
                continue;  // a column the capture holds for some rows only, or not at all
            }
            for (size_t i = 0; i < cells.size(); ++i) {
                ASSERT_EQ(index_of(cells[i].oid, column), index_of(first[i].oid, columns[0].first));
                EXPECT_EQ(actual(records[i]), cells[i].value.substr(0, 255))
                    << community << " row " << i << " column " << column;
            }
        }
    }

    // Compares the records with the walked columns; `keep` selects the rows of the first
    // column that become records.
    template <class Record>
    void compare(const char* label, int32_t count, int32_t (*copy)(PSWHandle, int32_t, Record*),
                 const std::vector<ColumnCheck<Record>>& columns,
                 std::function<bool(const SnmpRow&)> keep = nullptr)
    {
        std::vector<std::string> instances;
        for (const SnmpRow& row : walk(columns[0].column)) {
            if (!keep || keep(row)) {
                instances.push_back(index_of(row.oid, columns[0].column));
            }
        }
        ASSERT_EQ(static_cast<size_t>(count), instances.size()) << label;
        size_t compared = 0;
        for (const ColumnCheck<Record>& check : columns) {
            std::vector<SnmpRow> cells;
            for (const SnmpRow& row : walk(check.column)) {
                const std::string instance = index_of(row.oid, check.column);
                for (const std::string& wanted : instances) {
                    if (wanted == instance) {
                        cells.push_back(row);
                    }
                }
            }
            if (check.column != columns[0].column &&
                walk(check.column).size() != walk(columns[0].column).size()) {
                continue;  // a partial column of the capture
            }
            if (cells.size() != instances.size()) {
                continue;
            }
            for (size_t i = 0; i < cells.size(); ++i) {
                Record record;
                ASSERT_EQ(copy(handle, static_cast<int32_t>(i), &record), PSW_SUCCESS);
                EXPECT_EQ(check.actual(record), check.expected(cells[i]))
                    << label << " record " << i << " column " << check.column;
                ++compared;
            }
        }
        RecordProperty(community + " " + label, static_cast<int>(compared));
    }

    PSWHandle handle = nullptr;
    std::string community;
    static inline SuiteAgent<SnmpsimAgent> agent;
};

template <class Record>
std::function<std::string(const Record&)> number_of(int32_t Record::*field)
{
    return [field](const Record& record) { return std::to_string(record.*field); };
}

template <class Record, size_t N>
std::function<std::string(const Record&)> text_of(char (Record::*field)[N])
{
    return [field](const Record& record) { return std::string(record.*field); };
}

TEST_F(CapturedPrinterTest, CapturesKeepTheirOwnModelAndAreRefusedBySupportedModelSetUp)
{
    for (const char* name : kCaptures) {
        EXPECT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, name), PSW_SUCCESS);
        EXPECT_EQ(PSWInitDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                                kRetries),
                  PSW_ERR_PARAMETER)
            << name;
        ASSERT_EQ(open(name), PSW_SUCCESS) << name;
        PSWPrinterInfo printer;
        EXPECT_EQ(PSWGetPrinterInfo(handle, &printer), PSW_SUCCESS) << name;
    }
}

TEST_F(CapturedPrinterTest, IdentityOfEveryCaptureEqualsTheAgentsObjects)
{
    for (const char* name : kCaptures) {
        ASSERT_EQ(open(name), PSW_SUCCESS);
        PSWIdentityInfo identity;
        ASSERT_EQ(PSWGetIdentityInfo(handle, &identity), PSW_SUCCESS) << name;
        EXPECT_EQ(std::string(identity.sys_descr), first_value("1.3.6.1.2.1.1.1")) << name;
        EXPECT_EQ(std::string(identity.sys_object_id), first_value("1.3.6.1.2.1.1.2")) << name;
        EXPECT_EQ(std::to_string(identity.uptime), first_value("1.3.6.1.2.1.1.3")) << name;
        EXPECT_EQ(std::string(identity.sys_contact), first_value("1.3.6.1.2.1.1.4")) << name;
        EXPECT_EQ(std::string(identity.sys_name), first_value("1.3.6.1.2.1.1.5")) << name;
        EXPECT_EQ(std::string(identity.sys_location), first_value("1.3.6.1.2.1.1.6")) << name;
        EXPECT_EQ(std::string(identity.serial_number), first_value("1.3.6.1.2.1.43.5.1.1.17"))
            << name;

        // The printer's own hrDeviceTable row, found by its type.
        std::string printer_descr;
        for (const SnmpRow& type : walk("1.3.6.1.2.1.25.3.2.1.2")) {
            if (type.value == "1.3.6.1.2.1.25.3.1.5") {
                printer_descr = first_value("1.3.6.1.2.1.25.3.2.1.3." +
                                            index_of(type.oid, "1.3.6.1.2.1.25.3.2.1.2"));
                break;
            }
        }
        EXPECT_EQ(std::string(identity.device_descr), printer_descr) << name;

        const std::vector<SnmpRow> life = walk("1.3.6.1.2.1.43.10.2.1.4");
        EXPECT_EQ(static_cast<size_t>(identity.marker_count),
                  walk("1.3.6.1.2.1.43.10.2.1.3").size())
            << name;
        for (size_t i = 0; i < life.size() && i < PSW_IDENTITY_MARKERS; ++i) {
            EXPECT_EQ(std::to_string(identity.markers[i].life_count), life[i].value) << name;
        }
    }
}

TEST_F(CapturedPrinterTest, EverySupplyAndEveryTrayOfEveryCaptureEqualsTheWalk)
{
    const std::string m = "1.3.6.1.2.1.43.11.1.1";
    const std::string i = "1.3.6.1.2.1.43.8.2.1";
    for (const char* name : kCaptures) {
        ASSERT_EQ(open(name), PSW_SUCCESS);
        int32_t count = -1;
        ASSERT_EQ(PSWGetNumberOfSupplyInfo(handle, &count), PSW_SUCCESS) << name;
        expect_columns<PSWSupplyInfo>(count, PSWGetSupplyInfo,
                                      {{m + ".5", number_of(&PSWSupplyInfo::supply_type)},
                                       {m + ".4", number_of(&PSWSupplyInfo::supply_class)},
                                       {m + ".3", number_of(&PSWSupplyInfo::colorant_index)},
                                       {m + ".7", number_of(&PSWSupplyInfo::supply_unit)},
                                       {m + ".8", number_of(&PSWSupplyInfo::max_capacity)},
                                       {m + ".9", number_of(&PSWSupplyInfo::level)},
                                       {m + ".6", text_of(&PSWSupplyInfo::description)}});

        ASSERT_EQ(PSWGetNumberOfInputTrayInfo(handle, &count), PSW_SUCCESS) << name;
        expect_columns<PSWInputTrayInfo>(count, PSWGetInputTrayInfo,
                                         {{i + ".2", number_of(&PSWInputTrayInfo::type)},
                                          {i + ".8", number_of(&PSWInputTrayInfo::capacity_unit)},
                                          {i + ".9", number_of(&PSWInputTrayInfo::max_capacity)},
                                          {i + ".10", number_of(&PSWInputTrayInfo::current_level)},
                                          {i + ".11", number_of(&PSWInputTrayInfo::status)},
                                          {i + ".12", text_of(&PSWInputTrayInfo::media_name)},
                                          {i + ".13", text_of(&PSWInputTrayInfo::name)}});
    }
}

TEST_F(CapturedPrinterTest, SuppliesOfEveryTypeWithColorantAndPercent)
{
    ASSERT_EQ(open("colorants"), PSW_SUCCESS);
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfSupplyInfo(handle, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 11) << "four toners and seven supplies of other types";
    int32_t toners = -1;
    ASSERT_EQ(PSWGetNumberOfTonerInfo(handle, &toners), PSW_SUCCESS);
    int32_t toner_rows = 0;
    for (int32_t n = 0; n < count; ++n) {
        PSWSupplyInfo supply;
        ASSERT_EQ(PSWGetSupplyInfo(handle, n, &supply), PSW_SUCCESS);
        EXPECT_EQ(supply.supply_index, n + 1);
        if (supply.supply_type != 3) {
            continue;
        }
        // Toner rows agree with the toner record, and every toner names its colorant.
        PSWTonerInfo toner;
        ASSERT_EQ(PSWGetTonerInfo(handle, toner_rows++, &toner), PSW_SUCCESS);
        EXPECT_EQ(supply.level, toner.level);
        EXPECT_EQ(supply.max_capacity, toner.max_capacity);
        EXPECT_STREQ(supply.description, toner.description);
        EXPECT_EQ(supply.colorant_index, toner_rows) << "toner k has colorant k";
        EXPECT_NE(supply.colorant[0], '\0') << supply.description;
        // The percent follows the toner's level and capacity, rounded to the nearest.
        if (toner.level >= 0 && toner.max_capacity > 0) {
            EXPECT_EQ(supply.percent,
                      std::min<int64_t>(100, (int64_t{toner.level} * 100 + toner.max_capacity / 2) /
                                                 toner.max_capacity));
        }
    }
    EXPECT_EQ(toner_rows, toners);

    const std::vector<SnmpRow> colorants = walk("1.3.6.1.2.1.43.12.1.1.4");
    for (int32_t n = 0; n < count; ++n) {
        PSWSupplyInfo supply;
        ASSERT_EQ(PSWGetSupplyInfo(handle, n, &supply), PSW_SUCCESS);
        for (const SnmpRow& colorant : colorants) {
            if (index_of(colorant.oid, "1.3.6.1.2.1.43.12.1.1.4") ==
                "1." + std::to_string(supply.colorant_index)) {
                EXPECT_EQ(std::string(supply.colorant), colorant.value);
            }
        }
    }
}

TEST_F(CapturedPrinterTest, OptionsAreModelSpecificAndRefused)
{
    ASSERT_EQ(open("other-model"), PSW_SUCCESS);
    int16_t flag = 7;
    int32_t number = 7;
    char text[PSW_OPTION_TEXT_SIZE] = "untouched";
    EXPECT_EQ(PSWRefreshOptions(handle), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWGetOptionValueBoolean(handle, "Scanner", 0, &flag), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWGetOptionValueInteger(handle, "MemorySizeInKByte", 0, &number),
              PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(PSWGetOptionValueString(handle, "InputTrayName", 0, text), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(flag, 7);
    EXPECT_EQ(number, 7);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(PSWIsSupportedOID(handle, nullptr), 0);
    // Argument checks come first, as on every option call.
    EXPECT_EQ(PSWGetOptionValueBoolean(handle, nullptr, 0, &flag), PSW_ERR_PARAMETER);

    // A later set-up of the supported model brings the options back.
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, "rich"), PSW_SUCCESS);
    ASSERT_EQ(
        PSWInitDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout, kRetries),
        PSW_SUCCESS);
    EXPECT_EQ(PSWRefreshOptions(handle), PSW_SUCCESS);
}

TEST_F(CapturedPrinterTest, SilentCommunityShowsAtTheFirstRead)
{
    // Set-up sends nothing; an agent that ignores the community times out on the first read.
    ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, "no-such"), PSW_SUCCESS);
    ASSERT_EQ(PSWInitAnyDevice(handle, agent->address().c_str(), PSW_TRANSPORT_UDP_IPV4, 300, 0),
              PSW_SUCCESS);
    PSWIdentityInfo identity;
    std::memset(&identity, 0x5A, sizeof identity);
    EXPECT_EQ(PSWGetIdentityInfo(handle, &identity), PSW_ERR_TIMEOUT);
    EXPECT_EQ(static_cast<unsigned char>(identity.sys_descr[0]), 0x5A) << "written on failure";
}

TEST_F(CapturedPrinterTest, StorageAndDevicesOfEverySupportedCopy)
{
    for (const char* name : kCaptures) {
        SCOPED_TRACE(name);
        ASSERT_EQ(open_supported(name), PSW_SUCCESS);
        const std::string s = "1.3.6.1.2.1.25.2.3.1";
        int32_t count = -1;
        ASSERT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
        compare<PSWStorageInfo>(
            "storage", count, PSWGetStorageInfo,
            {type_code(s + ".2", &PSWStorageInfo::storage_type, "1.3.6.1.2.1.25.2.1", {{1, 8}}),
             number(s + ".4", &PSWStorageInfo::allocation_units),
             number(s + ".5", &PSWStorageInfo::size),
             text(s + ".3", &PSWStorageInfo::description)});

        const std::string d = "1.3.6.1.2.1.25.3.2.1";
        ASSERT_EQ(PSWGetNumberOfDeviceInfo(handle, &count), PSW_SUCCESS);
        compare<PSWDeviceInfo>("devices", count, PSWGetDeviceInfo,
                               {type_code(d + ".2", &PSWDeviceInfo::device_type,
                                          "1.3.6.1.2.1.25.3.1", {{1, 6}, {10, 21}}),
                                number(d + ".5", &PSWDeviceInfo::device_status),
                                text(d + ".3", &PSWDeviceInfo::description)});
    }
}

TEST_F(CapturedPrinterTest, TraysOfEverySupportedCopy)
{
    for (const char* name : kCaptures) {
        SCOPED_TRACE(name);
        ASSERT_EQ(open_supported(name), PSW_SUCCESS);
        const std::string i = "1.3.6.1.2.1.43.8.2.1";
        int32_t count = -1;
        ASSERT_EQ(PSWGetNumberOfInputTrayInfo(handle, &count), PSW_SUCCESS);
        compare<PSWInputTrayInfo>("input trays", count, PSWGetInputTrayInfo,
                                  {number(i + ".2", &PSWInputTrayInfo::type),
                                   number(i + ".3", &PSWInputTrayInfo::dimension_unit),
                                   number(i + ".4", &PSWInputTrayInfo::media_dim_feed_declared),
                                   number(i + ".5", &PSWInputTrayInfo::media_dim_xfeed_declared),
                                   number(i + ".6", &PSWInputTrayInfo::media_dim_feed_chosen),
                                   number(i + ".7", &PSWInputTrayInfo::media_dim_xfeed_chosen),
                                   number(i + ".8", &PSWInputTrayInfo::capacity_unit),
                                   number(i + ".9", &PSWInputTrayInfo::max_capacity),
                                   number(i + ".10", &PSWInputTrayInfo::current_level),
                                   number(i + ".11", &PSWInputTrayInfo::status),
                                   text(i + ".12", &PSWInputTrayInfo::media_name),
                                   text(i + ".13", &PSWInputTrayInfo::name),
                                   text(i + ".18", &PSWInputTrayInfo::description),
                                   text(i + ".21", &PSWInputTrayInfo::media_type),
                                   text(i + ".22", &PSWInputTrayInfo::media_color)});

        const std::string o = "1.3.6.1.2.1.43.9.2.1";
        ASSERT_EQ(PSWGetNumberOfOutputTrayInfo(handle, &count), PSW_SUCCESS);
        compare<PSWOutputTrayInfo>(
            "output trays", count, PSWGetOutputTrayInfo,
            {number(o + ".2", &PSWOutputTrayInfo::type),
             number(o + ".6", &PSWOutputTrayInfo::status), text(o + ".7", &PSWOutputTrayInfo::name),
             text(o + ".12", &PSWOutputTrayInfo::description)});
    }
}

TEST_F(CapturedPrinterTest, TonersAndAlertsOfEverySupportedCopy)
{
    for (const char* name : kCaptures) {
        SCOPED_TRACE(name);
        ASSERT_EQ(open_supported(name), PSW_SUCCESS);
        const std::string m = "1.3.6.1.2.1.43.11.1.1";
        int32_t count = -1;
        ASSERT_EQ(PSWGetNumberOfTonerInfo(handle, &count), PSW_SUCCESS);
        // Only toner rows become records; the type column itself is not stored.
        const std::vector<SnmpRow> types = walk(m + ".5");
        std::vector<std::string> toner_rows;
        for (const SnmpRow& row : types) {
            if (row.value == "3") {
                toner_rows.push_back(index_of(row.oid, m + ".5"));
            }
        }
        ASSERT_EQ(static_cast<size_t>(count), toner_rows.size());
        for (const auto& [column, field] :
             std::vector<std::pair<std::string, int32_t PSWTonerInfo::*>>{
                 {m + ".7", &PSWTonerInfo::supply_unit},
                 {m + ".8", &PSWTonerInfo::max_capacity},
                 {m + ".9", &PSWTonerInfo::level}}) {
            const std::vector<SnmpRow> cells = walk(column);
            if (cells.size() != types.size()) {
                continue;
            }
            size_t record = 0;
            for (const SnmpRow& cell : cells) {
                if (std::find(toner_rows.begin(), toner_rows.end(), index_of(cell.oid, column)) ==
                    toner_rows.end()) {
                    continue;
                }
                PSWTonerInfo toner;
                ASSERT_EQ(PSWGetTonerInfo(handle, static_cast<int32_t>(record++), &toner),
                          PSW_SUCCESS);
                EXPECT_EQ(std::to_string(toner.*field), cell.value) << column;
            }
        }

        const std::string a = "1.3.6.1.2.1.43.18.1.1";
        ASSERT_EQ(PSWGetNumberOfAlertInfo(handle, &count), PSW_SUCCESS);
        compare<PSWAlertInfo>(
            "alerts", count, PSWGetAlertInfo,
            {number(a + ".2", &PSWAlertInfo::severity_level),
             number(a + ".4", &PSWAlertInfo::group), number(a + ".5", &PSWAlertInfo::group_index),
             number(a + ".6", &PSWAlertInfo::location), number(a + ".7", &PSWAlertInfo::code),
             text(a + ".8", &PSWAlertInfo::description)});
    }
}

}  // namespace
}  // namespace psw::test
