#include "app/selectport.h"

#include <algorithm>

#include "framework/serial.h"
#include "settings/config.h"

namespace app {

namespace {
constexpr int kTextSize = 12;
}  // namespace

selectport& selectport::instance() { return fw::SingleInstance<selectport>(); }

selectport::selectport() = default;

void selectport::Layout() {
  SetTitle("Select Port");
  SetContentSize(204, 104);
  // OK is the only way out: no close, minimise or maximise button.
  SetFrameButtons(false, false, false);
  // Shown only modally, by the Serial Ports menu.
  SetDesignVisible(false);
  // First placement, centred on the screen; a stored position replaces it
  // when the window opens.
  MoveToScreenCentre();
}

void selectport::CreateControls() { _CreateControls0(); }

void selectport::_CreateControls0() {
  SerialPopup = new fw::PopupMenu(Content());
  SerialPopup->Name = "SerialPopup";
  SerialPopup->SetBounds(20, 14, 164, 20);
  SerialPopup->SetTextSize(kTextSize);
  SerialPopup->AddRow("none");
  SerialPopup->SetListIndex(0);

  BevelButton1 = new fw::BevelButton(Content());
  BevelButton1->Name = "BevelButton1";
  BevelButton1->SetBounds(117, 57, 67, 27);
  BevelButton1->SetCaption("OK");
  BevelButton1->SetTextSize(kTextSize);
  BevelButton1->SetAcceptFocus(false);
  BevelButton1->Action = [this] { BevelButton1_Action(); };

  refresh = new fw::BevelButton(Content());
  refresh->Name = "refresh";
  refresh->SetBounds(20, 57, 67, 27);
  refresh->SetCaption("Refresh");
  refresh->SetTextSize(kTextSize);
  refresh->SetAcceptFocus(false);
  refresh->Action = [this] { refresh_Action(); };
}

void selectport::BevelButton1_Action() {
  // Row 0 ("none") always exists; never report a row below it.
  SelectedIndex = std::max(0, SerialPopup->ListIndex());
  Hide();
}

void selectport::refresh_Action() { refreshportlist(); }

void selectport::Event_Open() {
  refreshportlist();
  config::getwindowpoz(*this);
}

void selectport::Event_Activate() { SerialPopup->SetListIndex(0); }

void selectport::Event_Close() { config::putwindowpoz(*this); }

void selectport::refreshportlist() {
  const int n = fw::SerialPortCount();
  SerialPopup->DeleteAllRows();
  SerialPopup->AddRow("none");
  for (int i = 0; i < n; ++i) SerialPopup->AddRow(fw::SerialPort(i).Name);
  SerialPopup->SetListIndex(0);
}

}  // namespace app
