#include "support/snmp_tools.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "support/temp_dir.h"

namespace psw::test {
namespace {

bool is_numeric_oid(const std::string& text)
{
    if (text.empty() || !isdigit(static_cast<unsigned char>(text.front())) ||
        !isdigit(static_cast<unsigned char>(text.back())))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.') {
            if (text[i + 1] == '.') return false;
        } else if (!isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::string strip_dot(std::string oid)
{
    if (!oid.empty() && oid.front() == '.') oid.erase(0, 1);
    return oid;
}

std::string trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// "72", "up(1)" (enumeration names appear only with MIBs) -> "72" / "1"
std::string integer_text(const std::string& text)
{
    std::string t = trim(text);
    auto open = t.rfind('(');
    if (open != std::string::npos && !t.empty() && t.back() == ')')
        t = t.substr(open + 1, t.size() - open - 2);
    // Units (" octets") appear only with MIB DISPLAY-HINTs; keep the leading number.
    size_t end = 0;
    if (end < t.size() && t[end] == '-') ++end;
    while (end < t.size() && isdigit(static_cast<unsigned char>(t[end])))
        ++end;
    if (end == 0 || (end == 1 && t[0] == '-'))
        throw std::runtime_error("not a number: '" + text + "'");
    return t.substr(0, end);
}

std::string unquote_net_snmp(const std::string& text)
{
    std::string t = trim(text);
    if (t.size() < 2 || t.front() != '"' || t.back() != '"')
        throw std::runtime_error("string value without quotes: '" + text + "'");
    std::string out;
    for (size_t i = 1; i + 1 < t.size(); ++i) {
        if (t[i] == '\\' && i + 2 < t.size() && (t[i + 1] == '"' || t[i + 1] == '\\')) ++i;
        out += t[i];
    }
    return out;
}

SnmpRow parse_value(const std::string& oid, const std::string& value_text)
{
    SnmpRow row{strip_dot(oid), "", ""};
    std::string v = value_text;
    // Exceptions carry no type prefix.
    if (v.rfind("No Such Object", 0) == 0) return row.type = "noSuchObject", row;
    if (v.rfind("No Such Instance", 0) == 0) return row.type = "noSuchInstance", row;
    if (v.rfind("No more variables left", 0) == 0) return row.type = "endOfMibView", row;
    if (trim(v) == "NULL") return row.type = "NULL", row;
    if (trim(v) == "\"\"") return row.type = "OCTET STRING", row;
    if (v.rfind("Wrong Type", 0) == 0) {
        auto colon = v.find("): ");
        if (colon != std::string::npos) v = v.substr(colon + 3);
    }
    auto colon = v.find(": ");
    if (colon == std::string::npos) {
        // "Type:" with an empty value, e.g. "Hex-STRING: " trimmed away
        if (!v.empty() && v.back() == ':')
            colon = v.size() - 1;
        else
            throw std::runtime_error("no type in value '" + value_text + "' of " + oid);
    }
    std::string type = v.substr(0, colon);
    std::string rest = colon + 2 <= v.size() ? v.substr(colon + 2) : std::string();
    if (type == "STRING") {
        row.type = "OCTET STRING";
        row.value = unquote_net_snmp(rest);
    } else if (type == "Hex-STRING") {
        row.type = "OCTET STRING";
        row.value = from_hex(rest);
    } else if (type == "INTEGER") {
        row.type = "INTEGER";
        row.value = integer_text(rest);
    } else if (type == "OID") {
        row.type = "OID";
        row.value = strip_dot(trim(rest));
    } else if (type == "Timeticks") {
        row.type = "Timeticks";
        auto open = rest.find('(');
        auto close = rest.find(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            throw std::runtime_error("bad Timeticks value '" + rest + "' of " + oid);
        row.value = integer_text(rest.substr(open + 1, close - open - 1));
    } else if (type == "Counter32" || type == "Gauge32" || type == "Counter64" ||
               type == "UInteger32") {
        row.type = type == "UInteger32" ? "Gauge32" : type;
        row.value = integer_text(rest);
    } else if (type == "IpAddress") {
        row.type = "IpAddress";
        row.value = trim(rest);
    } else if (type == "Opaque") {
        row.type = "Opaque";
        row.value = trim(rest);
    } else {
        throw std::runtime_error("unknown type '" + type + "' of " + oid);
    }
    return row;
}

// "OID = VALUE" at the start of a line; false for continuation lines.
bool split_row_start(const std::string& line, std::string* oid, std::string* value)
{
    auto eq = line.find(" = ");
    if (eq == std::string::npos) {
        // "OID =" followed by nothing happens only for an empty Hex-STRING; be tolerant
        if (line.size() > 2 && line.compare(line.size() - 2, 2, " =") == 0)
            eq = line.size() - 2;
        else
            return false;
    }
    std::string candidate = line.substr(0, eq);
    if (!is_numeric_oid(strip_dot(candidate))) return false;
    *oid = candidate;
    *value = eq + 3 <= line.size() ? line.substr(eq + 3) : std::string();
    return true;
}

}  // namespace

void PrintTo(const SnmpRow& row, std::ostream* os)
{
    *os << row;
}

std::ostream& operator<<(std::ostream& os, const SnmpRow& row)
{
    os << row.oid << " " << row.type << " ";
    bool printable = std::all_of(row.value.begin(), row.value.end(),
                                 [](unsigned char c) { return isprint(c) != 0; });
    if (printable)
        os << '"' << row.value << '"';
    else
        os << "0x" << to_hex(row.value);
    return os;
}

std::string to_hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string from_hex(const std::string& hex)
{
    std::string out;
    int pending = -1;
    for (char c : hex) {
        if (isspace(static_cast<unsigned char>(c))) continue;
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            throw std::runtime_error(std::string("bad hex digit '") + c + "' in '" + hex + "'");
        if (pending < 0) {
            pending = v;
        } else {
            out += static_cast<char>(pending * 16 + v);
            pending = -1;
        }
    }
    if (pending >= 0) throw std::runtime_error("odd number of hex digits in '" + hex + "'");
    return out;
}

std::vector<SnmpRow> parse_snmpwalk_on(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> raw;  // oid, value text (joined lines)
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        std::string oid, value;
        if (line == "End of MIB") break;  // snmpwalk's SNMPv1 end marker
        if (split_row_start(line, &oid, &value)) {
            raw.emplace_back(oid, value);
        } else if (!raw.empty()) {
            raw.back().second += "\n" + line;
        } else if (!trim(line).empty()) {
            throw std::runtime_error("unexpected line before the first object: '" + line + "'");
        }
    }
    std::vector<SnmpRow> rows;
    for (auto& [oid, value] : raw) {
        // Only string values legitimately span lines; a trailing newline of the output is not data.
        if (value.rfind("STRING: ", 0) != 0)
            while (!value.empty() && (value.back() == '\n' || value.back() == ' '))
                value.pop_back();
        rows.push_back(parse_value(oid, value));
    }
    return rows;
}

std::vector<SnmpRow> parse_snmprec(const std::string& text)
{
    std::vector<SnmpRow> rows;
    size_t pos = 0;
    int line_no = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trim(line).empty() || line[0] == '#') continue;
        auto bar1 = line.find('|');
        auto bar2 = bar1 == std::string::npos ? bar1 : line.find('|', bar1 + 1);
        if (bar2 == std::string::npos)
            throw std::runtime_error("snmprec line " + std::to_string(line_no) +
                                     " has no OID|TYPE|VALUE: '" + line + "'");
        SnmpRow row;
        row.oid = strip_dot(line.substr(0, bar1));
        std::string tag = line.substr(bar1 + 1, bar2 - bar1 - 1);
        std::string value = line.substr(bar2 + 1);
        bool hex = !tag.empty() && tag.back() == 'x';
        if (hex) tag.pop_back();
        if (tag.find(':') != std::string::npos || tag.find('e') != std::string::npos)
            throw std::runtime_error("snmprec line " + std::to_string(line_no) +
                                     ": variation or encoding '" + tag + "' not supported here");
        if (hex) value = from_hex(value);
        static const std::pair<const char*, const char*> names[] = {
            {"2", "INTEGER"},    {"4", "OCTET STRING"}, {"5", "NULL"},     {"6", "OID"},
            {"64", "IpAddress"}, {"65", "Counter32"},   {"66", "Gauge32"}, {"67", "Timeticks"},
            {"68", "Opaque"},    {"70", "Counter64"}};
        for (const auto& [code, name] : names)
            if (tag == code) row.type = name;
        if (row.type.empty())
            throw std::runtime_error("snmprec line " + std::to_string(line_no) +
                                     ": unknown type '" + tag + "'");
        if (row.type == "OID") value = strip_dot(value);
        if (row.type == "NULL") value.clear();
        if (row.type == "Opaque") value = to_hex(value);
        row.value = value;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SnmpRow> read_snmprec_file(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw std::runtime_error("no such snmprec file: " + path);
    return parse_snmprec(read_text_file(path));
}

bool oid_in_subtree(const std::string& oid, const std::string& prefix)
{
    std::string o = strip_dot(oid), p = strip_dot(prefix);
    if (o.size() < p.size() || o.compare(0, p.size(), p) != 0) return false;
    return o.size() == p.size() || o[p.size()] == '.';
}

std::vector<SnmpRow> subtree(const std::vector<SnmpRow>& rows, const std::string& prefix)
{
    std::vector<SnmpRow> out;
    for (const auto& r : rows)
        if (oid_in_subtree(r.oid, prefix)) out.push_back(r);
    return out;
}

std::vector<SnmpRow> without_exceptions(const std::vector<SnmpRow>& rows)
{
    std::vector<SnmpRow> out;
    for (const auto& r : rows)
        if (r.type != "noSuchObject" && r.type != "noSuchInstance" && r.type != "endOfMibView")
            out.push_back(r);
    return out;
}

bool oid_less(const std::string& a, const std::string& b)
{
    std::string x = strip_dot(a), y = strip_dot(b);
    size_t i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        size_t ei = x.find('.', i), ej = y.find('.', j);
        if (ei == std::string::npos) ei = x.size();
        if (ej == std::string::npos) ej = y.size();
        unsigned long long u = std::stoull(x.substr(i, ei - i)),
                           v = std::stoull(y.substr(j, ej - j));
        if (u != v) return u < v;
        i = ei + 1;
        j = ej + 1;
    }
    // Equal so far: the one that ran out of components first is the smaller (a prefix).
    return i >= x.size() && j < y.size();
}

std::string index_of(const std::string& oid, const std::string& column)
{
    std::string o = strip_dot(oid), c = strip_dot(column);
    if (!oid_in_subtree(o, c) || o.size() == c.size()) return {};
    return o.substr(c.size() + 1);
}

SnmpCredentials SnmpCredentials::v1(std::string community)
{
    SnmpCredentials c;
    c.version = "1";
    c.community = std::move(community);
    return c;
}

SnmpCredentials SnmpCredentials::v2c(std::string community)
{
    SnmpCredentials c;
    c.version = "2c";
    c.community = std::move(community);
    return c;
}

SnmpCredentials SnmpCredentials::v3(std::string user, std::string auth_proto, std::string auth_pass,
                                    std::string priv_proto, std::string priv_pass,
                                    std::string context)
{
    SnmpCredentials c;
    c.version = "3";
    c.user = std::move(user);
    c.auth_proto = std::move(auth_proto);
    c.auth_pass = std::move(auth_pass);
    c.priv_proto = std::move(priv_proto);
    c.priv_pass = std::move(priv_pass);
    c.context = std::move(context);
    c.level =
        c.auth_pass.empty() ? "noAuthNoPriv" : (c.priv_pass.empty() ? "authNoPriv" : "authPriv");
    return c;
}

std::vector<std::string> SnmpCredentials::args() const
{
    if (version != "3") return {"-v" + version, "-c", community};
    std::vector<std::string> a = {"-v3", "-u", user, "-l", level};
    if (level != "noAuthNoPriv") {
        a.insert(a.end(), {"-a", auth_proto, "-A", auth_pass});
        if (level == "authPriv") a.insert(a.end(), {"-x", priv_proto, "-X", priv_pass});
    }
    if (!context.empty()) a.insert(a.end(), {"-n", context});
    return a;
}

bool NetSnmpTools::write_client_config(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir + "/persist", ec);
    if (ec) return false;
    std::string conf = "mibs :\npersistentDir " + dir + "/persist\n";
    FILE* f = fopen((dir + "/snmp.conf").c_str(), "w");
    if (!f) return false;
    bool ok = fwrite(conf.data(), 1, conf.size(), f) == conf.size();
    return fclose(f) == 0 && ok;
}

