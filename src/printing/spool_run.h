// The jobs of one run to a queue. The run hands over each finished part of
// its document (a PDF file of consecutive sheets); a worker thread submits
// the parts in order, so drawing the next part overlaps spooling the last,
// and removes each file once it is submitted. The run follows its jobs
// through the spooler until every one is completed, waits while the printer
// is stopped, and on cancel recalls every job not completed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "printing/print_spooler.h"

namespace zirvo {

struct SpoolPart {
  std::string file;   // removed once submitted (or dropped)
  std::string title;  // the job's name, UTF-8
  int32_t firstSheet = 0;
  int32_t lastSheet = 0;
  // What holds the file, when something does: the file goes when it is released.
  std::shared_ptr<void> keep = nullptr;
};

// What a wait does between two looks at the spooler.
struct SpoolWait {
  std::function<bool()> cancelled;                 // ends the wait (false returned)
  std::function<void(const std::string&)> status;  // the printer's stop reason, "" when gone
  std::function<void()> idle;                      // pending events of the screens
  int32_t pollMilliseconds = 200;
};

class SpoolRun {
 public:
  // `queue` for messages and cancelling; the spooler must outlive the run.
  SpoolRun(PrintSpooler& spooler, std::string queue, JobOptionList options);
  // Stops the worker; parts not yet submitted are dropped, jobs stay.
  ~SpoolRun();
  SpoolRun(const SpoolRun&) = delete;
  SpoolRun& operator=(const SpoolRun&) = delete;

  // Queues the part for submission.
  void Hand(SpoolPart part);
  // Waits until at most `outstanding` parts are not completed (handed but
  // not submitted, or submitted and not completed). Returns false when the
  // wait was cancelled. Throws ZirvoError when a submission failed or a
  // job was aborted or cancelled by someone else, with the system's reason.
  bool WaitUntilAtMost(size_t outstanding, const SpoolWait& wait);
  // Drops the parts not yet submitted, cancels every job not completed and
  // waits (bounded) until each has ended. Returns the last sheet of the
  // longest run of completed jobs from the first one (0 for none).
  int32_t CancelOutstanding(const SpoolWait& wait);

  // The jobs submitted so far, in order, and their last known states.
  struct Job {
    int32_t id = 0;
    int32_t firstSheet = 0, lastSheet = 0;
    JobState state = JobState::Pending;
    std::string reason;
    // Seen processing, stopped or completed: some of its sheets may be on
    // paper whatever it ends as. (A job that starts between the last look
    // and its recall is not seen.)
    bool reachedPrinter = false;
  };
  std::vector<Job> Jobs() const;
  // The last sheet of the completed prefix, as last seen.
  int32_t CompletedPrefix() const;
  // The last sheet of any job that reached the printer, as last seen: what
  // may be on paper, completed or not (0 for none).
  int32_t ReachedPrinterUpTo() const;

 private:
  void Work();
  void StopWorker();
  // Looks at every job not ended; throws for a failed submission.
  void Refresh();
  size_t Outstanding() const;

  PrintSpooler& spooler_;
  const std::string queue_;
  const JobOptionList options_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<SpoolPart> waiting_;  // handed, not yet submitted
  bool submitting_ = false;        // the worker holds a part
  bool stop_ = false;
  std::optional<std::string> failure_;  // a submission that failed
  std::vector<Job> jobs_;
  std::thread worker_;
  std::string shownStatus_;
};

}  // namespace zirvo
