#pragma once

#include "model/Progress.h"
#include "model/Prompt.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace testing {
template <class T>
struct TestParamInfo;
}

namespace vellum::test {

// Records every message and question while it lives; answers from a queue, else with
// `defaultAnswer`.
class PromptRecorder : public Prompt {
public:
    struct Call {
        std::string text;
        Buttons buttons;
        std::string title;
    };
    PromptRecorder() : previous_(SetPrompt(this)) {}
    ~PromptRecorder() override { SetPrompt(previous_); }
    Answer Ask(std::string_view text, Buttons buttons, std::string_view title) override;

    std::vector<Call> calls;
    std::vector<Answer> answers; // consumed front to back
    Answer defaultAnswer = Answer::Yes;

    std::vector<std::string> Texts() const;
    bool Saw(std::string_view text) const; // an exact message was shown

private:
    Prompt* previous_;
};

class RecordingProgress : public Progress {
public:
    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override { ++done; }
    bool Cancelled() const override { return cancel; }

    std::vector<std::pair<double, std::string>> reports;
    int done = 0;
    bool cancel = false;
};

// ../shared/testdata and friends; empty paths when the shared folder is absent.
std::filesystem::path PluginsDir();
std::filesystem::path MalformedDir();
std::vector<std::filesystem::path> SharedPlugins(); // every data file, sorted by name
// A test name from a data file's name, for suites run over SharedPlugins().
std::string PluginTestName(const ::testing::TestParamInfo<std::filesystem::path>& info);
std::filesystem::path SourceDir();                  // the project's source tree
std::filesystem::path BinDir();                     // the built program folder
const std::string& ShippedTemplateText();           // the program folder's ESTemplate.ini

// A fresh, empty folder under the system temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<unsigned char> ReadBytes(const std::filesystem::path& file);
std::string ReadText(const std::filesystem::path& file); // the bytes as they are
void WriteBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes);
std::set<std::string> FilesIn(const std::filesystem::path& dir); // the names of a folder's entries
// OpenMW's esmtool reading a file as an outside reader ("esmtool dump"): its exit status, the
// end of what it printed in `tail`; -1 when esmtool is not installed.
int EsmtoolStatus(const std::filesystem::path& file, std::string* tail = nullptr);

// OpenMW's esmtool, an outside reader of data files: the output of "esmtool dump FILE" but the
// lines that name FILE (so that two files' dumps compare), or nothing when the tool is not
// installed (tests then skip).
std::optional<std::string> EsmtoolDump(const std::filesystem::path& file);
// Lines of an esmtool dump that start with `prefix` ("Record: GMST").
std::vector<std::string> DumpLines(const std::string& dump, std::string_view prefix);

} // namespace vellum::test

// Skips the current test when the shared test data is not beside the clone.
#define VELLUM_REQUIRE_SHARED()                                                                   \
    do {                                                                                          \
        if (::vellum::test::PluginsDir().empty())                                                 \
            GTEST_SKIP() << "shared test data not found at " VELLUM_SHARED_DIR;                  \
    } while (0)
