#pragma once
// The words of one command line, taken from the front one at a time.

#include <cstddef>
#include <string>
#include <vector>

namespace skein10::host {

class CommandLine {
 public:
  explicit CommandLine(std::vector<std::string> words) : words_(std::move(words)) {}

  bool empty() const noexcept { return next_ >= words_.size(); }
  std::size_t remaining() const noexcept { return words_.size() - next_; }
  // The next word without taking it; "" at the end.
  const std::string& peek() const;
  // True when the next word is an option: it starts with "-" and is not "-"
  // alone (standard input or output). "--" alone is taken and ends the options.
  bool atOption();
  // Takes the next word; UsageError "missing WHAT" at the end.
  std::string take(const std::string& what);
  // Takes the value of `option`, the word after it.
  std::string takeValue(const std::string& option);
  // UsageError "unexpected argument 'WORD'" unless every word was taken.
  void expectEnd() const;

 private:
  std::vector<std::string> words_;
  std::size_t next_ = 0;
};

}  // namespace skein10::host
