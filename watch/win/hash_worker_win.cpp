#include "watch/win/hash_worker_win.h"

#include <memory>

namespace corvane::watch::win {

HashWorker::HashWorker(Answer answer) : answer_(std::move(answer)) {
  CreateWindowOf(0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
  worker_ = std::thread([this] { Run(); });
}

HashWorker::~HashWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  if (Hwnd() == nullptr) return;
  // Answers posted and not delivered own their results. The window goes with the base.
  MSG message{};
  while (::PeekMessageW(&message, Hwnd(), kAnswerMessage, kAnswerMessage, PM_REMOVE)) {
    delete reinterpret_cast<Result*>(message.lParam);
  }
}

void HashWorker::RequestLook(const std::string& path, const ProcessIdentity& process,
                             const std::optional<KnownHash>& known) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    queue_.push_back({path, process, known});
  }
  wake_.notify_one();
}

void HashWorker::Run() {
  for (;;) {
    Request request;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      request = std::move(queue_.front());
      queue_.pop_front();
    }
    auto result = std::make_unique<Result>();
    result->path = request.path;
    result->process = request.process;
    result->look = hasher_.LookAtFile(request.path, request.process, request.known);
    // The window is made before the worker starts and goes only after it has ended.
    const HWND window = Hwnd();
    if (stopping_ || window == nullptr) return;
    if (::PostMessageW(window, kAnswerMessage, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
  }
}

LRESULT HashWorker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAnswerMessage) {
    // The base lets no exception out of the window procedure; an answer lost to one is asked again
    // at the process's next start, and its result is freed either way.
    const std::unique_ptr<Result> result(reinterpret_cast<Result*>(lParam));
    if (answer_) answer_(result->path, result->process, result->look);
    return 0;
  }
  return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::watch::win