NetSnmpTools::NetSnmpTools() : owns_dir_(true)
{
    char pattern[] = "/tmp/psw-test-tools-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed for the client tool configuration");
    config_dir_ = pattern;
    chmod(config_dir_.c_str(), 0755);
    if (!write_client_config(config_dir_))
        throw std::runtime_error("cannot write " + config_dir_ + "/snmp.conf");
}

NetSnmpTools::NetSnmpTools(std::string config_dir) : config_dir_(std::move(config_dir))
{
    if (!std::filesystem::exists(config_dir_ + "/snmp.conf") && !write_client_config(config_dir_))
        throw std::runtime_error("cannot write " + config_dir_ + "/snmp.conf");
}

NetSnmpTools::~NetSnmpTools()
{
    if (owns_dir_) {
        std::error_code ec;
        std::filesystem::remove_all(config_dir_, ec);
    }
}

EnvChanges NetSnmpTools::env() const
{
    return {{"SNMPCONFPATH", config_dir_},
            {"SNMP_PERSISTENT_DIR", config_dir_ + "/persist"},
            {"MIBS", std::nullopt},
            {"MIBDIRS", std::nullopt}};
}

CommandResult NetSnmpTools::run(const std::string& tool, const std::vector<std::string>& args,
                                std::chrono::milliseconds timeout) const
{
    std::vector<std::string> argv;
    if (!netns_.empty()) argv = {find_program("ip"), "netns", "exec", netns_};
    argv.push_back(tool);
    argv.insert(argv.end(), args.begin(), args.end());
    CommandOptions options;
    options.env = env();
    options.timeout = timeout;
    return run_command(argv, options);
}

