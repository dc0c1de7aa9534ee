// Files whose headers announce gigabytes: reading, decoding and saving them allocates what the
// bytes really there need, not what the headers claim.
#include "AllocationCounter.h"
#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELLUM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELLUM_ASAN 1
#endif
#endif

namespace vellum::test {
namespace {

constexpr std::uint32_t kHuge[] = {0x7FFFFFFFu, 0x7FFFFFF0u, 0x80000000u, 0xFFFFFFFFu, 2000000000u};

// One record of every type the template knows, carrying every subrecord it names, with data
// that reads as the largest numbers and counts there are.
Bytes EveryTypeWithExtremeNumbers(const Config& templ, std::uint8_t fill) {
    std::map<std::string, std::vector<Sub>> types;
    for (const auto& g : templ.Groups()) {
        const std::string& key = g.key;
        if (key.size() < 9 || key[0] == '@' || key[4] != '.') continue;
        types[key.substr(0, 4)].push_back({key.substr(5, 4), Bytes(64, fill)});
    }
    std::vector<Bytes> parts{HeaderRecord(static_cast<std::int32_t>(types.size()))};
    for (const auto& [type, subs] : types) parts.push_back(RecordBytes(type, subs));
    return Concat(parts);
}

// Every malformed file of the test, by name.
std::vector<std::pair<std::string, Bytes>> Claims(const Config& shipped) {
    std::vector<std::pair<std::string, Bytes>> files;
    const Bytes good = Concat({HeaderRecord(3), Gmst("a"), Gmst(std::string(200, 'b')), Gmst("c")});
    const std::size_t second = HeaderRecord(3).size();
    const std::pair<const char*, std::size_t> fields[] = {
        {"header record size ", 4}, {"header subrecord size ", 16 + 4}, {"header record count ", 16 + 8 + 300 - 4},
        {"record size ", second + 4}, {"subrecord size ", second + 16 + 4}};
    for (std::uint32_t n : kHuge) {
        for (const auto& [what, at] : fields) {
            Bytes b = good;
            cast::StoreU32(b.data() + at, n);
            files.emplace_back(what + std::to_string(n), b);
        }
    }
    files.emplace_back("every type, 0xFF", EveryTypeWithExtremeNumbers(shipped, 0xFF));
    files.emplace_back("every type, 0x7F", EveryTypeWithExtremeNumbers(shipped, 0x7F));
    return files;
}

class MemoryBoundsTest : public ::testing::Test {
protected:
    MemoryBoundsTest() : t(ShippedTemplateText().c_str()) { t.codec->ParseTemplate(); }

    // Load, decode everything and save; the bytes allocated at most on the way.
    std::size_t Exercise(const Bytes& bytes) {
        WriteBytes(t.dir / "claims.esp", bytes);
        esfile f(*t.codec);
        AllocationCounter::Reset();
        const std::size_t base = AllocationCounter::Live();
        if (f.LoadFile((t.dir / "claims.esp").string(), true, true, nullptr) == esfile::kLoaded) {
            UnpackAndDecodeAll(f);
            f.Save((t.dir / "out.esp").string());
        }
        return AllocationCounter::Peak() - base;
    }

    ModelTest t;
};

TEST_F(MemoryBoundsTest, AnnouncedSizesAndCountsAllocateNoMoreThanTheFileHolds) {
    ASSERT_FALSE(t.templ.Groups().Count() == 0) << "the shipped template is beside the tests";
    Exercise(Concat({HeaderRecord(1), Gmst("warm up")}));
    for (const auto& [what, bytes] : Claims(t.templ)) {
        // Records, subrecords and their decoded properties cost a bounded multiple of their
        // bytes; the save stages up to a chunk of 1 MiB.
        const std::size_t bound = 64 * bytes.size() + (4u << 20);
        const std::size_t peak = Exercise(bytes);
        EXPECT_LE(peak, bound) << what << ": " << bytes.size() << " bytes in the file";
        EXPECT_LE(AllocationCounter::Largest(), 2 * bytes.size() + (2u << 20)) << what;
    }
}

// The same under an address-space limit, so that no allocation hides from the counter (the C
// library's own, say). Sanitizers reserve terabytes of shadow memory: there it cannot run.
TEST_F(MemoryBoundsTest, AnnouncedSizesLoadUnderAnAddressSpaceLimit) {
#ifdef VELLUM_ASAN
    GTEST_SKIP() << "AddressSanitizer maps more address space than any limit allows";
#else
    const auto claims = Claims(t.templ);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256u << 20);
        const rlimit r{limit, limit};
        if (setrlimit(RLIMIT_AS, &r) != 0) _exit(2);
        try {
            for (const auto& claim : claims) Exercise(claim.second);
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: out of memory, 2: no limit could be set";
#endif
}

} // namespace
} // namespace vellum::test
