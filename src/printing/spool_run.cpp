#include "printing/spool_run.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/messages.h"
#include "base/text.h"

namespace zirvo {
namespace {

// A part's file goes with what holds it, or else by its name.
void Drop(SpoolPart& part) {
  if (part.keep) {
    part.keep.reset();
    return;
  }
  std::error_code ignored;
  std::filesystem::remove(part.file, ignored);
}

void Pause(const SpoolWait& wait) {
  if (wait.idle) wait.idle();
  std::this_thread::sleep_for(std::chrono::milliseconds(wait.pollMilliseconds));
}

// Bounds the wait for cancelled jobs to end, counted in looks at the spooler.
constexpr int kCancelLooks = 300;

}  // namespace

SpoolRun::SpoolRun(PrintSpooler& spooler, std::string queue, JobOptionList options)
    : spooler_(spooler), queue_(std::move(queue)), options_(std::move(options)) {
  worker_ = std::thread([this] { Work(); });
}

SpoolRun::~SpoolRun() { StopWorker(); }

void SpoolRun::StopWorker() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    for (SpoolPart& part : waiting_) Drop(part);
    waiting_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void SpoolRun::Hand(SpoolPart part) {
  {
    std::lock_guard lock(mutex_);
    if (stop_) {
      Drop(part);
      return;
    }
    waiting_.push_back(std::move(part));
  }
  wake_.notify_all();
}

void SpoolRun::Work() {
  for (;;) {
    SpoolPart part;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || (!waiting_.empty() && !failure_); });
      if (stop_) return;
      part = std::move(waiting_.front());
      waiting_.pop_front();
      submitting_ = true;
    }
    std::optional<int32_t> id;
    std::string failure;
    try {
      id = spooler_.SubmitJob(queue_, part.title, options_, part.file);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    Drop(part);
    {
      std::lock_guard lock(mutex_);
      submitting_ = false;
      if (id)
        jobs_.push_back({*id, part.firstSheet, part.lastSheet, JobState::Pending, {}});
      else
        failure_ = failure;
    }
    wake_.notify_all();
  }
}

size_t SpoolRun::Outstanding() const {
  size_t count = waiting_.size() + (submitting_ ? 1 : 0);
  for (const Job& job : jobs_)
    if (job.state != JobState::Completed) ++count;
  return count;
}

void SpoolRun::Refresh() {
  std::vector<std::pair<size_t, int32_t>> open;
  {
    std::lock_guard lock(mutex_);
    if (failure_) throw ZirvoError(*failure_);
    for (size_t i = 0; i < jobs_.size(); ++i)
      if (!JobEnded(jobs_[i].state)) open.emplace_back(i, jobs_[i].id);
  }
  for (const auto& [index, id] : open) {
    const JobStatus status = spooler_.StatusOfJob(id);
    std::lock_guard lock(mutex_);
    jobs_[index].state = status.state;
    jobs_[index].reason = status.reason;
    if (status.state == JobState::Processing || status.state == JobState::Stopped ||
        status.state == JobState::Completed)
      jobs_[index].reachedPrinter = true;
  }
}

bool SpoolRun::WaitUntilAtMost(size_t outstanding, const SpoolWait& wait) {
  for (;;) {
    if (wait.cancelled && wait.cancelled()) return false;
    Refresh();
    size_t left = 0;
    {
      std::lock_guard lock(mutex_);
      // A submission that failed after the refresh must not pass for a
      // queue that has emptied: it is looked at under the same lock.
      if (failure_) throw ZirvoError(*failure_);
      for (const Job& job : jobs_) {
        if (job.state == JobState::Aborted || job.state == JobState::Cancelled) {
          const std::string reason =
              job.reason.empty() ? std::string(job.state == JobState::Aborted ? "aborted-by-system"
                                                                              : "job-canceled")
                                 : job.reason;
          throw ZirvoError(
              OwnText(OwnMessage::PrintingFailed, queue_, FormatInt(job.id) + ": " + reason));
        }
      }
      left = Outstanding();
    }
    if (left <= outstanding) {
      if (!shownStatus_.empty() && wait.status) wait.status("");
      shownStatus_.clear();
      return true;
    }
    // Why the run waits: a stopped printer says so; otherwise it is busy.
    const PrinterStatus printer = spooler_.StatusOfPrinter(queue_);
    const std::string text = printer.stopped
                                 ? OwnText(OwnMessage::PrinterStopped, queue_,
                                           printer.reason.empty() ? "stopped" : printer.reason)
                                 : std::string();
    if (text != shownStatus_) {
      shownStatus_ = text;
      if (wait.status) wait.status(text);
    }
    Pause(wait);
  }
}

int32_t SpoolRun::CancelOutstanding(const SpoolWait& wait) {
  // Nothing new reaches the queue once the worker has stopped.
  StopWorker();
  try {
    Refresh();  // a job that has completed stays completed
  } catch (const std::exception&) {
  }
  for (const Job& job : Jobs()) {
    if (JobEnded(job.state)) continue;
    try {
      spooler_.CancelJob(queue_, job.id);
    } catch (const std::exception&) {
      // A job that ended meanwhile cannot be cancelled; its state tells.
    }
  }
  for (int look = 0; look < kCancelLooks; ++look) {
    try {
      Refresh();
    } catch (const std::exception&) {
      // A failed submission does not matter any more: its part never printed.
      std::lock_guard lock(mutex_);
      failure_.reset();
    }
    bool ended = true;
    for (const Job& job : Jobs()) ended = ended && JobEnded(job.state);
    if (ended) break;
    Pause(wait);
  }
  return CompletedPrefix();
}

std::vector<SpoolRun::Job> SpoolRun::Jobs() const {
  std::lock_guard lock(mutex_);
  return jobs_;
}

int32_t SpoolRun::ReachedPrinterUpTo() const {
  std::lock_guard lock(mutex_);
  int32_t last = 0;
  for (const Job& job : jobs_)
    if (job.reachedPrinter) last = std::max(last, job.lastSheet);
  return last;
}

int32_t SpoolRun::CompletedPrefix() const {
  std::lock_guard lock(mutex_);
  int32_t last = 0;
  for (const Job& job : jobs_) {
    if (job.state != JobState::Completed) break;
    last = job.lastSheet;
  }
  return last;
}

}  // namespace zirvo
