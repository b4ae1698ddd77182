#pragma once
// Stand-ins for what the browser launch and the advertisement cycle ask of the system.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "web/advert_cycle.h"
#include "web/browser_launch.h"

namespace corvane::testing {

class FakeBrowserShell final : public web::BrowserShell {
 public:
  std::optional<std::string> temporaryFolder = std::string("C:\\Temp\\");
  std::optional<std::string> association;  // what FindExecutable answers
  bool probeWritable = true;

  std::optional<std::string> TemporaryFolder() override { return temporaryFolder; }
  bool WriteProbeFile(const std::string& path) override {
    if (!probeWritable) return false;
    files.insert(path);
    return true;
  }
  std::optional<std::string> FindAssociatedProgram(const std::string& path) override {
    askedAbout = path;
    return files.count(path) != 0 ? association : std::nullopt;
  }
  void StartProgram(const std::string& program, const std::string& parameters) override {
    started.push_back({program, parameters});
  }
  void OpenAddress(const std::string& address) override { openedThroughShell.push_back(address); }
  void DeleteProbeFile(const std::string& path) override { files.erase(path); }

  struct Start {
    std::string program;
    std::string parameters;
  };
  std::set<std::string> files;
  std::string askedAbout;
  std::vector<Start> started;
  std::vector<std::string> openedThroughShell;
};

// Records fetches; the test answers them with Answer.
class FakeFetcher final : public web::AdvertFetcher {
 public:
  void Fetch(const web::FetchRequest& request) override { requests.push_back(request); }
  void CancelAll() override { ++cancels; }
  std::vector<web::FetchRequest> requests;
  int cancels = 0;
};

class FakeAdvertView final : public web::AdvertView {
 public:
  void ShowPlaceholder() override {
    showingPlaceholder = true;
    ++placeholders;
  }
  void ShowPage(const web::AdvertPage& page) override {
    showingPlaceholder = false;
    shown.push_back(page);
  }
  void SetStatus(const std::string& text) override { status = text; }
  bool showingPlaceholder = false;
  int placeholders = 0;
  std::vector<web::AdvertPage> shown;
  std::string status;
};

class FakeAdvertClock final : public web::AdvertClock {
 public:
  void Start(web::AdvertTimer timer, int milliseconds) override { running[timer] = milliseconds; }
  void Stop(web::AdvertTimer timer) override { running.erase(timer); }
  bool IsRunning(web::AdvertTimer timer) const { return running.count(timer) != 0; }
  std::map<web::AdvertTimer, int> running;
};

class FakeOpener final : public web::AdvertOpener {
 public:
  void Open(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

}  // namespace corvane::testing
