// False accepts and false rejects on generated fingers at the security level the program uses.
// Each finger is enrolled from its first impression and verified with the others; every finger's
// template is compared with every other finger's features. A failed enrolment or capture counts as
// a false reject. The CI size runs in about 15 s; FINGER_CORPUS_FULL=1 runs 60 fingers with 4
// verifications each: 240 genuine and 14,160 impostor comparisons.
#include "SyntheticFinger.h"
#include "TesoLiveLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

struct Corpus {
    int fingers;
    int verifications; // impressions per finger after the enrolled one
    int maxFalseAccepts;
    int maxFalseRejects;
};

// Aims: no false accept in over 10,000 impostor comparisons and under 5% false rejects. The floors
// hold what was measured when this was written: no false accept and no false reject at either
// size, with one reject allowed for the CI size and 2% for the full one.
Corpus corpus() {
    const char* full = std::getenv("FINGER_CORPUS_FULL");
    if (full && *full && std::string(full) != "0")
        return {60, 4, 0, 4};
    return {24, 3, 0, 1};
}

TEST(FingerprintQuality, FalseAcceptsAndRejectsStayUnderTheirFloors) {
    const Corpus size = corpus();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TesoLiveLibrary library;
    ASSERT_TRUE(library.loaded());

    std::vector<std::string> templates;
    std::vector<std::vector<std::string>> features(std::size_t(size.fingers));
    for (int finger = 0; finger < size.fingers; ++finger) {
        const synthetic::Finger person(std::uint32_t(1000 + finger));
        for (int take = 0; take <= size.verifications; ++take) {
            const std::string path = dir.filePath("finger.pgm").toStdString();
            synthetic::writePgm(person.impression(take), path);
            setenv(TESOLIVE_VIRTUAL_FINGER_ENV, path.c_str(), 1);
            if (take == 0)
                templates.push_back(library.take(true));
            else
                features[std::size_t(finger)].push_back(library.take(false));
        }
    }
    unsetenv(TESOLIVE_VIRTUAL_FINGER_ENV);

    int genuine = 0, falseRejects = 0, impostor = 0, falseAccepts = 0;
    for (std::size_t owner = 0; owner < templates.size(); ++owner)
        for (std::size_t other = 0; other < features.size(); ++other)
            for (const std::string& feature : features[other]) {
                const bool accepted = library.match(templates[owner], feature) >= 0;
                if (owner == other) {
                    ++genuine;
                    falseRejects += !accepted;
                } else {
                    ++impostor;
                    falseAccepts += accepted;
                    EXPECT_FALSE(accepted) << "finger " << other << " taken for finger " << owner;
                }
            }
    std::cout << "false accepts " << falseAccepts << " of " << impostor << " impostor comparisons, "
              << "false rejects " << falseRejects << " of " << genuine << " genuine ("
              << 100.0 * falseRejects / genuine << "%)\n";
    EXPECT_LE(falseAccepts, size.maxFalseAccepts);
    EXPECT_LE(falseRejects, size.maxFalseRejects);
}

} // namespace
