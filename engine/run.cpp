#include <algorithm>
#include <numeric>
#include <utility>

#include "engine/run.hpp"
#include "poi/text_file.hpp"

namespace pinwright::engine {

namespace {

inline constexpr float kOneMetre = 1.0f;

bool settled_automatically(float separation, const RunOptions& options) {
  return options.settle_every_match || (options.settle_under_one_metre && separation < kOneMetre);
}

std::int32_t count_pois(const poi::CompactTable& table, std::span<const std::int32_t> entries) {
  return static_cast<std::int32_t>(std::count_if(
      entries.begin(), entries.end(), [&](std::int32_t k) { return !table.is_comment(k); }));
}

}  // namespace

// Where the run stood when it stopped for a review, and what has been
// changed in place since: enough to return there without copies of the
// table. Entries appended since lie past the table's mark, kept and excluded
// entries past the lengths kept here, report lines past its length.
struct Run::Stop {
  std::int32_t position;
  Pair pair;
  RunCounts counts;
  poi::CompactTable::Mark mark;
  std::size_t kept = 0;
  std::size_t excluded = 0;
  std::optional<std::int64_t> report_length;
  // Entries changed in place after the stop, each as it was before, in the
  // order of the changes.
  std::vector<std::pair<std::int32_t, poi::CompactTable::Entry>> changed;
};

Run::Run(poi::CompactTable master, const poi::CompactTable* update, exclusion::Circles circles,
         const RunSetup& setup, Decider& decider, RunSink& sink)
    : table_(std::move(master)),
      update_(update),
      circles_(std::move(circles)),
      setup_(setup),
      decider_(decider),
      sink_(sink),
      master_count_(table_.size()) {}

Run::~Run() = default;

bool Run::offers(Decision decision) const {
  return decision == Decision::skip_or_keep || decision == Decision::save_or_delete ||
         is_update_run();
}

RunOutcome Run::start(const RunOptions& options) {
  grid_.reset();
  position_ = 1;
  pending_ = false;
  counts_ = {};
  kept_.clear();
  excluded_.clear();
  stops_.clear();
  table_names_.clear();
  table_names_.resize(table_.size());
  probe_names_.clear();
  if (update_) probe_names_.resize(update_->size());
  survived_.assign(update_ ? 0 : static_cast<std::size_t>(table_.size()) + 1, false);
  return go_on(options);
}

RunOutcome Run::go_on(const RunOptions& options) {
  pending_ = false;
  return is_update_run() ? update_run(options) : duplicate_run(options);
}

std::optional<Match> Run::search(std::int32_t first, std::int32_t last, std::int32_t probe,
                                 float radius, PointOrder order) {
  const poi::CompactTable& probes = this->probes();
  const float latitude = probes.latitude(probe);
  const float longitude = probes.longitude(probe);
  if (setup_.plain_scan)
    return first_match(table_, first, last, latitude, longitude, order, radius);
  if (!grid_) {
    // Cells for the radius the run starts with; a radius changed during a
    // review is still answered exactly.
    grid_ = std::make_unique<Grid>(radius, order);
    grid_->build(table_, setup_.threads);
  }
  return grid_->first_match(first, last, latitude, longitude, radius);
}

// The Update entries are asked about in order and each query waits on
// memory scattered over the grid: the grid is asked for what the queries a
// few entries on will read, one step of it at each distance.
void Run::prefetch_ahead(std::int32_t probe, float radius) const {
  if (!grid_) return;
  constexpr std::pair<std::int32_t, Grid::Ahead> kSteps[] = {
      {12, Grid::Ahead::row_slots}, {8, Grid::Ahead::rows}, {4, Grid::Ahead::terms}};
  const poi::CompactTable& probes = this->probes();
  for (const auto& [ahead, step] : kSteps) {
    const std::int32_t j = probe + ahead;
    if (j <= probes.size() && !probes.is_comment(j))
      grid_->prefetch(probes.latitude(j), probes.longitude(j), radius, step);
  }
}

// The first entry of first..last within the radius whose name passes the
// rule and, when `kept_only`, that survived its own turn. The pairs within
// the radius that the names keep apart on the way are counted.
std::optional<Match> Run::find_match(std::int32_t first, std::int32_t last, std::int32_t probe,
                                     const RunOptions& options, PointOrder order, bool kept_only) {
  for (;;) {
    const auto match = search(first, last, probe, options.radius, order);
    if (!match) return match;
    first = match->index + 1;
    if (kept_only && !survived_[static_cast<std::size_t>(match->index)]) continue;
    if (!options.names.reads_names() || options.names.passes(probe_names().of(probes(), probe),
                                                             table_names_.of(table_, match->index)))
      return match;
    ++counts_.names_apart;
  }
}

// Every entry's first later match at once, on every thread, the names read
// as the pairs are met.
void Run::find_later_matches(const RunOptions& options) {
  if (!options.names.reads_names()) {
    later_matches_ = first_later_matches(table_, options.radius, setup_.threads, setup_.matched);
    return;
  }
  std::atomic<std::int32_t> apart{0};
  const PairTest accept = [&](std::int32_t earlier, std::int32_t later) {
    if (options.names.passes(table_names_.of(table_, earlier), table_names_.of(table_, later)))
      return true;
    apart.fetch_add(1, std::memory_order_relaxed);
    return false;
  };
  later_matches_ =
      first_later_matches(table_, options.radius, setup_.threads, setup_.matched, &accept);
  counts_.names_apart += apart.load();
}

// An earlier entry that survives its turn goes to the result unless an
// exclusion circle removes it.
void Run::keep(std::int32_t index) {
  survived_[static_cast<std::size_t>(index)] = true;
  if (exclusion::inside_a_circle(circles_, table_.latitude(index), table_.longitude(index))) {
    excluded_.push_back(index);
    ++counts_.excluded;
    return;
  }
  kept_.push_back(index);
}

// The entry at `index` is about to be changed in place: its state so far
// goes into the journal of the pending stop.
void Run::changing(std::int32_t index) {
  if (!stops_.empty()) stops_.back().changed.emplace_back(index, table_.entry(index));
}

void Run::count_matched() {
  if (setup_.matched) setup_.matched->fetch_add(1, std::memory_order_relaxed);
}

RunOutcome Run::review_stop() {
  pending_ = true;
  pair_.name_similarity = names::similarity(probe_names().of(probes(), pair_.probe),
                                            table_names_.of(table_, pair_.match));
  stops_.push_back(Stop{position_,
                        pair_,
                        counts_,
                        table_.mark(),
                        kept_.size(),
                        excluded_.size(),
                        sink_.report_length(),
                        {}});
  RunOutcome outcome;
  outcome.stop = RunStop::review;
  return outcome;
}

// Each Master entry against the later ones (Keep::last) or against the
// earlier ones that survived (Keep::first). A matched entry is deleted
// automatically or decided. With Keep::last the later entry of the pair
// comes up as a probe in its own turn, so of a group within the radius the
// last survives; the run changes no position, so where nothing can stop it
// every entry's first later match is looked for at once, on every thread.
RunOutcome Run::duplicate_run(const RunOptions& options) {
  const std::int32_t count = table_.size();
  const bool keep_first = options.keep == Keep::first;
  const bool all_at_once = !setup_.plain_scan && !keep_first && position_ == 1 &&
                           (options.settle_every_match || !decider_.may_stop());
  if (all_at_once) find_later_matches(options);
  for (std::int32_t i = position_; i <= count; ++i) {
    if (table_.is_comment(i)) {
      kept_.push_back(i);
      continue;
    }
    std::optional<Match> match;
    if (all_at_once) {
      const Match& later = later_matches_[static_cast<std::size_t>(i)];
      if (later.index != 0) match = later;
    } else {
      match = keep_first ? find_match(1, i - 1, i, options, PointOrder::probe_first, true)
                         : find_match(i + 1, count, i, options, PointOrder::probe_first, false);
      count_matched();
    }
    if (!match) {
      keep(i);
      continue;
    }
    pair_ = Pair{i, match->index, match->separation};
    if (setup_.report_matches && pair_.separation > exclusion::kReportThresholdMetres)
      sink_.report(exclusion::match_pair_lines(table_, i, pair_.match, pair_.separation));
    ++counts_.matches;
    if (settled_automatically(pair_.separation, options)) {
      ++counts_.settled;
      ++counts_.deleted;
      continue;
    }
    if (const auto decision = decider_.decide(*this)) {
      ++counts_.reviewed;
      apply_duplicate_decision(*decision, std::nullopt);
      continue;
    }
    position_ = i + 1;
    return review_stop();
  }
  later_matches_ = {};
  return finish_duplicate_run();
}

// Each Update entry against the Master table as it grows: entries appended
// earlier in this run are candidates too. Unmatched entries (and comment
// records) are appended.
RunOutcome Run::update_run(const RunOptions& options) {
  const poi::CompactTable& update = *update_;
  for (std::int32_t i = position_; i <= update.size(); ++i) {
    count_matched();
    if (!update.is_comment(i)) {
      prefetch_ahead(i, options.radius);
      const auto match = find_match(1, table_.size(), i, options, PointOrder::table_first, false);
      if (match) {
        pair_ = Pair{i, match->index, match->separation};
        ++counts_.matches;
        if (settled_automatically(pair_.separation, options)) {
          ++counts_.settled;
          continue;
        }
        if (const auto decision = decider_.decide(*this)) {
          ++counts_.reviewed;
          if (!apply_update_decision(*decision, std::nullopt)) {
            RunOutcome outcome;
            outcome.stop = RunStop::storage_limit;
            return outcome;
          }
          continue;
        }
        position_ = i + 1;
        return review_stop();
      }
    }
    if (table_.size() >= setup_.result_limit || !table_.append_entry(update, i)) {
      RunOutcome outcome;
      outcome.stop = RunStop::storage_limit;
      return outcome;
    }
    if (grid_) grid_->append(table_);
    table_names_.resize(table_.size());
    if (const names::NormalisedName* form = probe_names_.made(i))
      table_names_.take(table_.size(), *form);
    if (!update.is_comment(i)) ++counts_.appended;
  }
  return finish_update_run(options);
}

RunOutcome Run::finished(RunOutcome outcome, std::span<const std::int32_t> entries) {
  // No Back past the end of a run; the memory of its stops goes too.
  stops_ = {};
  pending_ = false;
  outcome.stop = RunStop::finished;
  outcome.output = sink_.write_output(table_, entries);
  outcome.entries_written = count_pois(table_, entries);
  return outcome;
}

RunOutcome Run::finish_duplicate_run() {
  RunOutcome outcome;
  outcome.matches_report_incomplete = !sink_.report_complete();
  outcome = finished(outcome, kept_);
  if (!circles_.empty()) {
    exclusion::ExclusionsEnd& end = outcome.exclusions;
    end.list = sink_.write_excluded(circles_, table_, excluded_, end.list_path);
    end.summary = exclusion::Summary{
        circles_.path, static_cast<std::int32_t>(circles_.centres.size()), circles_.radius,
        static_cast<std::int32_t>(excluded_.size()),
        end.list == exclusion::ListWrite::in_use ? std::string() : end.list_path};
  }
  return outcome;
}

RunOutcome Run::finish_update_run(const RunOptions& options) {
  // Append unchecked: only the entries this run added to the Master table.
  const std::int32_t first = options.append_all ? 1 : master_count_ + 1;
  std::vector<std::int32_t> entries(
      static_cast<std::size_t>(std::max(0, table_.size() - first + 1)));
  std::iota(entries.begin(), entries.end(), first);
  return finished(RunOutcome{}, entries);
}

RunOutcome Run::decide(Decision decision, const std::optional<EditedRow>& second_row,
                       const RunOptions& options) {
  ++counts_.reviewed;
  if (is_update_run()) {
    if (!apply_update_decision(decision, second_row)) {
      RunOutcome outcome;
      outcome.stop = RunStop::storage_limit;
      return outcome;
    }
  } else {
    apply_duplicate_decision(decision, second_row);
  }
  return go_on(options);
}

// The information text a decision stores from the second row: the shown
// text, byte for byte, when the user left it alone; a typed text with the
// separator that keeps it apart from the name.
namespace {

std::string edited_information(std::string_view shown, std::string_view edited) {
  if (poi::trim_right(edited) == poi::trim_right(shown)) return std::string(shown);
  return poi::typed_information_text(edited);
}

}  // namespace

// Update[i] against Master[j]. With a text Output file the Update entry's own
// information text wins over the edited one on Save as new entry, Position
// and Both; an OV2 Output carries no information, so the edited one is taken,
// and a vector Output takes it as edited at full length.
// False when Save as new entry finds the result full.
bool Run::apply_update_decision(Decision decision, const std::optional<EditedRow>& second_row) {
  const poi::CompactTable& update = *update_;
  const std::int32_t i = pair_.probe;
  const std::int32_t j = pair_.match;
  const bool text_output = setup_.output_kind == poi::FileKind::text && !setup_.vector_output;
  const std::string name(second_row ? std::string_view(second_row->name) : update.name(i));
  const std::string information =
      second_row ? edited_information(update.information(i), second_row->information)
                 : std::string(update.information(i));
  const std::string_view kept_information = text_output ? update.information(i) : information;
  switch (decision) {
    case Decision::save_or_delete:
      if (table_.size() >= setup_.result_limit ||
          !table_.append(update.exact_longitude(i), update.exact_latitude(i), name,
                         kept_information))
        return false;
      table_.take_fields(table_.size(), update, i);
      if (grid_) grid_->append(table_);
      table_names_.resize(table_.size());
      ++counts_.appended;
      return true;
    case Decision::position:
      changing(j);
      table_.set_position(j, update.exact_longitude(i), update.exact_latitude(i));
      if (text_output) table_.set_information(j, update.information(i));
      if (grid_) grid_->move(table_, j);
      return true;
    case Decision::text:
      changing(j);
      table_.set_name(j, name);
      table_names_.forget(j);
      table_.set_information(j, information);
      return true;
    case Decision::both:
      changing(j);
      table_.set_position(j, update.exact_longitude(i), update.exact_latitude(i));
      table_.set_name(j, name);
      table_names_.forget(j);
      table_.set_information(j, kept_information);
      if (grid_) grid_->move(table_, j);
      return true;
    case Decision::skip_or_keep:  // the Update entry is left out
      return true;
  }
  return true;
}

// Master[i] (the earlier entry) against Master[j].
void Run::apply_duplicate_decision(Decision decision, const std::optional<EditedRow>& second_row) {
  if (decision == Decision::save_or_delete) {
    // The surviving later entry carries a name edited in the second row.
    if (second_row && poi::trim_right(second_row->name) != table_.name(pair_.match)) {
      changing(pair_.match);
      table_.set_name(pair_.match, second_row->name);
      table_names_.forget(pair_.match);
    }
    ++counts_.deleted;
    return;
  }
  ++counts_.kept;
  keep(pair_.probe);
}

std::size_t Run::journal_bytes() const {
  std::size_t bytes = stops_.capacity() * sizeof(Stop);
  for (const Stop& stop : stops_) bytes += stop.changed.capacity() * sizeof(stop.changed.front());
  return bytes;
}

bool Run::can_go_back() const {
  return pending_ && stops_.size() >= 2;
}

bool Run::back() {
  if (!can_go_back()) return false;
  stops_.pop_back();
  Stop& previous = stops_.back();
  for (auto change = previous.changed.rbegin(); change != previous.changed.rend(); ++change) {
    table_.restore(change->first, change->second);
    table_names_.forget(change->first);
  }
  table_.roll_back(previous.mark);
  table_names_.resize(table_.size());
  if (!update_) {
    for (std::size_t k = previous.kept; k < kept_.size(); ++k)
      survived_[static_cast<std::size_t>(kept_[k])] = false;
    for (std::size_t k = previous.excluded; k < excluded_.size(); ++k)
      survived_[static_cast<std::size_t>(excluded_[k])] = false;
  }
  position_ = previous.position;
  pair_ = previous.pair;
  counts_ = previous.counts;
  kept_.resize(previous.kept);
  excluded_.resize(previous.excluded);
  // A report that cannot be cut back is failed, and reported incomplete at
  // the run's end.
  if (previous.report_length) sink_.cut_report(*previous.report_length);
  if (grid_) {
    // Entries moved back and entries dropped from the end leave the grid too.
    grid_->truncate(table_.size());
    for (const auto& change : previous.changed) grid_->move(table_, change.first);
  }
  previous.changed.clear();
  pending_ = true;
  return true;
}

}  // namespace pinwright::engine
