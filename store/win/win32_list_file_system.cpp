#include "store/win/win32_list_file_system.h"

#include <windows.h>

#include <algorithm>

#include "base/win/handle.h"
#include "base/win/utf.h"

namespace corvane::win {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;
constexpr int kMoveAttempts = 5;
constexpr DWORD kMoveRetryMilliseconds = 20;
// Every sharing right: rizaz opens the block list for reading and writing while the main program
// may be appending to it, and neither should shut the other out.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Where appenders take turns: a byte at 2^62, beyond any list file.
constexpr DWORD kAppendTurnOffsetHigh = 0x40000000;

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

// Tells whether a line written at the end of the open file would start a line of its own: the file
// is empty or ends with CR LF. False when the file could not be examined. The tail is read at an
// explicit offset: the handle may be one for appending only, whose file pointer means nothing.
bool EndsAtLineStart(HANDLE file, bool& atLineStart) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) return false;
  if (size.QuadPart == 0) {
    atLineStart = true;
    return true;
  }
  const LONGLONG tailLength = std::min<LONGLONG>(size.QuadPart, 2);
  const ULONGLONG tailStart = static_cast<ULONGLONG>(size.QuadPart - tailLength);
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(tailStart);
  at.OffsetHigh = static_cast<DWORD>(tailStart >> 32);
  char tail[2] = {};
  DWORD read = 0;
  if (!::ReadFile(file, tail, static_cast<DWORD>(tailLength), &read, &at) || read != tailLength) return false;
  atLineStart = tailLength == 2 && tail[0] == '\r' && tail[1] == '\n';
  return true;
}

}  // namespace

bool Win32ListFileSystem::VisibleFileExists(std::string_view path) {
  // No wildcards: the test is for one file by its name, as a directory lookup would make it.
  if (path.empty() || path.find_first_of("*?") != std::string_view::npos) return false;
  // The attributes alone, not FindFirstFile: under Wine that lists the folder and costs some 30 times
  // more, and this runs for every Trash Jar entry twice a tick.
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool Win32ListFileSystem::AnyFileExists(std::string_view path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32ListFileSystem::ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) {
  content.clear();
  const UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string chunk(kReadChunk, '\0');
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), chunk.data(), kReadChunk, &read, nullptr)) return false;
    if (read == 0) return true;
    if (content.size() + read > maxBytes) {
      content.append(chunk.data(), maxBytes - content.size());
      return false;
    }
    content.append(chunk.data(), read);
  }
}

bool Win32ListFileSystem::AppendLine(std::string_view path, std::string_view line) {
  // Windows refuses to write a read-only file; Wine run by root writes it all the same: refuse here
  // alike.
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  // Append-only data access (no FILE_WRITE_DATA): every write lands at the end of the file as it is
  // at that moment, so two programs appending at once cannot write over each other's record, as
  // they could by seeking to the end and then writing.
  const UniqueFileHandle file(::CreateFileW(Widen(path).c_str(),
                                            FILE_READ_DATA | FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                            kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // Wine places an append-only write with a size query and then a write at that offset, and two
  // appenders can meet in between: appenders also take turns on a byte far beyond any real end of
  // the file. Readers never touch it, so they are never held up. Without the turn (a lock that
  // cannot be taken) the append goes ahead all the same.
  OVERLAPPED turn{};
  turn.OffsetHigh = kAppendTurnOffsetHigh;
  const bool holdsTurn = ::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
  bool atLineStart = false;
  bool written = false;
  if (EndsAtLineStart(file.get(), atLineStart)) {
    // The record and its line end go in one write, so the record lands whole.
    std::string data;
    if (!atLineStart) data = "\r\n";
    data += line;
    data += "\r\n";
    written = WriteAll(file.get(), data);
  }
  if (holdsTurn) ::UnlockFileEx(file.get(), 0, 1, 0, &turn);
  return written;
}

bool Win32ListFileSystem::ReplaceContent(std::string_view path, std::string_view content) {
  const std::wstring target = Widen(path);
  if (target.empty()) return false;
  // Windows refuses to move a file over a read-only one, Wine does not: refuse here alike, as
  // AppendLine does.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
  const std::wstring temp = target + L".tmp";
  // A leftover of an earlier failed write may carry any attributes; CREATE_NEW then starts clean.
  ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(temp.c_str());
  {
    UniqueFileHandle file(
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // The data must be on the disk before the move makes it the list: otherwise a power cut could
    // leave the new name on an empty file.
    if (!WriteAll(file.get(), content) || !::FlushFileBuffers(file.get())) {
      file.reset();
      ::DeleteFileW(temp.c_str());
      return false;
    }
  }
  for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
    if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    // Another program reading the file at this moment (rizaz reloading) holds it only briefly.
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) break;
    if (attempt + 1 < kMoveAttempts) ::Sleep(kMoveRetryMilliseconds);
  }
  ::DeleteFileW(temp.c_str());
  return false;
}

bool Win32ListFileSystem::RemoveFile(std::string_view path) {
  if (::DeleteFileW(Widen(path).c_str())) return true;
  return !AnyFileExists(path);
}

bool Win32ListFileSystem::RemoveFileEvenIfReadOnly(std::string_view path) {
  // This runs for every Trash Jar file twice a tick: a file held open elsewhere costs one call here.
  const std::wstring target = Widen(path);
  if (::DeleteFileW(target.c_str())) return true;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return false;  // in use
  // DeleteFile refuses a read-only file with "access denied".
  if (error != ERROR_ACCESS_DENIED) return !AnyFileExists(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;  // a folder is no file
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return false;
  const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (!::SetFileAttributesW(target.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL)) return false;
  if (::DeleteFileW(target.c_str())) return true;
  // Still there (in use, say): it keeps the attributes it had.
  ::SetFileAttributesW(target.c_str(), attributes);
  return false;
}

}  // namespace corvane::win
