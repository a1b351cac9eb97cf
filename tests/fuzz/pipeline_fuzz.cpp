// The whole way from a template file to paper on arbitrary bytes: load,
// export, a three-sheet run and a reposition on the recording device, and a
// preview at a fuzzed zoom. Nothing may crash, and every run must end its
// document or abort it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "core/temp_dir.h"
#include "fuzz_check.h"
#include "printing/print_engine.h"
#include "render/sheet_render.h"
#include "support/recording_device.h"
#include "support/recording_surface.h"
#include "template/print_job.h"
#include "template/template_codec.h"

using namespace zirvo;

namespace {

// The runs' register: a folder of the fuzzer's own, never one the machine's
// or the user's settings name.
RegisterPlace FuzzRegisterPlace() {
  static testing::TempDir folder;
  RegisterPlace place;
  place.userSettings = folder.Path("none.ini");
  place.systemSettings = folder.Path("none.ini");
  place.unsavedFolder = folder.Path();
  return place;
}

int32_t TakeInt32(const uint8_t*& data, std::size_t& size) {
  int32_t value = 0;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const int32_t zoom = TakeInt32(data, size);
  const int32_t increment = TakeInt32(data, size);
  const int32_t entry = TakeInt32(data, size);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  PrintJob job;
  try {
    const std::optional<Template> doc = DecodeTemplate(bytes, "/fuzz/P.pla");
    if (!doc) return 0;
    job = doc->ToPrintJob();
  } catch (const ZirvoError&) {
    return 0;
  }

  RecordingSurface preview;
  SheetContent sheet;
  sheet.numerators = &job.Numerators;
  sheet.marginals = &job.Marginals;
  DrawSheet(preview, DeviceMapping::Preview(zoom, 96), sheet);

  RecordingDevice device;
  PrintEngine engine(device);
  engine.SetRegisterPlace(FuzzRegisterPlace());
  FUZZ_CHECK(engine.LoadPrintJob(job));
  engine.SelectPrinter(PrinterSetting::Queue("Q"), "Q");
  engine.SetRunSettings(FormatInt(increment), "2", "3");
  try {
    engine.PrintAll();
  } catch (const ZirvoError&) {
  }
  FUZZ_CHECK(!device.DocumentOpen());
  FUZZ_CHECK(!engine.Running());
  try {
    engine.AddRepositionEntry(FormatInt(entry));
    engine.AddRepositionEntry("7");
    engine.PrintReposition();
  } catch (const ZirvoError&) {
  }
  FUZZ_CHECK(!device.DocumentOpen());
  FUZZ_CHECK(!engine.Running());
  return 0;
}
