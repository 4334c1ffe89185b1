// The reader over the generated corpus of code pages: how many codes of each format it finds
// under each condition. The counts measured when this was written are the floors, so any loss
// fails; a code reported with a value or format that is not on the page is a misread.
#include "CodePages.h"
#include "CodeSamples.h"
#include "CodeScore.h"
#include "barcode/BarcodeReader.h"

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <map>

using namespace barcode_corpus;

namespace {

constexpr std::size_t kFormats = 13; // in the order of barcode_test::samples()
using Counts = std::array<int, kFormats>;

// Codes found per format: QR, Data Matrix, PDF417, Aztec, Code 128, Code 39, Code 93, EAN-13,
// EAN-8, UPC-A, UPC-E, ITF, Codabar. CI size: two pages per condition; full size: 24.
const std::map<Condition, Counts> kCiFloors = {
    {Condition::Plain, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {Condition::Rotated, {2, 0, 0, 0, 2, 2, 1, 0, 1, 1, 2, 1, 1}},
    {Condition::Perspective, {2, 2, 2, 0, 2, 2, 2, 2, 2, 2, 1, 2, 2}},
    {Condition::Blurred, {0, 0, 2, 0, 1, 1, 1, 1, 2, 1, 2, 2, 1}},
    {Condition::Glare, {2, 2, 2, 0, 1, 2, 2, 2, 2, 2, 2, 2, 2}},
    {Condition::LowContrast, {2, 0, 2, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {Condition::SmallModules, {0, 0, 2, 0, 1, 2, 0, 2, 2, 2, 1, 2, 1}},
    {Condition::Crowded, {4, 4, 4, 0, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
};
const std::map<Condition, Counts> kFullFloors = {
    {Condition::Plain, {24, 24, 23, 9, 24, 24, 24, 24, 24, 24, 24, 24, 24}},
    {Condition::Rotated, {24, 16, 1, 0, 13, 14, 10, 10, 12, 10, 13, 10, 14}},
    {Condition::Perspective, {24, 23, 23, 1, 24, 24, 24, 24, 21, 24, 22, 24, 24}},
    {Condition::Blurred, {12, 13, 23, 0, 17, 19, 15, 20, 17, 19, 19, 19, 14}},
    {Condition::Glare, {23, 16, 23, 3, 22, 21, 23, 22, 24, 24, 24, 23, 22}},
    {Condition::LowContrast, {8, 7, 22, 6, 22, 24, 23, 23, 22, 22, 23, 23, 23}},
    {Condition::SmallModules, {6, 0, 21, 0, 11, 9, 6, 12, 23, 19, 21, 24, 11}},
    {Condition::Crowded, {47, 47, 42, 3, 48, 48, 48, 48, 48, 48, 48, 48, 48}},
};

// Codes reported that are not on the page (a partial ITF read at an angle): at most these.
const std::map<Condition, int> kCiMisreads = {
    {Condition::Plain, 0},        {Condition::Rotated, 7}, {Condition::Perspective, 0},
    {Condition::Blurred, 0},      {Condition::Glare, 0},   {Condition::LowContrast, 0},
    {Condition::SmallModules, 0}, {Condition::Crowded, 0},
};
const std::map<Condition, int> kFullMisreads = {
    {Condition::Plain, 2},        {Condition::Rotated, 47}, {Condition::Perspective, 6},
    {Condition::Blurred, 0},      {Condition::Glare, 5},    {Condition::LowContrast, 1},
    {Condition::SmallModules, 2}, {Condition::Crowded, 8},
};

std::size_t formatIndex(const std::string& name) {
    const auto& samples = barcode_test::samples();
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i].name == name)
            return i;
    return kFormats;
}

class BarcodeQualityTest : public testing::TestWithParam<Condition> {};

TEST_P(BarcodeQualityTest, FindsAtLeastTheMeasuredCodesOfEachFormat) {
    const Condition condition = GetParam();
    const bool full = fullCorpus();
    Counts found{}, placed{};
    std::vector<std::string> misreads;
    for (int index = 0; index < pagesPerCondition(); ++index) {
        const Page page = renderPage(condition, index);
        for (const PlacedCode& code : page.codes)
            ++placed[formatIndex(code.format)];
        std::vector<PlacedCode> reported;
        for (const camcore::FoundCode& code : camcore::readCodes(page.picture))
            reported.push_back({code.format, code.text});
        const Score result = score(page.codes, reported);
        for (const PlacedCode& code : result.found)
            ++found[formatIndex(code.format)];
        for (const PlacedCode& code : result.misread)
            misreads.push_back(page.description + ": " + code.format + " " + code.value);
    }
    const Counts& floors = (full ? kFullFloors : kCiFloors).at(condition);
    std::cout << conditionName(condition) << ":";
    for (std::size_t i = 0; i < kFormats; ++i)
        std::cout << ' ' << found[i] << '/' << placed[i];
    std::cout << '\n';
    for (std::size_t i = 0; i < kFormats; ++i)
        EXPECT_GE(found[i], floors[i]) << barcode_test::samples()[i].name;
    const int allowed = (full ? kFullMisreads : kCiMisreads).at(condition);
    EXPECT_LE(static_cast<int>(misreads.size()), allowed);
    for (const std::string& misread : misreads)
        std::cout << "  misread: " << misread << '\n';
}

INSTANTIATE_TEST_SUITE_P(Corpus, BarcodeQualityTest, testing::ValuesIn(kConditions),
                         [](const testing::TestParamInfo<Condition>& info) {
                             return std::string(conditionName(info.param));
                         });

} // namespace
