#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace pinwright::engine {

// A map from cell numbers to values held flat: open addressing with linear
// probing in one array of keys beside one of values, at most half full. A
// look-up multiplies once and mostly reads one key, where a node-based hash
// map follows two pointers to scattered memory; that look-up is what a grid
// query does for every row it reads. Cell numbers are far from the smallest
// 64-bit number, which marks a free slot.
template <typename Value>
class CellMap {
 public:
  std::size_t size() const { return size_; }

  Value* find(std::int64_t key) {
    const std::size_t slot = slot_of(key);
    return slot == kNone ? nullptr : &values_[slot];
  }
  const Value* find(std::int64_t key) const {
    const std::size_t slot = slot_of(key);
    return slot == kNone ? nullptr : &values_[slot];
  }

  // The value of `key`, a new one when there was none.
  Value& operator[](std::int64_t key) {
    if (2 * (size_ + 1) > keys_.size()) grow();
    std::size_t slot = home(key);
    for (; keys_[slot] != kFree; slot = next(slot))
      if (keys_[slot] == key) return values_[slot];
    keys_[slot] = key;
    ++size_;
    return values_[slot];
  }

  void erase(std::int64_t key) {
    std::size_t hole = slot_of(key);
    if (hole == kNone) return;
    // Later keys of the probe run move back into the hole unless their home
    // lies after it, so that every key stays reachable from its home.
    for (std::size_t slot = next(hole); keys_[slot] != kFree; slot = next(slot)) {
      const std::size_t wanted = home(keys_[slot]);
      const bool stays =
          hole <= slot ? (hole < wanted && wanted <= slot) : (hole < wanted || wanted <= slot);
      if (stays) continue;
      keys_[hole] = keys_[slot];
      values_[hole] = std::move(values_[slot]);
      hole = slot;
    }
    keys_[hole] = kFree;
    values_[hole] = Value();
    --size_;
  }

  // Calls visit(key, value) for each entry, in no particular order.
  // Room for `count` keys in all, so that inserting them moves nothing.
  void reserve(std::size_t count) {
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, 2 * count));
    if (wanted > keys_.size()) rehash(wanted);
  }

  template <typename Visit>
  void for_each(const Visit& visit) const {
    for (std::size_t slot = 0; slot < keys_.size(); ++slot)
      if (keys_[slot] != kFree) visit(keys_[slot], values_[slot]);
  }

  // Bytes of the two arrays, the values' own heap memory not included.
  std::size_t slot_bytes() const {
    return keys_.capacity() * (sizeof(std::int64_t) + sizeof(Value));
  }

 private:
  static constexpr std::int64_t kFree = std::numeric_limits<std::int64_t>::min();
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  std::size_t home(std::int64_t key) const {
    // Fibonacci hashing: the high bits of the product spread neighbouring cells.
    return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull) >>
                                    shift_);
  }
  std::size_t next(std::size_t slot) const { return (slot + 1) & (keys_.size() - 1); }

  std::size_t slot_of(std::int64_t key) const {
    if (keys_.empty()) return kNone;
    for (std::size_t slot = home(key); keys_[slot] != kFree; slot = next(slot))
      if (keys_[slot] == key) return slot;
    return kNone;
  }

  void grow() { rehash(std::max<std::size_t>(16, 2 * keys_.size())); }

  // `new_size` a power of two that holds every key.
  void rehash(std::size_t new_size) {
    std::vector<std::int64_t> keys(new_size, kFree);
    std::vector<Value> values(new_size);
    std::swap(keys, keys_);
    std::swap(values, values_);
    shift_ = 64 - static_cast<unsigned>(std::countr_zero(new_size));
    for (std::size_t slot = 0; slot < keys.size(); ++slot) {
      if (keys[slot] == kFree) continue;
      std::size_t target = home(keys[slot]);
      while (keys_[target] != kFree) target = next(target);
      keys_[target] = keys[slot];
      values_[target] = std::move(values[slot]);
    }
  }

  std::vector<std::int64_t> keys_;
  std::vector<Value> values_;
  std::size_t size_ = 0;
  unsigned shift_ = 64;
};

}  // namespace pinwright::engine
