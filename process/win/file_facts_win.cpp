#include "process/win/file_facts_win.h"

#include <windows.h>

#include <new>
#include <string_view>

#include "base/text.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "process/file_facts.h"
#include "process/system_programs.h"
#include "process/win/system_folders.h"

namespace corvane::win {
namespace {

struct MappedViewTraits {
  using Type = const void*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type view) noexcept { ::UnmapViewOfFile(view); }
};
using UniqueMappedView = UniqueResource<MappedViewTraits>;

// Found as a file by a look-up for ordinary files (hiddenToo false) or for ordinary and hidden
// files: folders and files with the system attribute are never found.
bool IsFindableFile(DWORD attributes, bool hiddenToo) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) return false;
  return hiddenToo || (attributes & FILE_ATTRIBUTE_HIDDEN) == 0;
}

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A locale text for time through one of the two formatting calls, which share their shape.
template <typename Call>
std::string FormatWith(Call call) {
  const int count = call(nullptr, 0);
  if (count <= 0) return {};
  std::wstring buffer(static_cast<size_t>(count), L'\0');
  const int written = call(buffer.data(), count);
  if (written <= 0) return {};
  buffer.resize(static_cast<size_t>(written - 1));  // the count includes the terminator
  return Narrow(buffer);
}

}  // namespace

std::string GetCompanyName(std::string_view path) { return GetCompanyName(path, kCompanyNameSearchLimit); }

std::string GetCompanyName(std::string_view path, std::uint64_t searchLimit) {
  try {
    const std::wstring widePath = Widen(path);
    if (widePath.empty()) return {};
    // Sharing read, write and delete: a running program's file and files other programs have open
    // are still read.
    const UniqueFileHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Devices and pipes also open by name; only a file on a disk has bytes to search.
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return {};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
    std::uint64_t length = static_cast<std::uint64_t>(size.QuadPart);
    if (length > searchLimit) length = searchLimit;
    if (length == 0 || length > SIZE_MAX) return {};

    // Mapped, not copied: the pages are read as the search reaches them, as the system's own
    // version-information calls do.
    const UniqueHandle mapping(::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return {};
    const UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(length)));
    if (!view) return {};
    return GetCompanyNameFromBytes(
        std::string_view(static_cast<const char*>(view.get()), static_cast<size_t>(length)));
  } catch (const std::bad_alloc&) {
    return {};
  }
}

bool IsMicrosoftFile(std::string_view path) { return IsMicrosoftCompanyName(TrimSpaces(GetCompanyName(path))); }

std::string GeneralDateFromFileTime(std::uint64_t fileTime) {
  FILETIME universal{};
  universal.dwLowDateTime = static_cast<DWORD>(fileTime & 0xFFFFFFFFu);
  universal.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  // The time zone rules of that date, so a summer date reads in summer time all year round.
  if (!::FileTimeToSystemTime(&universal, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return {};
  }
  const std::string date = FormatWith([&](wchar_t* buffer, int count) {
    return ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, buffer, count, nullptr);
  });
  if (date.empty()) return {};
  const bool midnight = local.wHour == 0 && local.wMinute == 0 && local.wSecond == 0;
  const std::string time = midnight ? std::string() : FormatWith([&](wchar_t* buffer, int count) {
    return ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, buffer, count);
  });
  return GeneralDateText(date, time, midnight);
}

std::string GetFileFact(std::string_view path, bool size, bool created, bool modified) {
  if (!size && !created && !modified) return {};
  const std::wstring widePath = Widen(path);
  if (widePath.empty()) return {};
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &data)) return {};
  if (!IsFindableFile(data.dwFileAttributes, true)) return {};
  if (size) {
    return std::to_string((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  }
  return GeneralDateFromFileTime(FileTimeValue(created ? data.ftCreationTime : data.ftLastWriteTime));
}

std::string GetModuleMaker(std::string_view moduleName) {
  const std::string name = TrimSpaces(moduleName);
  if (!name.empty()) {
    for (const std::string& folder : {GetSystemFolder(), GetWindowsFolder()}) {
      if (folder.empty()) continue;
      const std::string path = folder + "\\" + name;
      if (IsFindableFile(::GetFileAttributesW(Widen(path).c_str()), false)) {
        return std::string(kModuleMakerPrefix) + GetCompanyName(path);
      }
    }
  }
  return std::string(kModuleMakerUnknown);
}

std::string GetPriorityName(std::uint32_t processId) {
  // Limited query rights suffice and are granted for more processes than full ones.
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return PriorityNameForClass(0);
  return PriorityNameForClass(::GetPriorityClass(process.get()));
}

}  // namespace corvane::win
