#include "runtime/queue/queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text/str.h"

namespace tdx {
namespace {

// The shape of a marked-products list: first field a 14-character product code, the key.
struct Mark {
  Str<14> code;
  int note = 0;
};
struct MarkCode {
  const Str<14>& operator()(const Mark& m) const { return m.code; }
};
using Marks = SortedQueue<Mark, MarkCode>;

std::vector<std::string> codes(const Marks& q) {
  std::vector<std::string> out;
  for (const Mark& m : q) out.push_back(m.code.str());
  return out;
}

TEST(SortedQueue, KeepsOrderAndOneEntryPerKeyWithAddOrReplace) {
  Marks q;
  for (const char* c : {"M200", "A100", "Z9", "B7", "A100"}) q.add_or_replace({Str<14>(c), 1});
  EXPECT_EQ(codes(q), (std::vector<std::string>{"A100", "B7", "M200", "Z9"}));
  EXPECT_EQ(q.records(), 4u);

  // Replacing keeps the position and takes the new fields.
  EXPECT_EQ(q.add_or_replace({Str<14>("B7"), 42}), 2u);
  EXPECT_EQ(q.get_key(Str<14>("B7"))->note, 42);
  // A key with trailing blanks is the same key.
  EXPECT_EQ(q.find(Str<14>("B7   ")), 2u);
  EXPECT_EQ(q.find(Str<14>("B8")), 0u);
  EXPECT_EQ(q.get_key(Str<14>("C")), nullptr);

  EXPECT_TRUE(q.remove_key(Str<14>("M200")));
  EXPECT_FALSE(q.remove_key(Str<14>("M200")));
  EXPECT_EQ(codes(q), (std::vector<std::string>{"A100", "B7", "Z9"}));

  q.free();
  EXPECT_TRUE(q.empty());
  EXPECT_EQ(q.get(1), nullptr);
}

TEST(SortedQueue, DuplicatesKeepTheOrderTheyCameInAndPutMovesAChangedKey) {
  Marks q;
  q.add({Str<14>("K"), 1});
  q.add({Str<14>("A"), 2});
  q.add({Str<14>("K"), 3});
  q.add({Str<14>("K"), 4});
  std::vector<int> notes;
  for (const Mark& m : q) notes.push_back(m.note);
  EXPECT_EQ(notes, (std::vector<int>{2, 1, 3, 4}));
  EXPECT_EQ(q.find(Str<14>("K")), 2u);  // the first of equal keys

  ASSERT_TRUE(q.put(1, {Str<14>("Z"), 2}));
  EXPECT_EQ(codes(q), (std::vector<std::string>{"K", "K", "K", "Z"}));
  EXPECT_FALSE(q.put(9, {Str<14>("X"), 0}));
  EXPECT_EQ(q.records(), 4u);
}

// One list shared by two modules: both see every change through the same object.
TEST(SortedQueue, SharedByReference) {
  Marks owner;
  Marks& reader = owner;
  owner.add_or_replace({Str<14>("P1"), 0});
  reader.add_or_replace({Str<14>("P0"), 0});
  EXPECT_EQ(codes(owner), (std::vector<std::string>{"P0", "P1"}));
}

TEST(Queue, PositionsCountFromOneAndSortIsStable) {
  Queue<std::string> pages;
  EXPECT_EQ(pages.get(0), nullptr);
  EXPECT_EQ(pages.get(1), nullptr);
  for (const char* p : {"b1", "a2", "b3", "a4"}) pages.add(p);
  EXPECT_EQ(*pages.get(1), "b1");
  EXPECT_EQ(*pages.get(4), "a4");
  EXPECT_EQ(pages.get(5), nullptr);
  EXPECT_EQ(pages.find_if([](const std::string& s) { return s == "b3"; }), 3u);
  EXPECT_EQ(pages.find_if([](const std::string& s) { return s == "x"; }), 0u);

  pages.sort([](const std::string& a, const std::string& b) { return a[0] < b[0]; });
  EXPECT_EQ((std::vector<std::string>(pages.begin(), pages.end())),
            (std::vector<std::string>{"a2", "a4", "b1", "b3"}));

  EXPECT_TRUE(pages.put(2, "c"));
  EXPECT_TRUE(pages.remove(1));
  EXPECT_FALSE(pages.remove(4));
  EXPECT_FALSE(pages.insert(5, "y"));
  EXPECT_TRUE(pages.insert(4, "z"));
  EXPECT_EQ((std::vector<std::string>(pages.begin(), pages.end())),
            (std::vector<std::string>{"c", "b1", "b3", "z"}));
  pages.free();
  EXPECT_EQ(pages.records(), 0u);
}

}  // namespace
}  // namespace tdx