CommandResult NetSnmpTools::get(const std::string& target, const SnmpCredentials& creds,
                                const std::vector<std::string>& oids) const
{
    std::vector<std::string> args = {"-On", "-t", "1", "-r", "2"};
    auto c = creds.args();
    args.insert(args.end(), c.begin(), c.end());
    args.push_back(target);
    args.insert(args.end(), oids.begin(), oids.end());
    return run("snmpget", args);
}

CommandResult NetSnmpTools::set(const std::string& target, const SnmpCredentials& creds,
                                const std::string& oid, const std::string& type,
                                const std::string& value) const
{
    std::vector<std::string> args = {"-On", "-t", "1", "-r", "2"};
    auto c = creds.args();
    args.insert(args.end(), c.begin(), c.end());
    args.insert(args.end(), {target, oid, type, value});
    return run("snmpset", args);
}

WalkResult NetSnmpTools::walk(const std::string& target, const SnmpCredentials& creds,
                              const std::string& root) const
{
    std::vector<std::string> args = {"-On", "-t", "1", "-r", "2"};
    auto c = creds.args();
    args.insert(args.end(), c.begin(), c.end());
    args.insert(args.end(), {target, root});
    WalkResult result;
    result.command = run("snmpwalk", args, std::chrono::milliseconds(120000));
    if (!result.command.ok()) return result;
    try {
        result.rows = without_exceptions(parse_snmpwalk_on(result.command.out));
    } catch (const std::exception& e) {
        result.parse_error =
            std::string("cannot parse output of `") + result.command.command + "`: " + e.what();
    }
    return result;
}

}  // namespace psw::test
