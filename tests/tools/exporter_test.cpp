// psw exporter with real peers: three simulated printers, a Prometheus server (Debian's
// prometheus) that scrapes them through the exporter, promtool's lint of the page, the status
// page rendered by headless Chromium, and bad input: an unreachable or malformed target, an
// unknown profile, a slow printer while other scrapes go on, faulty configuration files.
#include <gtest/gtest.h>
#include <httplib.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/agent_harness.h"
#include "support/loopback_pool.h"
#include "support/peer_requirements.h"
#include "support/process.h"
#include "support/snmp_tools.h"
#include "support/temp_dir.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

constexpr const char* kStates[] = {"printer-ok", "printer-warning", "printer-critical"};
constexpr uint16_t kExporterPort = 9631;
constexpr const char* kSupplyColumn = "1.3.6.1.2.1.43.11.1.1";

struct HttpAnswer {
    int status = 0;  // 0: no answer
    std::string body;
};

HttpAnswer http_get(const std::string& host, uint16_t port, const std::string& path,
                    const httplib::Headers& headers = {}, int timeout_s = 20)
{
    httplib::Client client(host, port);
    client.set_read_timeout(timeout_s, 0);
    client.set_connection_timeout(2, 0);
    auto result = client.Get(path.c_str(), headers);
    if (!result) {
        return {};
    }
    return {result->status, result->body};
}

bool has_line(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The value of the sample whose name and labels start the line, e.g. sample(page, "psw_up").
std::optional<double> sample(const std::string& page, const std::string& start)
{
    const size_t at = ("\n" + page).find("\n" + start);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const size_t end = page.find('\n', at);
    const size_t space = page.rfind(' ', end);
    return std::stod(page.substr(space + 1, end - space - 1));
}

class PswExporter : public ::testing::Test {
protected:
    static void TearDownTestSuite()
    {
        exporter_.reset();
        exporter_lease_.reset();
        silent_.reset();
        dir_.reset();
        for (auto& agent : agents_) {
            agent.reset();
        }
    }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::python3);
        if (exporter_) {
            ASSERT_TRUE(exporter_->running()) << tail_of_file(log_);
            return;
        }
        std::vector<std::pair<SnmpsimAgent*, SnmpsimOptions>> starts;
        for (size_t i = 0; i < 3; ++i) {
            agents_[i] = std::make_unique<SnmpsimAgent>();
            starts.push_back(
                {agents_[i].get(),
                 {.files = {SnmprecSource(
                      test_data(std::string("monitor/") + kStates[i] + ".snmprec"), "public")}}});
        }
        ASSERT_TRUE(SnmpsimAgent::start_all(starts));
        std::string error;
        silent_ = LoopbackLease::acquire(161, &error);  // an address where nothing answers
        ASSERT_TRUE(silent_) << error;
        exporter_lease_ = LoopbackLease::acquire(kExporterPort, &error);
        ASSERT_TRUE(exporter_lease_) << error;
        dir_ = std::make_unique<TempDir>("psw-exporter");
        std::string config = "listen = " + exporter_lease_->address() + ":" +
                             std::to_string(kExporterPort) +
                             "\nconcurrency = 4\nscrape-timeout = 8000\n"
                             "[profile fast]\ntimeout = 300\nretries = 0\n"
                             "[profile slow]\ntimeout = 2500\nretries = 0\n";
        const char* names[] = {"office-ok", "office-warning", "office-critical"};
        for (size_t i = 0; i < 3; ++i) {
            config += std::string("[printer ") + names[i] +
                      "]\naddress = " + agents_[i]->address() + "\n";
        }
        const std::string path = dir_->write("exporter.conf", config);
        log_ = dir_->file("exporter.log");
        exporter_ = std::make_unique<Subprocess>();
        ASSERT_TRUE(
            exporter_->start({PSW_CLI_PATH, "exporter", "--config", path}, log_, {}, &error))
            << error;
        for (int i = 0; i < 100 && http_get(host(), kExporterPort, "/health", {}, 1).status != 200;
             ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_EQ(http_get(host(), kExporterPort, "/health").body, "ok\n") << tail_of_file(log_);
    }

    static const std::string& host() { return exporter_lease_->address(); }
    static std::string metrics_path(const std::string& target, const std::string& profile = "")
    {
        return "/metrics?target=" + target + (profile.empty() ? "" : "&profile=" + profile);
    }
    // Description → level of every supply of a served recording, as the agent holds it.
    static std::map<std::string, std::string> simulated_levels(size_t i)
    {
        const auto rows =
            subtree(read_snmprec_file(agents_[i]->served_file("public")), kSupplyColumn);
        std::map<std::string, std::string> descriptions;
        std::map<std::string, std::string> levels;
        for (const SnmpRow& row : rows) {
            const std::string tail = row.oid.substr(std::string(kSupplyColumn).size() + 1);
            const std::string column = tail.substr(0, tail.find('.'));
            const std::string index = tail.substr(tail.find('.') + 1);
            if (column == "6") {
                descriptions[index] = row.value;
            } else if (column == "9") {
                levels[index] = row.value;
            }
        }
        std::map<std::string, std::string> result;
        for (const auto& [index, description] : descriptions) {
            if (levels[index].rfind('-', 0) != 0) {  // special values are no level
                result[description] = levels[index];
            }
        }
        return result;
    }

    static std::unique_ptr<SnmpsimAgent> agents_[3];
    static std::optional<LoopbackLease> silent_;
    static std::optional<LoopbackLease> exporter_lease_;
    static std::unique_ptr<TempDir> dir_;
    static std::unique_ptr<Subprocess> exporter_;
    static std::string log_;
};

