// SPDX-License-Identifier: MIT
#include "settings/RecentFiles.h"

#include <gtest/gtest.h>
#include <set>

using tonvale::RecentFiles;

TEST(RecentFiles, FillsEmptySlotsThenOverwritesFromTheFirstSlotOnward) {
    RecentFiles recent;
    for (int i = 0; i < 5; ++i) {
        const auto r = recent.add(QStringLiteral("/p/%1.txt").arg(i));
        EXPECT_EQ(r.change, RecentFiles::Change::Appended);
        EXPECT_EQ(r.slot, i);
    }
    // After the list is full the ring position points past the end: the next add wraps to slot 0.
    auto sixth = recent.add(QStringLiteral("/p/5.txt"));
    EXPECT_EQ(sixth.change, RecentFiles::Change::Replaced);
    EXPECT_EQ(sixth.slot, 0);
    EXPECT_EQ(recent.slot(0), QStringLiteral("/p/5.txt"));
    EXPECT_EQ(recent.add(QStringLiteral("/p/6.txt")).slot, 1);
}

TEST(RecentFiles, FullListAfterStartReplacesF01First) {
    RecentFiles recent;
    recent.setPaths({"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"});
    const auto r = recent.add(QStringLiteral("/f.txt"));
    EXPECT_EQ(r.change, RecentFiles::Change::Replaced);
    EXPECT_EQ(r.slot, 0);
    EXPECT_EQ(recent.slot(1), QStringLiteral("/b.txt"));
}

TEST(RecentFiles, DuplicatesAreRefusedCaseSensitively) {
    RecentFiles recent;
    recent.add(QStringLiteral("C:/a.txt"));
    EXPECT_EQ(recent.add(QStringLiteral("C:/a.txt")).change, RecentFiles::Change::None);
    EXPECT_EQ(recent.add(QStringLiteral("c:/a.txt")).change, RecentFiles::Change::Appended);
    EXPECT_EQ(recent.count(), 2);
}

TEST(RecentFiles, RebuildDropsMissingFilesAndClosesGaps) {
    RecentFiles recent;
    recent.setPaths({"/a.txt", "/gone.txt", "/b.txt", "", "/gone2.txt"});
    const std::set<QString> existing = {"/a.txt", "/b.txt"};
    recent.rebuild([&](const QString& p) { return existing.count(p) > 0; });
    EXPECT_EQ(recent.paths(), (std::array<QString, 5>{"/a.txt", "/b.txt", "", "", ""}));
    EXPECT_EQ(recent.add(QStringLiteral("/c.txt")).slot, 2);
}
