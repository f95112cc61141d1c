#include "support/agent_harness.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

namespace psw::test {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2.0";

std::string strip_dot(std::string oid)
{
    if (!oid.empty() && oid.front() == '.') oid.erase(0, 1);
    return oid;
}

bool chown_to_nobody(const std::string& path)
{
    const passwd* pw = getpwnam("nobody");
    const group* gr = getgrnam("nogroup");
    if (!pw || !gr) return false;
    return chown(path.c_str(), pw->pw_uid, gr->gr_gid) == 0;
}

std::string file_stem_community(const std::string& path)
{
    std::string name = fs::path(path).filename().string();
    const std::string suffix = ".snmprec";
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    return name;
}

}  // namespace

std::string test_data(const std::string& relative)
{
    return std::string(PSW_TEST_DATA_DIR) + "/" + relative;
}
std::string harness_data(const std::string& name)
{
    return test_data("harness/" + name);
}

SnmprecSource::SnmprecSource(std::string p, std::string c)
    : path(std::move(p)),
      community(std::move(c))
{
    if (community.empty()) community = file_stem_community(path);
}

SnmprecSource& SnmprecSource::replace(std::string oid, std::string type, std::string value)
{
    edits.push_back({strip_dot(std::move(oid)), std::move(type), std::move(value)});
    return *this;
}

SnmprecSource& SnmprecSource::remove(std::string oid)
{
    edits.push_back({strip_dot(std::move(oid)), std::nullopt, {}});
    return *this;
}

std::string edit_snmprec(const std::string& text, const std::vector<SnmprecSource::Edit>& edits)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    auto oid_of = [](const std::string& line) -> std::string {
        auto bar = line.find('|');
        if (bar == std::string::npos) return {};
        return strip_dot(line.substr(0, bar));
    };
    for (const auto& edit : edits) {
        std::string replacement =
            edit.type ? edit.oid + "|" + *edit.type + "|" + edit.value : std::string();
        auto same = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return oid_of(l) == edit.oid; });
        if (same != lines.end()) {
            if (edit.type)
                *same = replacement;
            else
                lines.erase(same);
            continue;
        }
        if (!edit.type)
            throw std::runtime_error("cannot remove " + edit.oid + ": not in the recording");
        // Insert before the first object that sorts after it, keeping the walk order.
        auto after = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            std::string o = oid_of(l);
            return !o.empty() && oid_less(edit.oid, o);
        });
        lines.insert(after, replacement);
    }
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

// ---- TestAgent ----

TestAgent::~TestAgent()
{
    stop();
}

std::optional<int> TestAgent::stop()
{
    auto status = process_.stop();
    lease_.reset();
    lease6_.reset();
    return status;
}

::testing::AssertionResult TestAgent::failure(const std::string& what)
{
    auto result = ::testing::AssertionFailure() << kind_ << ": " << what;
    if (!log_path_.empty())
        result << "\n--- end of " << log_path_ << " ---\n" << tail_of_file(log_path_, 25);
    return result;
}

