// A recording WorkspaceHost for the tests of the workspace's decisions.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/table_ports.h"
#include "template/editing_session.h"

namespace zirvo::testing {

// Answers the workspace's questions from queues and records what it shows.
class FakeHost : public WorkspaceHost {
 public:
  // Answers; an empty queue means "accept" for Confirm and "cancel" for dialogs.
  std::deque<ConfirmAnswer> confirmAnswers;
  std::deque<std::pair<double, double>> sheetSizes;  // cancel when empty
  std::deque<std::string> openPaths;
  std::deque<std::string> savePaths;
  std::deque<bool> overwriteAnswers;

  // What happened.
  std::vector<ConfirmQuestion> questions;
  std::vector<std::string> saveTitles;
  std::vector<bool> overwriteAtMainWindow;
  std::vector<std::pair<double, double>> sheetSizesAsked;
  std::vector<std::string> informations;
  std::vector<std::string> errors;
  bool allCommands = true;
  std::string label;
  bool labelBusy = false;
  WorkspacePage page = WorkspacePage::Presentation;
  bool timerArmed = false;
  int timerInterval = 0;
  bool waitCursor = false;
  int previewResets = 0;
  int stepAndRepeatAsked = 0;
  int printerResets = 0;
  std::vector<PrintJob> previews;
  std::vector<PrintJob> printJobs;
  bool printRunning = false;
  // When set, the print jobs go on to a real print page.
  std::function<bool(const PrintJob&)> printPage;
  TableNumeratorPort numerators;
  TableMarginalPort marginals;

  ConfirmAnswer Confirm(ConfirmQuestion question) override {
    questions.push_back(question);
    if (confirmAnswers.empty()) return ConfirmAnswer::Yes;
    const ConfirmAnswer answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
  bool AskSheetSize(const std::string&, double& width, double& height) override {
    sheetSizesAsked.emplace_back(width, height);
    if (sheetSizes.empty()) return false;
    std::tie(width, height) = sheetSizes.front();
    sheetSizes.pop_front();
    return true;
  }
  bool ChooseFileToOpen(std::string& path) override { return Take(openPaths, path); }
  bool ChooseFileToSave(const std::string& title, std::string& path) override {
    saveTitles.push_back(title);
    return Take(savePaths, path);
  }
  bool ConfirmOverwrite(bool atMainWindow) override {
    overwriteAtMainWindow.push_back(atMainWindow);
    const bool answer = !overwriteAnswers.empty() && overwriteAnswers.front();
    if (!overwriteAnswers.empty()) overwriteAnswers.pop_front();
    return answer;
  }
  void ShowInformation(const std::string& text) override { informations.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void AskStepAndRepeat() override { ++stepAndRepeatAsked; }
  void ShowAllCommands(bool all) override { allCommands = all; }
  void ShowNameLabel(const std::string& text, bool busy) override {
    label = text;
    labelBusy = busy;
  }
  void ShowPage(WorkspacePage shown) override { page = shown; }
  WorkspacePage CurrentPage() const override { return page; }
  void HideTaskFrames() override {}
  void SetWaitCursor(bool wait) override { waitCursor = wait; }
  void ArmTimer(int milliseconds) override {
    timerArmed = true;
    timerInterval = milliseconds;
  }
  void StopTimer() override { timerArmed = false; }
  NumeratorEditorPort& NumeratorFrame() override { return numerators; }
  MarginalEditorPort& MarginalFrame() override { return marginals; }
  void ResetPreview() override { ++previewResets; }
  void ResetPrinters() override { ++printerResets; }
  void LoadPreview(const PrintJob& job) override { previews.push_back(job); }
  bool LoadPrintJob(const PrintJob& job) override {
    printJobs.push_back(job);
    return !printPage || printPage(job);
  }
  bool PrintRunning() const override { return printRunning; }

 private:
  static bool Take(std::deque<std::string>& queue, std::string& path) {
    if (queue.empty()) return false;
    path = queue.front();
    queue.pop_front();
    return true;
  }
};

}  // namespace zirvo::testing
