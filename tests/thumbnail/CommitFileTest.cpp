#include "CommitFile.h"

#include <gtest/gtest.h>

namespace {

using Entries = QList<QByteArray>;

TEST(CommitFileTest, SplitsEntriesAtTheirTerminators) {
    EXPECT_EQ(commitEntries({}), Entries{});
    EXPECT_EQ(commitEntries("/home/u/a.jpg@@/home/u/b.pdf@@"),
              (Entries{"/home/u/a.jpg", "/home/u/b.pdf"}));
    // Path bytes pass unchanged, whatever their encoding, and a lone '@' belongs to the path.
    EXPECT_EQ(commitEntries("/d/\xc9\xa8\xc3\xe8 x@y.jpg@@"),
              (Entries{"/d/\xc9\xa8\xc3\xe8 x@y.jpg"}));
    // A file cut short still yields its last path.
    EXPECT_EQ(commitEntries("/a.jpg@@/b.jp"), (Entries{"/a.jpg", "/b.jp"}));
}

} // namespace
