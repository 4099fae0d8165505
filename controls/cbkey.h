#pragma once
// The drawn key: a rounded body, lit or off in colours of its own, a
// centred caption and an optional cursor block under one character of a
// timecode caption. It handles no input itself: its owner wires MouseDown
// and KeyDown.
#include <cstdint>
#include <string>

#include "framework/canvas.h"

class cbkey : public fw::Canvas {
 public:
  explicit cbkey(QWidget* parent);

  uint32_t litcolor = 0x00FF40;
  uint32_t offcolor = 0xD0D0D0;
  bool lit = false;
  std::string caption = "Caption";
  std::string Textfont = "tahoma";
  uint32_t TextLitcolor = 0x000000;
  uint32_t TextOffColor = 0x000000;
  int32_t textsize = 12;
  bool Bold = true;
  bool underline = false;
  bool Italic = false;
  int32_t deltay = -5;
  bool highlight = false;
  int32_t kursor = 0;
  int32_t Tag = 0;

  void Event_Paint(fw::Graphics& g) override;
  void Event_Open() override;
  virtual void redraw();
  virtual void setcaption(const std::string& s);
  virtual void setlit(bool b);
  virtual void setcolor(const std::string& s);
  virtual void setkursor(int32_t i);
  virtual void setheight(int32_t i);
  virtual void tag2caption();

  // Applies the design values every layout gives its keys: lit colour
  // 0x80FF80, font "System", bold, caption "Caption", text size 0,
  // deltay -5.
  void applyDesign();
  // A new key with the design values, named after its control array.
  static cbkey* create(QWidget* parent, const char* arrayName, int index);

  // How many times the key was drawn (tests count redraws).
  int redrawCount() const { return redraws_; }

 private:
  int redraws_ = 0;
};
