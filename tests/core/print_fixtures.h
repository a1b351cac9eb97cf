// What the print engine tests share: an observer that remembers what the
// print page would show, and quick ways to make jobs and read pages back.
#pragma once

#include <string>
#include <vector>

#include "printing/print_engine.h"
#include "support/recording_device.h"
#include "template/print_job.h"

namespace zirvo::testing::print {

// Remembers what the print page would show.
struct PageState : RunObserver {
  std::vector<std::string> statuses;
  bool statusVisible = false;
  bool progressVisible = false;
  bool cancelVisible = false;
  int32_t maximum = -1;
  std::vector<int32_t> positions;
  std::vector<std::string> notices;

  void ShowStatus(RunPanel, const std::string& text) override {
    statuses.push_back(text);
    statusVisible = true;
  }
  void HideStatus(RunPanel) override { statusVisible = false; }
  void SetProgressMaximum(RunPanel, int32_t m) override { maximum = m; }
  void SetProgressPosition(RunPanel, int32_t p) override { positions.push_back(p); }
  void ShowProgress(RunPanel, bool v) override { progressVisible = v; }
  void ShowCancel(RunPanel, bool v) override { cancelVisible = v; }
  void Notice(const std::string& text) override { notices.push_back(text); }
  std::vector<std::string> questions;
  bool printNegative = true;
  bool ConfirmNegative(const std::string& text) override {
    questions.push_back(text);
    return printNegative;
  }
  // A user who prints numbers again when asked, unless a test says otherwise.
  std::vector<std::string> reprintQuestions;
  bool reprint = true;
  bool ConfirmReprint(const std::string& facts, const std::string& question) override {
    reprintQuestions.push_back(facts + "\n" + question);
    return reprint;
  }
};

// The registers of a test: settings files and the folder of unsaved
// templates inside the test's own folder `dir` (a TempDir).
template <class Dir>
RegisterPlace PlaceIn(const Dir& dir) {
  RegisterPlace place;
  place.userSettings = dir.Path("user.ini");
  place.systemSettings = dir.Path("system.ini");
  place.unsavedFolder = dir.Path("Datos") + "/";
  return place;
}

inline Numerator MakeNumerator(int32_t position, int32_t number, bool reverse = false,
                               int32_t mask = 4) {
  Numerator n;
  n.Position = position;
  n.Number = number;
  n.Reverse = reverse;
  n.Mask = mask;
  return n;
}

inline PrintJob Job(NumeratorList numerators, MarginalTextList marginals = {},
                    std::string name = "Facturas") {
  PrintJob job;
  job.Sheet.Name = std::move(name);
  job.NumeratorCount = static_cast<int32_t>(numerators.size());
  job.MarginalCount = static_cast<int32_t>(marginals.size());
  job.Numerators = std::move(numerators);
  job.Marginals = std::move(marginals);
  return job;
}

using Pages = std::vector<std::vector<std::string>>;

inline Pages PagesOf(const RecordingDevice& device) {
  Pages pages;
  for (size_t i = 0; i < device.pages.size(); ++i) pages.push_back(device.TextsOn(i));
  return pages;
}

}  // namespace zirvo::testing::print
