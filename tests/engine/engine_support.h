// Shared helpers of the engine tests: temporary folders, external tools,
// the register beside a template.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "printing/register_settings.h"
#include "printing/sqlite_register.h"
#include "template/series.h"

namespace zirvo::testing {

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline ToolResult RunTool(const QString& program, const QStringList& args, int timeoutMs = 120000) {
  QProcess p;
  p.start(program, args);
  ToolResult r;
  if (!p.waitForStarted(10000)) return r;
  p.waitForFinished(timeoutMs);
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

// The words of one page of a PDF, sorted (pdftotext orders them by layout).
inline std::vector<std::string> PdfPageWords(const QString& pdf, int page) {
  const ToolResult r =
      RunTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
  std::vector<std::string> words;
  for (const QString& w :
       QString::fromStdString(r.out).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
    words.push_back(w.toStdString());
  std::sort(words.begin(), words.end());
  return words;
}

inline int PdfPageCount(const QString& pdf) {
  const ToolResult r = RunTool("pdfinfo", {pdf});
  const auto at = r.out.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
}

// The runs of the template at `path` (a template without a series of its
// own) that the register of its folder holds, newest first.
inline RunList RegisterRuns(const QString& path) {
  const std::string file = QFile::encodeName(path).toStdString();
  const std::string folder = QFile::encodeName(QFileInfo(path).canonicalPath()).toStdString();
  return SqliteRegister::Open(EmbeddedRegisterPath(folder))->Runs(SeriesOfPath(file));
}

}  // namespace zirvo::testing
