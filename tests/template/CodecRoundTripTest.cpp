// Decodes every subrecord of every shared plug-in with the shipped template and encodes it back.
#include "template/PropertyCodec.h"

#include "TextCodec.h"
#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace vellum;

namespace {

bool AllZero(ByteSpan b) {
    return std::all_of(b.begin(), b.end(), [](std::uint8_t c) { return c == 0; });
}

// The re-encoding losses a freshly encoded text may show against its stored bytes.
// Texts lose their trailing spaces in decoding, so a zero-terminated text loses them too.
enum class Loss { None, ZerosAfterTerminator, TrailingSpaces, FixedTextTail, Other };

Loss Classify(const Property& p, ByteSpan stored, const Bytes& fresh) {
    if (std::equal(stored.begin(), stored.end(), fresh.begin(), fresh.end())) return Loss::None;
    if (p.DataType != PropertyType::Text) return Loss::Other;
    if (p.Size == 0) {
        // One terminator remains (none when none was stored); spaces before it and zeros after
        // it are dropped.
        const std::size_t text = p.Text().size();
        const std::size_t terminator = p.Terminated ? 1 : 0;
        if (fresh.size() != text + terminator || (terminator && fresh.back() != 0) ||
            stored.size() <= fresh.size() || !std::equal(fresh.begin(), fresh.begin() + text, stored.begin()))
            return Loss::Other;
        std::size_t i = text;
        while (i < stored.size() && stored[i] == ' ') ++i;
        if ((terminator && i == stored.size()) || !AllZero(stored.subspan(i))) return Loss::Other;
        return i > text ? Loss::TrailingSpaces : Loss::ZerosAfterTerminator;
    }
    // Trailing spaces and whatever follows the first zero become zeros.
    if (fresh.size() != stored.size()) return Loss::Other;
    const std::size_t text = p.Text().size();
    if (!std::equal(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(text), stored.begin()))
        return Loss::Other;
    const std::size_t zero = std::find(stored.begin(), stored.end(), 0) - stored.begin();
    for (std::size_t i = text; i < stored.size(); ++i)
        if (fresh[i] != 0 || (i < zero && stored[i] != ' ')) return Loss::Other;
    return Loss::FixedTextTail;
}

} // namespace

TEST(CodecRoundTrip, EverySubrecordOfEverySharedPlugin) {
    VELLUM_REQUIRE_SHARED();
    test::PromptRecorder prompt;
    test::TextCodec shipped(test::ShippedTemplateText());
    auto& [templ, codec, texts] = shipped;
    codec.ParseTemplate();
    ASSERT_TRUE(prompt.calls.empty()) << prompt.calls[0].text;

    std::map<Loss, int> losses;
    std::map<std::string, int> decodedByGroup;
    std::set<std::string> twice; // groups marked unique that occur twice in a real record
    std::size_t subrecords = 0, castErrors = 0;
    for (const auto& path : test::SharedPlugins()) {
        const Bytes file = test::ReadBytes(path);
        Properties props;
        std::map<std::string, int> seen; // subrecords of the current record
        for (const test::RawSubrecord& s : test::RawSubrecords(file)) {
            ++subrecords;
            if (s.first) seen.clear();
            PropertyCodec::DecodeReport report;
            ASSERT_TRUE(codec.Decode(s.record, s.type, s.data, props, &report));
            castErrors += static_cast<std::size_t>(report.castErrors);
            const std::string where = path.filename().string() + " " + s.record + "." + s.type;
            if (!report.unknownData) ++decodedByGroup[s.record + "." + s.type];
            if (++seen[s.type] == 2 && templ.InstrExists(s.record + "." + s.type, "Unique"))
                twice.insert(s.record + "." + s.type);

            ASSERT_EQ(test::FastTexts(texts, s.record, s.type, s.data), test::DecodedTexts(codec, s.record, s.type, s.data))
                << where;

            const Bytes same = codec.Encode(props);
            ASSERT_TRUE(std::equal(same.begin(), same.end(), s.data.begin(), s.data.end()))
                << where << ": an unchanged subrecord must encode to its own bytes";

            if (report.castErrors) continue; // a value cut short cannot be encoded from itself
            Bytes fresh;
            for (const auto& e : props) {
                const Property& p = e.value;
                Bytes one;
                PropertyCodec::AppendProperty(p, one, true);
                const std::size_t end = std::min(p.Offset + p.StoredLength, s.data.size());
                const Loss loss = Classify(p, s.data.subspan(p.Offset, end - p.Offset), one);
                ++losses[loss];
                EXPECT_NE(loss, Loss::Other) << where << " property " << p.Name << " at " << p.Offset;
                fresh.insert(fresh.end(), one.begin(), one.end());
            }
            EXPECT_EQ(fresh, PropertyCodec::EncodeFresh(props)) << where;
        }
    }
    EXPECT_GT(subrecords, 100000u);
    EXPECT_GT(decodedByGroup.size(), 150u) << "the template covers many subrecord types";
    EXPECT_TRUE(twice.empty()) << *twice.begin() << " is marked unique, yet a record holds it twice";
    EXPECT_EQ(castErrors, 0u) << "no declared layout runs past the data of a real subrecord";
    EXPECT_GT(losses[Loss::ZerosAfterTerminator] + losses[Loss::FixedTextTail], 0);
}

TEST(CodecAnyBytes, DecodeAndComeBackUnchanged) {
    test::PromptRecorder prompt;
    test::TextCodec shipped(test::ShippedTemplateText());
    auto& [templ, codec, texts] = shipped;
    ASSERT_GT(templ.Groups().Count(), 0u);
    std::vector<std::pair<std::string, std::string>> groups;
    for (const auto& g : templ.Groups()) {
        const std::size_t dot = g.key.find('.');
        if (dot != std::string::npos && g.key[0] != '@')
            groups.emplace_back(g.key.substr(0, dot), g.key.substr(dot + 1));
    }
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    Properties props, again;
    for (int round = 0; round < 20000; ++round) {
        const auto& [record, sub] = groups[next() % groups.size()];
        Bytes data(next() % 80);
        // Mostly small bytes, so that zeros and short texts are common.
        for (auto& b : data) b = static_cast<std::uint8_t>(next() % 4 == 0 ? next() >> 24 : next() % 3);
        ASSERT_TRUE(codec.Decode(record, sub, data, props));
        ASSERT_EQ(codec.Encode(props), data) << record << "." << sub;
        // What a fresh encoding writes decodes to the same values.
        PropertyCodec::DecodeReport report;
        ASSERT_TRUE(codec.Decode(record, sub, PropertyCodec::EncodeFresh(props), again, &report));
        if (report.castErrors == 0) {
            ASSERT_EQ(again.Count(), props.Count()) << record << "." << sub;
            for (std::size_t i = 1; i <= props.Count(); ++i)
                ASSERT_EQ(again.Item(i).Text(), props.Item(i).Text()) << record << "." << sub << " #" << i;
        }
        codec.ReadID(record, data);
        codec.ReadDescription(record, data);
    }
}
