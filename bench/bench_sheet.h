// The sheet both preview benchmarks draw: 21.60 x 28.00 cm with 60
// numerators at every angle and 60 marginal texts, 120 items in all.
#pragma once

#include <string>

#include "template/print_job.h"

namespace zirvo::bench {

inline PrintJob PreviewBenchJob() {
  PrintJob job;
  job.Sheet.Width = 21.60;
  job.Sheet.Height = 28.00;
  for (int i = 0; i < 60; ++i) {
    Numerator n;
    n.Number = 100 * i;
    n.Prefix = "F-";
    n.Horizontal = 1.0 + (i % 6) * 3.3;
    n.Vertical = 1.0 + (i / 6) * 1.3;
    n.Rotation = (i % 4) * 90.0;
    n.Size = 8 + i % 10;
    job.Numerators.push_back(n);
    MarginalText m;
    m.Text = "Marginal " + std::to_string(i);
    m.Horizontal = 1.0 + (i % 4) * 5.0;
    m.Vertical = 14.5 + (i / 4) * 0.85;
    m.Size = 9;
    job.Marginals.push_back(m);
  }
  job.NumeratorCount = 60;
  job.MarginalCount = 60;
  return job;
}

}  // namespace zirvo::bench
