// psw exporter: an HTTP server for Prometheus in the multi-target pattern. Each scrape of
// /metrics?target=ADDRESS[&profile=NAME] reads that printer (with a bounded time and at most
// `concurrency` printers at once) and answers in the Prometheus text format; / is a status page
// of the configured printers; /health answers "ok".
#include <arpa/inet.h>
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exporter_config.h"
#include "cli/metrics_text.h"
#include "cli/printer_read.h"
#include "cli/session.h"
#include "cli/status_page.h"

namespace psw::cli {

namespace {

using Clock = std::chrono::steady_clock;

// One reading in progress on a thread of its own; the handler waits for it until its deadline.
struct Pending {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<PrinterSnapshot> result;
};

// Readings on threads of their own, at most `limit` printers at once. A reading that cannot
// start before its deadline ends as "busy"; one that overruns its deadline goes on to its end in
// the background (the library call cannot be interrupted) but keeps its slot until then, so a
// slow printer never makes more than `limit` readings run.
class ReadPool : public std::enable_shared_from_this<ReadPool> {
public:
    explicit ReadPool(uint32_t limit) : limit_(limit) {}

    std::shared_ptr<Pending> start(const Connection& connection, Clock::time_point deadline)
    {
        auto pending = std::make_shared<Pending>();
        auto self = shared_from_this();
        ++running_;
        std::thread([self, pending, connection, deadline] {
            PrinterSnapshot snapshot;
            if (self->acquire(deadline)) {
                snapshot = read_printer(connection);
                self->release();
            } else {
                snapshot.address = connection.address;
                snapshot.code = PSW_ERR_FAILED;
                snapshot.failure = "not read: " + std::to_string(self->limit_) +
                                   " printers were being read already (concurrency)";
            }
            {
                std::lock_guard<std::mutex> lock(pending->mutex);
                pending->result = std::move(snapshot);
            }
            pending->done.notify_all();
            --self->running_;
        }).detach();
        return pending;
    }

    // The reading, or a snapshot saying that it did not end before the deadline.
    static PrinterSnapshot wait(Pending& pending, const Connection& connection,
                                Clock::time_point deadline, uint32_t budget_ms)
    {
        std::unique_lock<std::mutex> lock(pending.mutex);
        if (pending.done.wait_until(lock, deadline, [&] { return pending.result.has_value(); })) {
            return *pending.result;
        }
        PrinterSnapshot late;
        late.address = connection.address;
        late.code = PSW_ERR_TIMEOUT;
        late.failure = "no complete reading of " + connection.shown() + " within " +
                       std::to_string(budget_ms) + " ms (the scrape's time limit)";
        return late;
    }

    int running() const { return running_.load(); }

private:
    bool acquire(Clock::time_point deadline)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!free_.wait_until(lock, deadline, [&] { return busy_ < limit_; })) {
            return false;
        }
        ++busy_;
        return true;
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
        }
        free_.notify_one();
    }

    const uint32_t limit_;
    std::mutex mutex_;
    std::condition_variable free_;
    uint32_t busy_ = 0;
    std::atomic<int> running_{0};
};

struct ConfiguredPrinter {
    ExporterPrinter printer;
    Connection connection;
};

struct Options {
    std::optional<std::string> config_path;
    std::optional<std::string> listen;
};

