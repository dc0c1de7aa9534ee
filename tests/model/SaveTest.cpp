#include "FaultyWriter.h"
#include "ModelFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

Bytes Dial(const std::string& id) { return RecordBytes("DIAL", {{"NAME", Text(id)}}); }
Bytes Info(const std::string& id) { return RecordBytes("INFO", {{"INAM", Text(id)}}); }
Bytes Npc(const std::string& id) { return RecordBytes("NPC_", {{"NAME", Text(id)}}); }
Bytes Cell(const std::string& id) { return RecordBytes("CELL", {{"NAME", Text(id)}}); }

// The model template with another save sequence.
std::string WithSequence(const std::string& sequence) {
    std::string t = kModelTemplate;
    const std::string own = "[@FILESEQUENCE]\nTES3\nNOSEQUENCE\n";
    return t.replace(t.find(own), own.size(), sequence);
}

// A saved file as its bytes say, without the model: each record's type and the text of its
// first subrecord, the header as its type alone.
std::vector<std::string> Written(const Bytes& file) {
    std::vector<std::string> out;
    for (const RawRecord& r : RawRecords(file)) {
        if (r.type == "TES3" || r.data.size() < 8) {
            out.push_back(r.type);
            continue;
        }
        std::string text(r.data.begin() + 8, r.data.end());
        out.push_back(r.type + ":" + text.substr(0, text.find('\0')));
    }
    return out;
}

class SaveTest : public ModelTest, public ::testing::Test {
protected:
    explicit SaveTest(const char* templ = kModelTemplate) : ModelTest(templ) {}
    // Loads `records` behind a header that announces them, and returns the file's bytes.
    Bytes LoadRecords(const std::vector<Bytes>& records) {
        std::vector<Bytes> parts{HeaderRecord(static_cast<std::int32_t>(records.size()))};
        parts.insert(parts.end(), records.begin(), records.end());
        Bytes bytes = Concat(parts);
        EXPECT_EQ(Load(bytes), 0);
        return bytes;
    }
    // A record added as a paste adds it: a new entry given the record's bytes, a response
    // joined to its topic.
    int Add(const Bytes& record, const std::string& topicKey = {}) { return AddTo(*file, record, topicKey); }
    static int AddTo(esfile& f, const Bytes& record, const std::string& topicKey = {}) {
        const int i = f.AddRecord(std::string(record.begin(), record.begin() + 4));
        f.PackRecord(i);
        f.SetRecordBytes(i, Bytes(record.begin() + 16, record.end()));
        f.GetID(i);
        if (!topicKey.empty()) {
            RecordEntry& r = f.Rec(i);
            r.ParentKey = topicKey;
            f.Rec(topicKey).Children.push_back(r.Key);
        }
        return i;
    }
    Bytes Saved(const std::string& name = "out.esp") { return ReadBytes(dir / name); }
    std::string Out(const std::string& name = "out.esp") { return (dir / name).string(); }
};

class SequencedSaveTest : public SaveTest {
protected:
    SequencedSaveTest() : SaveTest(templ_.c_str()) {}
    static inline const std::string templ_ = WithSequence("[@FILESEQUENCE]\nTES3\nGMST\nNPC_\nDIAL\nINFO\nCELL\n");
};

// Records without subrecords too: a bare header. The types stand in no template order.
TEST_F(SaveTest, UnchangedFileIsWrittenByteForByte) {
    Bytes bytes = LoadRecords({Gmst("a"), Dial("d"), Info("1"), Cell("c"), Gmst("b"), RecordBytes("GMST", {}),
                               Info("2"), Npc("n")});
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Saved(), bytes);
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(file->Busy);
}

TEST_F(SequencedSaveTest, NewRecordsJoinTheirTypeTheirTopicOrTheirPlaceInTheSequence) {
    LoadRecords({Gmst("a"), Dial("d1"), Info("1"), Info("2"), Gmst("b"), Dial("d2"), Info("3"), Cell("c")});
    Add(Gmst("n1"));
    Add(Info("4"), "DIAL2");
    const int d3 = Add(Dial("d3"));
    Add(Info("5"), file->Rec(d3).Key);
    Add(Npc("x")); // the file has no NPC_: after the GMSTs, before the topics
    Add(Dial("d4"));
    Add(Info("6"), file->Rec(d3).Key); // joins d3's responses, before d4
    Add(Gmst("n2"));
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Written(Saved()), (std::vector<std::string>{
                                    "TES3", "GMST:a", "DIAL:d1", "INFO:1", "INFO:2", "INFO:4", "GMST:b", "GMST:n1",
                                    "GMST:n2", "NPC_:x", "DIAL:d2", "INFO:3", "DIAL:d3", "INFO:5", "INFO:6",
                                    "DIAL:d4", "CELL:c"}));
    EXPECT_EQ(AnnouncedRecords(Saved()), 16u);
    EXPECT_TRUE(prompt.calls.empty());
}

