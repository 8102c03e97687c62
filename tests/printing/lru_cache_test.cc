#include "printing/lru_cache.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

TEST(LruCache, FullCacheDropsTheEntryUsedLeastRecently) {
  LruCache<int, std::string> cache(2);
  cache.insert(1, "um");
  cache.insert(2, "dois");
  ASSERT_NE(cache.find(1), nullptr);  // 2 is now the least recently used
  cache.insert(3, "tres");
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.find(2), nullptr);
  EXPECT_EQ(*cache.find(1), "um");
  EXPECT_EQ(*cache.find(3), "tres");

  cache.insert(1, "outro");  // replacing counts as use and adds nothing
  cache.insert(4, "quatro");
  EXPECT_EQ(cache.find(3), nullptr);
  EXPECT_EQ(*cache.find(1), "outro");
}

}  // namespace
}  // namespace tarvo
