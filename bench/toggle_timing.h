// Disable and Enable of one entry, timed the way a click on its check box runs them, for the
// benches that check that their cost does not grow with the size of the entry's location.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "core/entry_kind.h"
#include "tests/support/memory_rows.h"
#include "tests/support/scripted_prompter.h"

// One entry of one location: a live row, and the times of its moves.
struct ToggleCase {
  std::string label;
  EntryKind* kind = nullptr;
  MemoryRows rows;  // the one row, enabled
  std::vector<double> disableMs, enableMs;
  bool refused = false;  // a step was refused: its time is not that of a move

  ToggleCase(std::string caseLabel, EntryKind& entryKind, const Row& row)
      : label(std::move(caseLabel)), kind(&entryKind) {
    rows.rows.push_back(row);
  }

  // One Disable, then one Enable.
  void RunRound() {
    ScriptedPrompter prompter;
    disableMs.push_back(TimeMs([&] {
      rows.Toggle(0);
      kind->Disable(rows, prompter, 0);
    }));
    enableMs.push_back(TimeMs([&] {
      rows.Toggle(0);
      kind->Enable(rows, prompter, 0);
    }));
    if (!prompter.refusals.empty() || rows.restoredChecks != 0 || !rows.rows[0].enabled) {
      refused = true;
    }
  }

  double PairMs() const {
    std::vector<double> pairs;
    for (std::size_t i = 0; i < disableMs.size(); ++i) pairs.push_back(disableMs[i] + enableMs[i]);
    return Median(pairs);
  }
};

// Runs the cases' rounds interleaved (so drift affects them alike) after one warm-up round.
inline void RunToggleRounds(std::vector<ToggleCase*> cases, int rounds) {
  for (ToggleCase* c : cases) {
    c->RunRound();
    c->disableMs.clear();
    c->enableMs.clear();
  }
  for (int round = 0; round < rounds; ++round) {
    for (ToggleCase* c : cases) c->RunRound();
  }
}

// Prints the small and the large case and the ratio of their Disable+Enable medians.
inline void PrintToggleRatio(const ToggleCase& few, const ToggleCase& many) {
  for (const ToggleCase* c : {&few, &many}) {
    std::printf("  %-34s Disable %7.2f ms  Enable %7.2f ms  both %7.2f ms%s\n", c->label.c_str(),
                Median(c->disableMs), Median(c->enableMs), c->PairMs(),
                c->refused ? "  (REFUSED: not a move)" : "");
  }
  std::printf("  ratio large/small: %.2fx (target: within 2x)\n", many.PairMs() / few.PairMs());
}
