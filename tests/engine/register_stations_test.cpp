// Stations printing one template through one register at the same time, on
// the SQLite register beside the template and on a private PostgreSQL
// server: pairs of runs started together over the same numbers, and four
// stations continuing the numbering run after run, each number read back
// from the PDFs. Run as root, the stations are other accounts on other host
// names; otherwise they are this account on this machine.
//
// ZIRVO_REGISTER_STRESS=full runs the full counts (200 pairs, 1,000 runs);
// make test runs fewer.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <array>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "base/platform.h"
#include "engine_support.h"
#include "printing/postgres_register.h"
#include "printing/print_engine.h"
#include "support/postgres_server.h"
#include "support/recording_device.h"
#include "support/register_support.h"

#ifdef __unix__
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zirvo {
namespace {

using testing::Backend;
using testing::PdfPageCount;
using testing::PostgresServer;
using testing::RunTool;
using testing::StressCount;

const QString kBatch = QString(ZIRVO_BUILD_DIR) + "/zirvo-batch";

// A template whose one numerator starts at `number`.
QByteArray OneNumerator(int number) {
  return "|HJA|IMP100|Caja.pla|/tmp|0|0|0|0|0|0|10.00|5.00|0|15723990|0|0|0|0|F|F|\r\n"
         "|FOL|01||" +
         QByteArray::number(number) + "||2.00|2.00|0|04|Arial|14|0|A||\r\n";
}

class Stations : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    // Other accounts write here too.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::Permissions(0x7777)));
    if (GetParam() == Backend::Sqlite) return;
    PostgresServer& server = PostgresServer::Shared();
    if (!server.Unavailable().empty()) GTEST_SKIP() << server.Unavailable();
    connection = server.NewDatabase();
#ifdef __unix__
    // Other accounts reach the server's socket in its folder.
    const auto host = QRegularExpression("host=(\\S+)").match(QString::fromStdString(connection));
    chmod(QFile::encodeName(host.captured(1)).constData(), 0755);
#endif
  }
  void WriteTemplate(int number) {
    QFile file(templatePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(OneNumerator(number));
    file.setPermissions(QFile::Permissions(0x6666));
  }
  // zirvo-batch printing the template to `pdf` with `more` arguments.
  QStringList PrintArgs(const QString& pdf, const QStringList& more) const {
    QStringList args = {"print", templatePath, "--output", pdf, "--sheets", "3"};
    if (!connection.empty()) args << "--register" << QString::fromStdString(connection);
    return args + more;
  }
  // The runs the register holds, newest first.
  RunList Runs() const {
    if (connection.empty()) return testing::RegisterRuns(templatePath);
    return PostgresRegister::Open(connection)->Runs(SeriesOfPath(templatePath.toStdString()));
  }

  QTemporaryDir dir;
  const QString templatePath = dir.filePath("Caja.pla");
  std::string connection;  // "" for the register beside the template
};

TEST_P(Stations, OfTwoRunsStartedTogetherOverTheSameNumbersExactlyOnePrints) {
  const int pairs = StressCount(8, 200);
  for (int pair = 0; pair < pairs; ++pair) {
    WriteTemplate(1000 + 10 * pair);
    std::array<QProcess, 2> runs;
    const QString pdfs[2] = {dir.filePath("a.pdf"), dir.filePath("b.pdf")};
    for (int i = 0; i < 2; ++i) {
      QFile::remove(pdfs[i]);
      runs[i].start(kBatch, PrintArgs(pdfs[i], {}));
    }
    int printed = 0;
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(runs[i].waitForFinished(120000));
      const std::string err = runs[i].readAllStandardError().toStdString();
      if (runs[i].exitCode() == 0) {
        ++printed;
        EXPECT_EQ(PdfPageCount(pdfs[i]), 3);
        continue;
      }
      // The other one: its one line names the numbers, and nothing printed.
      EXPECT_EQ(runs[i].exitCode(), 1) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      EXPECT_NE(err.find(" " + std::to_string(1000 + 10 * pair)), std::string::npos) << err;
      EXPECT_NE(err.find("--allow-reprint"), std::string::npos) << err;
      EXPECT_FALSE(QFile::exists(pdfs[i]));
    }
    ASSERT_EQ(printed, 1) << "pair " << pair;
  }
  EXPECT_EQ(Runs().runs.size(), static_cast<std::size_t>(pairs));
}

// One station: its account and host name, and the command that runs
// zirvo-batch as it.
struct Station {
  std::string user, host;
  QString program;
  QStringList prefix;
  QStringList environment;
};

// Four stations: other accounts on host names of their own when the tests
// run as root and may, otherwise this account on this machine.
std::vector<Station> FourStations(const QString& home) {
  std::vector<Station> stations;
  const bool apart =
#ifdef __unix__
      geteuid() == 0 && RunTool("unshare", {"--uts", "true"}).exitCode == 0 &&
      RunTool("setpriv", {"--reuid=61001", "--regid=61001", "--clear-groups", "true"}).exitCode ==
          0;
#else
      false;
#endif
  if (!apart)
    std::cout << "[   NOTE   ] the stations share this account and host name: other accounts and "
                 "host names need root, unshare and setpriv\n";
  for (int k = 1; k <= 4; ++k) {
    Station s;
    const QString folder = home + QString("/station%1").arg(k);
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::Permissions(0x7777));
    s.environment = QProcess::systemEnvironment();
    s.environment << "HOME=" + folder << "XDG_DATA_HOME=" + folder;
    if (!apart) {
      s.user = platform::AccountName();
      s.host = platform::HostName();
      s.program = kBatch;
      stations.push_back(s);
      continue;
    }
    const QString uid = QString::number(61000 + k);
    s.user = uid.toStdString();
    s.host = "caja-" + std::to_string(k);
    s.program = "unshare";
    s.prefix = {"--uts",
                "sh",
                "-c",
                "umask 000 && hostname \"$0\" && exec setpriv --reuid=" + uid + " --regid=" + uid +
                    " --clear-groups \"$@\"",
                QString::fromStdString(s.host),
                kBatch};
    stations.push_back(s);
  }
  return stations;
}

