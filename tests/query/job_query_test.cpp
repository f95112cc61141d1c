// Job query and job cancel: record mapping, localized texts, identifiers, dates, kinds, SET.
#include <gtest/gtest.h>

#include "core/factory.h"
#include "query/job_identifier.h"
#include "query/query_fixture.h"
#include "query/type_codes.h"

namespace psw::test {
namespace {

const std::string kJob6 = "1.3.6.1.4.1.253.8.59.6.1.1";
const std::string kJob10 = "1.3.6.1.4.1.253.8.59.10.1.1";
const std::string kJob16 = "1.3.6.1.4.1.253.8.59.16.1.1";
const std::string kText = "1.3.6.1.4.1.253.8.51.5.1.1.4";
const std::string kPrivateLocalization = "1.3.6.1.4.1.253.8.51.3.1.1.1";
const std::string kPrivateCharSetValue = "1.3.6.1.4.1.253.8.51.4.1.1.7";
const std::string kCancel = "1.3.6.1.4.1.253.8.76.3.2.1.1";

class JobQueryTest : public QueryTest {
protected:
    void SetUp() override
    {
        QueryTest::SetUp();
        // Private character set 39, read through localization 1.
        script.tables[kPrivateLocalization] = {{Int(kPrivateLocalization + ".1", 4)}};
        script.ints[kPrivateCharSetValue + ".1.4"] = 39;
    }

    // A job row with instance `index` in the .59.6 table and `index`.7.<id bytes> in the
    // .59.10 table; localized codes 10, 20 and 30.
    Row job_row(int index, const std::string& id, int32_t state, const std::string& type,
                const std::vector<uint8_t>& date = {0x07, 0xD7, 3, 15, 10, 20, 30, 0, '+', 9, 0})
    {
        const std::string i = "." + std::to_string(index);
        std::string id_index = i + ".7";
        for (unsigned char byte : id) {
            id_index += "." + std::to_string(byte);
        }
        const std::string n16 = i + ".1";
        const std::string row_name = std::to_string(index);
        script.strings[kText + "." + row_name + ".10.39"] = "first-" + row_name;
        script.strings[kText + "." + row_name + ".20.39"] = "second-" + row_name;
        script.strings[kText + "." + row_name + ".30.39"] = "third-" + row_name;
        return {
            Oid(kJob6 + ".4" + i, type),
            Int(kJob6 + ".9" + i, state),
            Int(kJob6 + ".10" + i, -7),
            Gauge(kJob16 + ".5" + n16, 4000000000u),
            Gauge(kJob16 + ".6" + n16, 12),
            Int(kJob6 + ".5" + i, 10),
            Int(kJob6 + ".6" + i, 20),
            Int(kJob10 + ".7" + id_index, 30),
            Str(kJob6 + ".3" + i, "job " + row_name),
            Bytes(kJob10 + ".10" + id_index, date),
            Bytes(kJob16 + ".4" + n16, {0x07, 0xD7, 3, 15, 0, 20, 30}),
            Bytes(kJob16 + ".7" + n16, {0x07, 0xD8, 12, 31}),
        };
    }

