#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "poi/compact_table.hpp"
#include "poi/fields.hpp"

namespace pinwright::poi {
namespace {

TEST(field_store, keeps_each_entrys_values_in_their_types) {
  FieldStore store;
  const std::int32_t height = store.field("ele", FieldType::real);
  const std::int32_t when = store.field("time", FieldType::date_time);
  const std::int32_t osm = store.field("osm_id", FieldType::integer);
  const std::int32_t hours = store.field("opening_hours", FieldType::string);
  const DateTime noon{2026, 12, 9, 12, 0, 100, 30.5f};
  const std::string long_text(70000, 'h');
  const std::vector<FieldValue> first{
      {height, 3.25}, {when, noon}, {osm, std::int64_t{-9007199254740993}}};
  const std::vector<FieldValue> third{{hours, std::string_view(long_text)}, {osm, std::int64_t{7}}};
  store.set(1, first);
  store.set(3, third);
  EXPECT_EQ(store.values(1), first);
  EXPECT_TRUE(store.values(2).empty());
  EXPECT_EQ(store.values(3), third);
  EXPECT_TRUE(store.values(4).empty());
  // Set again: the new values alone.
  store.set(1, std::vector<FieldValue>{{hours, std::string_view("Mo-Fr")}});
  EXPECT_EQ(store.values(1), (std::vector<FieldValue>{{hours, std::string_view("Mo-Fr")}}));
  EXPECT_EQ(store.values(3), third);
}

TEST(field_store, a_field_met_again_widens_to_hold_both) {
  struct Case {
    FieldType first;
    FieldType then;
    FieldType held;
  };
  for (const Case& c : {Case{FieldType::integer, FieldType::integer, FieldType::integer},
                        Case{FieldType::integer, FieldType::real, FieldType::real},
                        Case{FieldType::real, FieldType::integer, FieldType::real},
                        Case{FieldType::integer, FieldType::string, FieldType::string},
                        Case{FieldType::date_time, FieldType::real, FieldType::string}}) {
    FieldStore store;
    store.field("other", FieldType::string);
    EXPECT_EQ(store.field("x", c.first), 1);
    EXPECT_EQ(store.field("x", c.then), 1);
    EXPECT_EQ(store.schema()[1], (Field{"x", c.held}));
  }
}

TEST(field_store, values_of_fields_not_in_the_schema_are_left_out) {
  FieldStore store;
  const std::int32_t kind = store.field("kind", FieldType::string);
  store.set(1, std::vector<FieldValue>{{5, 1.0}, {kind, std::string_view("mill")}, {-1, 2.0}});
  EXPECT_EQ(store.values(1), (std::vector<FieldValue>{{kind, std::string_view("mill")}}));
}

TEST(field_store, rolling_back_drops_later_entries_only) {
  FieldStore store;
  const std::int32_t kind = store.field("kind", FieldType::string);
  store.set(1, std::vector<FieldValue>{{kind, std::string_view("mill")}});
  store.set(2, std::vector<FieldValue>{{kind, std::string_view("dock")}});
  store.roll_back(1);
  EXPECT_EQ(store.values(1), (std::vector<FieldValue>{{kind, std::string_view("mill")}}));
  EXPECT_TRUE(store.values(2).empty());
  store.set(2, std::vector<FieldValue>{{kind, std::string_view("pier")}});
  EXPECT_EQ(store.values(2), (std::vector<FieldValue>{{kind, std::string_view("pier")}}));
}

TEST(compact_table_fields, text_entries_cost_nothing_for_fields) {
  CompactTable plain;
  CompactTable with_fields;
  for (int k = 0; k < 1000; ++k) {
    plain.append(1.0, 2.0, "name", "information");
    with_fields.append(1.0, 2.0, "name", "information");
  }
  with_fields.fields().set(
      1000, std::vector<FieldValue>{{with_fields.fields().field("ele", FieldType::real), 1.5}});
  EXPECT_EQ(plain.fields().memory_bytes(), 0u);
  EXPECT_GT(with_fields.memory_bytes(), plain.memory_bytes());
}

// An entry taken from another table brings its fields under their names,
// the schema the union of both.
TEST(compact_table_fields, appended_entries_join_their_fields_by_name) {
  CompactTable master;
  master.append(1.0, 2.0, "Mill", "");
  master.fields().set(
      1, std::vector<FieldValue>{
             {master.fields().field("amenity", FieldType::string), std::string_view("mill")}});
  CompactTable update;
  update.append(3.0, 4.0, "Dock", "");
  update.append(5.0, 6.0, "Pier", "");
  const std::int32_t height = update.fields().field("ele", FieldType::real);
  const std::int32_t amenity = update.fields().field("amenity", FieldType::string);
  update.fields().set(2,
                      std::vector<FieldValue>{{height, 2.5}, {amenity, std::string_view("pier")}});
  ASSERT_TRUE(master.append_entry(update, 1));
  ASSERT_TRUE(master.append_entry(update, 2));
  EXPECT_EQ(master.fields().schema(),
            (std::vector<Field>{{"amenity", FieldType::string}, {"ele", FieldType::real}}));
  EXPECT_TRUE(master.fields().values(2).empty());
  EXPECT_EQ(master.fields().values(3),
            (std::vector<FieldValue>{{1, 2.5}, {0, std::string_view("pier")}}));
}

TEST(compact_table_fields, an_entry_appended_again_keeps_its_fields) {
  CompactTable table;
  table.append(1.0, 2.0, "Mill", "");
  const std::int32_t kind = table.fields().field("kind", FieldType::string);
  const std::string long_kind(5000, 'k');
  table.fields().set(1, std::vector<FieldValue>{{kind, std::string_view(long_kind)}});
  for (int k = 0; k < 50; ++k) ASSERT_TRUE(table.append_entry(table, 1));
  EXPECT_EQ(table.fields().values(51),
            (std::vector<FieldValue>{{kind, std::string_view(long_kind)}}));
}

}  // namespace
}  // namespace pinwright::poi