// A target as a scrape may name it: an IPv4 or IPv6 address (IPv6 in brackets or not) or a
// host name of letters, digits, '-' and '.'; nullopt when it is one, else the reason.
std::optional<std::string> malformed_target(const std::string& target)
{
    std::string text = target;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    unsigned char address[sizeof(in6_addr)];
    if (text.find(':') != std::string::npos) {
        return inet_pton(AF_INET6, text.c_str(), address) == 1
                   ? std::nullopt
                   : std::optional<std::string>(
                         "not an IPv6 address (a port cannot be given: "
                         "printers answer on 161)");
    }
    if (text.find_first_not_of("0123456789.") == std::string::npos) {
        return inet_pton(AF_INET, text.c_str(), address) == 1
                   ? std::nullopt
                   : std::optional<std::string>("not an IPv4 address");
    }
    const bool name_characters = text.size() <= 253 && text.find("..") == std::string::npos &&
                                 text.front() != '.' && text.front() != '-' &&
                                 text.find_first_not_of(
                                     "abcdefghijklmnopqrstuvwxyz"
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.") == std::string::npos;
    return name_characters ? std::nullopt
                           : std::optional<std::string>("not an address or a host name");
}

int config_error(const std::string& message)
{
    std::fprintf(stderr, "psw: exporter: %s\n", message.c_str());
    return kExitUsage;
}

bool read_file(const std::string& path, std::string* text, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the configuration file " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return true;
}

// The scrape's time limit: the configured one, or less when Prometheus says it waits less.
uint32_t scrape_budget_ms(const httplib::Request& request, uint32_t configured)
{
    const std::string header = request.get_header_value("X-Prometheus-Scrape-Timeout-Seconds");
    if (!header.empty()) {
        char* end = nullptr;
        const double seconds = std::strtod(header.c_str(), &end);
        if (end != header.c_str() && seconds > 0) {
            const double ms = seconds * 1000 - 250;  // time to send the answer
            if (ms < configured) {
                return ms < 100 ? 100 : static_cast<uint32_t>(ms);
            }
        }
    }
    return configured;
}

std::string utc_now()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

int run_exporter(const CLI::App* command, const Options& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("exporter", error);
    }
    ExporterConfig config;
    config.profiles["default"] = ConnectionOptions{};
    std::string source = "(defaults)";
    if (options.config_path) {
        source = *options.config_path;
        std::string text;
        if (!read_file(source, &text, &error) ||
            !parse_exporter_config(text, source, &config, &error)) {
            return config_error(error);
        }
    }
    if (options.listen &&
        !parse_listen_address(*options.listen, &config.listen_host, &config.listen_port, &error)) {
        return usage_error("exporter", "--" + error);
    }
    // Every profile and printer is checked now, so that a fault shows at start-up.
    for (const auto& [name, profile] : config.profiles) {
        Connection probe;
        if (!read_connection(profile, "127.0.0.1", &probe, &error)) {
            const auto line = config.profile_lines.find(name);
            return config_error(source + ":" +
                                (line == config.profile_lines.end()
                                     ? std::string("0")
                                     : std::to_string(line->second)) +
                                ": profile '" + name + "': " + error);
        }
    }
    std::vector<ConfiguredPrinter> printers;
    for (const ExporterPrinter& printer : config.printers) {
        ConfiguredPrinter configured{printer, {}};
        if (!read_connection(config.profiles[printer.profile], printer.address,
                             &configured.connection, &error)) {
            return config_error(source + ":" + std::to_string(printer.line) + ": printer '" +
                                printer.name + "': " + error);
        }
        printers.push_back(configured);
    }

    auto pool = std::make_shared<ReadPool>(config.concurrency);
    httplib::Server server;
    server.Get("/health", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("ok\n", "text/plain; charset=utf-8");
    });
    server.Get("/metrics", [&](const httplib::Request& request, httplib::Response& response) {
        const auto start = Clock::now();
        const std::string target = request.get_param_value("target");
        const std::string profile =
            request.has_param("profile") ? request.get_param_value("profile") : "default";
        std::string fault;
        Connection connection;
        if (target.empty()) {
            fault = "missing parameter 'target' (/metrics?target=ADDRESS[&profile=NAME])";
        } else if (config.profiles.count(profile) == 0) {
            fault = "unknown profile '" + profile + "'";
        } else if (auto why = malformed_target(target)) {
            fault = "target '" + target + "': " + *why;
        } else if (!read_connection(config.profiles.at(profile), target, &connection, &fault)) {
            fault = "target '" + target + "': " + fault;
        }
        if (!fault.empty()) {
            response.status = 400;
            response.set_content(fault + "\n", "text/plain; charset=utf-8");
            return;
        }
        const uint32_t budget = scrape_budget_ms(request, config.scrape_timeout_ms);
        const auto deadline = start + std::chrono::milliseconds(budget);
        auto pending = pool->start(connection, deadline);
        const PrinterSnapshot snapshot = ReadPool::wait(*pending, connection, deadline, budget);
        if (!snapshot.answered()) {
            std::fprintf(stderr, "psw exporter: %s\n", snapshot.failure.c_str());
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        response.set_content(metrics_text(snapshot, seconds),
                             "text/plain; version=0.0.4; charset=utf-8");
    });
    server.Get("/", [&](const httplib::Request&, httplib::Response& response) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(config.scrape_timeout_ms);
        std::vector<std::shared_ptr<Pending>> pending;
        for (const ConfiguredPrinter& printer : printers) {
            pending.push_back(pool->start(printer.connection, deadline));
        }
        std::vector<StatusEntry> entries;
        for (size_t i = 0; i < printers.size(); ++i) {
            entries.push_back({printers[i].printer.name, printers[i].printer.address,
                               ReadPool::wait(*pending[i], printers[i].connection, deadline,
                                              config.scrape_timeout_ms)});
        }
        response.set_content(status_page_html(entries, "psw exporter " + std::string(PSW_VERSION) +
                                                           " · read " + utc_now() +
                                                           " · metrics of any printer: "
                                                           "/metrics?target=ADDRESS"),
                             "text/html; charset=utf-8");
    });

    // SIGINT and SIGTERM stop the server; they are blocked here so that every thread started
    // from now on leaves them to the one thread that waits for them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    if (!server.bind_to_port(config.listen_host.c_str(), config.listen_port)) {
        std::fprintf(stderr, "psw: exporter: cannot listen on %s:%u: %s\n",
                     config.listen_host.c_str(), config.listen_port, std::strerror(errno));
        return kExitFailed;
    }
    std::thread([&server, stop_signals] {
        int received = 0;
        sigwait(&stop_signals, &received);
        server.stop();
    }).detach();
    const bool v6 = config.listen_host.find(':') != std::string::npos;
    std::fprintf(stderr,
                 "psw exporter: listening on http://%s%s%s:%u/ (%zu printers, %zu profiles)\n",
                 v6 ? "[" : "", config.listen_host.c_str(), v6 ? "]" : "", config.listen_port,
                 printers.size(), config.profiles.size());
    const bool listened = server.listen_after_bind();
    std::fflush(nullptr);
    if (pool->running() > 0) {
        // Readings still blocked in the library: leave without tearing down what they use.
        std::_Exit(listened ? kExitOk : kExitFailed);
    }
    return listened ? kExitOk : kExitFailed;
}

}  // namespace

