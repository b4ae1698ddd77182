#pragma once
// The main program's surroundings in fakes, for tests of the watch cycle, the decision and the
// main window: processes, settings, speaker, files and the list owner on top of them.
#include "store/lists.h"
#include "tests/fakes/fake_process_table.h"
#include "tests/fakes/fake_speaker.h"
#include "tests/fakes/memory_list_file_system.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::testing {

inline constexpr const char* kFakeProgramDirectory = "C:\\Corvane";

struct ProgramFakes {
  FakeProcessTable processes;
  MemorySettings settings;
  FakeSpeaker speaker;
  MemoryListFileSystem files;
  Lists lists{files, settings, kFakeProgramDirectory};
};

}  // namespace corvane::testing
