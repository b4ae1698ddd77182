#include "store/win/registry_settings.h"

#include "base/win/utf.h"

namespace corvane::win {

HKEY RegistrySettingsStore::OpenForRead() {
  if (!readKey_) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_QUERY_VALUE | KEY_NOTIFY, &key) ==
        ERROR_SUCCESS) {
      readKey_.reset(key);
    }
  }
  return readKey_.get();
}

HKEY RegistrySettingsStore::OpenForWrite() {
  if (!writeKey_) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      writeKey_.reset(key);
    }
  }
  return writeKey_.get();
}

std::string RegistrySettingsStore::ReadSetting(std::string_view key, std::string_view defaultValue) {
  HKEY hkey = OpenForRead();
  if (hkey == nullptr) return std::string(defaultValue);
  const std::wstring name = Widen(key);
  std::wstring buffer(64, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD byteCount = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LSTATUS status = ::RegQueryValueExW(hkey, name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), &byteCount);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(byteCount / sizeof(wchar_t) + 1);
      continue;
    }
    if (status == ERROR_FILE_NOT_FOUND) return std::string(defaultValue);
    if (status != ERROR_SUCCESS) {
      // The key may have been deleted and recreated: open it afresh next time.
      readKey_.reset();
      return std::string(defaultValue);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string(defaultValue);
    buffer.resize(byteCount / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
    return Narrow(buffer);
  }
  return std::string(defaultValue);
}

bool RegistrySettingsStore::WriteSetting(std::string_view key, std::string_view value) {
  HKEY hkey = OpenForWrite();
  if (hkey == nullptr) return false;
  const std::wstring name = Widen(key);
  const std::wstring data = Widen(value);
  const DWORD byteCount = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  if (::RegSetValueExW(hkey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), byteCount) ==
      ERROR_SUCCESS) {
    return true;
  }
  writeKey_.reset();
  return false;
}

bool RegistrySettingsStore::NotifyOnChange(HANDLE event) {
  if (OpenForRead() == nullptr) {
    if (OpenForWrite() == nullptr) return false;
    if (OpenForRead() == nullptr) return false;
  }
  return ::RegNotifyChangeKeyValue(readKey_.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, event, TRUE) ==
         ERROR_SUCCESS;
}

}  // namespace corvane::win
