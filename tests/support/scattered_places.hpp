#pragma once

// Entries scattered the ways that trouble a spatial index: towns of entries
// metres apart, the whole world, the poles, the 180th meridian, and values a
// file may hold that are no positions at all. One seed, one sequence.

#include <cstdint>
#include <ostream>
#include <random>

#include "poi/record.hpp"

namespace pinwright::testing {

enum class Layout { clustered, uniform, polar, date_line, odd_values };

inline const char* layout_name(Layout layout) {
  switch (layout) {
    case Layout::clustered:
      return "clustered";
    case Layout::uniform:
      return "uniform";
    case Layout::polar:
      return "polar";
    case Layout::date_line:
      return "date_line";
    case Layout::odd_values:
      return "odd_values";
  }
  return "unknown";
}

inline void PrintTo(Layout layout, std::ostream* out) {
  *out << layout_name(layout);
}

struct PlaceGenerator {
  explicit PlaceGenerator(std::uint32_t seed) : random(seed) {}

  float uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  }
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  poi::PoiRecord place(Layout layout) {
    poi::PoiRecord record;
    switch (layout) {
      case Layout::clustered: {
        // A few towns with entries metres apart, some at the same spot.
        const int town = pick(0, 4);
        record.latitude = 40.0f + static_cast<float>(town) * 3.1f + uniform(-0.0005f, 0.0005f);
        record.longitude = -3.0f + static_cast<float>(town) * 7.7f + uniform(-0.0005f, 0.0005f);
        break;
      }
      case Layout::uniform:
        record.latitude = uniform(-60.0f, 70.0f);
        record.longitude = uniform(-180.0f, 180.0f);
        break;
      case Layout::polar:
        record.latitude = pick(0, 9) == 0 ? (pick(0, 1) ? 90.0f : -90.0f) : uniform(89.9f, 90.0f);
        record.longitude = uniform(-180.0f, 180.0f);
        break;
      case Layout::date_line:
        record.latitude = uniform(-10.0f, 10.0f);
        record.longitude = pick(0, 1) ? uniform(179.99f, 180.0f) : uniform(-180.0f, -179.99f);
        break;
      case Layout::odd_values: {
        // Values a file may hold: beyond the poles, unwrapped, huge, negative zero.
        const float odd[] = {95.0f,   -100.5f, 270.0f, 450.0f,   1.0e7f,
                             -3.0e9f, -0.0f,   0.0f,   89.99999f};
        record.latitude = pick(0, 2) ? odd[pick(0, 8)] : uniform(-91.0f, 91.0f);
        record.longitude = pick(0, 2) ? odd[pick(0, 8)] : uniform(-400.0f, 400.0f);
        break;
      }
    }
    if (pick(0, 15) == 0) record = poi::make_comment("; comment");
    return record;
  }

  std::mt19937 random;
};

}  // namespace pinwright::testing