::testing::AssertionResult TestAgent::prepare(const std::string& kind, const std::string& netns,
                                              bool ipv6)
{
    stop();
    kind_ = kind;
    netns_ = netns;
    dir_ = std::make_unique<TempDir>(kind);
    log_path_ = dir_->file(kind + ".out");
    tools_ = std::make_unique<NetSnmpTools>(dir_->path() + "/client");
    tools_->set_netns(netns);
    if (!netns.empty()) {
        address_ = "127.0.0.1";
        address6_ = "::1";
        return ::testing::AssertionSuccess();
    }
    std::string error;
    lease_ = LoopbackLease::acquire(161, &error);
    if (!lease_) return failure(error);
    address_ = lease_->address();
    if (ipv6) {
        lease6_ = LoopbackLease::acquire_ipv6(161, std::chrono::milliseconds(120000), &error);
        if (!lease6_) return failure(error);
        address6_ = "::1";
    } else {
        address6_.clear();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TestAgent::launch(const std::vector<std::string>& argv,
                                             const EnvChanges& env)
{
    argv_.clear();
    if (!netns_.empty()) argv_ = {find_program("ip"), "netns", "exec", netns_};
    argv_.insert(argv_.end(), argv.begin(), argv.end());
    std::string error;
    if (!process_.start(argv_, log_path_, env, &error)) return failure("cannot start: " + error);
    if (lease_) lease_->record_owner(process_.pid());
    if (lease6_) lease6_->record_owner(process_.pid());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TestAgent::wait_ready(const SnmpCredentials& probe,
                                                 std::chrono::milliseconds timeout)
{
    const auto started = Clock::now();
    const auto deadline = started + timeout;
    std::vector<std::string> targets = {target()};
    if (!address6_.empty() && (lease6_ || !netns_.empty())) targets.push_back(target6());
    size_t next = 0;
    CommandResult last;
    while (next < targets.size()) {
        if (!process_.running()) {
            return failure("exited with status " +
                           std::to_string(process_.exit_status().value_or(-1)) +
                           " before answering; command: " + join_command(argv_));
        }
        std::vector<std::string> args = {"-On", "-t", "0.3", "-r", "0"};
        auto c = probe.args();
        args.insert(args.end(), c.begin(), c.end());
        args.push_back(targets[next]);
        args.push_back(kSysObjectId);
        last = tools_->run("snmpget", args, std::chrono::milliseconds(5000));
        // Any answer counts, also "No Such Object": the agent is up.
        if (last.out.find(" = ") != std::string::npos ||
            last.err.find("Error in packet") != std::string::npos) {
            ++next;
            continue;
        }
        if (Clock::now() >= deadline) {
            auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started)
                          .count();
            return failure("no answer on " + targets[next] + " after " + std::to_string(ms) +
                           " ms (see log " + log_path_ + "); last probe: " + last.describe() +
                           "; command: " + join_command(argv_));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ::testing::AssertionSuccess();
}

// ---- SnmpsimAgent ----

std::string SnmpsimAgent::served_file(const std::string& community) const
{
    return data_dir_ + "/" + community + ".snmprec";
}

::testing::AssertionResult SnmpsimAgent::start(const SnmpsimOptions& options)
{
    if (auto r = launch_only(options); !r) return r;
    return wait_ready(SnmpCredentials::v2c(communities_.front()), options.ready_timeout);
}

::testing::AssertionResult SnmpsimAgent::start_all(
    const std::vector<std::pair<SnmpsimAgent*, SnmpsimOptions>>& agents)
{
    for (const auto& [agent, options] : agents)
        if (auto r = agent->launch_only(options); !r) return r;
    for (const auto& [agent, options] : agents)
        if (auto r = agent->wait_ready(SnmpCredentials::v2c(agent->communities_.front()),
                                       options.ready_timeout);
            !r)
            return r;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SnmpsimAgent::launch_only(const SnmpsimOptions& options)
{
    communities_.clear();
    if (auto r = prepare("snmpsimd", options.netns, options.ipv6); !r) return r;
    if (options.files.empty() && options.data_dir.empty())
        return failure("no data: give files or data_dir");

    data_dir_ = dir_->file("data");
    std::string cache_dir = dir_->file("cache");
    sim_log_ = dir_->file("snmpsimd.log");
    std::error_code ec;
    fs::create_directories(data_dir_, ec);
    fs::create_directories(cache_dir, ec);
    if (ec) return failure("cannot create folders in " + dir_->path() + ": " + ec.message());
    // The cache folder and the log are written after snmpsimd drops to nobody.
    if (!dir_->write("snmpsimd.log", "").size() || !chown_to_nobody(cache_dir) ||
        !chown_to_nobody(sim_log_))
        return failure("cannot hand the cache folder and log to nobody:nogroup");

    for (const auto& source : options.files) {
        std::string text = read_text_file(source.path);
        if (text.empty()) return failure("cannot read recording " + source.path);
        try {
            if (!source.edits.empty()) text = edit_snmprec(text, source.edits);
        } catch (const std::exception& e) {
            return failure(std::string("cannot edit ") + source.path + ": " + e.what());
        }
        if (dir_->write("data/" + source.community + ".snmprec", text).empty())
            return failure("cannot write the served copy of " + source.path);
        communities_.push_back(source.community);
    }
    if (!options.data_dir.empty()) {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(options.data_dir, ec))
            if (entry.is_regular_file()) found.push_back(entry.path());
        if (ec) return failure("cannot read data folder " + options.data_dir + ": " + ec.message());
        std::sort(found.begin(), found.end());
        for (const auto& p : found) {
            fs::path rel = fs::relative(p, options.data_dir);
            fs::path dest = fs::path(data_dir_) / rel;
            fs::create_directories(dest.parent_path(), ec);
            fs::copy_file(p, dest, fs::copy_options::overwrite_existing, ec);
            if (ec) return failure("cannot copy " + p.string() + ": " + ec.message());
            chmod(dest.c_str(), 0644);
            if (p.extension() == ".snmprec" && rel.parent_path().empty())
                communities_.push_back(file_stem_community(p));
        }
    }
    for (const auto& entry : fs::recursive_directory_iterator(data_dir_, ec))
        if (entry.is_directory()) chmod(entry.path().c_str(), 0755);

    std::vector<std::string> argv = {
        "/usr/bin/snmpsimd",     "--data-dir=" + data_dir_, "--cache-dir=" + cache_dir,
        "--process-user=nobody", "--process-group=nogroup", "--logging-method=file:" + sim_log_};
    if (netns_.empty()) {
        argv.push_back("--agent-udpv4-endpoint=" + lease_->endpoint());
        if (lease6_) argv.push_back("--agent-udpv6-endpoint=" + lease6_->endpoint());
    } else {
        argv.push_back("--agent-udpv4-endpoint=0.0.0.0:161");
        if (options.ipv6) argv.push_back("--agent-udpv6-endpoint=[::]:161");
    }
    argv.insert(argv.end(), options.extra_args.begin(), options.extra_args.end());
    // Debian's python3 with its own modules; nothing from another Python first on PATH.
    EnvChanges env = {{"PYTHONPATH", std::nullopt},
                      {"PYTHONHOME", std::nullopt},
                      {"PYTHONDONTWRITEBYTECODE", "1"}};
    if (communities_.empty()) return failure("no .snmprec file to serve in " + options.data_dir);
    return launch(argv, env);
}

// ---- SnmpdAgent ----

SnmpCredentials SnmpdAgent::user(const std::string& name) const
{
    for (const auto& u : options_.users)
        if (u.name == name)
            return SnmpCredentials::v3(u.name, u.auth_proto, u.auth_pass, u.priv_proto,
                                       u.priv_pass);
    return SnmpCredentials::v3(name, "", "", "", "");
}

void forward_printer(SnmpdOptions& options, const std::string& printer_address,
                     const std::string& community)
{
    for (const char* subtree :
         {".1.3.6.1.2.1.1", ".1.3.6.1.2.1.25", ".1.3.6.1.2.1.43", ".1.3.6.1.4.1"}) {
        options.extra_lines.push_back("proxy -v 2c -c " + community + " " + printer_address +
                                      ":161 " + subtree);
    }
    options.extra_args.insert(
        options.extra_args.end(),
        {"-I",
         "-system_mib,hr_system,hrh_storage,hrh_filesys,hr_device,hr_other,hr_proc,"
         "hr_network,hr_print,hr_disk,hr_partition,hrSWInstalledTable,hrSWRunTable,"
         "hrSWRunPerfTable"});
}

::testing::AssertionResult SnmpdAgent::start(const SnmpdOptions& options)
{
    options_ = options;
    if (auto r = prepare("snmpd", options.netns, options.ipv6); !r) return r;
    std::string persist = dir_->file("persist");
    std::error_code ec;
    fs::create_directories(persist, ec);
    if (ec) return failure("cannot create " + persist + ": " + ec.message());

    std::ostringstream conf;
    conf << "# private test agent configuration\n";
    conf << "[snmp] persistentDir " << persist << "\n";
    conf << "[snmp] mibs :\n";
    if (netns_.empty()) {
        conf << "agentAddress udp:" << lease_->endpoint();
        if (lease6_) conf << ",udp6:" << lease6_->endpoint();
    } else {
        conf << "agentAddress udp:0.0.0.0:161";
        if (options.ipv6) conf << ",udp6:[::]:161";
    }
    conf << "\n";
    if (!options.ro_community.empty())
        conf << "rocommunity " << options.ro_community << " default\nrocommunity6 "
             << options.ro_community << " default\n";
    if (!options.rw_community.empty())
        conf << "rwcommunity " << options.rw_community << " default\nrwcommunity6 "
             << options.rw_community << " default\n";
    if (!options.engine_id.empty()) conf << "exactEngineID " << options.engine_id << "\n";
    for (const auto& u : options.users) {
        conf << "createUser " << u.name;
        if (!u.auth_pass.empty()) {
            conf << " " << u.auth_proto << " \"" << u.auth_pass << "\"";
            if (!u.priv_pass.empty()) conf << " " << u.priv_proto << " \"" << u.priv_pass << "\"";
        }
        conf << "\n";
        conf << u.access << " " << u.name << " "
             << (u.auth_pass.empty()   ? "noauth"
                 : u.priv_pass.empty() ? "auth"
                                       : "priv")
             << "\n";
    }
    for (const auto& line : options.extra_lines)
        conf << line << "\n";
    config_path_ = dir_->write("snmpd.conf", conf.str());
    if (config_path_.empty()) return failure("cannot write the configuration in " + dir_->path());

    EnvChanges env = {{"SNMP_PERSISTENT_DIR", persist},
                      {"SNMPCONFPATH", dir_->path()},
                      {"MIBS", std::nullopt},
                      {"MIBDIRS", std::nullopt}};
    std::vector<std::string> argv = {find_program("snmpd"), "-f", "-Lo", "-C", "-c", config_path_};
    argv.insert(argv.end(), options.extra_args.begin(), options.extra_args.end());
    if (auto r = launch(argv, env); !r) return r;
    SnmpCredentials probe = SnmpCredentials::v2c(
        options.ro_community.empty() ? options.rw_community : options.ro_community);
    if (options.ro_community.empty() && options.rw_community.empty() && !options.users.empty())
        probe = user(options.users.front().name);
    return wait_ready(probe, options.ready_timeout);
}

}  // namespace psw::test
