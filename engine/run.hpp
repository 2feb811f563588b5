#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/grid.hpp"
#include "engine/name_rule.hpp"
#include "exclusion/circles.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/compact_table.hpp"
#include "poi/output_file.hpp"
#include "poi/record.hpp"

namespace pinwright::engine {

// Which entry of a group within the radius a duplicate run keeps without a
// review: `last`, each entry with a later match goes, so a chain of entries
// each within the radius of the next collapses onto its last; `first`, each
// entry within the radius of an earlier entry kept goes, so no entry kept
// lies within the radius of one removed for it, and a chain keeps every
// entry beyond the radius of those kept.
enum class Keep { last, first };

// The options of one call of the run, read by the caller when the call
// starts: the window cannot change them while the call works.
struct RunOptions {
  float radius = 0.0f;                  // metres; never negative
  bool settle_under_one_metre = false;  // "< 1 or": matches closer than 1 m need no review
  bool settle_every_match = false;      // "< N metres": no match needs a review
  bool append_all = false;              // update run: the Output holds the whole Master table
  NameTest names;                       // a pair within the radius matches only when its names pass
  Keep keep = Keep::last;               // duplicate run
};

// How a call of the run came back.
enum class RunStop {
  review,         // a pair waits for a decision: see Run::pair()
  finished,       // the Output was written
  storage_limit,  // the result table is full: the run is over, nothing was written
};

// How the Output file fared at the end of a run.
using OutputWrite = poi::OutputWrite;

// What a call of the run did, for the caller to show.
struct RunOutcome {
  RunStop stop = RunStop::review;
  // The rest only for a finished run, in the order the user hears of it.
  bool matches_report_incomplete = false;
  OutputWrite output = OutputWrite::written;
  exclusion::ExclusionsEnd exclusions;  // duplicate run
  std::int32_t entries_written = 0;
};

// A decision on the pending pair. The first two buttons mean Skip and Save
// as new entry in an update run, Keep and Delete Master entry in a
// duplicate run; Position, Text and Both belong to the update run only.
enum class Decision { skip_or_keep, save_or_delete, position, text, both };

// The second row as the user left it.
struct EditedRow {
  std::string name;
  std::string information;
};

// What a run is and keeps for the whole of its course: set when it starts.
struct RunSetup {
  // The kind of Output: with a text Output the Update entry's own
  // information wins over the edited one on Save as new entry, Position and
  // Both; the excluded list carries information only for a text Output.
  poi::FileKind output_kind = poi::FileKind::text;
  // The Output is a vector file: it holds every text at full length as shown
  // and edited, so Position changes the position alone and the other
  // decisions take the texts as edited.
  bool vector_output = false;
  // Duplicate run: pairs more than 1 m apart go to the matches report.
  bool report_matches = false;
  // The most entries the result may hold (the window's tables hold 50,000).
  std::int32_t result_limit = poi::CompactTable::kMaxEntries;
  // Threads for the duplicate run's search when no review can stop it.
  unsigned threads = 1;
  // Search by the plain ascending scan instead of the grid: the reference
  // that tests and benchmarks compare the grid against.
  bool plain_scan = false;
  // When given, the run adds one for each probe it has placed (the comment
  // records of a duplicate run left out), as it goes and from every thread:
  // for a progress display.
  std::atomic<std::int64_t>* matched = nullptr;
};

// What a run has done so far, for its progress and its end. Every match is
// settled automatically or decided, except the one a review waits on; in a
// duplicate run every settled or deleted match is a duplicate deleted, every
// Keep an entry kept, and entries kept but inside an exclusion circle count
// as excluded too.
struct RunCounts {
  std::int32_t matches = 0;
  std::int32_t settled = 0;   // without a decision, by the "< 1 or" or "< N metres" option
  std::int32_t reviewed = 0;  // decisions taken, by the user or the front end's answer
  std::int32_t appended = 0;  // update run: POI entries added to the Master table
  std::int32_t deleted = 0;   // duplicate run: earlier entries of a pair left out
  std::int32_t kept = 0;      // duplicate run: Keep decisions
  std::int32_t excluded = 0;  // duplicate run: entries inside an exclusion circle
  // Pairs within the radius met before a probe's match (or while finding
  // none) whose names the rule kept apart.
  std::int32_t names_apart = 0;
};

// The pair a match found. The probe is the entry being matched: an Update
// entry in an update run; in a duplicate run the earlier Master entry, or
// with Keep::first the later one, found near an earlier entry kept. The
// match is always an entry of the run's table.
struct Pair {
  std::int32_t probe = 0;
  std::int32_t match = 0;
  float separation = 0.0f;       // metres between the two
  double name_similarity = 0.0;  // names::similarity of the two names, at a review stop
};

class Run;

// How a front end answers at a match that the options leave open: the
// window stops for the user's review, the batch tool answers at once.
class Decider {
 public:
  virtual ~Decider() = default;
  // The decision on the run's pending pair, or nothing: the run stops and
  // waits for Run::decide().
  virtual std::optional<Decision> decide(const Run& run) = 0;
  // Whether decide() may ever answer nothing.
  virtual bool may_stop() const = 0;
};

// Where a run's files go: its front end writes them in its own forms.
class RunSink {
 public:
  virtual ~RunSink() = default;

