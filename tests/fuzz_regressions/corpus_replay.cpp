// Replays every file of one fuzz target's seed corpus (and of the reproducers
// kept there) through that target, so that builds without libFuzzer check the
// same invariants. A broken invariant aborts the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The names of the corpus files, sorted.
std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(FUZZ_CORPUS_DIR)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().filename().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class CorpusReplay : public testing::TestWithParam<std::string> {};

TEST_P(CorpusReplay, KeepsItsInvariants) {
    std::ifstream in(std::filesystem::path(FUZZ_CORPUS_DIR) / GetParam(), std::ios::binary);
    ASSERT_TRUE(in) << GetParam();
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    EXPECT_EQ(0,
              LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string fileName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    const auto notAlnum = [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); };
    std::replace_if(name.begin(), name.end(), notAlnum, '_');
    return name;
}

// Named after the fuzz target (FUZZ_TARGET), so that the replays of the
// four targets do not share test names.
#define INSTANTIATE_REPLAY(target)                                                                 \
    INSTANTIATE_TEST_SUITE_P(target, CorpusReplay, testing::ValuesIn(corpusFiles()), fileName)
INSTANTIATE_REPLAY(FUZZ_TARGET);

// An emptied or moved corpus would otherwise pass without replaying anything.
#define CORPUS_PRESENT_TEST(target)                                                                \
    TEST(target, CorpusHoldsTheSeeds) {                                                            \
        EXPECT_GE(corpusFiles().size(), 10u) << FUZZ_CORPUS_DIR;                                   \
    }
CORPUS_PRESENT_TEST(FUZZ_TARGET)

} // namespace
