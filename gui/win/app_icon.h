#pragma once
// The program's icon, drawn at run time (a blue shield with a white check mark), so that no art from
// elsewhere is needed. The caller owns the icon.
#include <windows.h>

#include "base/win/handle.h"

namespace corvane::gui::win {

corvane::win::UniqueIcon CreateAppIcon(int size);

}  // namespace corvane::gui::win
