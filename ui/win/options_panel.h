#pragma once
// The options panel: the security mode, start with Windows, the beep and the notifications. Its
// controls are not built yet; it shows the panel's surface only.
#include "ui/win/panel_window.h"

namespace corvane::ui::win {

class OptionsPanel final : public PanelWindow {};

}  // namespace corvane::ui::win
