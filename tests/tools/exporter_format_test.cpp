// What the exporter makes of a printer reading, without a printer: the metrics text and its
// escaping, the status page's escaping, and the configuration file with its faults.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli/exporter_config.h"
#include "cli/metrics_text.h"
#include "cli/status_page.h"
#include "tools/snapshot_builders.h"

namespace psw::cli {
namespace {

TEST(MetricsText, EscapesLabelsAndLeavesOutSpecialValues)
{
    PrinterSnapshot snapshot =
        printer({supply("Toner \"K\"\\\n", 3, 40, 40), supply("Waste", 4, -3, -3)});
    const std::string text = metrics_text(snapshot, 0.25);
    EXPECT_NE(text.find("psw_up 1\n"), std::string::npos);
    EXPECT_NE(text.find("psw_scrape_duration_seconds 0.25\n"), std::string::npos);
    EXPECT_NE(text.find("psw_supply_level{index=\"0\",description=\"Toner \\\"K\\\"\\\\\\n\","
                        "type=\"toner\",colorant=\"\",unit=\"unit 0\"} 40\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("psw_supply_level_ratio{index=\"0\""), std::string::npos);
    EXPECT_EQ(text.find("description=\"Waste\",type=\"waste-toner\",colorant=\"\",unit=\"unit "
                        "0\"} -3"),
              std::string::npos)
        << "the special value -3 is no level";
    EXPECT_NE(text.find("psw_printer_error{condition=\"jammed\"} 0\n"), std::string::npos);

    PrinterSnapshot silent;
    silent.code = PSW_ERR_TIMEOUT;
    EXPECT_EQ(metrics_text(silent, 1.5),
              "# HELP psw_up 1 when the printer answered the scrape, else 0\n# TYPE psw_up gauge\n"
              "psw_up 0\n# HELP psw_scrape_duration_seconds Time the scrape of the printer took\n"
              "# TYPE psw_scrape_duration_seconds gauge\npsw_scrape_duration_seconds 1.5\n");
}

TEST(StatusPage, EscapesWhatThePrinterSays)
{
    StatusEntry entry{"<east>", "192.0.2.7", printer({supply("<script>x</script>", 3, 50, 50)})};
    const std::string html = status_page_html({entry}, "footer & more");
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("<h2>&lt;east&gt;</h2>"), std::string::npos);
    EXPECT_NE(html.find("width:50%"), std::string::npos);
    EXPECT_NE(html.find("footer &amp; more"), std::string::npos);
}

TEST(ExporterConfig, ReadsSettingsProfilesAndPrinters)
{
    const std::string text =
        "# a comment\nlisten = [::1]:9700\nconcurrency = 2\nscrape-timeout = 3000\n\n"
        "[profile office]   # trailing comment\ncommunity = s3cret\ntimeout = 500\n"
        "[profile v3]\nuser = mon\nauth-pass = a-long-phrase\n"
        "[printer east]\naddress = 192.0.2.7\nprofile = office\n[printer west]\naddress = h.x\n";
    ExporterConfig config;
    std::string error;
    ASSERT_TRUE(parse_exporter_config(text, "c.conf", &config, &error)) << error;
    EXPECT_EQ(config.listen_host, "::1");
    EXPECT_EQ(config.listen_port, 9700);
    EXPECT_EQ(config.concurrency, 2u);
    EXPECT_EQ(config.scrape_timeout_ms, 3000u);
    EXPECT_EQ(config.profiles.size(), 3u);
    EXPECT_EQ(config.profiles["office"].community, "s3cret");
    EXPECT_EQ(config.profiles["v3"].usm.auth_pass, "a-long-phrase");
    ASSERT_EQ(config.printers.size(), 2u);
    EXPECT_EQ(config.printers[0].profile, "office");
    EXPECT_EQ(config.printers[1].profile, "default");
}

TEST(ExporterConfig, FaultsNameTheirLine)
{
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"listen = 127.0.0.1\n",
         "c:1: listen takes HOST:PORT or [IPV6]:PORT (port 1 to 65535), "
         "not '127.0.0.1'"},
        {"\n[profile a]\ncomunity = x\n",
         "c:3: unknown key 'comunity' in [profile a] (community, timeout, retries, ipv6, user, "
         "level, auth-protocol, auth-pass, priv-protocol, priv-pass, context)"},
        {"[printer p]\nprofile = nope\naddress = 1.2.3.4\n",
         "c:1: printer 'p' names the unknown profile 'nope'"},
        {"[printer p]\n", "c:1: printer 'p' has no address"},
        {"[profile a]\n[profile a]\n", "c:2: profile 'a' is defined twice"},
        {"[profile a b]\n",
         "c:1: a section line is [profile NAME] or [printer NAME], not "
         "[profile a b]"},
        {"concurrency = 0\n", "c:1: concurrency takes a number from 1 to 256, not '0'"},
        {"just words\n", "c:1: expected KEY = VALUE, not 'just words'"},
        {"[printer p]\naddress =\n", "c:2: 'address' needs a value"},
    };
    for (const Case& c : cases) {
        ExporterConfig config;
        std::string error;
        EXPECT_FALSE(parse_exporter_config(c.text, "c", &config, &error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace psw::cli
