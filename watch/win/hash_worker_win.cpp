#include "watch/win/hash_worker_win.h"

#include <memory>

namespace corvane::watch::win {
namespace {

constexpr const wchar_t* kClassName = L"CorvaneHashAnswers";

void RegisterAnswerClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  // A second worker finds the class registered: that failure is harmless.
  ::RegisterClassExW(&windowClass);
}

}  // namespace

HashWorker::HashWorker(Answer answer) : answer_(std::move(answer)) {
  RegisterAnswerClass(&HashWorker::WindowProc);
  window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                              nullptr);
  if (window_ != nullptr) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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
  if (window_ == nullptr) return;
  // Answers posted and not delivered own their results.
  MSG message{};
  while (::PeekMessageW(&message, window_, kAnswerMessage, kAnswerMessage, PM_REMOVE)) {
    delete reinterpret_cast<Result*>(message.lParam);
  }
  ::DestroyWindow(window_);
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
    if (stopping_ || window_ == nullptr) return;
    if (::PostMessageW(window_, kAnswerMessage, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
  }
}

LRESULT CALLBACK HashWorker::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAnswerMessage) {
    const std::unique_ptr<Result> result(reinterpret_cast<Result*>(lParam));
    auto* self = reinterpret_cast<HashWorker*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // Nothing may leave a window procedure; an answer lost to an exception is asked again at the
    // process's next start.
    try {
      if (self != nullptr && self->answer_) self->answer_(result->path, result->process, result->look);
    } catch (...) {
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvane::watch::win
