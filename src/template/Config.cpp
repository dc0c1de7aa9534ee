#include "template/Config.h"

#include "model/Prompt.h"
#include "model/Text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

// Shows a collection's pending error once and clears it, as reading goes on.
template <class Collection>
void ReportAddError(Collection& c) {
    if (!c.Errors) return;
    c.Errors = false;
    CurrentPrompt().Message(c.ErrorDesc);
}

} // namespace

int Config::OpenFile(const std::string& fileName) {
    if (!fileName.empty()) path_ = fileName;
    clear();
    std::error_code ec;
    if (path_.empty() || !fs::is_regular_file(path_, ec)) return kFileNotFound;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return kFileAccess;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return kFileAccess;
    return ReadLines(text);
}

int Config::OpenText(std::string_view text) {
    clear();
    return ReadLines(text);
}

int Config::ReadLines(std::string_view text) {
    Touch();
    Group* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? text.npos
                                                                                  : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        line = TrimSpaces(line);
        if (line.empty()) continue;

        if (line.size() >= 3 && line.front() == '[' && line.back() == ']') {
            std::string name(line.substr(1, line.size() - 2));
            Group* added = groups_.Add(name);
            ReportAddError(groups_);
            // Lines under a repeated heading join the group of that name read first.
            current = added ? added : groups_.Find(name);
            continue;
        }

        std::string name, value;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            name = line;
        } else if (eq > 0) {
            name = TrimSpaces(line.substr(0, eq));
            value = TrimSpaces(line.substr(eq + 1));
        }
        if (!current) return kNoGroup;
        bool instruction = !name.empty() && name.front() == '@';
        Variables& target = instruction ? current->Instructions : current->Variables;
        target.Add(instruction ? name.substr(1) : name, value);
        ReportAddError(target);
    }
    return 0;
}

std::string Config::Serialize() const {
    std::string out;
    for (const auto& g : groups_) {
        out += '[';
        out += g.value.Name;
        out += "]\r\n";
        for (const auto& i : g.value.Instructions) {
            out += '@';
            out += i.value.Name;
            out += " = ";
            out += i.value.Value;
            out += "\r\n";
        }
        for (const auto& v : g.value.Variables) {
            out += v.value.Name;
            out += " = ";
            out += v.value.Value;
            out += "\r\n";
        }
    }
    return out;
}

int Config::Save(const std::string& fileName, bool confirm) {
    if (!fileName.empty()) path_ = fileName;
    if (path_.empty()) return kFileNotFound;
    std::error_code ec;
    if (confirm && fs::exists(path_, ec)) {
        if (CurrentPrompt().Ask("Are you sure you want to replace " + path_ + "?",
                                Buttons::YesNo) != Answer::Yes)
            return 0;
    }
    // Write beside the target and rename over it, so a failed write keeps the old file.
    std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return kFileAccess;
        std::string text = Serialize();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return kFileAccess;
        }
    }
    fs::rename(temp, path_, ec);
    if (ec) {
        fs::remove(temp, ec);
        return kFileAccess;
    }
    return 0;
}

void Config::clear() {
    groups_.clear();
    groups_.Errors = false;
    Touch();
}

int Config::SetVar(const std::string& group, const std::string& name, const std::string& value) {
    AddGroup(group);
    AddVar(group, name, "");
    Group* g = groups_.Find(group);
    Variable* v = g ? g->Variables.Find(name) : nullptr;
    if (!v) return kNoEntry;
    v->Value = value;
    Touch();
    return 0;
}

std::string Config::GetVar(std::string_view group, std::string_view name) const {
    const Group* g = groups_.Find(group);
    if (!g) return "{Error} Group '" + std::string(group) + "' does not exist";
    const Variable* v = g->Variables.Find(name);
    if (!v) return "{Error} Variable '" + std::string(name) + "' does not exist";
    return v->Value;
}

int Config::AddVar(const std::string& group, const std::string& name, const std::string& value) {
    if (VarExists(group, name)) return -1;
    Group* g = groups_.Find(group);
    if (!g) return kNoGroup;
    if (!g->Variables.Add(name, value)) {
        g->Variables.Errors = false;
        return kNoEntry;
    }
    Touch();
    return 0;
}

int Config::AddGroup(const std::string& group) {
    if (GroupExists(group)) return -1;
    groups_.Add(group);
    Touch();
    return 0;
}

bool Config::GroupExists(std::string_view group) const { return groups_.Exists(group); }

bool Config::VarExists(std::string_view group, std::string_view name) const {
    return FindVar(group, name) != nullptr;
}

bool Config::InstrExists(std::string_view group, std::string_view name) const {
    return FindInstr(group, name) != nullptr;
}

const Variable* Config::FindVar(std::string_view group, std::string_view name) const {
    const Group* g = groups_.Find(group);
    return g ? g->Variables.Find(name) : nullptr;
}

const Variable* Config::FindInstr(std::string_view group, std::string_view name) const {
    const Group* g = groups_.Find(group);
    return g ? g->Instructions.Find(name) : nullptr;
}

} // namespace vellum
