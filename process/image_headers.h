#pragma once
// Whether a program's headers as loaded in a running process are those of a file: the cheap proof
// that a process runs the file at hand and not another one that was renamed away after it started.
// The loader maps a program's headers unchanged but for the address it was loaded at, which it may
// write into the header when it relocates the program.
#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane {

// How many bytes of the start of a program file and of its loaded image are compared.
inline constexpr std::size_t kImageHeaderBytes = 4096;

// True when loaded (the first bytes of the process's main image) and file (the first bytes of the
// program file) hold the same headers: the file's header size (at most kImageHeaderBytes, and
// within both), the preferred load address aside. False for anything that is not a well-formed
// program header.
bool SameImageHeaders(std::span<const unsigned char> loaded, std::span<const unsigned char> file);

}  // namespace corvane
