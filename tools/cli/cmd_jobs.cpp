// psw jobs and psw cancel: the printer's job list and job cancel.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/names.h"
#include "cli/progress.h"
#include "cli/records.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kJobsHelp =
    "usage: psw jobs ADDRESS [--kind all|active|done] [--community C] [--timeout MS]\n"
    "                [--retries N] [--ipv6] [--json] [SNMPv3 options]\n"
    "\n"
    "Lists the printer's jobs: identifier (the argument of 'psw cancel'), type, state, name,\n"
    "the printer's texts for the job and its dates.\n"
    "\n"
    "options:\n"
    "  --kind K        all (default), active (not finished) or done (finished)\n"
    "  --community C   read community (default \"public\")\n"
    "  --timeout MS    milliseconds per try (default 2000)\n"
    "  --retries N     extra tries (default 1)\n"
    "  --ipv6          use UDP over IPv6 (implied by an IPv6 address)\n"
    "  --json          one JSON document on stdout\n";

constexpr const char* kCancelHelp =
    "usage: psw cancel ADDRESS JOBID [--write-community C] [--community C] [--timeout MS]\n"
    "                  [--retries N] [--ipv6] [SNMPv3 options]\n"
    "\n"
    "Cancels job JOBID (an identifier that 'psw jobs' lists) with one SNMP SET.\n"
    "\n"
    "options:\n"
    "  --write-community C  community of the SET (default \"private\")\n"
    "  --community C        read community for setting up the session (default \"public\")\n"
    "  --timeout MS         milliseconds per try (default 2000)\n"
    "  --retries N          extra tries (default 1)\n"
    "  --ipv6               use UDP over IPv6 (implied by an IPv6 address)\n";

void print_jobs_json(const Connection& connection, const std::string& kind,
                     const std::vector<PSWJobInfo>& jobs)
{
    JsonWriter json;
    json.begin_object().key("address").string(connection.address).key("kind").string(kind);
    json.key("jobs").begin_array();
    for (const PSWJobInfo& job : jobs) {
        json.begin_object()
            .key("id").string(field_text(job.job_id))
            .key("type").number(job.job_type)
            .key("state").number(job.job_state)
            .key("done").boolean(job.job_state == PSW_JOB_STATE_SEPARATED)
            .key("name").string(field_text(job.text))
            .key("texts").begin_array()
            .string(field_text(job.localized_text1))
            .string(field_text(job.localized_text2))
            .string(field_text(job.localized_text3))
            .end_array()
            .key("values").begin_array()
            .number(job.value_59_6_10)
            .number(job.value_59_16_5)
            .number(job.value_59_16_6)
            .end_array()
            .key("dates").begin_array()
            .string(date_text(job.date1))
            .string(date_text(job.date2))
            .string(date_text(job.date3))
            .end_array()
            .end_object();
    }
    json.end_array().end_object();
    std::fputs(json.str().c_str(), stdout);
}

void print_jobs_human(const std::vector<PSWJobInfo>& jobs)
{
    if (jobs.empty()) {
        std::printf("no jobs\n");
        return;
    }
    Table table({{"ID"}, {"TYPE", Align::right}, {"STATE", Align::right}, {"NAME", Align::left, 32},
                 {"TEXT 1", Align::left, 24}, {"TEXT 2", Align::left, 40},
                 {"TEXT 3", Align::left, 24}, {"DATE"}});
    for (const PSWJobInfo& job : jobs) {
        table.add_row({field_text(job.job_id), std::to_string(job.job_type),
                       std::to_string(job.job_state), field_text(job.text),
                       field_text(job.localized_text1), field_text(job.localized_text2),
                       field_text(job.localized_text3), date_text(job.date1)});
    }
    std::fputs(table.render().c_str(), stdout);
}

}  // namespace

int run_jobs(const Args& args)
{
    std::vector<OptionSpec> specs = connection_options();
    specs.push_back({"kind", true});
    std::string error;
    auto parsed = parse_args(args, specs, &error);
    if (!parsed) {
        return usage_error("jobs", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kJobsHelp, stdout);
        std::fputs(usm_help(), stdout);
        return 0;
    }
    if (parsed->positionals.size() != 1) {
        return usage_error("jobs", "exactly one printer address is needed");
    }
    const std::string kind_word = parsed->value("kind").value_or("all");
    const auto kind = job_kind_of(kind_word);
    if (!kind) {
        return usage_error("jobs", "--kind takes all, active or done, not '" + kind_word + "'");
    }
    Connection connection;
    if (!read_connection(*parsed, parsed->positionals[0], &connection, &error)) {
        return usage_error("jobs", error);
    }
    DeviceSession session;
    if (const int32_t result = session.open(connection, std::nullopt); result != PSW_SUCCESS) {
        return report_failure("jobs", "cannot set up " + connection.address, result, connection);
    }
    const auto jobs = run_with_progress("reading jobs of " + connection.address, std::nullopt, [&] {
        return read_records<PSWJobInfo>(
            session.handle(),
            [&](PSWHandle handle, int32_t* count) {
                return PSWGetNumberOfJobInfo(handle, *kind, count);
            },
            PSWGetJobInfo);
    });
    if (!jobs.ok()) {
        return report_failure("jobs", "reading the jobs", jobs.code, connection);
    }
    if (parsed->has_flag("json")) {
        print_jobs_json(connection, kind_word, jobs.rows);
    } else {
        print_jobs_human(jobs.rows);
    }
    return 0;
}

int run_cancel(const Args& args)
{
    std::vector<OptionSpec> specs = connection_options();
    specs.push_back({"write-community", true});
    std::string error;
    auto parsed = parse_args(args, specs, &error);
    if (!parsed) {
        return usage_error("cancel", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kCancelHelp, stdout);
        std::fputs(usm_help(), stdout);
        return 0;
    }
    if (parsed->has_flag("json")) {
        return usage_error("cancel", "cancel writes to the printer and has no --json output");
    }
    if (parsed->positionals.size() != 2) {
        return usage_error("cancel", "a printer address and a job identifier are needed");
    }
    const std::optional<std::string> write_community = parsed->value("write-community");
    if (write_community && write_community->size() > PSW_COMMUNITY_MAX_LENGTH) {
        return usage_error("cancel", "--write-community holds at most 255 characters");
    }
    Connection connection;
    if (!read_connection(*parsed, parsed->positionals[0], &connection, &error)) {
        return usage_error("cancel", error);
    }
    const std::string& job_id = parsed->positionals[1];
    if (job_id.size() > kMaxJobIdLength) {
        return usage_error("cancel", "a job identifier holds at most 255 characters");
    }
    DeviceSession session;
    if (const int32_t result = session.open(connection, write_community); result != PSW_SUCCESS) {
        return report_failure("cancel", "cannot set up " + connection.address, result, connection);
    }
    const int32_t result = run_with_progress(
        "cancelling job " + job_id, std::chrono::milliseconds(connection.total_wait_ms()),
        [&] { return PSWCancelJob(session.handle(), job_id.c_str()); });
    if (result != PSW_SUCCESS) {
        return report_failure("cancel", "cancelling job '" + job_id + "'", result, connection);
    }
    std::printf("job %s: cancel request accepted by %s\n", printable(job_id).c_str(),
                connection.address.c_str());
    return 0;
}

}  // namespace psw::cli
