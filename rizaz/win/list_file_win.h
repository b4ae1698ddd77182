#pragma once
#include <string>

#include "rizaz/block_cycle.h"

namespace corvane::win {

// The block-list file in the program directory, read whole up to a limit. It is opened with every
// kind of sharing, so the main program can still append to, rewrite or delete it while the blocker
// reads.
class Win32ListFileReader final : public rizaz::ListFileReader {
 public:
  explicit Win32ListFileReader(std::wstring path) : path_(std::move(path)) {}
  rizaz::ListRead Read(std::size_t maxBytes, std::string& text) override;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

inline constexpr wchar_t kBlockListFileName[] = L"cekdn.ocx";

}  // namespace corvane::win
