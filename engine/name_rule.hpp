#pragma once

#include <cstdint>
#include <vector>

#include "names/name.hpp"
#include "poi/compact_table.hpp"

namespace pinwright::engine {

// When two entries within the radius are a match by their names: `any`
// reads no names, `same` asks for equal normal forms, `similar` for a
// similarity at or above the threshold.
enum class NameRule { any, same, similar };

struct NameTest {
  NameRule rule = NameRule::any;
  double threshold = names::kDefaultThreshold;  // for `similar`, 0 to 1

  bool reads_names() const { return rule != NameRule::any; }
  bool passes(const names::NormalisedName& a, const names::NormalisedName& b) const;
};

// The normal forms of one table's names, each made when a comparison first
// needs it and kept for the rest of the run. of() may be called from several
// threads at once while no other member is; the rest from one thread.
class NormalisedNames {
 public:
  NormalisedNames() = default;
  ~NormalisedNames();
  NormalisedNames(const NormalisedNames&) = delete;
  NormalisedNames& operator=(const NormalisedNames&) = delete;

  // Room for entries 1..count of the table; forms of entries past it are dropped.
  void resize(std::int32_t count);
  // The normal form of entry `index` (at most the size given) of `table`.
  const names::NormalisedName& of(const poi::CompactTable& table, std::int32_t index);
  // The form of entry `index` when it has been made; else nothing.
  const names::NormalisedName* made(std::int32_t index) const;
  // Entry `index` takes a form already made (an entry copied from another table).
  void take(std::int32_t index, const names::NormalisedName& form);
  // Entry `index` has been renamed.
  void forget(std::int32_t index);
  void clear() { resize(0); }

 private:
  // Owned; null until made. Threads racing on one entry each make a form,
  // one is kept and the others deleted.
  std::vector<names::NormalisedName*> forms_;
};

}  // namespace pinwright::engine
