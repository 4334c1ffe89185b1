// The page-turn detector on scripted preview streams (PageTurnScript): pages turned by hand,
// hands passing over or resting on a page, a page slid along the desk, a flickering lamp and a
// minute of stillness, fed frame by frame at the camera's 15 frames a second; and an open book
// filling the view, its leaves turned, lifted and laid back, with hands over it. CI runs one
// session of each; CAMCORE_QUALITY_FULL=1 runs 20 of each.
#include "PageTurnScript.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

using pageturn::Script;
using pageturn::Settled;

namespace {

int sized(int ci, int full) {
    return qEnvironmentVariableIntValue("CAMCORE_QUALITY_FULL") == 1 ? full : ci;
}

// A page counts as settled once it has been held still and sharp for a quarter of a second.
constexpr int kHeld = pageturn::kRate / 4;

bool inside(int frame, const Settled& still) {
    return frame >= still.begin + kHeld - 1 && frame < still.end;
}

// A working session: the page turned ten times, with the other things a desk sees in between.
void session(Script& script) {
    script.still(30);
    for (int turn = 1; turn <= 10; ++turn) {
        script.turnPage(30);
        if (turn % 3 == 0)
            script.handPasses(30);
        if (turn % 4 == 0)
            script.handRests(45, 30);
        if (turn == 5)
            script.slidePage(30);
        if (turn == 7)
            script.flicker(60, 30);
    }
    script.still(60 * pageturn::kRate); // a minute's worth of frames
}

// Where the detector fired in the sessions a script played, against the truth.
struct Tally {
    int turns = 0;
    int taken = 0; // turns taken exactly once
    int misplaced = 0;
    int slides = 0;
    int slidTaken = 0;
    int fastest = 1 << 30;
    int slowest = 0;

    void add(const Script& script, int s);
    void report(const char* what) const;
};

void Tally::add(const Script& script, int s) {
    turns += static_cast<int>(script.due().size());
    slides += static_cast<int>(script.allowed().size());
    std::vector<int> perTurn(script.due().size(), 0);
    for (const int frame : script.fired()) {
        const auto due = std::find_if(script.due().begin(), script.due().end(),
                                      [frame](const Settled& d) { return inside(frame, d); });
        if (due != script.due().end()) {
            ++perTurn[static_cast<std::size_t>(due - script.due().begin())];
            fastest = std::min(fastest, frame - due->begin + 1);
            slowest = std::max(slowest, frame - due->begin + 1);
        } else if (std::any_of(script.allowed().begin(), script.allowed().end(),
                               [frame](const Settled& a) { return inside(frame, a); })) {
            ++slidTaken;
        } else {
            ++misplaced;
            ADD_FAILURE() << "session " << s + 1 << ": a capture at frame " << frame
                          << " while nothing new had settled";
        }
    }
    for (std::size_t t = 0; t < perTurn.size(); ++t) {
        EXPECT_EQ(perTurn[t], 1) << "session " << s + 1 << ", turn " << t + 1;
        taken += perTurn[t] == 1 ? 1 : 0;
    }
}

void Tally::report(const char* what) const {
    std::cout << what << ": " << taken << " of " << turns << " taken once; " << misplaced
              << " captures while nothing new had settled; " << slidTaken << " of " << slides
              << " slid pages taken\n";
    if (taken > 0)
        std::cout << "latency from settled to capture: " << fastest * 1000 / pageturn::kRate
                  << " to " << slowest * 1000 / pageturn::kRate << " ms\n";
}

} // namespace

// Every turn gives exactly one capture, of the new page once it has settled (still, sharp, the
// hand gone); nothing else does, except perhaps once for a page that lies elsewhere after it was
// slid. The latency from the first settled frame to the capture is reported.
TEST(PageTurnCorpus, OneCapturePerTurnAndNoneForAnythingElse) {
    Tally tally;
    for (int s = 0; s < sized(1, 20); ++s) {
        Script script(static_cast<unsigned>(s + 1));
        session(script);
        tally.add(script, s);
    }
    tally.report("page turns");
    EXPECT_EQ(tally.taken, tally.turns);
    EXPECT_EQ(tally.misplaced, 0);
    EXPECT_LE(tally.slidTaken, tally.slides);
}

// An open book that fills the view changes up to the picture's edges at every turn: each turn is
// still taken once, while a leaf lifted and laid back, a hand passing over the spread or resting
// on it from the edge gives nothing.
TEST(PageTurnCorpus, OpenBookFillingTheViewIsTakenAtEveryTurnAndNeverUnderAHand) {
    Tally tally;
    for (int s = 0; s < sized(1, 20); ++s) {
        Script script(static_cast<unsigned>(s + 101), pageturn::Subject::Book);
        script.still(30);
        for (int turn = 1; turn <= 10; ++turn) {
            script.turnPage(30);
            if (turn % 2 == 0)
                script.handRests(45, 30);
            if (turn % 3 == 0)
                script.handPasses(30);
            if (turn % 4 == 1)
                script.liftLeaf(30);
            if (turn == 6)
                script.flicker(60, 30);
        }
        script.still(30 * pageturn::kRate);
        tally.add(script, s);
    }
    tally.report("book spreads");
    EXPECT_EQ(tally.taken, tally.turns);
    EXPECT_EQ(tally.misplaced, 0);
}
