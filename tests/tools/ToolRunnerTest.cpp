#include "tools/ToolLauncher.h"
#include "tools/ToolRunner.h"

#include "TestSupport.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace vellum;
using vellum::test::PromptRecorder;
using vellum::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct RecordingLauncher : ToolLauncher {
    int Start(const std::vector<std::string>& argv, const fs::path& folder) override {
        calls.push_back({argv, folder});
        return result;
    }
    std::vector<std::pair<std::vector<std::string>, fs::path>> calls;
    int result = 0;
};

} // namespace

// Programs start in their folder, documents through the desktop; a missing tool asks whether to
// open the tools manager, and other failures report the error.
TEST(ToolRunner, StartsWhatTheValueNamesOrSaysWhyNot) {
    TempDir dir;
    for (const char* f : {"tool", "notes.txt"}) std::ofstream(dir / f) << "x";
    const std::string tool = (dir / "tool").string(), notes = (dir / "notes.txt").string();
    const struct {
        std::string value;
        int launcherResult;
        Answer answer;
        ToolRunner::Result result;
        std::vector<std::string> argv; // started, in the tool's folder
        std::string message;
    } cases[] = {
        {"Root," + tool + ",False", 0, Answer::Yes, ToolRunner::Result::Started, {tool}, ""},
        {"Docs," + notes + ",tRUE", 0, Answer::Yes, ToolRunner::Result::Started, {"xdg-open", notes}, ""},
        {"Root,/no/such/tool,False", 0, Answer::Yes, ToolRunner::Result::OpenManager, {}, std::string(ToolRunner::kNotFound)},
        {"Root,/no/such/doc.pdf,True", 0, Answer::No, ToolRunner::Result::NotFound, {}, std::string(ToolRunner::kNotFound)},
        {"Root,/x", 0, Answer::Yes, ToolRunner::Result::Ignored, {}, ""}, // fewer than three fields
        {"Root," + tool + ",False", EACCES, Answer::Yes, ToolRunner::Result::Failed, {tool}, "Error 13: Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        RecordingLauncher launcher;
        launcher.result = c.launcherResult;
        PromptRecorder prompt;
        prompt.answers = {c.answer};
        EXPECT_EQ(ToolRunner(launcher).Run(c.value), c.result);
        EXPECT_EQ(prompt.Texts(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        if (c.message == ToolRunner::kNotFound) {
            EXPECT_EQ(prompt.calls.at(0).buttons, Buttons::YesNo);
        }
        ASSERT_EQ(launcher.calls.size(), c.argv.empty() ? 0u : 1u);
        if (!c.argv.empty()) {
            EXPECT_EQ(launcher.calls[0].first, c.argv);
            EXPECT_EQ(launcher.calls[0].second, dir.path());
        }
    }
}

TEST(ProcessLauncher, StartsDetachedInTheFolderAndReportsExecFailures) {
    TempDir dir;
    fs::path script = dir / "tool.sh";
    std::ofstream(script) << "#!/bin/sh\npwd > started.txt\n";
    fs::permissions(script, fs::perms::owner_all);
    ProcessLauncher launcher;
    ASSERT_EQ(launcher.Start({script.string()}, dir.path()), 0);
    // The tool runs on its own; wait a little for its mark.
    for (int i = 0; i < 200 && !fs::exists(dir / "started.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(dir / "started.txt");
    std::string cwd;
    std::getline(in, cwd);
    EXPECT_EQ(fs::path(cwd), dir.path());

    EXPECT_EQ(launcher.Start({(dir / "missing").string()}, dir.path()), ENOENT);
    std::ofstream(dir / "plain") << "not a program";
    EXPECT_EQ(launcher.Start({(dir / "plain").string()}, dir.path()), EACCES);
}
