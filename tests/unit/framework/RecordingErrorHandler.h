#pragma once
// A stand-in for KvMarrow10.clsKvcoreErrorHandlerA that records every report
// instead of printing it. While a RecordingErrorHandler is alive it is the
// class the ProgID creates; it can also be told to fail its method.

#include <memory>
#include <optional>
#include <vector>

#include "skein10/Error.h"
#include "skein10/Variant.h"

namespace skein10::test {

struct Report {
  String appExeName;  // EXEName of argument 1
  int32_t number;     // of the error object in argument 2
  String source;
  String description;
  String text3;
  String location;
  int32_t number5;
  String text6;
  int32_t number7;
  bool optional8Missing;
};

class RecordingErrorHandler {
 public:
  RecordingErrorHandler();
  ~RecordingErrorHandler();
  RecordingErrorHandler(const RecordingErrorHandler&) = delete;
  RecordingErrorHandler& operator=(const RecordingErrorHandler&) = delete;

  const std::vector<Report>& reports() const { return state_->reports; }
  std::vector<String> locations() const;
  std::vector<int32_t> numbers() const;
  // From now on the method raises `error` (after recording the report).
  void failWith(Error error) { state_->failure = std::move(error); }

  struct State {
    std::vector<Report> reports;
    std::optional<Error> failure;
  };

 private:
  std::shared_ptr<State> state_;
};

}  // namespace skein10::test
