#include "rizaz/access_code.h"

#include "base/command_line.h"

namespace corvane::rizaz {

bool IsAccessGranted(std::string_view commandLine) { return ArgumentText(commandLine) == kAccessCode; }

}  // namespace corvane::rizaz
