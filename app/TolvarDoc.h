#pragma once

// The document of the single-document arrangement. It holds nothing: the
// view keeps the machine and the image, and no file is ever written.
class CTolvarDoc {
 public:
  virtual ~CTolvarDoc() = default;
};
