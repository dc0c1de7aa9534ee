// Dialogue topics: the order the game tests responses in, moving a response to another topic,
// and the rows of a topic as the topic view reads them.
#include "ModelFixture.h"

#include "index/DialogueChain.h"
#include "index/TopicResponses.h"
#include "model/ByteCast.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace vellum;
using namespace vellum::test;

namespace {

Bytes Topic(std::string_view id, std::uint8_t type = 0) {
    return RecordBytes("DIAL", {{"NAME", Text(id)}, {"DATA", Bytes{type}}});
}

// DATA: dialogue type, disposition (journal index), speaker rank, sex, player rank.
Bytes ResponseData(std::uint8_t type, std::int32_t disposition = 0, std::int8_t rank = -1, std::int8_t sex = -1,
                   std::int8_t playerRank = -1) {
    return Concat({Bytes{type, 0, 0, 0}, Int32(disposition),
                   Bytes{std::uint8_t(rank), std::uint8_t(sex), std::uint8_t(playerRank), 0}});
}

Bytes Response(std::string_view id, std::string_view previous, std::string_view next, std::vector<Sub> more = {},
               std::uint8_t type = 0) {
    std::vector<Sub> subs{{"INAM", Text(id)}, {"PNAM", Text(previous)}, {"NNAM", Text(next)},
                          {"DATA", ResponseData(type)}};
    subs.insert(subs.end(), more.begin(), more.end());
    return RecordBytes("INFO", subs);
}

std::string Ids(const std::vector<DialogueChain::Link>& links) {
    std::string out;
    for (const auto& l : links) out += (out.empty() ? "" : " ") + l.id;
    return out;
}

// esmtool's reading of a file's dialogue: "topic: id<previous>next ..." per topic (a link only when
// set), empty without esmtool.
std::string EsmtoolDialogue(const std::filesystem::path& file) {
    const std::optional<std::string> dump = EsmtoolDump(file);
    std::string out;
    std::istringstream lines(dump.value_or(""));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("Record: DIAL '")) out += "\n" + line.substr(14, line.size() - 15) + ":";
        else if (line.starts_with("Record: INFO '")) out += " " + line.substr(14, line.size() - 15);
        else if (line.starts_with("  Previous ID: ")) out += "<" + line.substr(15);
        else if (line.starts_with("  Next ID: ")) out += ">" + line.substr(11);
    }
    return out;
}

class Dialogue : public ::testing::Test {
protected:
    Dialogue() : t(ShippedTemplateText().c_str()) {}

    esfile& Load(const std::vector<Bytes>& records) {
        std::vector<Bytes> all{HeaderRecord(static_cast<std::int32_t>(records.size()))};
        all.insert(all.end(), records.begin(), records.end());
        EXPECT_EQ(t.Load(Concat(all)), 0);
        return *t.file;
    }
    const RecordEntry& TopicRecord(const std::string& id) const { return t.file->Rec(KeyOf("DIAL", id)); }
    std::string KeyOf(const std::string& type, const std::string& id) const {
        for (const RecordEntry& r : t.file->Records())
            if (r.Name == type && r.ID == id) return r.Key;
        return {};
    }

    ModelTest t;
};

TEST_F(Dialogue, ChainOrderFollowsTheLinks) {
    const struct {
        const char* why;
        std::vector<Bytes> responses;
        const char* order;
    } cases[] = {
        {"file order", {Response("a", "", "b"), Response("b", "a", "c"), Response("c", "b", "")}, "a b c"},
        {"scrambled in the file", {Response("c", "b", ""), Response("a", "", "b"), Response("b", "a", "c")}, "a b c"},
        {"after a response of a master", {Response("y", "x", ""), Response("x", "m1", "y")}, "x y"},
        {"a next that is not there", {Response("b", "a", ""), Response("a", "", "zz")}, "a b"},
        {"links that only go round", {Response("a", "c", "b"), Response("b", "a", "c"), Response("c", "b", "a")},
         "a b c"},
        {"IDs in another case", {Response("b", "A", ""), Response("a", "", "B")}, "a b"},
        {"two chains", {Response("a", "", "b"), Response("c", "", "d"), Response("b", "a", ""), Response("d", "c", "")},
         "a b c d"},
        {"a response named twice", {Response("a", "", "b"), Response("b", "a", "a")}, "a b"},
    };
    for (const auto& c : cases) {
        std::vector<Bytes> records{Topic("T")};
        records.insert(records.end(), c.responses.begin(), c.responses.end());
        esfile& f = Load(records);
        EXPECT_EQ(Ids(DialogueChain::Order(f, TopicRecord("T"))), c.order) << c.why;
    }
}