    void expect_date(const PSWDateTime& date, std::vector<int> expected)
    {
        EXPECT_EQ(std::vector<int>(
                      {date.year, date.month, date.day, date.hour, date.minute, date.second}),
                  expected);
    }
};

TEST_F(JobQueryTest, JobRowsBecomeRecords)
{
    script.tables[kJob6 + ".4"] = {job_row(5, "ABC", 3, "1.3.6.1.4.1.253.8.58.2.4")};
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    EXPECT_EQ(query.private_char_set(), 39);

    const FakeRequestRecord* walk = nullptr;
    for (const FakeRequestRecord& seen : script.requests) {
        if (!seen.walks.empty() && seen.walks[0] == kJob6 + ".4") {
            walk = &seen;
        }
    }
    ASSERT_NE(walk, nullptr);
    const std::vector<std::string> columns = {
        kJob6 + ".4", kJob6 + ".9",  kJob6 + ".10", kJob16 + ".5",  kJob16 + ".6", kJob6 + ".5",
        kJob6 + ".6", kJob10 + ".7", kJob6 + ".3",  kJob10 + ".10", kJob16 + ".4", kJob16 + ".7"};
    EXPECT_EQ(walk->oids, columns);

    ASSERT_EQ(query.job_table().size(), 1u);
    const PSWJobInfo& job = query.job_table()[0];
    EXPECT_EQ(job.job_type, 4);
    EXPECT_EQ(job.job_state, 3);
    EXPECT_EQ(job.value_59_6_10, -7);
    EXPECT_EQ(job.value_59_16_5, 4000000000u);
    EXPECT_EQ(job.value_59_16_6, 12u);
    EXPECT_STREQ(job.localized_text1, "first-5");
    EXPECT_STREQ(job.localized_text2, "second-5");
    EXPECT_STREQ(job.localized_text3, "third-5");
    EXPECT_STREQ(job.job_id, "ABC");
    EXPECT_STREQ(job.text, "job 5");
    expect_date(job.date1, {2007, 3, 15, 10, 20, 30});
    expect_date(job.date2, {2007, 3, 15, 0, 20, 30});
    expect_date(job.date3, {2008, 12, 31, 0, 0, 0});
}

TEST_F(JobQueryTest, TheCharacterSetIsReadOnceItIsKnown)
{
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    const size_t first = script.requests.size();
    EXPECT_EQ(first, 3u) << "character-set walk, its read, the job walk";
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    EXPECT_EQ(script.requests.size() - first, 1u) << "only the job walk";
}

TEST_F(JobQueryTest, AnUnknownCharacterSetIsReadAgainEachTime)
{
    script.tables.erase(kPrivateLocalization);
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    int charset_walks = 0;
    for (const FakeRequestRecord& seen : script.requests) {
        charset_walks += !seen.walks.empty() && seen.walks[0] == kPrivateLocalization ? 1 : 0;
    }
    EXPECT_EQ(charset_walks, 2);
}

TEST_F(JobQueryTest, FailedCharacterSetReadFailsTheCall)
{
    script.walk_failures[kPrivateLocalization] = PSW_ERR_TIMEOUT;
    EXPECT_EQ(query.query_jobs(0), PSW_ERR_TIMEOUT);
    EXPECT_EQ(script.requests.size(), 1u) << "the jobs are not walked";
}

TEST_F(JobQueryTest, KindSelectsBySeparatedState)
{
    script.tables[kJob6 + ".4"] = {job_row(1, "A", 17, "1.3.6.1.4.1.253.8.58.2.1"),
                                   job_row(2, "B", 3, "1.3.6.1.4.1.253.8.58.2.2"),
                                   job_row(3, "C", 17, "1.3.6.1.4.1.253.8.58.2.3")};
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    EXPECT_EQ(query.job_table().size(), 3u);
    ASSERT_EQ(query.query_jobs(1), PSW_SUCCESS);
    ASSERT_EQ(query.job_table().size(), 1u);
    EXPECT_STREQ(query.job_table()[0].job_id, "B");
    ASSERT_EQ(query.query_jobs(2), PSW_SUCCESS);
    ASSERT_EQ(query.job_table().size(), 2u);
    EXPECT_STREQ(query.job_table()[0].job_id, "A");
    EXPECT_STREQ(query.job_table()[1].job_id, "C");
    EXPECT_EQ(query.query_jobs(3), PSW_ERR_PARAMETER);
}

TEST_F(JobQueryTest, JobTypeTable)
{
    for (int code = 1; code <= 12; ++code) {
        EXPECT_EQ(pmc_job_type_code(("1.3.6.1.4.1.253.8.58.2." + std::to_string(code)).c_str()),
                  code);
    }
    EXPECT_EQ(pmc_job_type_code("1.3.6.1.4.1.253.8.58.2.13"), 0);
    EXPECT_EQ(pmc_job_type_code("1.3.6.1.4.1.253.8.58.2.0"), 0);
}

TEST_F(JobQueryTest, ShortDatesFillWithZeroes)
{
    script.tables[kJob6 + ".4"] = {
        job_row(1, "A", 3, "1.3.6.1.4.1.253.8.58.2.99", {0x07, 0xD7, 3, 15})};
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    expect_date(query.job_table()[0].date1, {2007, 3, 15, 0, 0, 0});
}

TEST_F(JobQueryTest, JobIdentifierKeepsAtMostEightBytes)
{
    script.tables[kJob6 + ".4"] = {job_row(1, "ABCDEFGHIJ", 3, "1.3.6.1.4.1.253.8.58.2.99")};
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    EXPECT_STREQ(query.job_table()[0].job_id, "ABCDEFGH");
}

TEST_F(JobQueryTest, UndecodableIdentifierEndsTheWalkKeepingEarlierRecords)
{
    Row bad = job_row(2, "B", 3, "1.3.6.1.4.1.253.8.58.2.99");
    // A sub-identifier above 255 is no byte of an OCTET STRING index.
    bad[7] = Int(kJob10 + ".7.2.7.300", 30);
    script.tables[kJob6 + ".4"] = {job_row(1, "A", 3, "1.3.6.1.4.1.253.8.58.2.99"), bad,
                                   job_row(3, "C", 3, "1.3.6.1.4.1.253.8.58.2.99")};
    EXPECT_EQ(query.query_jobs(0), PSW_ERR_INDEX_VALUE);
    ASSERT_EQ(query.job_table().size(), 1u);
    EXPECT_STREQ(query.job_table()[0].job_id, "A");
}

TEST_F(JobQueryTest, FailedTextReadEndsTheWalk)
{
    script.tables[kJob6 + ".4"] = {job_row(1, "A", 3, "1.3.6.1.4.1.253.8.58.2.99"),
                                   job_row(2, "B", 3, "1.3.6.1.4.1.253.8.58.2.99")};
    script.read_failures[kText + ".2.20.39"] = PSW_ERR_TIMEOUT;
    EXPECT_EQ(query.query_jobs(0), PSW_ERR_TIMEOUT);
    EXPECT_EQ(query.job_table().size(), 1u);
}

TEST_F(JobQueryTest, LocalizedTextsAreCutToTheirFields)
{
    script.tables[kJob6 + ".4"] = {job_row(1, "A", 3, "1.3.6.1.4.1.253.8.58.2.99")};
    script.strings[kText + ".1.10.39"] = std::string(400, 'L');
    ASSERT_EQ(query.query_jobs(0), PSW_SUCCESS);
    EXPECT_EQ(std::string(query.job_table()[0].localized_text1), std::string(255, 'L'));
}

TEST_F(JobQueryTest, CancelWritesTheInstanceWithTheWriteCommunity)
{
    ASSERT_EQ(query.cancel_job("AB"), PSW_SUCCESS);
    ASSERT_EQ(script.requests.size(), 1u);
    const FakeRequestRecord& seen = script.requests[0];
    EXPECT_TRUE(seen.community_set);
    EXPECT_EQ(seen.community, "private");
    EXPECT_EQ(seen.set_name, kCancel + ".101.2.65.66");
    EXPECT_EQ(seen.set_value, 1414);
    EXPECT_EQ(seen.set_count, 1);
    EXPECT_EQ(seen.port, 161);
}

TEST_F(JobQueryTest, CancelUsesTheWriteCommunityEvenWithAReadCommunity)
{
    query.set_read_community("reader");
    query.set_write_community("writer");
    ASSERT_EQ(query.cancel_job(""), PSW_SUCCESS);
    EXPECT_EQ(script.requests[0].community, "writer");
    EXPECT_EQ(script.requests[0].set_name, kCancel + ".101.0");
}

TEST_F(JobQueryTest, RejectedCancelIsLoggedAndReturned)
{
    script.set_result = PSW_ERR_TOO_LONG;
    EXPECT_EQ(query.cancel_job("A"), PSW_ERR_TOO_LONG);
    EXPECT_TRUE(logged("pGetData->set_data()"));
}

TEST_F(JobQueryTest, CancelRefusesAnIdentifierLongerThanTheRecordField)
{
    EXPECT_EQ(query.cancel_job(std::string(256, 'j').c_str()), PSW_ERR_PARAMETER);
    EXPECT_TRUE(script.requests.empty()) << "refused before any request is made";
    EXPECT_EQ(query.cancel_job(nullptr), PSW_ERR_PARAMETER);
}

TEST_F(JobQueryTest, CancelInstanceOfEveryByteValue)
{
    OwnedPtr<IPmsOid> instance;
    const char id[] = {'\x01', '\x7f', '\x80', '\xff', '\0'};
    ASSERT_EQ(pmc_job_cancel_instance(id, &instance), PSW_SUCCESS);
    EXPECT_STREQ(instance->text(), "101.4.1.127.128.255");
}

}  // namespace
}  // namespace psw::test
