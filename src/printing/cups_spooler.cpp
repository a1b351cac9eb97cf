// The print spooler on libcups. Every call opens its own connection to the
// scheduler, so the submitting thread and the run's thread never share one.
#include <cups/cups.h>

#include <cstdio>
#include <iterator>
#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "printing/print_spooler.h"

namespace zirvo {
namespace {

constexpr size_t kWriteBlock = 64 * 1024;

struct HttpCloser {
  void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;
struct IppDeleter {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDeleter>;

[[noreturn]] void Fail(const std::string& queue, const std::string& cause) {
  throw ZirvoError(OwnText(OwnMessage::PrintingFailed, queue, cause));
}

std::string LastError() {
  const char* text = cupsLastErrorString();
  return text != nullptr && *text != '\0' ? text : "CUPS";
}

Connection Connect(const std::string& queue) {
  Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                               30000, nullptr));
  if (!http) Fail(queue, LastError());
  return http;
}

std::string Joined(ipp_attribute_t* attribute, const char* skip) {
  std::string text;
  for (int i = 0; attribute != nullptr && i < ippGetCount(attribute); ++i) {
    const char* value = ippGetString(attribute, i, nullptr);
    if (value == nullptr || (skip != nullptr && std::string(value) == skip)) continue;
    if (!text.empty()) text += ", ";
    text += value;
  }
  return text;
}

std::string StringOf(ipp_t* response, const char* name) {
  ipp_attribute_t* attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
  const char* value = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
  return value != nullptr ? value : "";
}

class CupsSpooler : public PrintSpooler {
 public:
  int32_t SubmitJob(const std::string& queue, const std::string& title,
                    const JobOptionList& options, const std::string& file) override {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"),
                                                       &std::fclose);
    if (!in) Fail(queue, "cannot read " + file);
    Connection http = Connect(queue);
    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
      count = cupsAddOption(name.c_str(), value.c_str(), count, &list);
    const int id = cupsCreateJob(http.get(), queue.c_str(), title.c_str(), count, list);
    cupsFreeOptions(count, list);
    if (id <= 0) Fail(queue, LastError());
    if (cupsStartDocument(http.get(), queue.c_str(), id, title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
      const std::string cause = LastError();
      cupsCancelJob2(http.get(), queue.c_str(), id, 0);
      Fail(queue, cause);
    }
    std::unique_ptr<char[]> block(new char[kWriteBlock]);
    bool written = true;
    size_t got = 0;
    while (written && (got = std::fread(block.get(), 1, kWriteBlock, in.get())) > 0)
      written = cupsWriteRequestData(http.get(), block.get(), got) == HTTP_STATUS_CONTINUE;
    const bool read = std::ferror(in.get()) == 0;
    const ipp_status_t finished = cupsFinishDocument(http.get(), queue.c_str());
    if (!written || !read || finished > IPP_STATUS_OK_CONFLICTING) {
      const std::string cause = read ? LastError() : "cannot read " + file;
      cupsCancelJob2(http.get(), queue.c_str(), id, 0);
      Fail(queue, cause);
    }
    return id;
  }

  JobStatus StatusOfJob(int32_t job) override {
    Connection http = Connect("CUPS");
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const wanted[] = {"job-state", "job-state-reasons",
                                         "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(wanted)), nullptr, wanted);
    Response response(cupsDoRequest(http.get(), request, "/"));
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) Fail("CUPS", LastError());
    JobStatus status;
    ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    switch (state != nullptr ? ippGetInteger(state, 0) : IPP_JSTATE_PENDING) {
      case IPP_JSTATE_HELD:
        status.state = JobState::Held;
        break;
      case IPP_JSTATE_PROCESSING:
        status.state = JobState::Processing;
        break;
      case IPP_JSTATE_STOPPED:
        status.state = JobState::Stopped;
        break;
      case IPP_JSTATE_CANCELED:
        status.state = JobState::Cancelled;
        break;
      case IPP_JSTATE_ABORTED:
        status.state = JobState::Aborted;
        break;
      case IPP_JSTATE_COMPLETED:
        status.state = JobState::Completed;
        break;
      default:
        status.state = JobState::Pending;
    }
    status.reason = StringOf(response.get(), "job-printer-state-message");
    const std::string reasons =
        Joined(ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_ZERO), "none");
    if (status.reason.empty()) status.reason = reasons;
    return status;
  }

  PrinterStatus StatusOfPrinter(const std::string& queue) override {
    Connection http = Connect(queue);
    PrinterStatus status;
    // A class answers under /classes/, a printer under /printers/.
    for (const char* folder : {"/printers/%s", "/classes/%s"}) {
      ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
      char uri[HTTP_MAX_URI];
      httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                       folder, queue.c_str());
      ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
      static const char* const wanted[] = {"printer-state", "printer-state-reasons",
                                           "printer-state-message"};
      ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                    wanted);
      Response response(cupsDoRequest(http.get(), request, "/"));
      if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) continue;
      ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
      status.stopped = state != nullptr && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
      const std::string reasons =
          Joined(ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_ZERO), "none");
      const std::string message = StringOf(response.get(), "printer-state-message");
      status.reason = message.empty() ? reasons : message + " (" + reasons + ")";
      if (message.empty() || reasons.empty()) status.reason = message + reasons;
      return status;
    }
    return status;  // unknown: the jobs' states tell
  }

  bool CancelJob(const std::string& queue, int32_t job) override {
    Connection http = Connect(queue);
    return cupsCancelJob2(http.get(), queue.c_str(), job, 0) <= IPP_STATUS_OK_CONFLICTING;
  }
};

}  // namespace

std::unique_ptr<PrintSpooler> MakeCupsSpooler() { return std::make_unique<CupsSpooler>(); }

std::optional<bool> CupsKnowsQueue(const std::string& queue) {
  Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                               30000, nullptr));
  if (!http) return std::nullopt;
  for (const char* folder : {"/printers/%s", "/classes/%s"}) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0, folder,
                     queue.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    const Response response(cupsDoRequest(http.get(), request, "/"));
    const ipp_status_t status = cupsLastError();
    if (response && status <= IPP_STATUS_OK_CONFLICTING) return true;
    if (status != IPP_STATUS_ERROR_NOT_FOUND) return std::nullopt;
  }
  return false;
}

std::string CupsDefaultQueue() {
  const char* name = cupsGetDefault();
  return name != nullptr ? name : "";
}

}  // namespace zirvo
