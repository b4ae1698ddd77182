#pragma once
// Builds the bytes of version resources as resource compilers lay them out, to embed in made-up
// files: the wide form of 32-bit executables and the 8-bit form of old 16-bit ones. Portable and
// header-only, for host tests and the fuzz target's seeds.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane::testing {

inline void AppendLe16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

// ASCII (or Latin-1) text as UTF-16LE bytes, without a terminator.
inline std::string Utf16Le(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

inline void PadTo4(std::string& out) {
  while (out.size() % 4 != 0) out.push_back('\0');
}

// One wide entry: length, value length, type, key with terminator, padding, value, padding, then
// the children. value holds the value's bytes as they are stored (so with or without terminator);
// valueLength is what the entry claims. Must start at a 4-byte boundary.
inline std::string WideEntry(std::string_view key, std::string_view value, std::uint16_t valueLength,
                             std::uint16_t type, const std::vector<std::string>& children = {}) {
  std::string out(6, '\0');
  out += Utf16Le(key);
  out.append(2, '\0');
  PadTo4(out);
  out += value;
  for (const std::string& child : children) {
    PadTo4(out);
    out += child;
  }
  const auto length = static_cast<std::uint16_t>(out.size());
  std::string header;
  AppendLe16(header, length);
  AppendLe16(header, valueLength);
  AppendLe16(header, type);
  out.replace(0, 6, header);
  PadTo4(out);
  return out;
}

// A text entry of a wide string table. terminated false leaves the value without its closing zero
// character, as some compilers store an empty value.
inline std::string WideString(std::string_view key, std::string_view text, bool terminated = true) {
  std::string value = Utf16Le(text);
  if (terminated) value.append(2, '\0');
  return WideEntry(key, value, static_cast<std::uint16_t>(text.size() + (terminated ? 1 : 0)), 1);
}

// A whole wide version resource with the given string entries (already built) in one table.
inline std::string WideVersionResource(const std::vector<std::string>& strings) {
  std::string fixed;
  AppendLe16(fixed, 0x04BD);
  AppendLe16(fixed, 0xFEEF);
  fixed.resize(52, '\0');
  const std::string table = WideEntry("040904b0", "", 0, 1, strings);
  const std::string stringInfo = WideEntry("StringFileInfo", "", 0, 1, {table});
  std::string translation;
  AppendLe16(translation, 0x0409);
  AppendLe16(translation, 1200);
  const std::string varInfo = WideEntry("VarFileInfo", "", 0, 1, {WideEntry("Translation", translation, 4, 0)});
  return WideEntry("VS_VERSION_INFO", fixed, 52, 0, {stringInfo, varInfo});
}

// The usual table: company name, description and version.
inline std::string WideVersionResource(std::string_view company, std::string_view description) {
  return WideVersionResource({WideString("CompanyName", company), WideString("FileDescription", description),
                              WideString("FileVersion", "1.0.0.0")});
}

// One 8-bit entry: length, value length, key with terminator, padding, value with terminator,
// padding, children.
inline std::string NarrowEntry(std::string_view key, std::string_view value,
                               const std::vector<std::string>& children = {}) {
  std::string out(4, '\0');
  out += key;
  out.push_back('\0');
  PadTo4(out);
  if (!value.empty()) {
    out += value;
    out.push_back('\0');
  }
  for (const std::string& child : children) {
    PadTo4(out);
    out += child;
  }
  std::string header;
  AppendLe16(header, static_cast<std::uint16_t>(out.size()));
  AppendLe16(header, static_cast<std::uint16_t>(value.empty() ? 0 : value.size() + 1));
  out.replace(0, 4, header);
  PadTo4(out);
  return out;
}

// A whole 8-bit version resource with one table of key and value pairs.
inline std::string NarrowVersionResource(const std::vector<std::pair<std::string, std::string>>& strings) {
  std::vector<std::string> entries;
  for (const auto& [key, value] : strings) entries.push_back(NarrowEntry(key, value));
  const std::string table = NarrowEntry("040904E4", "", entries);
  return NarrowEntry("VS_VERSION_INFO", "", {NarrowEntry("StringFileInfo", "", {table})});
}

// Made-up executable bytes around a resource: a header with the usual zero runs before it, other
// sections' bytes after it. Keeps the resource 4-byte aligned.
inline std::string FileAround(std::string_view resource) {
  std::string out = "MZ";
  out.resize(64, '\0');
  out += "PE";
  out.append(2, '\0');
  for (int i = 0; i < 200; ++i) out.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
  PadTo4(out);
  out += resource;
  out.append(16, '\0');
  out += "trailing section bytes";
  return out;
}

}  // namespace corvane::testing
