#pragma once
// The one way the program builds a modal window: the alert, the details report, the confirmation
// and the information window, and every window still to come that waits for the user.
//
// The base creates the window over its owner (disabled while it waits), on top of every other
// window, centred on the owner's work area (an oversized window keeps its top-left corner on it), and
// runs a message loop of its own that keeps the rest of the program alive. It paints the background,
// colours the labels, follows DPI changes and keeps the focus where the user left it. What a window
// shows and what its buttons mean is the window's own; what the close box, Escape and a stray Enter
// mean it states in ModalKeys. A WM_QUIT or the end of the session ends the wait without an answer.
// The image buttons show their normal look again when the mouse moves over the background by
// themselves (they hook their parent), so the base needs nothing for that.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

#include "base/palette.h"
#include "base/win/handle.h"
#include "base/win/window_base.h"
#include "gui/dialog_layout.h"
#include "gui/win/dpi_scaling.h"

namespace corvane::gui::win {

// What the user's ways out of a window stand for: the id of the command each gives the window, as if
// that button were pressed; 0 for nothing.
struct ModalKeys {
  int closeBox = 0;  // the close box, Alt+F4, the system menu's Close
  int escape = 0;
  int enter = 0;     // Enter while no button has the focus
};

// How the wait ended.
enum class ModalEnd {
  Finished,      // the window finished itself: one of its buttons, or a key standing for one
  Quit,          // the program is quitting (the WM_QUIT is posted again for the program's own loop)
  SessionEnded,  // the session is ending
  Destroyed,     // the window was destroyed from outside before it finished
  NotShown,      // the window could not be created
};

// True when the program or the session ended the wait, not the user.
constexpr bool ProgramEnding(ModalEnd end) { return end == ModalEnd::Quit || end == ModalEnd::SessionEnded; }

struct LabelColors {
  Color text = palette::kBlack;
  Color background = palette::kWhite;
};

// What every modal window states about itself.
struct ModalLook {
  const wchar_t* className = nullptr;
  std::wstring caption;
  Color background = palette::kSurface;
  LabelColors labels;  // unless ColorsOf says otherwise
  ModalKeys keys;
  // A taskbar button with the program's icon, so a window the user must answer can always be found,
  // even while the main window is hidden in the tray.
  bool taskbarButton = false;
};

// The buttons of the modal windows: the blue one, the quiet one beside it on the light surface, and
// the one on a blue background.
const ButtonPalette& PrimaryButtons();
const ButtonPalette& SecondaryButtons();
const ButtonPalette& ButtonsOnBlue();

// The window a modal window should be owned by: the top-level window of owner, or null.
HWND ModalOwner(HWND owner);

// The work area a new window is centred in: the owner's monitor when the owner is on the screen,
// else the monitor under the mouse (the program often lives in the tray).
RECT CentringArea(HWND owner);

class ModalWindow : public corvane::win::WindowBase<ModalWindow> {
 public:
  ~ModalWindow() override;

 protected:
  explicit ModalWindow(ModalLook look);

  // Creates, shows and waits until the window finishes or the wait ends otherwise; the window is
  // gone when this returns. A window shows once.
  ModalEnd ShowModal(HWND owner);
  // The window has its answer: it leaves the top of the z-order and the wait ends.
  void Finish();
  bool IsFinished() const { return finished_; }

  int Dpi() const { return scaling_.Dpi(); }
  // A size designed in pixels at 96 DPI, at the window's DPI.
  int Scaled(int pixelsAt96) const { return scaling_.Scaled(pixelsAt96); }
  // The tallest client area that fits the work area the window is on.
  int MaxClientHeight() const;
  // The UI font in points and weight at the window's DPI, owned by the window.
  HFONT Font(int points, int weight = FW_NORMAL) { return scaling_.Font(points, weight); }
  // A brush of color, owned by the window.
  HBRUSH Brush(Color color);

  // Visible child controls at 0, 0, 0, 0 (Arrange places them). A label's "&" is text, not a mnemonic.
  HWND AddControl(const wchar_t* className, std::string_view text, DWORD style, int id);
  HWND AddLabel(std::string_view text, int id, DWORD extraStyle = SS_ENDELLIPSIS);
  HWND AddButton(int id, std::string_view caption, const ButtonPalette& palette);

  // The window's controls, made once the window exists; false when it cannot be shown without them.
  virtual bool CreateControls() = 0;
  // Sets every control's font and place for dpi, and the client area's size (ResizeClientArea).
  // Fonts taken from Font() before a DPI change stay alive until this returns.
  virtual void Arrange(int dpi) = 0;
  // The control that has the focus when the window opens.
  virtual HWND FirstFocus() const = 0;
  // A button, or a key or the close box standing for one (ModalKeys).
  virtual void OnCommand(int id) = 0;
  // Drawing over the background, which is already filled.
  virtual void PaintOver(HDC /*dc*/) {}
  virtual LabelColors ColorsOf(HWND /*label*/) const { return look_.labels; }
  // Messages the base does not handle.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
  bool Create(HWND owner);
  void Rearrange(int dpi);
  void Command(int id);
  void EndWait(ModalEnd end);
  bool IsOwnButton(HWND control) const;

  ModalLook look_;
  HWND owner_ = nullptr;
  RECT area_{};
  DpiScaling scaling_;
  bool finished_ = false;
  ModalEnd end_ = ModalEnd::NotShown;
  HWND lastFocus_ = nullptr;
  std::map<Color, corvane::win::UniqueGdiObject> brushes_;
  corvane::win::UniqueIcon bigIcon_;
  corvane::win::UniqueIcon smallIcon_;
};

}  // namespace corvane::gui::win
