#include "watch/win/file_hasher_win.h"

#include <windows.h>
#include <bcrypt.h>
#include <psapi.h>
#include <winioctl.h>

#include <array>
#include <cstring>
#include <iterator>
#include <span>
#include <vector>

#include "base/text.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "process/image_headers.h"

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

namespace {

// The file's place and its change-journal number; the number stays 0 where no journal is kept.
FileVersion VersionOf(HANDLE file, bool proofPossible) {
  FileVersion version;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file, &information)) return version;
  version.volume = information.dwVolumeSerialNumber;
  version.fileIdHigh = information.nFileIndexHigh;
  version.fileIdLow = information.nFileIndexLow;
  if (!proofPossible) return version;
  // Room for the record's fixed part and the longest name.
  alignas(USN_RECORD) unsigned char record[sizeof(USN_RECORD) + 2 * MAX_PATH * sizeof(wchar_t)];
  DWORD returned = 0;
  if (::DeviceIoControl(file, FSCTL_READ_FILE_USN_DATA, nullptr, 0, record, sizeof(record), &returned, nullptr) &&
      returned >= sizeof(USN_RECORD)) {
    USN_RECORD usn{};
    std::memcpy(&usn, record, sizeof(usn));
    if (usn.Usn > 0) version.changeNumber = static_cast<std::uint64_t>(usn.Usn);
  }
  return version;
}

std::wstring UpperCase(std::wstring text) {
  if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// What the process's main image is: its first bytes as loaded, and the system's name for the file
// mapped there. False when the process is not the one meant or cannot be read.
struct LoadedImage {
  std::vector<unsigned char> header;
  std::wstring mappedName;
};
enum class ImageRead { Read, Gone, NoRight };
ImageRead ReadLoadedImage(const ProcessIdentity& identity, LoadedImage& image) {
  const corvane::win::UniqueHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, identity.processId));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER ? ImageRead::Gone : ImageRead::NoRight;
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return ImageRead::NoRight;
  const std::uint64_t creationTime =
      (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  if (identity.creationTime != 0 && creationTime != identity.creationTime) return ImageRead::Gone;
  HMODULE main = nullptr;
  DWORD needed = 0;
  if (!::EnumProcessModulesEx(process.get(), &main, sizeof(main), &needed, LIST_MODULES_DEFAULT) || main == nullptr) {
    return ImageRead::NoRight;
  }
  image.header.resize(kImageHeaderBytes);
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process.get(), main, image.header.data(), image.header.size(), &read)) read = 0;
  image.header.resize(read);
  wchar_t name[1024];
  const DWORD length = ::GetMappedFileNameW(process.get(), main, name, static_cast<DWORD>(std::size(name)));
  image.mappedName.assign(name, length);
  return ImageRead::Read;
}

// The system's own name for the open file, in the form the mapped image's name takes.
std::wstring DeviceName(HANDLE file) {
  wchar_t name[1024];
  const DWORD length = ::GetFinalPathNameByHandleW(file, name, static_cast<DWORD>(std::size(name)), VOLUME_NAME_NT);
  return length == 0 || length >= std::size(name) ? std::wstring() : std::wstring(name, length);
}

}  // namespace

FileLook Win32FileHasher::LookAtFile(std::string_view path, const ProcessIdentity& process,
                                     const std::optional<KnownHash>& known) {
  FileLook look;
  const std::string trimmed = TrimSpaces(path);
  if (trimmed.empty()) return look;
  const std::wstring widePath = corvane::win::Widen(trimmed);
  bool pinned = true;
  corvane::win::UniqueFileHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file && ::GetLastError() == ERROR_SHARING_VIOLATION) {
    pinned = false;
    file.reset(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  if (!file) {
    const DWORD error = ::GetLastError();
    // Nothing at the path: whatever the process runs, it is not there.
    look.runsOtherFile = process.processId != 0 && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    return look;
  }
  look.version = VersionOf(file.get(), pinned);

  LoadedImage image;
  bool checkImage = false;
  if (process.processId != 0) {
    switch (ReadLoadedImage(process, image)) {
      case ImageRead::Gone:
        return look;  // the process meant has ended; nothing to say of it
      case ImageRead::NoRight:
        break;  // judged by the file at its path alone
      case ImageRead::Read:
        checkImage = true;
        break;
    }
  }
  if (checkImage) {
    // Windows names the mapped file by its current name: a file renamed away no longer has this one.
    const std::wstring mapped = UpperCase(image.mappedName);
    const std::wstring own = UpperCase(DeviceName(file.get()));
    const std::wstring_view device = L"\\DEVICE\\";
    if (mapped.rfind(device, 0) == 0 && own.rfind(device, 0) == 0 && mapped != own) {
      look.runsOtherFile = true;
      return look;
    }
  }

  // The first bytes are read and compared from the very read that is hashed.
  std::vector<unsigned char> buffer(kChunkBytes);
  DWORD firstRead = 0;
  if (!::ReadFile(file.get(), buffer.data(), kChunkBytes, &firstRead, nullptr)) return look;
  if (checkImage && !SameImageHeaders(image.header, std::span<const unsigned char>(buffer.data(), firstRead))) {
    look.runsOtherFile = true;
    return look;
  }
  if (MayReuseHash(known, *look.version)) {
    look.sha256 = known->sha256;
    return look;
  }
  Sha256 sha;
  if (!sha.ready() || !sha.Add(buffer.data(), firstRead)) return look;
  for (DWORD read = firstRead; read != 0;) {
    if (stop_ != nullptr && stop_->load()) return look;
    if (!::ReadFile(file.get(), buffer.data(), kChunkBytes, &read, nullptr)) return look;
    if (read != 0 && !sha.Add(buffer.data(), read)) return look;
  }
  look.sha256 = sha.Finish();
  return look;
}

}  // namespace corvane::watch::win
