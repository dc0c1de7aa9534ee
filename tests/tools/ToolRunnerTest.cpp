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

TEST(ToolRunner, ProgramsStartInTheirFolderDocumentsThroughTheDesktop) {
    TempDir dir;
    for (const char* f : {"tool", "notes.txt"}) std::ofstream(dir / f) << "x";
    RecordingLauncher launcher;
    ToolRunner runner(launcher);
    PromptRecorder prompt;

    EXPECT_EQ(runner.Run("Root," + (dir / "tool").string() + ",False"), ToolRunner::Result::Started);
    EXPECT_EQ(runner.Run("Docs," + (dir / "notes.txt").string() + ",tRUE"), ToolRunner::Result::Started);
    ASSERT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(launcher.calls[0].first, std::vector<std::string>{(dir / "tool").string()});
    EXPECT_EQ(launcher.calls[0].second, dir.path());
    EXPECT_EQ(launcher.calls[1].first, (std::vector<std::string>{"xdg-open", (dir / "notes.txt").string()}));
    EXPECT_EQ(launcher.calls[1].second, dir.path());
    EXPECT_TRUE(prompt.calls.empty());
}

TEST(ToolRunner, MissingToolAsksAndOtherFailuresReportTheError) {
    TempDir dir;
    std::ofstream(dir / "tool") << "x";
    RecordingLauncher launcher;
    ToolRunner runner(launcher);
    PromptRecorder prompt;
    prompt.answers = {Answer::Yes, Answer::No};

    EXPECT_EQ(runner.Run("Root,/no/such/tool,False"), ToolRunner::Result::OpenManager);
    EXPECT_EQ(runner.Run("Root,/no/such/doc.pdf,True"), ToolRunner::Result::NotFound);
    ASSERT_EQ(prompt.calls.size(), 2u);
    EXPECT_EQ(prompt.calls[0].text, ToolRunner::kNotFound);
    EXPECT_EQ(prompt.calls[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(launcher.calls.empty());

    EXPECT_EQ(runner.Run("Root,/x"), ToolRunner::Result::Ignored) << "fewer than three fields";
    launcher.result = EACCES;
    EXPECT_EQ(runner.Run("Root," + (dir / "tool").string() + ",False"), ToolRunner::Result::Failed);
    EXPECT_EQ(prompt.calls.back().text, "Error 13: Permission denied");
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
