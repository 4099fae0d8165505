#pragma once
// The timecode keypad "Keyboard": a single modal window in which the user
// edits one timecode text digit by digit, steps it by one frame, and
// confirms (OK, Return) or abandons it (Abort, Esc). It is created on
// first use through keybd::instance() and only hidden at the end of each
// showing, so it keeps its text and position.
#include <array>
#include <cstdint>
#include <string>

#include "controls/cbkey.h"
#include "framework/widgets.h"
#include "framework/window.h"

class keybd : public fw::Window {
 public:
  // The one keypad, created (and built) on first use.
  static keybd& instance();

  bool kvalid = true;
  int32_t cursor = 0;
  uint8_t tcstd = 0;

  cbkey* poz = nullptr;
  fw::BevelButton* BevelButton6 = nullptr;  // "<"
  fw::BevelButton* BevelButton7 = nullptr;  // ">"
  fw::BevelButton* decpoz = nullptr;        // "-"
  fw::BevelButton* BevelButton4 = nullptr;  // "Reset"
  fw::BevelButton* incpoz = nullptr;        // "+"
  std::array<fw::BevelButton*, 10> numk{};
  cbkey* kabort = nullptr;
  cbkey* kok = nullptr;

  void Layout() override;
  void CreateControls() override;
  void Event_Open() override;
  void Event_Activate() override;
  void Event_Close() override;
  // A close from the window system ends the showing as Abort does.
  void Event_CloseRequest() override;

  bool poz_KeyDown(const std::string& key);
  void numk_Action(int index);
  bool numk_KeyDown(int index, const std::string& key);
  void decpoz_Action();
  bool decpoz_KeyDown(const std::string& key);
  void BevelButton4_Action();
  bool BevelButton4_KeyDown(const std::string& key);
  void incpoz_Action();
  bool incpoz_KeyDown(const std::string& key);
  void BevelButton6_Action();
  void BevelButton7_Action();
  bool kabort_MouseDown(int x, int y);
  bool kabort_KeyDown(const std::string& key);
  bool kok_MouseDown(int x, int y);

  void inckursor();
  void deckursor();
  void addkey(const std::string& key);
  void decpoz1();
  void incpoz1();
  void kdown(const std::string& key);

 protected:
  keybd();
  template <class W>
  friend W& fw::SingleInstance();
};