TEST_F(Dialogue, MovedResponseJoinsTheEndOfItsNewTopic) {
    esfile& f = Load({Topic("Alpha"), Response("a1", "", "a2"), Response("a2", "a1", "a3"), Response("a3", "a2", ""),
                      Topic("Beta"), Response("b1", "", "b2"), Response("b2", "b1", ""), Topic("Quest", 4),
                      Response("q1", "", "", {}, 4)});
    const std::string a2 = KeyOf("INFO", "a2");
    EXPECT_EQ(DialogueChain::Move(f, a2, KeyOf("DIAL", "Alpha")), DialogueChain::MoveResult::SameTopic);
    EXPECT_EQ(DialogueChain::Move(f, a2, KeyOf("DIAL", "Quest")), DialogueChain::MoveResult::OtherKind);
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(DialogueChain::Move(f, a2, KeyOf("DIAL", "Beta")), DialogueChain::MoveResult::Moved);
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Ids(DialogueChain::Order(f, TopicRecord("Alpha"))), "a1 a3");
    EXPECT_EQ(Ids(DialogueChain::Order(f, TopicRecord("Beta"))), "b1 b2 a2");

    // What is saved, read back from the bytes and by esmtool.
    const auto saved = t.dir / "moved.esp";
    ASSERT_TRUE(f.Save(saved.string()));
    EXPECT_EQ(RawChains(ReadBytes(saved)), "\nAlpha: a1<|a3 a3<a1|\nBeta: b1<|b2 b2<b1|a2 a2<b2|\nQuest: q1<|");
    const std::string esmtool = EsmtoolDialogue(saved);
    if (esmtool.empty()) GTEST_SKIP() << "esmtool is not installed";
    EXPECT_EQ(esmtool, "\nAlpha: a1>a3 a3<a1\nBeta: b1>b2 b2<b1>a2 a2<b2\nQuest: q1");
}

TEST_F(Dialogue, RowsTellSpeakerConditionsAndText) {
    esfile& f = Load({
        Topic("greeting"),
        Response("r1", "", "r2",
                 {{"ONAM", Text("fargoth")}, {"NAME", Text("Hello,\r\nfriend.", false)},
                  {"SCVR", Text("01460", false)}, {"INTV", Int32(1)},
                  {"SCVR", Text("12sX2gold_found", false)}, {"FLTV", cast::FromSingle(0.5f)}}),
        RecordBytes("INFO", {{"INAM", Text("r2")}, {"PNAM", Text("r1")}, {"NNAM", Text("")},
                             {"DATA", ResponseData(0, 30, 2, 1, 0)}, {"RNAM", Text("Dark Elf")},
                             {"FNAM", Text("Hlaalu")}, {"ANAM", Text("Balmora")}, {"DNAM", Text("Redoran")},
                             {"SCVR", Text("24JX3A1_1", false)}, {"INTV", Int32(10)}, {"NAME", Text("Go.", false)}}),
        Topic("A1_1", 4),
        Response("j1", "", "", {{"NAME", Text("Entry.", false)}}, 4),
    });
    TopicResponses topic(f, KeyOf("DIAL", "greeting"));
    ASSERT_EQ(topic.Count(), 2u);
    EXPECT_EQ(topic.Link(0).id, "r1");
    EXPECT_EQ(topic.At(0).speaker, "fargoth");
    EXPECT_EQ(topic.At(0).conditions, "Same Faction = 1; Global gold_found > 0.5");
    EXPECT_EQ(topic.At(0).text, "Hello,  friend.");
    EXPECT_EQ(topic.At(1).speaker, "Race Dark Elf; Faction Hlaalu rank 2; Female; Cell Balmora");
    EXPECT_EQ(topic.At(1).conditions, "Disposition 30; Player faction Redoran rank 0; Journal A1_1 >= 10");
    EXPECT_EQ(topic.RowOf(KeyOf("INFO", "r2")), 1);
    EXPECT_EQ(topic.RowOf(KeyOf("INFO", "j1")), -1);
    TopicResponses journal(f, KeyOf("DIAL", "A1_1"));
    EXPECT_EQ(journal.At(0).conditions, "Index 0");
    EXPECT_EQ(journal.At(0).text, "Entry.");
}

TEST(TopicCondition, ReadsEachKindOfTest) {
    const struct {
        const char* scvr;
        const char* value;
        const char* text;
    } cases[] = {
        {"01460", "1", "Same Faction = 1"},
        {"01061", "5", "PC Level != 5"},
        {"01733", "2", "PC Werewolf Kills >= 2"},
        {"01992", "0", "Function 99 > 0"},
        {"02sX4TimesHit", "3", "Global TimesHit < 3"},
        {"03lX5local_var", "3", "Local local_var <= 3"},
        {"05IX0gold_001", "100", "Item gold_001 = 100"},
        {"06DX1fargoth", "0", "Dead fargoth != 0"},
        {"07XX0fargoth", "1", "Not ID fargoth = 1"},
        {"08FX0Redoran", "0", "Not Faction Redoran = 0"},
        {"09CX0Guard", "0", "Not Class Guard = 0"},
        {"0ARX0Nord", "0", "Not Race Nord = 0"},
        {"0BLX0Balmora", "0", "Not Cell Balmora = 0"},
        {"0CsX0said", "1", "Not Local said = 1"},
        {"016", "", "016"},
        {"01469", "", "Same Faction ?"},
    };
    for (const auto& c : cases) EXPECT_EQ(TopicResponses::Condition(c.scvr, c.value), c.text) << c.scvr;
}

} // namespace
