#include <gtest/gtest.h>

#include <string>

#include "core/pmc_string.h"

namespace psw {
namespace {

TEST(PmcStringTest, CapacityClassesFollowTheLength)
{
    EXPECT_EQ(CPmcString::capacity_for(1), 64u);
    EXPECT_EQ(CPmcString::capacity_for(63), 64u);
    EXPECT_EQ(CPmcString::capacity_for(64), 128u);
    EXPECT_EQ(CPmcString::capacity_for(255), 256u);
    EXPECT_EQ(CPmcString::capacity_for(511), 512u);
    EXPECT_EQ(CPmcString::capacity_for(1023), 1024u);
    EXPECT_EQ(CPmcString::capacity_for(1024), 1025u);
    EXPECT_EQ(CPmcString::capacity_for(5000), 5001u);
}

TEST(PmcStringTest, EmptyStringSharesOneStaticText)
{
    CPmcString a;
    CPmcString b("x");
    b.assign("", 0);
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(b.capacity(), 0u);
    EXPECT_STREQ(a.c_str(), "");
}

TEST(PmcStringTest, AssignReusesBufferBelowCapacityAndGrowsOtherwise)
{
    CPmcString s("abc");
    EXPECT_EQ(s.capacity(), 64u);
    const char* buffer = s.c_str();
    s.assign(std::string(63, 'q').c_str());
    EXPECT_EQ(s.c_str(), buffer);
    EXPECT_EQ(s.length(), 63u);
    s.assign(std::string(64, 'r').c_str());
    EXPECT_EQ(s.capacity(), 128u);
    EXPECT_EQ(std::string(s.c_str()), std::string(64, 'r'));
}

TEST(PmcStringTest, AppendMovesToTheNextClassWhenFull)
{
    CPmcString s(std::string(60, 'a').c_str());
    s.append("bbb");
    EXPECT_EQ(s.capacity(), 64u);
    s.append("c");
    EXPECT_EQ(s.capacity(), 128u);
    EXPECT_EQ(std::string(s.c_str()), std::string(60, 'a') + "bbbc");
    s.append(s.c_str(), s.length());  // appending itself must not read freed memory
    EXPECT_EQ(s.length(), 128u);
    EXPECT_EQ(s.capacity(), 256u);
}

TEST(PmcStringTest, FindAndErase)
{
    CPmcString s("1.3.6.1");
    EXPECT_EQ(s.find('.'), 1u);
    EXPECT_EQ(s.find('.', 2), 3u);
    EXPECT_EQ(s.find('x'), CPmcString::npos);
    EXPECT_EQ(s.find('\0'), CPmcString::npos);
    EXPECT_EQ(s.find('.', 7), CPmcString::npos);

    s.erase(1, 2);
    EXPECT_STREQ(s.c_str(), "1.6.1");
    EXPECT_EQ(s.length(), 5u);
    s.erase(2);
    EXPECT_STREQ(s.c_str(), "1.");
    s.erase(5);
    EXPECT_STREQ(s.c_str(), "1.");
    s.erase(0);
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_TRUE(s.empty());
}

TEST(PmcStringTest, CopyMoveAndEquality)
{
    CPmcString a("public");
    CPmcString b(a);
    EXPECT_TRUE(a == b);
    EXPECT_NE(a.c_str(), b.c_str());
    CPmcString c(std::move(b));
    EXPECT_TRUE(c.equals("public"));
    EXPECT_TRUE(b.empty());
    EXPECT_FALSE(c.equals("publi"));
    EXPECT_TRUE(CPmcString().equals(nullptr));
}

}  // namespace
}  // namespace psw
