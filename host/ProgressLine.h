#pragma once
// The progress of one transfer on standard error. A host timer on the
// thread's event loop redraws it; it fires inside the session member's wait,
// which pumps the thread's events. On a terminal the line is redrawn in
// place five times a second and cleared when the transfer ends; elsewhere (a
// file, a pipe) each update is a line of its own, once a second. finish()
// leaves a summary line.

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "host/FtpSteps.h"
#include "host/IoCounter.h"
#include "skein10/Events.h"

namespace skein10::host {

enum class ProgressStyle { Terminal, Lines };

class ProgressLine {
 public:
  static constexpr int32_t kRedrawMilliseconds = 200;  // on a terminal
  static constexpr int32_t kLineMilliseconds = 1000;   // one line per update elsewhere

  // `total` gives the transfer's size when it is known, asked at each redraw.
  ProgressLine(std::string step, Traffic traffic, std::FILE* out, ProgressStyle style,
               std::function<std::optional<uint64_t>()> total);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The transfer succeeded having moved `bytes`: the summary line, which stays.
  void finish(const std::string& stepText, uint64_t bytes);

 private:
  std::chrono::milliseconds elapsed() const;
  void draw();
  void write(const std::string& text);
  // The text of an update: after a rewind on a terminal, as a line elsewhere.
  std::string update(const std::string& text) const;

  std::string step_;
  std::FILE* out_;
  ProgressStyle style_;
  std::function<std::optional<uint64_t>()> total_;
  IoCounter counter_;
  Clock::time_point start_ = Clock::now();
  Timer timer_;
};

}  // namespace skein10::host
