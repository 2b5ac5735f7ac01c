#include "tests/app/script_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace app_test {

using testing_support::read_file;
using testing_support::run_command;
using testing_support::shell_quote;
using testing_support::TempDir;

const std::string kHarbour = std::string(MAPFOLIO_TEST_DATA) + "/guides/harbour";

ScriptResult run_script(const std::string& guide, const std::string& script, const std::string& options,
                        const std::string& environment, const std::string& directory) {
    TempDir work;
    const std::string scriptPath = work.write("steps.txt", script);
    const std::string errors = work.file("errors.txt");
    const std::string cd = directory.empty() ? "" : "cd " + shell_quote(directory) + " && ";
    auto run = run_command(cd + environment + " " + std::string(MAPFOLIO_SCRIPT_PATH) + " " + options + " " +
                           shell_quote(guide) + " " + shell_quote(scriptPath) + " 2>" + shell_quote(errors));
    ScriptResult result;
    result.exitCode = run.exitCode;
    result.errors = read_file(errors);
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        result.lines.push_back(line);
        result.states.push_back(nlohmann::json::parse(line));
    }
    return result;
}

std::string script_file(const std::string& name) {
    return read_file(std::string(MAPFOLIO_TEST_DATA) + "/scripts/" + name);
}

ScriptResult run_script_file(const std::string& guide, const std::string& name) {
    TempDir work;
    return run_script(guide, script_file(name), "", "", work.path());
}

GuideCopy::GuideCopy() {
    for (const auto& entry : std::filesystem::directory_iterator(kHarbour))
        std::filesystem::copy_file(entry.path(), m_dir.path() + "/" + entry.path().filename().string());
}

void GuideCopy::remove(const std::string& name) const { std::filesystem::remove(file(name)); }

void GuideCopy::rename(const std::string& from, const std::string& to) const {
    std::filesystem::rename(file(from), file(to));
}

std::string small_database(const std::string& name) {
    return "<Mapfolio Version>\r\n1\r\n<Name>\r\n" + name + ",b,c\r\n<Images>\r\nisland.twk\r\n";
}

LiveRun::LiveRun(const std::vector<std::string>& args) {
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv{const_cast<char*>(MAPFOLIO_SCRIPT_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(MAPFOLIO_SCRIPT_PATH, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_in = fdopen(in[1], "w");
    m_out = fdopen(out[0], "r");
}

LiveRun::~LiveRun() {
    if (m_in) fclose(m_in);
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out) fclose(m_out);
}

void LiveRun::send(const std::string& step) {
    if (m_in == nullptr) return;
    std::fputs((step + "\n").c_str(), m_in);
    std::fflush(m_in);
}

nlohmann::json LiveRun::state() {
    send("state");
    char buffer[65536];
    if (m_out == nullptr || std::fgets(buffer, sizeof buffer, m_out) == nullptr) return nlohmann::json();
    return nlohmann::json::parse(buffer, nullptr, false);
}

int LiveRun::finish() {
    if (m_in) fclose(m_in);
    m_in = nullptr;
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace app_test
