#include "ModelFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellum::test {
namespace {

class PluginRoundTrip : public ModelTest, public ::testing::TestWithParam<std::filesystem::path> {};

// Saving is checked over the shared files with the shipped template in ShippedTemplateCliTest.
TEST_P(PluginRoundTrip, UnpackDecodeAndPackGiveBackEveryRecord) {
    auto f = NewFile();
    ASSERT_EQ(f->LoadFile(GetParam().string(), true, false, nullptr), 0);
    std::vector<Bytes> before;
    for (const RecordEntry& r : f->Records()) before.push_back(r.Data.ToBytes());
    UnpackAndDecodeAll(*f);
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(f->Records()[i].Data.ToBytes(), before[i]) << f->Records()[i].Key;
}

INSTANTIATE_TEST_SUITE_P(Shared, PluginRoundTrip, ::testing::ValuesIn(SharedPlugins()), PluginTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PluginRoundTrip);

} // namespace
} // namespace vellum::test
