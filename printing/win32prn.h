#pragma once

namespace tarvo {

// The printer page model. (Filled by the page model work.)
class WIN32PRN {
 public:
  virtual ~WIN32PRN() = default;
};

}  // namespace tarvo
