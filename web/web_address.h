#pragma once
// Web addresses: which ones the program may hand on, and how a relative one is read against the
// page it came from.
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::web {

// True for an http:// or https:// address (scheme in any case) with a host, and without quotes,
// blanks, control characters or bytes outside ASCII. Addresses come from a server we do not control
// and end up on a browser's command line, so nothing else may pass.
bool IsSafeWebAddress(std::string_view address);
// The longest address IsSafeWebAddress lets pass.
inline constexpr std::size_t kMaxWebAddressLength = 2048;

// True when the address starts with http:// or https:// (any case).
bool HasWebScheme(std::string_view address);

// The address `reference` means when read on the page at `base` (an absolute http(s) address):
// absolute addresses stay, "//host/x" takes the base's scheme, "/x" the base's host, "?q" the base's
// path, and "x" the base's folder ("." and ".." segments resolved). Fragments are dropped: they never
// reach a server. The result still has to pass IsSafeWebAddress before it is used.
std::string ResolveWebAddress(std::string_view base, std::string_view reference);

}  // namespace corvane::web