// A file without a header gets one, first; so does a file made in memory (the clipboard),
// whose records all stand where the sequence puts them.
TEST_F(SequencedSaveTest, AHeaderMadeForTheSaveComesFirst) {
    ASSERT_EQ(Load(Concat({Gmst("a"), Cell("c"), Bytes(300, 0)}), false), 0);
    ASSERT_TRUE(file->Save(Out()));
    EXPECT_EQ(Written(Saved()), (std::vector<std::string>{"TES3", "GMST:a", "CELL:c"}));
    EXPECT_EQ(AnnouncedRecords(Saved()), 2u);

    auto fresh = NewFile();
    AddTo(*fresh, Cell("c"));
    AddTo(*fresh, Npc("n"));
    const int d = AddTo(*fresh, Dial("d"));
    AddTo(*fresh, Gmst("g"));
    AddTo(*fresh, Info("1"), fresh->Rec(d).Key);
    AddTo(*fresh, Npc("m"));
    ASSERT_TRUE(fresh->Save(Out("fresh.esp")));
    EXPECT_EQ(Written(Saved("fresh.esp")), (std::vector<std::string>{"TES3", "GMST:g", "NPC_:n", "NPC_:m", "DIAL:d",
                                                                      "INFO:1", "CELL:c"}));
    EXPECT_EQ(AnnouncedRecords(Saved("fresh.esp")), 6u);
}

// A template whose sequence leaves types out (or has none) loses no record: sorted, the
// types it names come first and the others after them as they stood, with one message.
TEST_F(SaveTest, ASequenceThatLeavesTypesOutKeepsEveryRecord) {
    const std::vector<Bytes> records{Npc("n"), Gmst("g"), Cell("c"), Dial("d"), Info("1"), Gmst("h")};
    const struct {
        const char* sequence;
        std::vector<std::string> sorted;
        const char* unnamed; // in the message
    } cases[] = {
        {"[@FILESEQUENCE]\nTES3\nGMST\nNOSEQUENCE\nCELL\n",
         {"TES3", "GMST:g", "GMST:h", "NPC_:n", "DIAL:d", "INFO:1", "CELL:c"}, nullptr},
        {"[@FILESEQUENCE]\nTES3\nGMST\n", {"TES3", "GMST:g", "GMST:h", "NPC_:n", "CELL:c", "DIAL:d", "INFO:1"},
         "NPC_, CELL, DIAL, INFO"},
        {"[@FILESEQUENCE]\nTES3\nINFO\n", {"TES3", "INFO:1", "NPC_:n", "GMST:g", "CELL:c", "DIAL:d", "GMST:h"},
         "NPC_, GMST, CELL, DIAL"},
        {"", {"TES3", "NPC_:n", "GMST:g", "CELL:c", "DIAL:d", "INFO:1", "GMST:h"}, "TES3, NPC_, GMST, CELL, DIAL, INFO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sequence);
        ModelTest t(WithSequence(c.sequence).c_str());
        std::vector<Bytes> parts{HeaderRecord(6)};
        parts.insert(parts.end(), records.begin(), records.end());
        const Bytes original = Concat(parts);
        ASSERT_EQ(t.Load(original), 0);
        ASSERT_TRUE(t.file->Save((t.dir / "kept.esp").string()));
        EXPECT_EQ(ReadBytes(t.dir / "kept.esp"), original) << "the file's own order needs no sequence";
        t.file->SortOnSave = true;
        ASSERT_TRUE(t.file->Save((t.dir / "sorted.esp").string()));
        const Bytes sorted = ReadBytes(t.dir / "sorted.esp");
        EXPECT_EQ(Written(sorted), c.sorted);
        EXPECT_EQ(AnnouncedRecords(sorted), 6u);
        if (c.unnamed) {
            EXPECT_EQ(t.prompt.Texts(), std::vector<std::string>{
                "The format template's [@FILESEQUENCE] does not name the record types " + std::string(c.unnamed) +
                ". Their records were saved after the others, in the order they had."});
        } else {
            EXPECT_TRUE(t.prompt.calls.empty());
        }
    }
}

TEST_F(SaveTest, ProgressEvery101Records) {
    std::vector<Bytes> records;
    for (int i = 0; i < 250; ++i) records.push_back(Gmst("g" + std::to_string(i)));
    LoadRecords(records);
    RecordingProgress progress;
    ASSERT_TRUE(file->Save(Out(), "", false, &progress));
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[0], std::make_pair(40.0, std::string("Saving Record GMST g99")));
    EXPECT_EQ(progress.reports[1], std::make_pair(80.0, std::string("Saving Record GMST g200")));
}