void add_exporter_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<Options>();
    CLI::App* command = add_command(
        app, "exporter", "serve printer metrics to Prometheus, and a status page",
        "[--config FILE] [--listen HOST:PORT]",
        "An HTTP server (default http://127.0.0.1:9631/) in the multi-target pattern:\n"
        "  /metrics?target=ADDRESS[&profile=NAME]  reads that printer now and answers in the\n"
        "      Prometheus text format (psw_up, status and error conditions, supplies and trays\n"
        "      with level, capacity and ratio, alerts by severity, page counters, duration)\n"
        "  /        a status page of the printers of the configuration file\n"
        "  /health  \"ok\"\n"
        "FILE holds settings (listen, concurrency, scrape-timeout), [profile NAME] sections\n"
        "(community or SNMPv3 user, timeout, retries) and [printer NAME] sections (address,\n"
        "profile); see the README. A fault in it stops the start with FILE:LINE and exit 2.\n"
        "SIGINT or SIGTERM stops the server.");
    command->add_option("--config", options->config_path, "the configuration file")
        ->type_name("FILE");
    command
        ->add_option("--listen", options->listen,
                     "HOST:PORT to listen on (default "
                     "127.0.0.1:9631)")
        ->type_name("HOST:PORT");
    command->callback([=] { *exit_code = run_exporter(command, *options); });
}

}  // namespace psw::cli
