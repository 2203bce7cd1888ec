#include "host/FtpSteps.h"

#include <array>
#include <string_view>

#include "host/UsageError.h"
#include "skein10/Enums.h"

namespace skein10::host {
namespace {

using Words = std::vector<std::string>;

std::vector<Variant> inOrder(const Words& words) {
  std::vector<Variant> args;
  for (const std::string& word : words) args.push_back(Variant(fromUtf8(word)));
  return args;
}

// `put LOCAL REMOTE` reads like cp; PutFile takes the remote name first.
std::vector<Variant> swapped(const Words& words) { return inOrder({words[1], words[0]}); }

std::vector<Variant> transferMode(const Words& words) {
  if (words[0] == "binary") return {Variant(int32_t{ftp_BINARY})};
  if (words[0] == "ascii") return {Variant(int32_t{ftp_ASCII})};
  throw UsageError("type takes binary or ascii, not '" + words[0] + "'");
}

constexpr std::optional<std::size_t> kNoLocalFile;

struct StepForm {
  std::string_view name;
  std::array<std::string_view, 2> operands;  // what each argument is; empty when absent
  const char16_t* member;
  std::vector<Variant> (*arguments)(const Words&);
  Traffic traffic;
  StepRole role;
  std::optional<std::size_t> localArg;  // in the member's arguments
};

const std::array kForms{
    StepForm{"cd", {"DIR"}, u"ChangeDirectory", inOrder, Traffic::None, StepRole::ChangeFolder, kNoLocalFile},
    StepForm{"mkdir", {"DIR"}, u"MakeDirectory", inOrder, Traffic::None, StepRole::Command, kNoLocalFile},
    StepForm{"rmdir", {"DIR"}, u"RemoveDirectory", inOrder, Traffic::None, StepRole::Command, kNoLocalFile},
    StepForm{"rm", {"FILE"}, u"RemoveFile", inOrder, Traffic::None, StepRole::Command, kNoLocalFile},
    StepForm{"mv", {"FROM", "TO"}, u"Rename", inOrder, Traffic::None, StepRole::Command, kNoLocalFile},
    StepForm{"type", {"binary|ascii"}, u"TransferType", transferMode, Traffic::None, StepRole::Command, kNoLocalFile},
    StepForm{"ls", {"LOCALFILE"}, u"ListContents", inOrder, Traffic::Download, StepRole::Listing, 0},
    StepForm{"get", {"REMOTE", "LOCAL"}, u"GetFile", inOrder, Traffic::Download, StepRole::Download, 1},
    StepForm{"put", {"LOCAL", "REMOTE"}, u"PutFile", swapped, Traffic::Upload, StepRole::Upload, 1},
};

std::string joined(std::string_view name, const Words& operands) {
  std::string text(name);
  for (const std::string& operand : operands) {
    text += ' ';
    text += operand;
  }
  return text;
}

const StepForm& formOf(const std::string& name) {
  for (const StepForm& form : kForms)
    if (form.name == name) return form;
  throw UsageError("unknown step '" + name + "'");
}

FtpStep parseStep(CommandLine& words) {
  const StepForm& form = formOf(words.take("step"));
  Words operands;
  for (std::string_view operand : form.operands)
    if (!operand.empty()) operands.push_back(words.take(std::string(operand) + " of " + std::string(form.name)));
  return FtpStep{std::string(form.name), form.member, form.arguments(operands), form.traffic,
                 joined(form.name, operands), form.role, form.localArg};
}

}  // namespace

std::vector<FtpStep> parseFtpSteps(CommandLine& words) {
  if (words.empty()) throw UsageError("missing step");
  std::vector<FtpStep> steps;
  while (!words.empty()) steps.push_back(parseStep(words));
  return steps;
}

}  // namespace skein10::host
