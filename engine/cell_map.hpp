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
// probing in one array of slots, each a key beside its value, at most half
// full. A look-up multiplies once and mostly reads one slot, where a
// node-based hash map follows two pointers to scattered memory; that look-up
// is what a grid query does for every row it reads. Cell numbers are far
// from the smallest 64-bit number, which marks a free slot.
template <typename Value>
class CellMap {
 public:
  std::size_t size() const { return size_; }

  Value* find(std::int64_t key) {
    const std::size_t slot = slot_of(key);
    return slot == kNone ? nullptr : &slots_[slot].value;
  }
  const Value* find(std::int64_t key) const {
    const std::size_t slot = slot_of(key);
    return slot == kNone ? nullptr : &slots_[slot].value;
  }

  // Asks the memory system for the slot where a look-up of `key` starts.
  void prefetch(std::int64_t key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(key)]);
  }

  // The value of `key`, a new one when there was none.
  Value& operator[](std::int64_t key) {
    if (2 * (size_ + 1) > slots_.size()) grow();
    std::size_t slot = home(key);
    for (; slots_[slot].key != kFree; slot = next(slot))
      if (slots_[slot].key == key) return slots_[slot].value;
    slots_[slot].key = key;
    ++size_;
    return slots_[slot].value;
  }

  void erase(std::int64_t key) {
    std::size_t hole = slot_of(key);
    if (hole == kNone) return;
    // Later keys of the probe run move back into the hole unless their home
    // lies after it, so that every key stays reachable from its home.
    for (std::size_t slot = next(hole); slots_[slot].key != kFree; slot = next(slot)) {
      const std::size_t wanted = home(slots_[slot].key);
      const bool stays =
          hole <= slot ? (hole < wanted && wanted <= slot) : (hole < wanted || wanted <= slot);
      if (stays) continue;
      slots_[hole] = std::move(slots_[slot]);
      hole = slot;
    }
    slots_[hole] = Slot();
    --size_;
  }

  // Calls visit(key, value) for each entry, in no particular order.
  // Room for `count` keys in all, so that inserting them moves nothing.
  void reserve(std::size_t count) {
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, 2 * count));
    if (wanted > slots_.size()) rehash(wanted);
  }

  template <typename Visit>
  void for_each(const Visit& visit) const {
    for (const Slot& slot : slots_)
      if (slot.key != kFree) visit(slot.key, slot.value);
  }

  // Bytes of the slots, the values' own heap memory not included.
  std::size_t slot_bytes() const { return slots_.capacity() * sizeof(Slot); }

 private:
  static constexpr std::int64_t kFree = std::numeric_limits<std::int64_t>::min();
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  std::size_t home(std::int64_t key) const {
    // Fibonacci hashing: the high bits of the product spread neighbouring cells.
    return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull) >>
                                    shift_);
  }
  std::size_t next(std::size_t slot) const { return (slot + 1) & (slots_.size() - 1); }

  std::size_t slot_of(std::int64_t key) const {
    if (slots_.empty()) return kNone;
    for (std::size_t slot = home(key); slots_[slot].key != kFree; slot = next(slot))
      if (slots_[slot].key == key) return slot;
    return kNone;
  }

  void grow() { rehash(std::max<std::size_t>(16, 2 * slots_.size())); }

  // `new_size` a power of two that holds every key.
  void rehash(std::size_t new_size) {
    // Not named `slots`: Qt defines that word away.
    std::vector<Slot> old(new_size);
    std::swap(old, slots_);
    shift_ = 64 - static_cast<unsigned>(std::countr_zero(new_size));
    for (Slot& slot : old) {
      if (slot.key == kFree) continue;
      std::size_t target = home(slot.key);
      while (slots_[target].key != kFree) target = next(target);
      slots_[target] = std::move(slot);
    }
  }

  // A key and its value side by side: a look-up that finds the key has
  // mostly read the value's line too.
  struct Slot {
    std::int64_t key = kFree;
    Value value{};
  };
  std::vector<Slot> slots_;
  std::size_t size_ = 0;
  unsigned shift_ = 64;
};

}  // namespace pinwright::engine
