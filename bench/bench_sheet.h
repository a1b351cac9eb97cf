// The sheets the benchmarks draw: for the preview, 21.60 x 28.00 cm with 60
// numerators at every angle and 60 marginal texts, 120 items in all; for the
// print runs, a print room's sheet of 8 numerators and 4 marginal texts.
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

// A 10-up ticket sheet as a print shop runs it, 50 items: per ticket a
// numerator (the piles cut and stacked), its stub repeating the number with
// a Luhn check digit shown on both, and three marginal texts.
inline PrintJob TicketBenchJob() {
  PrintJob job;
  job.Sheet.Name = "Tickets";
  for (int t = 0; t < 10; ++t) {
    const double left = 1.0 + (t % 2) * 10.0, top = 1.0 + (t / 2) * 5.5;
    Numerator ticket;
    ticket.Position = t + 1;
    ticket.Number = 1 + 1000 * t;
    ticket.Prefix = "N.º ";
    ticket.Horizontal = left + 6.0;
    ticket.Vertical = top + 0.5;
    ticket.Size = 14;
    ticket.Rule.checkDigit = CheckDigit::Luhn;
    job.Numerators.push_back(ticket);
    for (int m = 0; m < 3; ++m) {
      MarginalText text;
      text.Position = 3 * t + m + 1;
      text.Text = m == 0 ? "GRAN RIFA ANUAL" : m == 1 ? "Sorteo: 24 de diciembre" : "Precio 5 €";
      text.Horizontal = left + 1.5;
      text.Vertical = top + 1.0 + m * 1.2;
      text.Size = m == 0 ? 14 : 9;
      job.Marginals.push_back(text);
    }
  }
  for (int t = 0; t < 10; ++t) {
    Numerator stub;
    stub.Position = 11 + t;
    stub.Rule.mirror = t + 1;
    stub.Horizontal = 1.0 + (t % 2) * 10.0;
    stub.Vertical = 1.0 + (t / 2) * 5.5 + 4.0;
    stub.Rotation = 90.0;
    stub.Size = 9;
    job.Numerators.push_back(stub);
  }
  job.NumeratorCount = 20;
  job.MarginalCount = 30;
  return job;
}

inline PrintJob PrintBenchJob() {
  PrintJob job;
  job.Sheet.Name = "Bench";
  for (int i = 0; i < 8; ++i) {
    Numerator n;
    n.Position = i + 1;
    n.Number = 1000 * (i + 1);
    n.Prefix = i % 2 ? "N-" : "";
    n.Mask = 6;
    n.Horizontal = 1.0 + (i % 4) * 5.0;
    n.Vertical = 2.0 + (i / 4) * 12.0;
    n.Rotation = (i % 4) * 90.0;
    n.Reverse = i % 3 == 0;
    n.Size = 10 + i;
    job.Numerators.push_back(n);
  }
  for (int i = 0; i < 4; ++i) {
    MarginalText m;
    m.Position = i + 1;
    m.Text = "Texto marginal de prueba " + std::to_string(i + 1);
    m.Horizontal = 2.0;
    m.Vertical = 20.0 + i * 2.0;
    m.Size = 9;
    job.Marginals.push_back(m);
  }
  job.NumeratorCount = 8;
  job.MarginalCount = 4;
  return job;
}

}  // namespace zirvo::bench
