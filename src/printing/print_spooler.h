// The printing system as a run to a queue sees it: jobs submitted as
// documents, their states, the printer's state and reasons, and cancelling.
// The CUPS implementation talks to the scheduler through libcups; the tests
// use fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "printing/printer_setting.h"

namespace zirvo {

enum class JobState { Pending, Held, Processing, Stopped, Cancelled, Aborted, Completed };

// A state from which a job never moves again.
constexpr bool JobEnded(JobState s) {
  return s == JobState::Cancelled || s == JobState::Aborted || s == JobState::Completed;
}

struct JobStatus {
  JobState state = JobState::Pending;
  std::string reason;  // UTF-8; why it stopped or aborted, when the system says
};

struct PrinterStatus {
  bool stopped = false;  // disabled, out of paper, offline...
  std::string reason;    // UTF-8; the printer's message or its reasons
};

using JobOptionList = std::vector<std::pair<std::string, std::string>>;

class PrintSpooler {
 public:
  virtual ~PrintSpooler() = default;
  // Submits the PDF file as one job of `queue` titled `title` (UTF-8) and
  // returns its id. Throws ZirvoError with the system's reason. May be called
  // from another thread than the other functions.
  virtual int32_t SubmitJob(const std::string& queue, const std::string& title,
                            const JobOptionList& options, const std::string& file) = 0;
  // Throws ZirvoError when the system cannot be asked.
  virtual JobStatus StatusOfJob(int32_t job) = 0;
  virtual PrinterStatus StatusOfPrinter(const std::string& queue) = 0;
  // False when the job could not be cancelled (it may have ended already).
  virtual bool CancelJob(const std::string& queue, int32_t job) = 0;
};

// The spooler of the CUPS scheduler this process is configured for.
std::unique_ptr<PrintSpooler> MakeCupsSpooler();
// The queue a job to the default printer goes to; "" when there is none.
std::string CupsDefaultQueue();
// Whether the CUPS scheduler knows `queue` (a printer or a class); nothing
// when the scheduler does not answer.
std::optional<bool> CupsKnowsQueue(const std::string& queue);

// The options every job of `setting` carries: no scaling (the document is
// drawn at the paper's full size; no driver may fit it to its printable
// area, or every number would move on the paper), then the paper, sides and
// colour mode the setting chooses.
JobOptionList JobOptions(const PrinterSetting& setting);

// The name of one job of a run: "Facturas 501-1000 (N-0600-N-1099)"; a
// single sheet or number is not repeated, and without numerators the
// parenthesis is left out. `name` and the texts are UTF-8.
std::string JobName(const std::string& name, int32_t firstSheet, int32_t lastSheet,
                    const std::string& firstNumber, const std::string& lastNumber);

}  // namespace zirvo
