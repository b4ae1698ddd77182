#include "process/win/gated_process_table.h"

namespace corvane::win {

namespace {
constexpr int kSystemProcessInformation = 5;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
}  // namespace

ChangeGatedProcessTable::ChangeGatedProcessTable(ProcessTable& inner) : inner_(inner) {
  if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
    query_ = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQuerySystemInformation")));
  }
}

unsigned long ChangeGatedProcessTable::ProbeListSize() const {
  if (query_ == nullptr) return 0;
  unsigned char tooSmall[8];
  ULONG needed = 0;
  if (query_(kSystemProcessInformation, tooSmall, sizeof(tooSmall), &needed) != kStatusInfoLengthMismatch) return 0;
  return needed;
}

bool ChangeGatedProcessTable::TakeProcessSnapshot(ProcessSnapshot& snapshot) {
  const unsigned long size = ProbeListSize();
  const ULONGLONG now = ::GetTickCount64();
  if (valid_ && size != 0 && size == listSize_ && now - fullTick_ < kFullSnapshotInterval) {
    snapshot = cached_;
    return cachedTaken_;
  }
  cachedTaken_ = inner_.TakeProcessSnapshot(cached_);
  // A process started between the probe and the list makes the next probe differ: one more full
  // list, nothing missed.
  listSize_ = size;
  fullTick_ = now;
  valid_ = size != 0;
  snapshot = cached_;
  return cachedTaken_;
}

bool ChangeGatedProcessTable::TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) {
  valid_ = false;
  return inner_.TerminateProcessById(processId, exitCode);
}

}  // namespace corvane::win
