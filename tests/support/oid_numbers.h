// Object identifiers as numbers, independently of the library's own text reading: the numbers
// of a dotted text, the text of numbers, and an OID value given numbers the way the decoder
// gives them (its text not written until something reads it).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"

namespace psw::test {

// The numbers of a text of plain decimals below 2^32 and single dots ("" has none).
inline std::vector<uint32_t> oid_numbers(const std::string& text)
{
    std::vector<uint32_t> ids;
    for (size_t at = 0; !text.empty();) {
        const size_t dot = text.find('.', at);
        ids.push_back(static_cast<uint32_t>(std::stoul(text.substr(at, dot - at))));
        if (dot == std::string::npos) {
            break;
        }
        at = dot + 1;
    }
    return ids;
}

inline std::string dotted(const std::vector<uint32_t>& ids)
{
    std::string text;
    for (size_t i = 0; i < ids.size(); ++i) {
        text += (i == 0 ? "" : ".") + std::to_string(ids[i]);
    }
    return text;
}

// Gives `value` (an OID, or an OID-typed value) `ids` as numbers, as a decoded reply holds them.
inline void assign_numbers(IPmsValue* value, const std::vector<uint32_t>& ids)
{
    void* view = nullptr;
    ASSERT_EQ(value->get_view(kPmsViewOid, &view), PSW_SUCCESS);
    ASSERT_EQ(static_cast<PmsOidView*>(view)->assign_sub_ids(ids.data(),
                                                             static_cast<uint32_t>(ids.size())),
              PSW_SUCCESS);
}

}  // namespace psw::test
