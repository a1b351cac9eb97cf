// A picture that a drawing surface can stretch onto a rectangle. The core only
// passes bitmaps around; the surface that draws them knows their pixels.
#pragma once

namespace zirvo {

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
};

}  // namespace zirvo
