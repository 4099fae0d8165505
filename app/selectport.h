#pragma once
// The port chooser "Select Port": a single modal window with the list of
// the machine's serial ports after a first row "none", OK and Refresh.
// Reached through app::selectport::instance().
#include <cstdint>

#include "framework/widgets.h"
#include "framework/window.h"

namespace app {

class selectport : public fw::Window {
 public:
  static selectport& instance();

  // Row chosen at the last OK: 0 "none", k the machine's port k - 1.
  int32_t SelectedIndex = 0;

  fw::PopupMenu* SerialPopup = nullptr;
  fw::BevelButton* BevelButton1 = nullptr;  // "OK"
  fw::BevelButton* refresh = nullptr;       // "Refresh"

  void Layout() override;
  void CreateControls() override;
  void _CreateControls0();
  void BevelButton1_Action();
  void refresh_Action();
  void Event_Open() override;
  void Event_Activate() override;
  void Event_Close() override;
  void refreshportlist();

 protected:
  selectport();
  template <class W>
  friend W& fw::SingleInstance();
};

}  // namespace app
