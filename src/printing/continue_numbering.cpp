#include "printing/continue_numbering.h"

#include <cerrno>
#include <cstring>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/text.h"
#include "template/series.h"
#include "template/template_codec.h"

namespace zirvo {

void ContinueTemplateFile(const std::string& path, const Template& printed, int32_t sheets,
                          int32_t increment) {
  Template advanced = printed;
  advanced.AdvanceNumerators(sheets, increment);
  const NumeratorList next = advanced.Numerators().ExportRecords();
  const NumeratorList started = printed.Numerators().ExportRecords();
  const std::string real = CanonicalPath(path);
  ChangeFileAtomically(real, [&](const std::optional<std::string>& current) {
    // A template that went away is not made again from what this run read.
    if (!current) throw ZirvoError(OwnText(OwnMessage::FileNotRead, real, std::strerror(ENOENT)));
    SkippedLines skipped;
    std::optional<Template> now = DecodeTemplate(*current, real, {}, &skipped);
    if (!now) throw ZirvoError(real + ": " + OwnText(OwnMessage::NotCompatible));
    // Writing it back would drop the lines that do not read.
    if (!skipped.empty())
      throw ZirvoError(OwnText(OwnMessage::LineRefused, FormatInt(skipped.front().number),
                               skipped.front().text));
    const NumeratorList stored = now->Numerators().ExportRecords();
    for (std::size_t r = 0; r < stored.size() && r < next.size(); ++r) {
      const Numerator& file = stored[r];
      const Numerator& ours = next[r];
      // A row that no longer is this numerator is left as the file has it.
      if (file.Position != ours.Position || file.Reverse != ours.Reverse) continue;
      // A numerator that starts its count again moves only from where this
      // run found it: any other number is another station's.
      const bool moves =
          ours.Rule.cycle > 0
              ? file.Number == started[r].Number && ours.Number != file.Number
              : (file.Reverse ? ours.Number < file.Number : ours.Number > file.Number);
      if (moves)
        now->CommitCell(TemplateTable::Numerators, static_cast<int>(r), NumeratorTable::kNumber,
                        FormatInt(ours.Number));
    }
    return EncodeTemplate(*now, real);
  });
}

}  // namespace zirvo
