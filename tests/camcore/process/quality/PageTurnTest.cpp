// The page-turn detector on scripted preview streams (PageTurnScript): pages turned by hand,
// hands passing over or resting on a page, a page slid along the desk, a flickering lamp and a
// minute of stillness, fed frame by frame at the camera's 15 frames a second; an open book
// filling the view, its leaves turned, lifted and laid back, with hands over it; and books of
// plain prose lying open on the desk, 30 spreads each, turned leaf by leaf. CI runs one session
// of each and two books; CAMCORE_QUALITY_FULL=1 runs 20 sessions of each and four books.
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

// A working session: the page lying there taken, then turned ten times, with the other things a
// desk sees in between.
void session(Script& script) {
    script.start(30);
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

// The first page and every turn give exactly one capture, of the new page once it has settled
// (still, sharp, the hand gone); nothing else does, nor a page that lies elsewhere after it was
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
    EXPECT_EQ(tally.slidTaken, 0);
}

// An open book that fills the view changes up to the picture's edges at every turn: the spread it
// opens on and each turn are taken once, while a leaf lifted and laid back, a hand passing over
// the spread or resting on it from the edge gives nothing.
TEST(PageTurnCorpus, OpenBookFillingTheViewIsTakenAtEveryTurnAndNeverUnderAHand) {
    Tally tally;
    for (int s = 0; s < sized(1, 20); ++s) {
        Script script(static_cast<unsigned>(s + 101), pageturn::Subject::Book);
        script.start(30);
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

namespace {

// What a book's run took, page by page: each spread that lay still once, in order.
struct BookTally {
    int spreads = 0;
    int missed = 0;     // spreads that lay still and were never taken
    int doubled = 0;    // captures of a spread taken already, whether shown again or slid
    int outOfOrder = 0; // captures of a spread before one taken already
    int unsettled = 0;  // captures of the empty desk, a leaf in mid-turn or a hand

    void add(const Script& script, int book) {
        spreads += script.pages();
        std::vector<bool> taken(static_cast<std::size_t>(script.pages()) + 1, false);
        int last = 0;
        for (const int frame : script.fired()) {
            const auto still = std::find_if(script.stills().begin(), script.stills().end(),
                                            [frame](const Settled& s) { return inside(frame, s); });
            if (still == script.stills().end() || still->page == 0) {
                ++unsettled;
                ADD_FAILURE() << "book " << book << ": a capture at frame " << frame
                              << " while nothing lay still";
                continue;
            }
            const auto page = static_cast<std::size_t>(still->page);
            if (taken[page]) {
                ++doubled;
            } else {
                outOfOrder += still->page < last ? 1 : 0;
                taken[page] = true;
                last = std::max(last, still->page);
            }
        }
        missed += static_cast<int>(std::count(taken.begin() + 1, taken.end(), false));
    }
    void report(const char* what) const {
        std::cout << what << ": " << spreads << " spreads, " << missed << " missed, " << doubled
                  << " doubled, " << outOfOrder << " out of order, " << unsettled
                  << " captures of nothing settled\n";
    }
};

// A book of 30 spreads lying open on the desk, each left still for 3 s: the first taken as the
// run starts (or once laid on the empty desk), every leaf turned over several frames, some held
// upright for a second; a hand resting on a spread and leaving, hands passing, a leaf turned back
// and over again, the book slid a little, the lamp flickering.
void readBook(Script& script, int book) {
    constexpr int kStill = 3 * pageturn::kRate;
    if (book % 2 == 0)
        script.emptyDeskThenLayDown(30, kStill);
    else
        script.start(kStill);
    for (int turn = 1; turn < 30; ++turn) {
        script.turnLeaf(turn % 5 == 2 ? pageturn::kRate : 0, kStill);
        if (turn % 4 == 0)
            script.handRests(45, kStill);
        if (turn % 7 == 3)
            script.handPasses(kStill);
        if (turn == 9 + book)
            script.flipBackAndForth(kStill);
        if (turn == 15)
            script.slidePage(kStill);
        if (turn == 20)
            script.flicker(60, kStill);
    }
    script.still(10 * pageturn::kRate);
}

} // namespace

// Books of plain prose, whose spreads differ on a coarse grid of the picture in fewer cells than
// a hand does: every spread is taken once and in order, the same spread seen again after a hand,
// a flip or a slide adds nothing, and nothing is taken of the empty desk or of a leaf in mid-turn.
TEST(PageTurnCorpus, EverySpreadOfABookOnTheDeskIsTakenOnceInOrder) {
    BookTally curved;
    for (int book = 0; book < sized(1, 3); ++book) {
        Script script(static_cast<unsigned>(book + 201), pageturn::Subject::BookOnDesk);
        readBook(script, book);
        curved.add(script, book + 1);
    }
    curved.report("curved books on the desk");
    BookTally flat;
    for (int book = 0; book < sized(1, 1); ++book) {
        Script script(static_cast<unsigned>(book + 301), pageturn::Subject::FlatBookOnDesk);
        readBook(script, book + 1);
        flat.add(script, book + 1);
    }
    flat.report("flat books on the desk");
    for (const BookTally* tally : {&curved, &flat}) {
        EXPECT_EQ(tally->missed, 0);
        EXPECT_EQ(tally->doubled, 0);
        EXPECT_EQ(tally->outOfOrder, 0);
        EXPECT_EQ(tally->unsettled, 0);
    }
}