std::unique_ptr<SnmpsimAgent> PswExporter::agents_[3];
std::optional<LoopbackLease> PswExporter::silent_;
std::optional<LoopbackLease> PswExporter::exporter_lease_;
std::unique_ptr<TempDir> PswExporter::dir_;
std::unique_ptr<Subprocess> PswExporter::exporter_;
std::string PswExporter::log_;

TEST_F(PswExporter, MetricsOfEachPrinterMatchTheSimulatedDataAndPassPromtool)
{
    PSW_REQUIRE_PEERS(Peer::root);
    const std::string promtool = find_program("promtool");
    if (promtool.empty()) {
        PSW_PEER_UNAVAILABLE("promtool (Debian package prometheus) is not installed");
    }
    for (size_t i = 0; i < 3; ++i) {
        const HttpAnswer page =
            http_get(host(), kExporterPort, metrics_path(agents_[i]->address()));
        ASSERT_EQ(page.status, 200) << page.body;
        EXPECT_EQ(sample(page.body, "psw_up "), 1.0) << kStates[i];
        for (const auto& [description, level] : simulated_levels(i)) {
            const std::string start = "psw_supply_level{index=";
            const size_t at = page.body.find("description=\"" + description + "\"");
            ASSERT_NE(at, std::string::npos) << description << "\n" << page.body;
            const size_t line = page.body.rfind('\n', at) + 1;
            EXPECT_EQ(page.body.compare(line, start.size(), start), 0)
                << "the first sample of a supply is its level";
            EXPECT_EQ(page.body.substr(page.body.rfind(' ', page.body.find('\n', at)) + 1,
                                       page.body.find('\n', at) -
                                           page.body.rfind(' ', page.body.find('\n', at)) - 1),
                      level)
                << description;
        }
        const std::string file = dir_->write("metrics-" + std::to_string(i) + ".txt", page.body);
        const CommandResult lint =
            run_command({"/bin/sh", "-c", promtool + " check metrics < " + file});
        EXPECT_EQ(lint.exit_code, 0) << lint.describe();
        EXPECT_EQ(lint.out + lint.err, "") << "promtool finds nothing to complain about";
    }
    const HttpAnswer critical =
        http_get(host(), kExporterPort, metrics_path(agents_[2]->address()));
    for (const char* line :
         {"psw_printer_error{condition=\"jammed\"} 1", "psw_printer_error{condition=\"noPaper\"} 0",
          "psw_alerts{severity=\"critical\"} 1", "psw_alerts{severity=\"warning\"} 1",
          "psw_pages_total{marker=\"1\",unit=\"impressions\"} 4242",
          "psw_input_tray_level_ratio{tray=\"2\",name=\"Tray 2\",media=\"A4 plain\"} 0.06",
          "psw_printer_status{status=\"other\"} 1"}) {
        EXPECT_TRUE(has_line(critical.body, line)) << line << "\n" << critical.body;
    }
}

