#include "base/win/single_instance.h"

namespace corvane::win {

SingleInstance::SingleInstance(const wchar_t* name) : mutex_(::CreateMutexW(nullptr, FALSE, name)) {
  // CreateMutex hands back the existing object, and says so, when the name is taken already.
  first_ = !(mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS);
}

bool IsInstanceRunning(const wchar_t* name) {
  const UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, name));
  // A name held by something we may not open is still held.
  return mutex || ::GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace corvane::win
