#pragma once
// The cups-pdf queue that tests/support/cups-queue.sh sets up before the tests that print
// to a real queue (ctest runs it as their fixture), and the PDF files its jobs become.

#include <QProcess>
#include <QString>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace mv::test {

struct TestQueue {
  std::string name;
  std::filesystem::path out;  // where cups-pdf puts the jobs of this user
  std::string skip;           // why there is no queue to print to
};

// What the fixture script wrote; a reason to skip when it did not run or found no CUPS.
inline TestQueue testQueue() {
  TestQueue q;
  std::ifstream in(MERVANE_CUPS_QUEUE_ENV);
  if (!in) q.skip = "the print-queue fixture did not run (ctest runs it: cups-queue.sh)";
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "queue") q.name = value;
    if (key == "out") q.out = value;
    if (key == "skip") q.skip = value;
  }
  if (q.skip.empty() && q.name.empty()) q.skip = "the print-queue fixture named no queue";
  return q;
}

inline std::set<std::filesystem::path> pdfsIn(const std::filesystem::path& dir) {
  std::set<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    if (e.path().extension() == ".pdf") files.insert(e.path());
  return files;
}

// Waits (60 s at most) until the queue has finished its jobs and `count` PDF files that
// were not in `before` stand in its folder; returns the new files oldest first.
inline std::vector<std::filesystem::path> waitForPdfs(const TestQueue& q,
                                                      const std::set<std::filesystem::path>& before,
                                                      size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::vector<std::filesystem::path> fresh;
  for (;;) {
    QProcess lpstat;
    lpstat.start("lpstat", {"-o", QString::fromStdString(q.name)});
    lpstat.waitForFinished(10000);
    const bool idle = lpstat.readAllStandardOutput().trimmed().isEmpty();
    fresh.clear();
    for (const auto& f : pdfsIn(q.out))
      if (!before.count(f)) fresh.push_back(f);
    if ((idle && fresh.size() >= count) || std::chrono::steady_clock::now() > deadline) break;
    QThread::msleep(200);
  }
  std::sort(fresh.begin(), fresh.end(), [](const auto& a, const auto& b) {
    return std::filesystem::last_write_time(a) < std::filesystem::last_write_time(b);
  });
  return fresh;
}

}  // namespace mv::test