// A mod folder linked into the data folder: the link stays, the file it names is saved with
// its mode, owner and group, and the backup lies beside it.
TEST_F(SaveTest, SavingThroughALinkUpdatesTheFileItNames) {
    fs::create_directories(dir / "mods" / "deep");
    const Bytes original = Concat({HeaderRecord(1), Gmst("a")});
    const fs::path real = dir / "mods" / "deep" / "real.esp";
    WriteBytes(real, original);
    fs::create_symlink("deep/real.esp", dir / "mods" / "hop.esp");
    fs::create_symlink(dir / "mods" / "hop.esp", dir / "link.esp");
    ::chmod(real.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 1234, 4321), 0);
    }
    ASSERT_EQ(file->LoadFile((dir / "link.esp").string(), true, true), 0);
    Decoded(*file, 1, "NAME").Item("ID").SetValue(std::string("changed"));

    ASSERT_TRUE(file->Save(Out("link.esp"), "", true));
    EXPECT_TRUE(fs::is_symlink(dir / "link.esp"));
    EXPECT_TRUE(fs::is_symlink(dir / "mods" / "hop.esp"));
    EXPECT_EQ(Written(ReadBytes(real)), (std::vector<std::string>{"TES3", "GMST:changed"}));
    EXPECT_EQ(ReadBytes(real.string() + ".bak"), original);
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"link.esp", "mods"}));
    EXPECT_EQ(FilesIn(dir / "mods" / "deep"), (std::set<std::string>{"real.esp", "real.esp.bak"}));
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 4321u);
    }
}

// Refused before anything is written: the file and its folder stay as they were.
TEST_F(SaveTest, ReadOnlyFileOrFolderIsRefusedWithAMessage) {
    const Bytes original = LoadRecords({Gmst("a")});
    Decoded(*file, 1, "NAME").Item("ID").SetValue(std::string("changed"));
    const std::string target = Out("test.esp");
    ::chmod(target.c_str(), 0444);
    EXPECT_FALSE(file->Save(target, "", true));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error: The file " + target +
                                                       " could not be saved (the file is read-only). The file "
                                                       "on disk was not changed."});
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"test.esp"});
    EXPECT_EQ(ReadBytes(target), original);

    // A folder the user may not write in (a read-only mount stands in for it).
    ::chmod(target.c_str(), 0644);
    FaultyWriter writer;
    writer.readOnlyFolder = true;
    file->SetFileWriter(&writer);
    prompt.calls.clear();
    EXPECT_FALSE(file->Save(target, "", true));
    file->SetFileWriter(nullptr);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error: The file " + target + " could not be saved (the folder " +
                                                       dir.path().string() + " cannot be written to: Read-only file "
                                                       "system). The file on disk was not changed."});
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"test.esp"});
    EXPECT_EQ(writer.writes, 0);
    EXPECT_FALSE(file->Records()[1].Packed) << "the edit stays in edit";
    if (::geteuid() != 0) { // the superuser writes into any folder of a writable file system
        ::chmod(dir.path().c_str(), 0555);
        prompt.calls.clear();
        EXPECT_FALSE(file->Save(target, "", true));
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"test.esp"});
    }
}

// The loaded records are views of the file; another program rewriting, truncating or replacing
// it afterwards must not reach what this one saves, pages released or not.
TEST_F(SaveTest, FileChangedElsewhereAfterLoadStillSavesAsLoaded) {
    const std::vector<std::pair<const char*, void (*)(const fs::path&)>> changes{
        {"rewritten in place", [](const fs::path& p) { WriteBytes(p, Bytes(100, 0xEE)); }},
        {"truncated", [](const fs::path& p) { fs::resize_file(p, 0); }},
        {"replaced", [](const fs::path& p) {
             WriteBytes(p.string() + ".new", Bytes(10, 1));
             fs::rename(p.string() + ".new", p);
         }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        file = NewFile();
        const Bytes original = LoadRecords({Gmst("a"), Gmst(std::string(3 * 4096, 'x')), Dial("d"), Info("1")});
        file->ReleaseFilePages();
        change(dir / "test.esp");
        ASSERT_TRUE(file->Save(Out()));
        EXPECT_EQ(Saved(), original);
        ASSERT_TRUE(file->Save(Out("test.esp"), "", true)); // over the file itself, released again
        EXPECT_EQ(Saved("test.esp"), original);
    }
}

} // namespace
} // namespace vellum::test
