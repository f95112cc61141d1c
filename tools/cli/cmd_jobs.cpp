// psw jobs and psw cancel: the printer's job list and job cancel.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/mib_names.h"
#include "cli/progress.h"
#include "cli/records.h"
#include "cli/session.h"
#include "cli/table.h"
#include "cli/text_format.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

struct JobsOptions {
    ConnectionOptions connection;
    std::optional<std::string> kind;
};

struct CancelOptions {
    ConnectionOptions connection;
    std::optional<std::string> write_community;
};

void print_jobs_json(const Connection& connection, const std::string& kind,
                     const std::vector<PSWJobInfo>& jobs)
{
    Json list = Json::array();
    for (const PSWJobInfo& job : jobs) {
        list.push_back({
            {"id", json_text(field_text(job.job_id))},
            {"type", job.job_type},
            {"type_name", job_type_name(job.job_type)},
            {"state", job.job_state},
            {"state_name", job_state_name(job.job_state)},
            {"done", job.job_state == PSW_JOB_STATE_SEPARATED},
            {"name", json_text(field_text(job.text))},
            {"texts",
             {json_text(field_text(job.localized_text1)),
              json_text(field_text(job.localized_text2)),
              json_text(field_text(job.localized_text3))}},
            {"values", {job.value_59_6_10, job.value_59_16_5, job.value_59_16_6}},
            {"dates", {date_text(job.date1), date_text(job.date2), date_text(job.date3)}},
        });
    }
    print_json(Json{{"address", json_text(connection.address)}, {"kind", kind}, {"jobs", list}});
}

void print_jobs_human(const std::vector<PSWJobInfo>& jobs)
{
    if (jobs.empty()) {
        std::printf("no jobs\n");
        return;
    }
    Table table({{"ID"},
                 {"TYPE"},
                 {"STATE"},
                 {"NAME", Align::left, 32},
                 {"TEXT 1", Align::left, 24},
                 {"TEXT 2", Align::left, 40},
                 {"TEXT 3", Align::left, 24},
                 {"DATE"}});
    for (const PSWJobInfo& job : jobs) {
        table.add_row({field_text(job.job_id), job_type_name(job.job_type),
                       job_state_name(job.job_state), field_text(job.text),
                       field_text(job.localized_text1), field_text(job.localized_text2),
                       field_text(job.localized_text3), date_text(job.date1)});
    }
    std::fputs(table.render().c_str(), stdout);
}

int run_jobs(const CLI::App* command, const JobsOptions& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("jobs", error);
    }
    if (options.connection.words.size() != 1) {
        return usage_error("jobs", "exactly one printer address is needed");
    }
    const std::string kind_word = options.kind.value_or("all");
    const auto kind = job_kind_of(kind_word);
    if (!kind) {
        return usage_error("jobs", "--kind takes all, active or done, not '" + kind_word + "'");
    }
    const bool json = options.connection.json;
    Connection connection;
    if (!read_connection(options.connection, options.connection.words[0], &connection, &error)) {
        return usage_error("jobs", error);
    }
    DeviceSession session;
    if (auto failure =
            session.open(connection, std::nullopt, false, "its job tables are model-specific")) {
        return report("jobs", *failure, connection, json);
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
        return report_request_failure("jobs", "reading the jobs", jobs.code, connection, json);
    }
    if (json) {
        print_jobs_json(connection, kind_word, jobs.rows);
    } else {
        print_jobs_human(jobs.rows);
    }
    return 0;
}

int run_cancel(const CLI::App* command, const CancelOptions& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("cancel", error);
    }
    if (options.connection.json) {
        return usage_error("cancel", "cancel writes to the printer and has no --json output");
    }
    const std::vector<std::string>& words = options.connection.words;
    if (words.size() != 2) {
        return usage_error("cancel", "a printer address and a job identifier are needed");
    }
    const std::optional<std::string>& write_community = options.write_community;
    if (write_community && write_community->size() > PSW_COMMUNITY_MAX_LENGTH) {
        return usage_error("cancel", "--write-community holds at most 255 characters");
    }
    Connection connection;
    if (!read_connection(options.connection, words[0], &connection, &error)) {
        return usage_error("cancel", error);
    }
    const std::string& job_id = words[1];
    if (job_id.size() > kMaxJobIdLength) {
        return usage_error("cancel", "a job identifier holds at most 255 characters");
    }
    DeviceSession session;
    if (auto failure = session.open(connection, write_community, false)) {
        return report("cancel", *failure, connection, false);
    }
    const int32_t result = run_with_progress(
        "cancelling job " + job_id, std::chrono::milliseconds(connection.total_wait_ms()),
        [&] { return PSWCancelJob(session.handle(), job_id.c_str()); });
    if (result == PSW_ERR_TOO_LONG) {
        // noSuchName or noAccess on the cancel object.
        return report("cancel",
                      Failure{kExitRefused, "refused",
                              connection.shown() + " refused to cancel job '" + printable(job_id) +
                                  "' (-7): the printer does not know the job, or the write "
                                  "community \"" +
                                  write_community.value_or("private") +
                                  "\" may not write (see --write-community)",
                              result},
                      connection, false);
    }
    if (result == PSW_ERR_TIMEOUT) {
        // It answered the read community a moment ago: silence now points at the write one.
        Failure failure = request_failure("", result, connection);
        failure.exit_code = kExitWrongCommunity;
        failure.kind = "wrong_community";
        failure.message +=
            ": the printer answered the read community but not the write "
            "community \"" +
            write_community.value_or("private") +
            "\", which is likely wrong (see --write-community)";
        return report("cancel", failure, connection, false);
    }
    if (result != PSW_SUCCESS) {
        return report_request_failure("cancel", "cancelling job '" + job_id + "'", result,
                                      connection, false);
    }
    std::printf("job %s: cancel request accepted by %s\n", printable(job_id).c_str(),
                connection.shown().c_str());
    return kExitOk;
}

}  // namespace

void add_jobs_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<JobsOptions>();
    CLI::App* command = add_connection_command(
        app, exit_code, options, run_jobs, "jobs", "the printer's jobs",
        "ADDRESS [--kind all|active|done] [-c C] [--timeout MS] [--retries N] [--ipv6] [--json | "
        "--format csv]\n"
        "                [SNMPv3 options]",
        "Lists the printer's jobs: identifier (the argument of 'psw cancel'), type, state, name,\n"
        "the printer's texts for the job and its dates. The job tables are the supported\n"
        "model's own: a printer of another model gives exit 5.");
    command->add_option("--kind", options->kind,
                        "all (default), active (not finished) or done (finished)");
}

void add_cancel_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<CancelOptions>();
    CLI::App* command = add_connection_command(
        app, exit_code, options, run_cancel, "cancel", "cancel a job",
        "ADDRESS JOBID [--write-community C] [-c C] [--timeout MS] [--retries N] [--ipv6]\n"
        "                  [SNMPv3 options]",
        "Cancels job JOBID (an identifier that 'psw jobs' lists) with one SNMP SET. A refused\n"
        "write (unknown job, or a write community without write access) gives exit 6.");
    command->add_option("--write-community", options->write_community,
                        "community of the SET (default \"private\")");
}

}  // namespace psw::cli
