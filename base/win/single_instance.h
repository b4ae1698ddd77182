#pragma once
// One running copy of a program per user session: a named mutex in the session's namespace, held
// for as long as the owner lives. The system lets it go when the process ends, however it ends.
#include <windows.h>

#include "base/win/handle.h"

namespace corvane::win {

// The name that keeps the main program to one running copy per user session.
inline constexpr wchar_t kMainInstanceName[] = L"Local\\Corvane.Main";

// True while some process of the session holds the name (the main program runs, for
// kMainInstanceName). The system drops the name when its last holder ends, however it ends.
bool IsInstanceRunning(const wchar_t* name);

class SingleInstance {
 public:
  // name: "Local\..." for the session's namespace.
  explicit SingleInstance(const wchar_t* name);

  // False when another process of the session already holds the name. A name that cannot be
  // taken for another reason (another user's object of that name, say) does not count: running
  // twice is better than not protecting at all.
  bool IsFirst() const { return first_; }

 private:
  UniqueHandle mutex_;
  bool first_ = true;
};

}  // namespace corvane::win
