#include "web/web_address.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace corvane::web {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// Length of "http://" or "https://" at the start, or 0.
std::size_t SchemeLength(std::string_view address) {
  if (StartsWithNoCase(address, "http://")) return 7;
  if (StartsWithNoCase(address, "https://")) return 8;
  return 0;
}

// Resolves "." and ".." in an absolute path ("/a/./b/../c" -> "/a/c"); a trailing "." or ".." keeps
// the final slash.
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string> parts = SplitAt(path, "/");
  std::vector<std::string> out;
  bool endsInFolder = false;
  for (std::size_t i = 1; i < parts.size(); ++i) {  // parts[0] is before the leading slash
    const std::string& part = parts[i];
    endsInFolder = false;
    if (part == ".") {
      endsInFolder = true;
    } else if (part == "..") {
      if (!out.empty()) out.pop_back();
      endsInFolder = true;
    } else {
      out.push_back(part);
    }
  }
  std::string result;
  for (const std::string& part : out) result += "/" + part;
  if (endsInFolder || result.empty()) result += "/";
  return result;
}

}  // namespace

bool HasWebScheme(std::string_view address) { return SchemeLength(address) != 0; }

bool IsSafeWebAddress(std::string_view address) {
  // Longer than any address a page of ours links to; a browser's command line is no place for more.
  if (address.size() > kMaxWebAddressLength) return false;
  const std::size_t scheme = SchemeLength(address);
  if (scheme == 0) return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '"') return false;
  }
  const std::string_view rest = address.substr(scheme);
  const std::size_t hostEnd = rest.find_first_of("/?#");
  const std::string_view host = rest.substr(0, hostEnd);
  // A host must be there; user information ("user@host") is refused, it only ever serves to disguise.
  return !host.empty() && host.find('@') == std::string_view::npos;
}

std::string ResolveWebAddress(std::string_view base, std::string_view reference) {
  std::string ref = TrimSpaces(reference);
  if (const std::size_t hash = ref.find('#'); hash != std::string::npos) ref.erase(hash);
  if (HasWebScheme(ref)) return ref;
  // Any other scheme ("mailto:", "javascript:") is returned as it is, and then refused by the check.
  const std::size_t colon = ref.find(':');
  if (colon != std::string::npos && ref.find_first_of("/?") > colon) return ref;

  std::string baseText(base);
  if (const std::size_t hash = baseText.find('#'); hash != std::string::npos) baseText.erase(hash);
  const std::size_t scheme = SchemeLength(baseText);
  if (scheme == 0) return ref;
  if (ref.rfind("//", 0) == 0) return baseText.substr(0, scheme - 2) + ref;

  const std::size_t pathStart = std::min(baseText.find_first_of("/?", scheme), baseText.size());
  const std::string origin = baseText.substr(0, pathStart);
  std::string basePath = baseText.substr(pathStart);
  if (const std::size_t query = basePath.find('?'); query != std::string::npos) basePath.erase(query);
  if (basePath.empty()) basePath = "/";
  if (ref.empty()) return origin + basePath;
  if (ref[0] == '?') return origin + basePath + ref;

  std::string refPath = ref;
  std::string refQuery;
  if (const std::size_t query = refPath.find('?'); query != std::string::npos) {
    refQuery = refPath.substr(query);
    refPath.erase(query);
  }
  if (refPath[0] != '/') refPath = basePath.substr(0, basePath.rfind('/') + 1) + refPath;
  return origin + RemoveDotSegments(refPath) + refQuery;
}

}  // namespace corvane::web
