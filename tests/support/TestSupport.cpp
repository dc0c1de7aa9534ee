#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace vellum::test {

namespace fs = std::filesystem;

Answer PromptRecorder::Ask(std::string_view text, Buttons buttons, std::string_view title) {
    calls.push_back({std::string(text), buttons, std::string(title)});
    if (!answers.empty()) {
        Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    return buttons == Buttons::OK ? Answer::OK : defaultAnswer;
}

std::vector<std::string> PromptRecorder::Texts() const {
    std::vector<std::string> t;
    for (const auto& c : calls) t.push_back(c.text);
    return t;
}

bool PromptRecorder::Saw(std::string_view text) const {
    return std::any_of(calls.begin(), calls.end(), [&](const Call& c) { return c.text == text; });
}

void RecordingProgress::Waiting(double percent, std::string_view text) {
    reports.emplace_back(percent, std::string(text));
}

namespace {
// One folder of the shared test data; empty when the shared folder is absent.
fs::path TestData(const char* folder) {
    const fs::path p = fs::path(VELLUM_SHARED_DIR) / "testdata";
    std::error_code ec;
    return fs::is_directory(p, ec) ? p / folder : fs::path{};
}
} // namespace

fs::path PluginsDir() { return TestData("plugins"); }
fs::path MalformedDir() { return TestData("malformed"); }

std::string PluginTestName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string n = info.param.filename().string();
    std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return n;
}

std::vector<fs::path> SharedPlugins() {
    std::vector<fs::path> files;
    fs::path dir = PluginsDir();
    if (dir.empty()) return files;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".esp" || ext == ".esm" || ext == ".ess" || ext == ".omwaddon")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path SourceDir() { return VELLUM_SOURCE_DIR; }
fs::path BinDir() { return VELLUM_BIN_DIR; }

const std::string& ShippedTemplateText() {
    static const std::string text = ReadText(BinDir() / "ESTemplate.ini");
    return text;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("vellum-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::vector<unsigned char> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& file) {
    const std::vector<unsigned char> bytes = ReadBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const fs::path& file, const std::vector<unsigned char>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> FilesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

namespace {

// Runs "esmtool dump FILE"; keeps at most the last `keep` bytes of what it printed. -1 when the
// tool is not installed.
int RunEsmtool(const fs::path& file, std::string& out, std::size_t keep) {
    const fs::path tool = "/usr/games/esmtool";
    std::error_code ec;
    if (!fs::exists(tool, ec)) return -1;
    const std::string command = tool.string() + " dump '" + file.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
        if (out.size() > keep) out.erase(0, out.size() - keep);
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Each line of `text` with its line break, if it has one.
template <class F>
void ForEachLine(const std::string& text, F&& f) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
        f(std::string_view(text.data() + at, end - at));
        at = end;
    }
}

} // namespace

std::optional<std::string> EsmtoolDump(const fs::path& file) {
    std::string out;
    if (RunEsmtool(file, out, std::string::npos) < 0) return std::nullopt;
    std::string kept;
    ForEachLine(out, [&](std::string_view line) {
        if (line.find(file.string()) == std::string_view::npos) kept += line;
    });
    return kept;
}

int EsmtoolStatus(const fs::path& file, std::string* tail) {
    std::string out;
    const int status = RunEsmtool(file, out, 8192);
    if (tail) *tail = std::move(out);
    return status;
}

std::vector<std::string> DumpLines(const std::string& dump, std::string_view prefix) {
    std::vector<std::string> lines;
    ForEachLine(dump, [&](std::string_view line) {
        if (line.ends_with('\n')) line.remove_suffix(1);
        if (line.starts_with(prefix)) lines.emplace_back(line);
    });
    return lines;
}

} // namespace vellum::test
