// A program whose version information names Windows' maker, for the company-name and maker tests.
//   ver_microsoft [seconds]
// Stays alive for the seconds given (default 0), so that it can be read while it runs.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds * 1000 : 0));
  return 0;
}