TEST_F(PswExporter, PrometheusScrapesTheThreePrintersAndStoresTheirSupplyLevels)
{
    const std::string prometheus = find_program("prometheus");
    if (prometheus.empty()) {
        PSW_PEER_UNAVAILABLE("prometheus (Debian package prometheus) is not installed");
    }
    std::string error;
    auto lease = LoopbackLease::acquire(9090, &error);
    ASSERT_TRUE(lease) << error;
    std::string targets;
    for (const auto& agent : agents_) {
        targets += (targets.empty() ? "'" : ", '") + agent->address() + "'";
    }
    const std::string config =
        "global:\n  scrape_interval: 4s\n  scrape_timeout: 4s\n"
        "scrape_configs:\n  - job_name: printers\n    metrics_path: /metrics\n"
        "    static_configs:\n      - targets: [" +
        targets +
        "]\n"
        "    relabel_configs:\n"
        "      - source_labels: [__address__]\n        target_label: __param_target\n"
        "      - source_labels: [__param_target]\n        target_label: instance\n"
        "      - target_label: __address__\n        replacement: '" +
        host() + ":" + std::to_string(kExporterPort) + "'\n";
    TempDir dir("psw-prometheus");
    Subprocess server;
    ASSERT_TRUE(server.start({prometheus, "--config.file=" + dir.write("prometheus.yml", config),
                              "--storage.tsdb.path=" + dir.file("data"),
                              "--web.listen-address=" + lease->address() + ":9090"},
                             dir.file("prometheus.log"), {}, &error))
        << error;
    lease->record_owner(server.pid());

    // Every supply with a level, of the three printers, once Prometheus has scraped them all (a
    // reading of a simulated printer takes most of a second).
    size_t expected = 0;
    for (size_t i = 0; i < 3; ++i) {
        expected += simulated_levels(i).size();
    }
    nlohmann::json series;
    for (int attempt = 0; attempt < 60; ++attempt) {
        const HttpAnswer answer =
            http_get(lease->address(), 9090, "/api/v1/query?query=psw_supply_level", {}, 2);
        if (answer.status == 200) {
            series = nlohmann::json::parse(answer.body)["data"]["result"];
            if (series.size() == expected) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ASSERT_EQ(series.size(), expected) << tail_of_file(dir.file("prometheus.log"));
    for (size_t i = 0; i < 3; ++i) {
        for (const auto& [description, level] : simulated_levels(i)) {
            bool found = false;
            for (const auto& s : series) {
                if (s["metric"]["instance"] == agents_[i]->address() &&
                    s["metric"]["description"] == description) {
                    found = true;
                    EXPECT_EQ(s["value"][1].get<std::string>(), level)
                        << kStates[i] << " " << description;
                    EXPECT_EQ(s["metric"]["job"], "printers");
                }
            }
            EXPECT_TRUE(found) << kStates[i] << " " << description;
        }
    }
}

TEST_F(PswExporter, StatusPageRenderedByChromiumShowsThePrintersAndSupplies)
{
    const std::string chromium = find_program("chromium");
    if (chromium.empty()) {
        PSW_PEER_UNAVAILABLE("chromium (Debian package chromium) is not installed");
    }
    const HttpAnswer page = http_get(host(), kExporterPort, "/");
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.body.find("<script"), std::string::npos) << "no script on the page";

    TempDir dir("psw-chromium");
    // Everything but loopback goes to a proxy that is not there, and no name is resolved: the
    // browser reaches the exporter and nothing else.
    const std::vector<std::string> common = {
        chromium,
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--proxy-server=http://127.0.0.1:9",
        "--proxy-bypass-list=" + host(),
        "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE " + host(),
        "--user-data-dir=" + dir.file("profile"),
        "--window-size=1200,900"};
    const std::string url = "http://" + host() + ":" + std::to_string(kExporterPort) + "/";
    CommandOptions options;
    options.timeout = std::chrono::milliseconds(60000);
    std::vector<std::string> dump = common;
    dump.insert(dump.end(), {"--dump-dom", url});
    const CommandResult dom = run_command(dump, options);
    ASSERT_EQ(dom.exit_code, 0) << dom.describe();
    for (const char* text :
         {"<h2>office-ok</h2>", "<h2>office-warning</h2>", "<h2>office-critical</h2>",
          "Black Toner", "Waste Toner Box", "Bypass Tray", "critical: Paper jam in tray 2",
          "class=\"state CRITICAL\"", "class=\"state WARNING\"", "class=\"state OK\"",
          "width:15%"}) {
        EXPECT_NE(dom.out.find(text), std::string::npos) << text << "\n" << dom.out;
    }
    std::vector<std::string> shot = common;
    shot.insert(shot.end(), {"--screenshot=" + dir.file("status.png"), url});
    const CommandResult picture = run_command(shot, options);
    ASSERT_EQ(picture.exit_code, 0) << picture.describe();
    const std::string png = read_text_file(dir.file("status.png"));
    ASSERT_GT(png.size(), 10000u) << "a page with three cards, not a blank one";
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

TEST_F(PswExporter, BadTargetsGetClearAnswersAndNothingHangs)
{
    const std::string silent = silent_->address();
    struct Case {
        std::string path;
        int status;
        std::string body_start;
    };
    const std::vector<Case> cases = {
        {"/metrics", 400, "missing parameter 'target' (/metrics?target=ADDRESS[&profile=NAME])"},
        {metrics_path("1.2.3.4:161"), 400,
         "target '1.2.3.4:161': not an IPv6 address (a port cannot be given: printers answer on "
         "161)"},
        {metrics_path("300.1.2.3"), 400, "target '300.1.2.3': not an IPv4 address"},
        {metrics_path("no%20such%20host"), 400,
         "target 'no such host': not an address or a host name"},
        {metrics_path(silent, "nope"), 400, "unknown profile 'nope'"},
        // Silence is no fault of the request: the page says psw_up 0.
        {metrics_path(silent, "fast"), 200, "# HELP psw_up"},
    };
    for (const Case& c : cases) {
        const HttpAnswer answer = http_get(host(), kExporterPort, c.path);
        EXPECT_EQ(answer.status, c.status) << c.path << "\n" << answer.body;
        EXPECT_EQ(answer.body.rfind(c.body_start, 0), 0u) << c.path << "\n" << answer.body;
    }
    const HttpAnswer unreachable = http_get(host(), kExporterPort, metrics_path(silent, "fast"));
    EXPECT_EQ(sample(unreachable.body, "psw_up "), 0.0);
    EXPECT_EQ(unreachable.body.find("psw_supply"), std::string::npos);
    EXPECT_NE(read_text_file(log_).find("psw exporter: no answer from " + silent +
                                        " within 300 ms (-203)"),
              std::string::npos)
        << read_text_file(log_);
}

TEST_F(PswExporter, SlowPrinterDoesNotHoldUpOtherScrapes)
{
    // The "slow" profile waits 2.5 s for the silent address; meanwhile a printer that answers is
    // scraped in full, and a scrape with a shorter time limit ends at its limit.
    auto slow = std::async(std::launch::async, [&] {
        return http_get(host(), kExporterPort, metrics_path(silent_->address(), "slow"));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const HttpAnswer fast = http_get(host(), kExporterPort, metrics_path(agents_[0]->address()));
    EXPECT_EQ(slow.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
        << "the answering printer was scraped while the slow one was still being read";
    EXPECT_EQ(sample(fast.body, "psw_up "), 1.0);
    const HttpAnswer slow_answer = slow.get();
    EXPECT_EQ(slow_answer.status, 200);
    EXPECT_EQ(sample(slow_answer.body, "psw_up "), 0.0);

    const HttpAnswer limited =
        http_get(host(), kExporterPort, metrics_path(silent_->address(), "slow"),
                 {{"X-Prometheus-Scrape-Timeout-Seconds", "1"}});
    EXPECT_EQ(sample(limited.body, "psw_up "), 0.0);
    const auto duration = sample(limited.body, "psw_scrape_duration_seconds ");
    ASSERT_TRUE(duration);
    EXPECT_LT(*duration, 2.0) << "the answer came at the scrape's limit, not after the reading";
    EXPECT_NE(read_text_file(log_).find("within 750 ms (the scrape's time limit)"),
              std::string::npos)
        << read_text_file(log_);
}

TEST(PswExporterConfig, FaultsStopTheStartWithTheirLine)
{
    TempDir dir("psw-exporter-config");
    struct Case {
        std::string config;
        int exit_code;
        std::string err;
    };
    const std::string path = dir.file("bad.conf");
    const std::vector<Case> cases = {
        {"[profile office]\ncomunity = x\n", 2,
         "psw: exporter: " + path +
             ":2: unknown key 'comunity' in [profile office] (community, timeout, retries, ipv6, "
             "user, level, auth-protocol, auth-pass, priv-protocol, priv-pass, context)\n"},
        {"\n[profile office]\ntimeout = 0\n", 2,
         "psw: exporter: " + path +
             ":2: profile 'office': --timeout takes milliseconds from 1 to 600000, not '0'\n"},
        {"[profile v3]\nuser = mon\nauth-protocol = SHA-999\n", 2,
         "psw: exporter: " + path + ":1: profile 'v3': "},
        {"[printer p]\naddress = 10.0.0.1\nprofile = missing\n", 2,
         "psw: exporter: " + path + ":1: printer 'p' names the unknown profile 'missing'\n"},
        {"listen = 192.0.2.1:9631\n", 1,
         "psw: exporter: cannot listen on 192.0.2.1:9631: Cannot assign requested address\n"},
    };
    for (const Case& c : cases) {
        dir.write("bad.conf", c.config);
        CommandOptions options;
        options.timeout = std::chrono::milliseconds(10000);
        const CommandResult result =
            run_command({PSW_CLI_PATH, "exporter", "--config", path}, options);
        EXPECT_EQ(result.exit_code, c.exit_code) << result.describe();
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
        EXPECT_FALSE(result.timed_out);
    }
    const CommandResult missing =
        run_command({PSW_CLI_PATH, "exporter", "--config", dir.file("none.conf")});
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_EQ(missing.err, "psw: exporter: cannot read the configuration file " +
                               dir.file("none.conf") + ": No such file or directory\n");
}

}  // namespace
}  // namespace psw::test
