#include "engine/name_rule.hpp"

#include <atomic>

namespace pinwright::engine {

bool NameTest::passes(const names::NormalisedName& a, const names::NormalisedName& b) const {
  switch (rule) {
    case NameRule::any:
      return true;
    case NameRule::same:
      return names::same(a, b);
    case NameRule::similar:
      return names::similar(a, b, threshold);
  }
  return true;
}

NormalisedNames::~NormalisedNames() {
  clear();
}

void NormalisedNames::resize(std::int32_t count) {
  const auto size = static_cast<std::size_t>(count);
  for (std::size_t k = size; k < forms_.size(); ++k) delete forms_[k];
  forms_.resize(size, nullptr);
}

const names::NormalisedName& NormalisedNames::of(const poi::CompactTable& table,
                                                 std::int32_t index) {
  names::NormalisedName*& slot = forms_[static_cast<std::size_t>(index - 1)];
  std::atomic_ref<names::NormalisedName*> shared(slot);
  if (names::NormalisedName* form = shared.load(std::memory_order_acquire)) return *form;
  auto* made = new names::NormalisedName(names::normalise(table.name(index)));
  names::NormalisedName* expected = nullptr;
  if (shared.compare_exchange_strong(expected, made, std::memory_order_acq_rel)) return *made;
  delete made;
  return *expected;
}

const names::NormalisedName* NormalisedNames::made(std::int32_t index) const {
  return forms_[static_cast<std::size_t>(index - 1)];
}

void NormalisedNames::take(std::int32_t index, const names::NormalisedName& form) {
  names::NormalisedName*& slot = forms_[static_cast<std::size_t>(index - 1)];
  delete slot;
  slot = new names::NormalisedName(form);
}

void NormalisedNames::forget(std::int32_t index) {
  names::NormalisedName*& slot = forms_[static_cast<std::size_t>(index - 1)];
  delete slot;
  slot = nullptr;
}

}  // namespace pinwright::engine
