// The rows of a walk kept as encoded messages in blocks: every row comes back whole and in order,
// however the rows fall across blocks (a row larger than its block's room included).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/factory.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"
#include "snmp/walk_rows.h"

namespace psw {
namespace {

// Row `i`: two columns, a description of a length that varies from row to row and a number.
std::string description_of(uint32_t i)
{
    const size_t length = i == 7 ? 40000 : (i * 97) % 1500;  // row 7 fills most of a block
    return std::string(length, static_cast<char>('a' + i % 26));
}

OwnedPtr<IPmsPdu> row_pdu(uint32_t i)
{
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    const std::string text = description_of(i);
    IPmsValue* description = create_value(kPmsOctetString);
    description->set_octets(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    const std::string instance = "." + std::to_string(i + 1);
    EXPECT_EQ(
        pdu->add(create_oid_from_text(("1.3.6.1.2.1.25.2.3.1.3" + instance).c_str()), description),
        PSW_SUCCESS);
    EXPECT_EQ(pdu->add(create_oid_from_text(("1.3.6.1.2.1.25.2.3.1.5" + instance).c_str()),
                       create_value_with_int(static_cast<int32_t>(i) * 1000, kPmsInteger)),
              PSW_SUCCESS);
    pdu->set_type(kPmsResponse);
    pdu->set_error_status(2);  // the header is not kept, and the PDU is left as it was
    pdu->set_error_index(1);
    return pdu;
}

TEST(WalkRows, EveryRowComesBackInOrderAcrossBlocks)
{
    constexpr uint32_t kRows = 300;
    PmsWalkRows rows;
    size_t footprint = 0;
    for (uint32_t i = 0; i < kRows; ++i) {
        OwnedPtr<IPmsPdu> pdu = row_pdu(i);
        ASSERT_EQ(rows.append(pdu.get()), PSW_SUCCESS) << i;
        EXPECT_EQ(pdu->error_status(), 2);
        EXPECT_EQ(pdu->error_index(), 1);
        EXPECT_GE(rows.footprint(), footprint);
        footprint = rows.footprint();
    }
    EXPECT_EQ(rows.count(), kRows);
    EXPECT_GT(footprint, 40000u + kRows * 100);

    uint32_t seen = 0;
    const Result visited = rows.visit([&](const IPmsPdu* row) noexcept {
        const std::string instance = "." + std::to_string(seen + 1);
        const PmsVarBindList* list = row->bindings();
        EXPECT_EQ(list->count(), 2u);
        EXPECT_STREQ(list->at(0)->name()->text(), ("1.3.6.1.2.1.25.2.3.1.3" + instance).c_str());
        size_t length = 0;
        const uint8_t* bytes = list->at(0)->value()->get_octets(&length);
        const std::string expected = description_of(seen);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), expected) << seen;
        EXPECT_STREQ(list->at(1)->name()->text(), ("1.3.6.1.2.1.25.2.3.1.5" + instance).c_str());
        EXPECT_EQ(list->at(1)->value()->get_int(), static_cast<int32_t>(seen) * 1000);
        ++seen;
        return PSW_SUCCESS;
    });
    EXPECT_EQ(visited, PSW_SUCCESS);
    EXPECT_EQ(seen, kRows);

    // A visit ends at the first row its caller refuses, with that result.
    seen = 0;
    EXPECT_EQ(rows.visit([&](const IPmsPdu*) noexcept { return ++seen == 5 ? PSW_ERR_FAILED : 0; }),
              PSW_ERR_FAILED);
    EXPECT_EQ(seen, 5u);

    rows.clear();
    EXPECT_EQ(rows.count(), 0u);
    EXPECT_EQ(rows.footprint(), 0u);
    OwnedPtr<IPmsPdu> again = row_pdu(3);
    ASSERT_EQ(rows.append(again.get()), PSW_SUCCESS);
    seen = 0;
    EXPECT_EQ(rows.visit([&](const IPmsPdu*) noexcept {
        ++seen;
        return PSW_SUCCESS;
    }),
              PSW_SUCCESS);
    EXPECT_EQ(seen, 1u);
}

}  // namespace
}  // namespace psw
