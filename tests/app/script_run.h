// Running mapfolio-script from the tests: a whole script at once, or a run
// fed step by step through a pipe while other processes look on.
#pragma once

#include "tests/support/test_files.h"

#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace app_test {

struct ScriptResult {
    int exitCode = -1;
    std::vector<nlohmann::json> states;  // one per state step
    std::vector<std::string> lines;      // the same as printed, keys in their order
    std::string errors;                  // standard error
};

// Runs the script (steps separated by "\n") on the guide directory.
// environment is put before the command as the shell reads it, for example
// "MAPFOLIO_SCREEN=240x346"; directory, when given, is where the run works
// (and its shots with bare names land).
ScriptResult run_script(const std::string& guide, const std::string& script, const std::string& options = "",
                        const std::string& environment = "", const std::string& directory = "");

// A script of tests/data/scripts/, which the browser tests run as well.
std::string script_file(const std::string& name);
// Runs that script in a directory of its own, which takes its shots.
ScriptResult run_script_file(const std::string& guide, const std::string& name);

// The harbour test guide, copied into a directory of its own so that a test
// may change it.
class GuideCopy {
public:
    GuideCopy();
    const std::string& path() const { return m_dir.path(); }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    void write(const std::string& name, const std::string& bytes) const { m_dir.write(name, bytes); }
    void remove(const std::string& name) const;
    void rename(const std::string& from, const std::string& to) const;

private:
    testing_support::TempDir m_dir;
};

// A database named name with the harbour's map image.
std::string small_database(const std::string& name);

// A mapfolio-script run whose steps are written to it one at a time.
class LiveRun {
public:
    // Runs mapfolio-script with these arguments.
    explicit LiveRun(const std::vector<std::string>& args);
    ~LiveRun();
    // Sends one step; a state step returns its JSON.
    void send(const std::string& step);
    nlohmann::json state();
    // Ends the script and waits for the exit code.
    int finish();

private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

}  // namespace app_test
