#pragma once
// The progress line of one transfer step on a terminal. A host timer on the
// thread's event loop redraws it every 200 ms; it fires inside the session
// member's wait, which pumps the thread's events. The line is cleared when
// the step ends.

#include <cstdio>
#include <string>

#include "host/FtpSteps.h"
#include "host/IoCounter.h"
#include "skein10/Events.h"

namespace skein10::host {

class ProgressLine {
 public:
  static constexpr int32_t kRedrawMilliseconds = 200;

  ProgressLine(std::string step, Traffic traffic, std::FILE* terminal);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  void draw();
  void write(const std::string& text);

  std::string step_;
  std::FILE* terminal_;
  IoCounter counter_;
  Clock::time_point start_ = Clock::now();
  Timer timer_;
};

}  // namespace skein10::host
