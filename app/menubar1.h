#pragma once
// The one menu bar: File, Edit, Serial Ports, Help.
#include "framework/menu.h"

namespace app {

class MenuBar1 : public fw::MenuBar {
 public:
  // The single menu bar, built on first use.
  static MenuBar1& instance();

  void Constructor();
  void Untitled0();  // File
  void Untitled1();  // Edit
  void Untitled2();  // Serial Ports
  void Untitled3();  // Help

 private:
  MenuBar1() = default;
};

}  // namespace app
