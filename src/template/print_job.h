// What the workspace hands to the preview and to the print page each time
// one of them is opened: the sheet header and the exported records of one
// template, and for the print page the background image to print.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/bitmap.h"
#include "template/background_alignment.h"
#include "template/records.h"

namespace zirvo {

struct PrintJob {
  SheetHeader Sheet;           // a copy of the workspace's sheet header
  int32_t NumeratorCount = 0;  // records in Numerators
  int32_t MarginalCount = 0;   // records in Marginals
  // The preview's background image, for the print page; empty for the
  // preview. Never changed once made, so copies of the record may share it.
  std::shared_ptr<const Bitmap> Background;
  // True when the preview holds an image and its print-image box is ticked.
  bool PrintBackground = false;
  // Where the image lies on the sheet; none: over the whole paper.
  std::optional<BackgroundAlignment> Alignment;
  // The template's file, whose journal the runs write to; empty for a
  // template never saved (no journal).
  std::string TemplateFile;
  // The template's numbering series (see series.h); empty when it carries
  // none, the register then knowing it by SeriesOfPath(TemplateFile).
  std::string Series;
  NumeratorList Numerators;    // in table order
  MarginalTextList Marginals;  // in table order

  // The records the counts announce: the first NumeratorCount numerators and
  // MarginalCount marginal texts (no more than there are, none for a count
  // below 1). What the preview shows and a run prints.
  NumeratorList CountedNumerators() const { return FirstOf(Numerators, NumeratorCount); }
  MarginalTextList CountedMarginals() const { return FirstOf(Marginals, MarginalCount); }

 private:
  template <class List>
  static List FirstOf(const List& list, int32_t count) {
    const auto n = std::min(list.size(), static_cast<std::size_t>(std::max(0, count)));
    return List(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n));
  }
};

}  // namespace zirvo
