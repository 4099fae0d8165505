#pragma once
// Drawing: off-screen pictures and the Graphics that draws into them.
// Colours are 0xRRGGBB. Shapes are drawn without anti-aliasing so that
// their edges fall on whole pixels.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QImage>

namespace fw {

class Picture;

class Graphics {
 public:
  explicit Graphics(QImage* target) : target_(target) {}

  // State that carries over from one drawing call to the next.
  uint32_t ForeColor = 0x000000;
  std::string TextFont = "System";
  int TextSize = 0;  // pixels; 0 is the platform's default size
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;

  // Rectangle with rounded corners of the given corner width and height.
  void FillRoundRect(int x, int y, int w, int h, int arcW, int arcH);
  void DrawRoundRect(int x, int y, int w, int h, int arcW, int arcH);
  void FillRect(int x, int y, int w, int h);
  // y is the base line of the text.
  void DrawString(const std::string& text, int x, int y);
  double StringWidth(const std::string& text) const;
  void DrawPicture(const Picture& picture, int x, int y);

  // Called after each drawing call (a canvas repaints then).
  std::function<void()> Changed;

 private:
  void changed() {
    if (Changed) Changed();
  }
  QImage* target_;
};

class Picture {
 public:
  Picture(int width, int height);
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  Graphics& graphics() { return graphics_; }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
  Graphics graphics_;
};

// A picture of w x h pixels; depth is accepted for compatibility (32).
std::unique_ptr<Picture> NewPicture(int w, int h, int depth);

// The font family that stands for a design font name on this machine.
std::string ResolveFontFamily(const std::string& name);

}  // namespace fw
