// The device session against captured real printers: each recording is served by snmpsim with
// its sysObjectID set to the supported model (in a temporary copy), and every record table is
// compared column by column with what snmpwalk -v1 reads from the same agent. Captures hold
// only some columns of some tables, so a column is compared only where its walk has exactly
// the rows of the table's first column.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "psw/psw.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr char kModel[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

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

class CapturedPrinterTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::shared_printers);
        const std::string file = shared_printer_file(std::string(GetParam()) + ".snmprec");
        ASSERT_FALSE(file.empty());
        community = GetParam();
        ASSERT_TRUE(agent.start({.files = {SnmprecSource(file).replace("1.3.6.1.2.1.1.2.0", "6",
                                                                       kModel)}}));
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
        ASSERT_EQ(PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community.c_str()),
                  PSW_SUCCESS);
        ASSERT_EQ(PSWInitDevice(handle, agent.address().c_str(), PSW_TRANSPORT_UDP_IPV4, 2000, 1),
                  PSW_SUCCESS);
    }
    void TearDown() override { PSWUnInit(handle); }

    std::vector<SnmpRow> walk(const std::string& column)
    {
        const WalkResult result =
            agent.tools().walk(agent.target(), SnmpCredentials::v1(community), column);
        EXPECT_TRUE(result.ok()) << result.describe();
        return subtree(result.rows, column);
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
        RecordProperty(label, static_cast<int>(compared));
    }

    SnmpsimAgent agent;
    PSWHandle handle = nullptr;
    std::string community;
};

TEST_P(CapturedPrinterTest, StorageAndDevices)
{
    const std::string s = "1.3.6.1.2.1.25.2.3.1";
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfStorageInfo(handle, &count), PSW_SUCCESS);
    compare<PSWStorageInfo>(
        "storage", count, PSWGetStorageInfo,
        {type_code(s + ".2", &PSWStorageInfo::storage_type, "1.3.6.1.2.1.25.2.1", {{1, 8}}),
         number(s + ".4", &PSWStorageInfo::allocation_units), number(s + ".5", &PSWStorageInfo::size),
         text(s + ".3", &PSWStorageInfo::description)});

    const std::string d = "1.3.6.1.2.1.25.3.2.1";
    ASSERT_EQ(PSWGetNumberOfDeviceInfo(handle, &count), PSW_SUCCESS);
    compare<PSWDeviceInfo>(
        "devices", count, PSWGetDeviceInfo,
        {type_code(d + ".2", &PSWDeviceInfo::device_type, "1.3.6.1.2.1.25.3.1", {{1, 6}, {10, 21}}),
         number(d + ".5", &PSWDeviceInfo::device_status), text(d + ".3", &PSWDeviceInfo::description)});
}

TEST_P(CapturedPrinterTest, Trays)
{
    const std::string i = "1.3.6.1.2.1.43.8.2.1";
    int32_t count = -1;
    ASSERT_EQ(PSWGetNumberOfInputTrayInfo(handle, &count), PSW_SUCCESS);
    compare<PSWInputTrayInfo>(
        "input trays", count, PSWGetInputTrayInfo,
        {number(i + ".2", &PSWInputTrayInfo::type), number(i + ".3", &PSWInputTrayInfo::dimension_unit),
         number(i + ".4", &PSWInputTrayInfo::media_dim_feed_declared),
         number(i + ".5", &PSWInputTrayInfo::media_dim_xfeed_declared),
         number(i + ".6", &PSWInputTrayInfo::media_dim_feed_chosen),
         number(i + ".7", &PSWInputTrayInfo::media_dim_xfeed_chosen),
         number(i + ".8", &PSWInputTrayInfo::capacity_unit),
         number(i + ".9", &PSWInputTrayInfo::max_capacity),
         number(i + ".10", &PSWInputTrayInfo::current_level),
         number(i + ".11", &PSWInputTrayInfo::status), text(i + ".12", &PSWInputTrayInfo::media_name),
         text(i + ".13", &PSWInputTrayInfo::name), text(i + ".18", &PSWInputTrayInfo::description),
         text(i + ".21", &PSWInputTrayInfo::media_type),
         text(i + ".22", &PSWInputTrayInfo::media_color)});

    const std::string o = "1.3.6.1.2.1.43.9.2.1";
    ASSERT_EQ(PSWGetNumberOfOutputTrayInfo(handle, &count), PSW_SUCCESS);
    compare<PSWOutputTrayInfo>(
        "output trays", count, PSWGetOutputTrayInfo,
        {number(o + ".2", &PSWOutputTrayInfo::type), number(o + ".6", &PSWOutputTrayInfo::status),
         text(o + ".7", &PSWOutputTrayInfo::name), text(o + ".12", &PSWOutputTrayInfo::description)});
}

TEST_P(CapturedPrinterTest, TonersAndAlerts)
{
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
    for (const auto& [column, field] : std::vector<std::pair<std::string, int32_t PSWTonerInfo::*>>{
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
            ASSERT_EQ(PSWGetTonerInfo(handle, static_cast<int32_t>(record++), &toner), PSW_SUCCESS);
            EXPECT_EQ(std::to_string(toner.*field), cell.value) << column;
        }
    }

    const std::string a = "1.3.6.1.2.1.43.18.1.1";
    ASSERT_EQ(PSWGetNumberOfAlertInfo(handle, &count), PSW_SUCCESS);
    compare<PSWAlertInfo>("alerts", count, PSWGetAlertInfo,
                          {number(a + ".2", &PSWAlertInfo::severity_level),
                           number(a + ".4", &PSWAlertInfo::group),
                           number(a + ".5", &PSWAlertInfo::group_index),
                           number(a + ".6", &PSWAlertInfo::location),
                           number(a + ".7", &PSWAlertInfo::code),
                           text(a + ".8", &PSWAlertInfo::description)});
}

INSTANTIATE_TEST_SUITE_P(Captures, CapturedPrinterTest,
                         ::testing::Values("dell-s5830dn", "hp-m252dw", "ricoh-mpc3002",
                                           "sharp-mx3570n"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 c = c == '-' ? '_' : c;
                             }
                             return name;
                         });

}  // namespace
}  // namespace psw::test