  // The matches report, when the setup asks for it: the lines of one pair.
  virtual void report(std::string_view lines) = 0;
  // Its length so far, for Back to cut it to; nothing without a report.
  virtual std::optional<std::int64_t> report_length() = 0;
  virtual void cut_report(std::int64_t length) = 0;
  // Whether what went into the report reached its file.
  virtual bool report_complete() = 0;

  // The end of the run: the Output holds these entries of `table`, in order.
  virtual OutputWrite write_output(const poi::CompactTable& table,
                                   std::span<const std::int32_t> entries) = 0;
  // The end of a duplicate run with circles: the excluded list holds these
  // entries of `table`, in order.
  virtual exclusion::ListWrite write_excluded(const exclusion::Circles& circles,
                                              const poi::CompactTable& table,
                                              std::span<const std::int32_t> entries,
                                              std::string& list_path) = 0;
};

// One run over one table: a duplicate run over the Master entries, or an
// update run of the Update entries into them. Every matching and decision
// rule lives here, for every front end. The run walks its entries, settles
// matches by the options, asks the Decider about the rest and, when the
// Decider leaves a pair to the user, returns; decide() and back() go on from
// there. At the end it writes through the sink.
class Run {
 public:
  // `master`: the Master entries, which the run works on (a duplicate run
  // renames entries, an update run moves and adds them). `update`: the
  // Update entries, for an update run, kept by the caller for the run's
  // life; nothing for a duplicate run. `circles`: exclusion circles of a
  // duplicate run.
  Run(poi::CompactTable master, const poi::CompactTable* update, exclusion::Circles circles,
      const RunSetup& setup, Decider& decider, RunSink& sink);
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  bool is_update_run() const { return update_ != nullptr; }

  // From the first entry.
  RunOutcome start(const RunOptions& options);
  // A decision on the pending pair (see pair_pending and offers), then the
  // run from the next entry. The second row as the user left it; nothing:
  // as shown.
  RunOutcome decide(Decision decision, const std::optional<EditedRow>& second_row,
                    const RunOptions& options);

  // Whether a pair waits for a decision, and which.
  bool pair_pending() const { return pending_; }
  const Pair& pair() const { return pair_; }
  // Whether `decision` is one this kind of run offers.
  bool offers(Decision decision) const;

