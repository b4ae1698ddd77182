#pragma once
// Hashes files on one worker thread of its own, so that a large program file never holds up the
// window. Requests are queued from the user-interface thread; each answer is posted to a
// message-only window made on that thread and handed on there, so only that thread ever sees the
// lists. Closing (the destructor) stops a hash between two chunks, joins the worker, and drops the
// answers not yet delivered.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "base/win/window_base.h"
#include "watch/allowed_file_checks.h"
#include "watch/win/file_hasher_win.h"

namespace corvane::watch::win {

// The message-only window that receives the answers is the worker itself.
class HashWorker final : public HashRequests, private corvane::win::WindowBase<HashWorker> {
 public:
  static const wchar_t* ClassName() { return L"CorvaneHashAnswers"; }
  static UINT ClassStyle() { return 0; }

  using Answer = std::function<void(const std::string& path, const ProcessIdentity& process, const FileLook& look)>;
  static constexpr UINT kAnswerMessage = WM_APP + 43;

  // Made on the user-interface thread, which then receives every answer through its message loop.
  explicit HashWorker(Answer answer);
  ~HashWorker() override;
  HashWorker(const HashWorker&) = delete;
  HashWorker& operator=(const HashWorker&) = delete;

  void RequestLook(const std::string& path, const ProcessIdentity& process,
                   const std::optional<KnownHash>& known) override;

 private:
  struct Request {
    std::string path;
    ProcessIdentity process;
    std::optional<KnownHash> known;
  };
  struct Result {
    std::string path;
    ProcessIdentity process;
    FileLook look;
  };
  friend class corvane::win::WindowBase<HashWorker>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Run();

  Answer answer_;
  std::atomic<bool> stopping_{false};
  Win32FileHasher hasher_{&stopping_};
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Request> queue_;
  std::thread worker_;
};

}  // namespace corvane::watch::win
