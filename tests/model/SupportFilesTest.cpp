#include "ModelFixture.h"

#include "model/FileStatistics.h"
#include "model/SupportFiles.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace vellum::test {
namespace {

class SupportFilesTest : public ::testing::Test, public ModelTest {
protected:
    void LoadPlugin(const std::vector<std::pair<std::string, std::int64_t>>& masters) {
        ASSERT_EQ(Load(Concat({HeaderRecord(1, 0, masters), Gmst("sOne")})), 0);
    }

    // The MAST/DATA pairs of the file, or of the file saved and read back.
    std::vector<std::string> Masters(bool saved = false) {
        auto back = NewFile();
        if (saved) {
            EXPECT_TRUE(file->Save((dir / "saved.esp").string()));
            EXPECT_EQ(back->LoadFile((dir / "saved.esp").string(), true, true), 0);
        }
        std::vector<std::string> out;
        for (const auto& m : (saved ? back : file)->esMasterFiles())
            out.push_back(m.value.Name + ":" + std::to_string(m.value.Size));
        return out;
    }
};

using Names = std::vector<std::string>;

TEST_F(SupportFilesTest, DataFilesMastersFirstThenPlugins) {
    fs::path data = dir / "Data Files";
    fs::create_directories(data / "sub.esm");
    for (const char* f : {"b.esp", "Morrowind.esm", "a.ESP", "Tribunal.ESM", "notes.txt", "c.omwaddon"})
        std::ofstream(data / f) << "x";
    auto rows = SupportFiles::ListDataFiles(data);
    Names names;
    for (const auto& r : rows) names.push_back(r.Name);
    EXPECT_EQ(names, (Names{"Morrowind.esm", "Tribunal.ESM", "a.ESP", "b.esp"}));
    EXPECT_EQ(rows[2].Path, (data / "a.ESP").string());
    EXPECT_EQ(rows[3].Number, 3);
    EXPECT_EQ(rows[0].LoadState, "Click to load");
    EXPECT_TRUE(SupportFiles::ListDataFiles(dir / "missing").empty());
}

TEST_F(SupportFilesTest, ToggleRefreshAndLoadList) {
    LoadPlugin({{"Morrowind.esm", 79837557}});
    file->FileTitle = "mine.esp";
    SupportFiles support({file.get()});
    EXPECT_EQ(support.Caption(0), "Support Files for mine.esp");
    std::vector<SupportFiles::Row> rows{{"morrowind.ESM", false, "Click to load", "/d/morrowind.ESM", 0, 0},
                                        {"Tribunal.esm", false, "Click to load", "/d/Tribunal.esm", 0, 1}};
    auto isOpen = [](const std::string& p) { return p == "/d/Tribunal.esm"; };
    support.Refresh(rows, 0, isOpen);
    EXPECT_TRUE(rows[0].Dependency);
    EXPECT_FALSE(rows[1].Dependency);
    EXPECT_EQ(rows[0].LoadState, "Click to Load");
    EXPECT_EQ(rows[1].LoadState, "Loaded");

    EXPECT_FALSE(file->Changed);
    support.Toggle(0, "Tribunal.esm", 4565686);
    EXPECT_TRUE(file->Changed);
    EXPECT_TRUE(support.Changed());
    EXPECT_EQ(support.MastersToLoad("/d", isOpen), (Names{"/d/Morrowind.esm"})) << "open files are skipped";
    support.Toggle(0, "MORROWIND.esm", 0);
    ASSERT_EQ(support.WorkingList(0).size(), 1u);
    EXPECT_EQ(support.WorkingList(0)[0].Name, "Tribunal.esm");
    EXPECT_EQ(Masters(), (Names{"Morrowind.esm:79837557"})) << "nothing changes before OK";
}

TEST_F(SupportFilesTest, OkWritesThePairsInWorkingOrder) {
    LoadPlugin({{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686}});
    SupportFiles support({file.get()});
    support.Toggle(0, "Morrowind.esm", 0); // unticked: the other pair keeps its place
    support.Toggle(0, "Bloodmoon.esm", 9631798);
    support.Apply();
    EXPECT_EQ(Masters(), (Names{"Tribunal.esm:4565686", "Bloodmoon.esm:9631798"}));
    EXPECT_TRUE(file->Rec(0).Packed) << "a packed header is packed again";
    EXPECT_EQ(Masters(true), (Names{"Tribunal.esm:4565686", "Bloodmoon.esm:9631798"}));

    SupportFiles emptied({file.get()});
    emptied.Toggle(0, "Tribunal.esm", 0);
    emptied.Toggle(0, "Bloodmoon.esm", 0);
    emptied.Apply();
    EXPECT_TRUE(Masters().empty());
    file->UnPackRecord(0);
    for (const auto& e : *file->Rec(0).SubRecords) EXPECT_EQ(e.value.Name, "HEDR");
}

TEST_F(SupportFilesTest, OkMakesAHeaderWhenThereIsNone) {
    ASSERT_EQ(Load(Concat({Gmst("sOne"), Gmst("sTwo"),
                           Bytes(300, 0)})),
              0);
    ASSERT_FALSE(file->esRecArrayCatIndex().CatExists("TES3"));
    SupportFiles support({file.get()});
    support.Toggle(0, "Morrowind.esm", 79837557);
    support.Apply();
    EXPECT_TRUE(file->esRecArrayCatIndex().CatExists("TES3"));
    EXPECT_EQ(Masters(), (Names{"Morrowind.esm:79837557"}));
}

TEST_F(SupportFilesTest, StatisticsFigures) {
    LoadPlugin({{"Morrowind.esm", 1}});
    file->FileTitle = "test.esp";
    FileStatistics s = FileStatistics::Of(*file);
    EXPECT_EQ(s.Title, "test.esp");
    EXPECT_EQ(s.SizeText, FileStatistics::Grouped(file->FileSize()) + " bytes");
    EXPECT_EQ(s.TypeText, " Plugin file");
    EXPECT_EQ(s.RecordsText, "1");
    ASSERT_EQ(s.Types.size(), 2u);
    EXPECT_EQ(s.Types[1], (std::pair<std::string, std::size_t>{"GMST", 1}));
    EXPECT_EQ(s.Masters, (Names{"Morrowind.esm"}));
    EXPECT_EQ(FileStatistics::Grouped(79837557), "79,837,557");
    EXPECT_EQ(FileStatistics::Grouped(999), "999");
    EXPECT_EQ(FileStatistics::Grouped(-1000), "-1,000");

    file = NewFile();
    ASSERT_EQ(Load(Concat({RecordBytes("TES3", {{"MAST", Text("x")}}), Gmst("a"),
                           Bytes(300, 0)})),
              0);
    EXPECT_EQ(FileStatistics::Of(*file).TypeText, " Indeterminate (no header information)");
}

} // namespace
} // namespace vellum::test