  // Whether Back can act: a pair waits and the run stopped for a review
  // before it.
  bool can_go_back() const;
  // Back: the run returns to the review stop before the pending one, as if
  // the decision taken there had not been taken. What the decision and the
  // run after it did is undone: entries changed in place get their old state
  // back, entries appended and the lines of removed entries are dropped, the
  // matches report is cut back to its length then, and the counts and the
  // position are those of that stop. False when there is no earlier stop.
  bool back();

  const RunCounts& counts() const { return counts_; }
  // The entries of the result so far, comment records included: in an
  // update run the run's table, in a duplicate run the entries kept.
  std::int32_t result_count() const {
    return update_ ? table_.size() : static_cast<std::int32_t>(kept_.size());
  }
  // Entry k (1-based) of the result, as an index of the run's table.
  std::int32_t result_entry(std::int32_t k) const {
    return update_ ? k : kept_[static_cast<std::size_t>(k - 1)];
  }
  // The run's table: the Master entries as the run has changed them and, in
  // an update run, extended.
  const poi::CompactTable& table() const { return table_; }
  // The table the probes come from: the Update entries, or the run's table.
  const poi::CompactTable& probes() const { return update_ ? *update_ : table_; }
  // The entries read from the Master file (the start of the run's table).
  std::int32_t master_count() const { return master_count_; }
  // The grid over the run's table, as of the pending pair; nothing while
  // searching by the plain scan or before a search was needed.
  const Grid* grid() const { return grid_.get(); }
  const exclusion::Circles& circles() const { return circles_; }
  // Heap memory of what Back keeps: the review stops and the entries changed since each.
  std::size_t journal_bytes() const;

 private:
  struct Stop;

  RunOutcome go_on(const RunOptions& options);
  RunOutcome duplicate_run(const RunOptions& options);
  RunOutcome update_run(const RunOptions& options);
  RunOutcome finish_duplicate_run();
  RunOutcome finish_update_run(const RunOptions& options);
  RunOutcome finished(RunOutcome outcome, std::span<const std::int32_t> entries);
  std::optional<Match> search(std::int32_t first, std::int32_t last, std::int32_t probe,
                              float radius, PointOrder order);
  std::optional<Match> find_match(std::int32_t first, std::int32_t last, std::int32_t probe,
                                  const RunOptions& options, PointOrder order, bool kept_only);
  void prefetch_ahead(std::int32_t probe, float radius) const;
  NormalisedNames& probe_names() { return update_ ? probe_names_ : table_names_; }
  void find_later_matches(const RunOptions& options);
  bool apply(Decision decision, const std::optional<EditedRow>& second_row);
  bool apply_update_decision(Decision decision, const std::optional<EditedRow>& second_row);
  void apply_duplicate_decision(Decision decision, const std::optional<EditedRow>& second_row);
  void keep(std::int32_t index);
  void changing(std::int32_t index);
  RunOutcome review_stop();
  void count_matched();

  poi::CompactTable table_;
  const poi::CompactTable* update_;
  exclusion::Circles circles_;
  RunSetup setup_;
  Decider& decider_;
  RunSink& sink_;
  std::int32_t master_count_;

  std::int32_t position_ = 1;  // the next probe
  bool pending_ = false;
  Pair pair_;
  RunCounts counts_;
  // Duplicate run: the entries kept, comment records included, in order,
  // and those removed by a circle.
  std::vector<std::int32_t> kept_;
  std::vector<std::int32_t> excluded_;
  // Duplicate run without reviews: every entry's first later match, found
  // at once on all threads (index 0: none).
  std::vector<Match> later_matches_;
  std::unique_ptr<Grid> grid_;
  // The normal forms of the names, each made once a run.
  NormalisedNames table_names_;
  NormalisedNames probe_names_;  // update run: of the Update entries
  // Duplicate run: whether entry i survived its turn (kept, or removed by a
  // circle after that), at i.
  std::vector<bool> survived_;
  // The review stops so far, the pending one last.
  std::vector<Stop> stops_;
};

}  // namespace pinwright::engine
