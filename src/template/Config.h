#pragma once

#include "template/Groups.h"

#include <string>
#include <string_view>

namespace vellum {

// An ini-like configuration file: "[group]" headings, "name = value" variables and
// "@name = value" instructions. Carries both the format template and the settings.
// Results are 0 on success, else an error code; problems the user must see go to the prompt.
class Config {
public:
    enum ErrorCode : int {
        kFileNotFound = 53,
        kFileAccess = 75,
        kNoGroup = 91, // entry before the first heading, or a missing group
        kNoEntry = 5,
    };

    int OpenFile(const std::string& fileName = {});
    int OpenText(std::string_view text); // reads text as if it were a file (tests, fuzzing)
    int Save(const std::string& fileName = {}, bool confirm = false);
    void clear();

    int SetVar(const std::string& group, const std::string& name, const std::string& value);
    std::string GetVar(std::string_view group, std::string_view name) const;
    int AddVar(const std::string& group, const std::string& name, const std::string& value);
    int AddGroup(const std::string& group);
    bool GroupExists(std::string_view group) const;
    bool VarExists(std::string_view group, std::string_view name) const;
    bool InstrExists(std::string_view group, std::string_view name) const;

    // Non-failing look-ups: nullptr when absent.
    Group* FindGroup(std::string_view group) { return groups_.Find(group); }
    const Group* FindGroup(std::string_view group) const { return groups_.Find(group); }
    const Variable* FindVar(std::string_view group, std::string_view name) const;
    const Variable* FindInstr(std::string_view group, std::string_view name) const;

    const std::string& path() const { return path_; }
    void setPath(std::string path) { path_ = std::move(path); }
    vellum::Groups& Groups() { return groups_; }
    const vellum::Groups& Groups() const { return groups_; }

    // Bumped by every change through this interface and every read, so that caches built from
    // the model (template look-ups) know when to rebuild.
    unsigned long Generation() const { return generation_; }
    void Touch() { ++generation_; }

private:
    int ReadLines(std::string_view text);
    std::string Serialize() const;

    std::string path_;
    vellum::Groups groups_;
    unsigned long generation_ = 0;
};

} // namespace vellum
