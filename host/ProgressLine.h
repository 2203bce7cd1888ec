#pragma once
// The progress line of one transfer step on a terminal. A host timer on the
// thread's event loop redraws it every 200 ms; it fires inside the session
// member's wait, which pumps the thread's events. The line is cleared when
// the step ends; finish() leaves a summary line in its place.

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "host/FtpSteps.h"
#include "host/IoCounter.h"
#include "skein10/Events.h"

namespace skein10::host {

class ProgressLine {
 public:
  static constexpr int32_t kRedrawMilliseconds = 200;

  // `total` gives the transfer's size when it is known, asked at each redraw.
  ProgressLine(std::string step, Traffic traffic, std::FILE* terminal,
               std::function<std::optional<uint64_t>()> total);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The step succeeded having moved `bytes`: the summary line, which stays.
  void finish(const std::string& stepText, uint64_t bytes);

 private:
  std::chrono::milliseconds elapsed() const;
  void draw();
  void write(const std::string& text);

  std::string step_;
  std::FILE* terminal_;
  std::function<std::optional<uint64_t>()> total_;
  IoCounter counter_;
  Clock::time_point start_ = Clock::now();
  Timer timer_;
};

}  // namespace skein10::host
