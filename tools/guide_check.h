// The checks of `mapfolio-tool dab check`, shared with the programs that
// write guides: every database loads, HOME.DAB and MAIN.DAB are there and
// load, the guide holds at most 100 maps, and every related-map link leads
// to a map the guide has.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Whether a file name is a database's: it ends in .DAB in any letter case.
bool is_dab_name(const std::string& name);

struct CheckLine {
    bool ok = false;
    std::string subject;  // the database or directory the line is about
    std::string text;     // printed as "OK|FAIL subject: text"
};

struct CheckReport {
    std::vector<CheckLine> lines;

    bool failed() const;
    // Whether a failing line is about subject.
    bool failed_on(const std::string& subject) const;
    void print(std::FILE* out) const;
};

// One database, shown by its path.
void check_database(const std::string& path, CheckReport* report);

// A guide directory. staged maps names of databases in it ("HOME.DAB") to
// files that hold their content as it is about to be written: the guide is
// checked as it will be, with those read in their place (and added when the
// directory has no such file yet).
void check_guide(const std::string& dir, CheckReport* report,
                 const std::map<std::string, std::string>& staged = {});
