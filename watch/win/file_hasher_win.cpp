#include "watch/win/file_hasher_win.h"

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <vector>

#include "base/text.h"
#include "base/win/handle.h"
#include "base/win/utf.h"

namespace corvane::watch::win {
namespace {

constexpr DWORD kChunkBytes = 1u << 20;

bool Succeeded(NTSTATUS status) { return status >= 0; }

// One CNG hash object and its provider, closed in the reverse order of opening.
class Sha256 {
 public:
  Sha256() {
    if (!Succeeded(::BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
      algorithm_ = nullptr;
      return;
    }
    DWORD objectLength = 0;
    ULONG written = 0;
    if (!Succeeded(::BCryptGetProperty(algorithm_, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectLength),
                                       sizeof(objectLength), &written, 0))) {
      return;
    }
    object_.resize(objectLength);
    if (!Succeeded(::BCryptCreateHash(algorithm_, &hash_, object_.data(), objectLength, nullptr, 0, 0))) {
      hash_ = nullptr;
    }
  }
  ~Sha256() {
    if (hash_ != nullptr) ::BCryptDestroyHash(hash_);
    if (algorithm_ != nullptr) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
  }
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  bool ready() const { return hash_ != nullptr; }
  bool Add(const unsigned char* data, DWORD size) {
    return Succeeded(::BCryptHashData(hash_, const_cast<PUCHAR>(data), size, 0));
  }
  std::optional<std::string> Finish() {
    std::array<unsigned char, 32> digest{};
    if (!Succeeded(::BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0))) return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (const unsigned char byte : digest) {
      text += kHex[byte >> 4];
      text += kHex[byte & 0x0F];
    }
    return text;
  }

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  std::vector<unsigned char> object_;
};

}  // namespace

std::optional<FileVersion> Win32FileHasher::ReadFileVersion(std::string_view path) {
  const std::string trimmed = TrimSpaces(path);
  if (trimmed.empty()) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(corvane::win::Widen(trimmed).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  FileVersion version;
  version.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  version.lastWriteTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
  return version;
}

std::optional<std::string> Win32FileHasher::HashFileContent(std::string_view path) {
  const std::string trimmed = TrimSpaces(path);
  if (trimmed.empty()) return std::nullopt;
  const corvane::win::UniqueFileHandle file(
      ::CreateFileW(corvane::win::Widen(trimmed).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  Sha256 sha;
  if (!sha.ready()) return std::nullopt;
  std::vector<unsigned char> buffer(kChunkBytes);
  for (;;) {
    if (stop_ != nullptr && stop_->load()) return std::nullopt;
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer.data(), kChunkBytes, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    if (!sha.Add(buffer.data(), read)) return std::nullopt;
  }
  return sha.Finish();
}

}  // namespace corvane::watch::win
