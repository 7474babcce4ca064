// The table on SQLite: best first, earlier submission first among equals,
// ranks that agree with the order, one entry per replay, pages, deletion,
// and everything committed is there when the file is opened again.
#include "scores/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/files.h"

using namespace scores;

namespace {

class SqliteTable : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = makeScratchFolder("scores-store");
    open();
  }
  void TearDown() override {
    store_.reset();
    std::filesystem::remove_all(folder_);
  }
  void open() {
    store_.reset();
    ASSERT_TRUE(openStore("sqlite:" + folder_ + "/scores.db", 4, store_).ok());
  }
  int64_t add(const std::string& name, int64_t score, int64_t submittedMs, bool* existed = nullptr) {
    NewRun added;
    added.run.name = name;
    added.run.score = score;
    added.run.stage = 2;
    added.run.frames = 100;
    added.run.version = 1;
    added.run.submittedMs = submittedMs;
    added.hash = "hash of " + name;
    added.replay = "replay of " + name;
    scores::Run stored;
    bool was = false;
    EXPECT_TRUE(store_->add(added, stored, was).ok());
    if (existed) *existed = was;
    return stored.id;
  }
  std::vector<std::string> names(int64_t limit, int64_t offset, bool* more = nullptr) {
    std::vector<scores::Run> runs;
    bool hasMore = false;
    EXPECT_TRUE(store_->table(limit, offset, runs, hasMore).ok());
    if (more) *more = hasMore;
    std::vector<std::string> list;
    for (const scores::Run& run : runs) list.push_back(run.name);
    return list;
  }
  int64_t rank(int64_t id) {
    scores::Run run;
    bool found = false;
    EXPECT_TRUE(store_->find(id, run, found).ok());
    int64_t place = 0;
    EXPECT_TRUE(store_->rankOf(run, place).ok());
    return place;
  }

  std::string folder_;
  std::unique_ptr<Store> store_;
};

}  // namespace

TEST_F(SqliteTable, BestFirstEarlierFirstAmongEquals) {
  int64_t late = add("LATE", 500, 3000);
  int64_t low = add("LOW", 100, 1000);
  int64_t early = add("EARLY", 500, 2000);
  int64_t best = add("BEST", 900, 4000);
  EXPECT_EQ(names(100, 0), (std::vector<std::string>{"BEST", "EARLY", "LATE", "LOW"}));
  EXPECT_EQ(rank(best), 1);
  EXPECT_EQ(rank(early), 2);
  EXPECT_EQ(rank(late), 3);
  EXPECT_EQ(rank(low), 4);
  bool more = false;
  EXPECT_EQ(names(2, 1, &more), (std::vector<std::string>{"EARLY", "LATE"}));
  EXPECT_TRUE(more);
  EXPECT_EQ(names(2, 2, &more), (std::vector<std::string>{"LATE", "LOW"}));
  EXPECT_FALSE(more);
  EXPECT_TRUE(names(100, 10).empty());
}

TEST_F(SqliteTable, OneEntryPerReplayKeptAcrossReopening) {
  bool existed = true;
  int64_t first = add("ACE", 700, 1000, &existed);
  EXPECT_FALSE(existed);
  // The same replay under another name is the entry it already has.
  NewRun again;
  again.run.name = "OTHER";
  again.run.score = 700;
  again.hash = "hash of ACE";
  again.replay = "replay of ACE";
  scores::Run stored;
  ASSERT_TRUE(store_->add(again, stored, existed).ok());
  EXPECT_TRUE(existed);
  EXPECT_EQ(stored.id, first);
  EXPECT_EQ(stored.name, "ACE");

  open();
  scores::Run run;
  bool found = false;
  ASSERT_TRUE(store_->findByHash("hash of ACE", run, found).ok());
  ASSERT_TRUE(found);
  EXPECT_EQ(run.id, first);
  EXPECT_EQ(run.score, 700);
  std::string bytes;
  ASSERT_TRUE(store_->replay(first, bytes, found).ok());
  EXPECT_EQ(bytes, "replay of ACE");
}

TEST_F(SqliteTable, DeletedRunsAreGoneAndTheirIdsNeverComeBack) {
  int64_t gone = add("GONE", 900, 1000);
  add("STAYS", 100, 2000);
  bool found = false;
  ASSERT_TRUE(store_->remove(gone, found).ok());
  EXPECT_TRUE(found);
  ASSERT_TRUE(store_->remove(gone, found).ok());
  EXPECT_FALSE(found);
  EXPECT_EQ(names(100, 0), (std::vector<std::string>{"STAYS"}));
  EXPECT_GT(add("NEW", 50, 3000), gone + 1);
}

TEST_F(SqliteTable, ManyThreadsAddAndReadAtOnce) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < 25; ++i) {
        add("T" + std::to_string(t) + "-" + std::to_string(i), t * 100 + i, i);
        names(10, 0);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(names(100, 0).size(), 100u);
  EXPECT_EQ(names(100, 0).front(), "T3-24");
}

TEST(Stores, AnUnknownUrlIsRefused) {
  std::unique_ptr<Store> store;
  EXPECT_FALSE(openStore("mysql://x", 1, store).ok());
  EXPECT_FALSE(openStore("sqlite:/nonexistent-folder/x.db", 1, store).ok());
}
