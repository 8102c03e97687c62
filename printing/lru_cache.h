#pragma once

#include <cstddef>
#include <list>
#include <map>
#include <utility>

namespace tarvo {

// A map that holds at most `capacity` entries: adding one more drops the
// entry used least recently. Lookups count as use.
template <typename Key, typename Value>
class LruCache {
 public:
  explicit LruCache(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

  // The value under `key`, now the most recently used; null when absent.
  Value* find(const Key& key) {
    const auto it = index_.find(key);
    if (it == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return &it->second->second;
  }

  // Puts `value` under `key` as the most recently used entry.
  Value& insert(const Key& key, Value value) {
    if (Value* existing = find(key)) return *existing = std::move(value);
    if (order_.size() == capacity_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
    order_.emplace_front(key, std::move(value));
    index_.emplace(key, order_.begin());
    return order_.front().second;
  }

  std::size_t size() const { return order_.size(); }

 private:
  using Entries = std::list<std::pair<Key, Value>>;
  std::size_t capacity_;
  Entries order_;  // most recently used first
  std::map<Key, typename Entries::iterator> index_;
};

}  // namespace tarvo