// Four stations continue the numbering of one template run after run: each
// run prints the file's next numbers or is refused for numbers another
// station printed meanwhile, and every number is printed exactly once.
TEST_P(Stations, FourStationsContinuingPrintEveryNumberExactlyOnce) {
  const int total = StressCount(24, 1000);
  WriteTemplate(100);
  QDir().mkpath(dir.filePath("out"));
  QFile::setPermissions(dir.filePath("out"), QFile::Permissions(0x7777));
  const std::vector<Station> stations = FourStations(dir.filePath("homes"));

  std::vector<std::unique_ptr<QProcess>> running(stations.size());
  std::vector<QString> pdfs(stations.size()), printed;
  int started = 0, refused = 0;
  const auto startNext = [&](std::size_t k) {
    if (started == total) return;
    pdfs[k] = dir.filePath(QString("out/run%1.pdf").arg(started++));
    running[k] = std::make_unique<QProcess>();
    running[k]->setEnvironment(stations[k].environment);
    running[k]->start(stations[k].program, stations[k].prefix + PrintArgs(pdfs[k], {"--continue"}));
  };
  for (std::size_t k = 0; k < stations.size(); ++k) startNext(k);
  for (bool busy = true; busy;) {
    busy = false;
    for (std::size_t k = 0; k < stations.size(); ++k) {
      if (!running[k]) continue;
      busy = true;
      if (!running[k]->waitForFinished(20) && running[k]->state() != QProcess::NotRunning) continue;
      const std::string err = running[k]->readAllStandardError().toStdString();
      if (running[k]->exitCode() == 0) {
        printed.push_back(pdfs[k]);
      } else {
        ASSERT_EQ(running[k]->exitCode(), 1) << err;
        ASSERT_NE(err.find("--allow-reprint"), std::string::npos) << err;
        ASSERT_FALSE(QFile::exists(pdfs[k]));
        ++refused;
      }
      running[k].reset();
      startNext(k);
    }
  }
  ASSERT_FALSE(printed.empty());

  std::map<int, int> times;
  for (const QString& pdf : printed)
    for (const QString& word : QString::fromStdString(RunTool("pdftotext", {pdf, "-"}).out)
                                   .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
      ++times[word.toInt()];
  const int next = 100 + 3 * static_cast<int>(printed.size());
  EXPECT_EQ(times.size(), 3 * printed.size());
  EXPECT_EQ(times.begin()->first, 100);
  EXPECT_EQ(times.rbegin()->first, next - 1) << "no gap";
  for (const auto& [number, count] : times) EXPECT_EQ(count, 1) << number;
  QFile file(templatePath);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("|FOL|01||" + QByteArray::number(next) + "||"));

  // The register names who printed each run, and where.
  std::set<std::pair<std::string, std::string>> known, seen;
  for (const Station& s : stations) known.insert({s.user, s.host});
  const RunList list = Runs();
  EXPECT_EQ(list.runs.size(), printed.size());
  for (const RunRecord& run : list.runs) {
    EXPECT_TRUE(known.count({run.user, run.station})) << run.user << " at " << run.station;
    seen.insert({run.user, run.station});
  }
  std::cout << "[   NOTE   ] " << printed.size() << " runs printed, " << refused
            << " refused for numbers printed meanwhile, by " << seen.size() << " stations\n";
}

// A station's print page keeps its server's register connected from run to
// run, and follows the settings when they name another.
TEST(StationOnAServer, KeepsOneConnectionWhileTheSettingsNameTheServer) {
  PostgresServer& server = PostgresServer::Shared();
  if (!server.Unavailable().empty()) GTEST_SKIP() << server.Unavailable();
  const std::string first = server.NewDatabase(), second = server.NewDatabase();
  const auto connections = [&](const std::string& db) {
    return PostgresServer::Sql(db,
                               "SELECT count(*) FROM pg_stat_activity WHERE application_name = "
                               "'zirvo' AND datname = current_database()")[0][0];
  };
  RecordingDevice device;
  PrintEngine engine(device);
  RegisterPlace place;
  place.connection = first;
  engine.SetRegisterPlace(place);
  engine.SelectPrinter(PrinterSetting::Queue("Sala"), "Sala");
  PrintJob job;
  job.Series = "00000000000000000000000000000001";
  job.Numerators = {Numerator{}};
  job.NumeratorCount = 1;
  for (int number : {100, 200}) {
    job.Numerators[0].Number = number;
    engine.LoadPrintJob(job);
    ASSERT_TRUE(engine.PrintAll());
    EXPECT_EQ(connections(first), "1");
  }
  place.connection = second;
  engine.SetRegisterPlace(place);
  ASSERT_TRUE(engine.PrintTestSheet());
  EXPECT_EQ(connections(second), "1");
  EXPECT_EQ(PostgresRegister::Open(first)->Runs(engine.Series()).runs.size(), 2u);
  EXPECT_EQ(PostgresRegister::Open(second)->Runs(engine.Series()).runs.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Backends, Stations, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         testing::BackendName);

}  // namespace
}  // namespace zirvo
