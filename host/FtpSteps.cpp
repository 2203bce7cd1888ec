#include "host/FtpSteps.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "host/UsageError.h"
#include "skein10/Enums.h"

namespace skein10::host {
namespace {

using Words = std::vector<std::string>;

// The words of one step as they are taken, for its text.
class StepWords {
 public:
  StepWords(CommandLine& line, std::string name) : line_(line), name_(std::move(name)), text_(name_) {}

  const std::string& name() const { return name_; }
  const std::string& text() const { return text_; }
  const std::string& peek() const { return line_.peek(); }
  bool empty() const { return line_.empty(); }

  std::string take(std::string_view what) {
    std::string word = line_.take(std::string(what) + " of " + name_);
    text_ += ' ';
    text_ += word;
    return word;
  }

  FtpStep step(StepAction action) const { return FtpStep{name_, text_, std::move(action)}; }

 private:
  CommandLine& line_;
  std::string name_;
  std::string text_;
};

std::vector<Variant> inOrder(const Words& words) {
  std::vector<Variant> args;
  for (const std::string& word : words) args.push_back(Variant(fromUtf8(word)));
  return args;
}

std::vector<Variant> transferMode(const Words& words) {
  if (words[0] == "binary") return {Variant(int32_t{ftp_BINARY})};
  if (words[0] == "ascii") return {Variant(int32_t{ftp_ASCII})};
  throw UsageError("type takes binary or ascii, not '" + words[0] + "'");
}

// A step that calls one member with its operands.
struct CommandForm {
  std::string_view name;
  std::array<std::string_view, 2> operands;  // what each argument is; empty when absent
  const char16_t* member;
  std::vector<Variant> (*arguments)(const Words&);
  StepRole role;
};

const std::array kCommands{
    CommandForm{"cd", {"DIR"}, u"ChangeDirectory", inOrder, StepRole::ChangeFolder},
    CommandForm{"mkdir", {"DIR"}, u"MakeDirectory", inOrder, StepRole::Command},
    CommandForm{"rmdir", {"DIR"}, u"RemoveDirectory", inOrder, StepRole::Command},
    CommandForm{"rm", {"REMOTE"}, u"RemoveFile", inOrder, StepRole::Command},
    CommandForm{"mv", {"FROM", "TO"}, u"Rename", inOrder, StepRole::Command},
    CommandForm{"type", {"binary|ascii"}, u"TransferType", transferMode, StepRole::Command},
};

const CommandForm* commandForm(std::string_view name) {
  for (const CommandForm& form : kCommands)
    if (form.name == name) return &form;
  return nullptr;
}

FtpStep parseCommand(const CommandForm& form, StepWords& words) {
  Words operands;
  for (std::string_view operand : form.operands)
    if (!operand.empty()) operands.push_back(words.take(operand));
  return words.step(RemoteCommand{form.member, form.arguments(operands), form.role});
}

bool isStepName(std::string_view word) {
  return commandForm(word) || word == "ls" || word == "get" || word == "put";
}

// "a/b/" gives {"a", "b"}. The way back from a folder path is one "cd .."
// per name, so it must lead only downwards from the current folder.
RemotePath remotePath(const std::string& text, const std::string& step) {
  if (text.starts_with('/'))
    throw UsageError(step + ": '" + text + "' must be relative to the current remote folder (cd to it first instead)");
  RemotePath names;
  std::string_view rest = text;
  while (!rest.empty()) {
    const auto slash = rest.find('/');
    const std::string_view name = rest.substr(0, slash);
    if (name == "..") throw UsageError(step + ": '" + text + "' must not hold '..' (cd to it first instead)");
    if (!name.empty() && name != ".") names.emplace_back(name);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  }
  return names;
}

std::string localFolder(const std::string& word, const std::string& step) {
  if (word == "-") throw UsageError(step + ": the files go into a local folder, not to standard output");
  return word;
}

// ls [REMOTE_DIR] [-o|--output LOCAL], the option before or after the folder.
FtpStep parseListing(StepWords& words) {
  Listing listing;
  std::optional<std::string> folder;
  bool output = false;
  while (!words.empty()) {
    const std::string& next = words.peek();
    if ((next == "-o" || next == "--output") && !output) {
      words.take("option");
      listing.output = words.take("LOCAL");
      output = true;
    } else if (!folder && !next.starts_with('-') && !isStepName(next)) {
      folder = words.take("REMOTE_DIR");
    } else {
      break;
    }
  }
  if (folder) listing.folder = remotePath(*folder, "ls");
  return words.step(std::move(listing));
}

bool takeRecursive(StepWords& words) {
  if (words.peek() != "-r") return false;
  words.take("option");
  return true;
}

// get REMOTE LOCAL, get 'PATTERN' LOCAL_DIR, get -r REMOTE_DIR LOCAL_DIR.
FtpStep parseGet(StepWords& words) {
  if (takeRecursive(words)) {
    RemotePath remote = remotePath(words.take("REMOTE_DIR"), "get -r");
    const std::string local = localFolder(words.take("LOCAL_DIR"), "get -r");
    return words.step(TreeDownload{std::move(remote), local});
  }
  const std::string remote = words.take("REMOTE");
  const std::string local = words.take("LOCAL");
  if (isPattern(remote)) return words.step(MatchingDownload{remote, localFolder(local, "get '" + remote + "'")});
  return words.step(FileTransfer{Traffic::Download, remote, local});
}

// put LOCAL REMOTE, put -r LOCAL_DIR REMOTE_DIR.
FtpStep parsePut(StepWords& words) {
  if (takeRecursive(words)) {
    const std::string local = localFolder(words.take("LOCAL_DIR"), "put -r");
    return words.step(TreeUpload{local, remotePath(words.take("REMOTE_DIR"), "put -r")});
  }
  const std::string local = words.take("LOCAL");
  return words.step(FileTransfer{Traffic::Upload, words.take("REMOTE"), local});
}

FtpStep parseStep(CommandLine& line) {
  StepWords words(line, line.take("step"));
  if (const CommandForm* form = commandForm(words.name())) return parseCommand(*form, words);
  if (words.name() == "ls") return parseListing(words);
  if (words.name() == "get") return parseGet(words);
  if (words.name() == "put") return parsePut(words);
  throw UsageError("unknown step '" + words.name() + "'");
}

FtpStep urlStep(std::string name, std::string text, StepAction action) {
  FtpStep step{std::move(name), std::move(text), std::move(action)};
  step.fromUrl = true;
  return step;
}

FtpStep changeFolderStep(const std::string& folder) {
  return urlStep("cd", "cd " + folder,
                 RemoteCommand{u"ChangeDirectory", {Variant(fromUtf8(folder))}, StepRole::ChangeFolder});
}

}  // namespace

std::vector<FtpStep> parseFtpSteps(CommandLine& words) {
  if (words.empty()) throw UsageError("missing step");
  std::vector<FtpStep> steps;
  while (!words.empty()) steps.push_back(parseStep(words));
  return steps;
}

std::vector<FtpStep> urlSteps(const std::vector<std::string>& path, bool folderPath, bool stepsFollow) {
  if (path.empty() && !stepsFollow) throw UsageError("missing step");
  const bool endsInFile = !stepsFollow && !folderPath;
  std::vector<FtpStep> steps;
  for (std::size_t i = 0; i + (endsInFile ? 1 : 0) < path.size(); ++i) steps.push_back(changeFolderStep(path[i]));
  if (stepsFollow) return steps;
  if (!endsInFile) {
    steps.push_back(urlStep("ls", "ls", Listing{}));
    return steps;
  }
  const std::string& file = path.back();
  // The file goes into the current local folder under its own name.
  const std::string local = file.substr(file.rfind('/') == std::string::npos ? 0 : file.rfind('/') + 1);
  if (local.empty() || local == "." || local == "..")
    throw UsageError("the URL's path ends in '" + file + "', not in a file name");
  steps.push_back(urlStep("get", "get " + file + " " + local, FileTransfer{Traffic::Download, file, local}));
  return steps;
}

bool isPattern(const std::string& remote) { return remote.find_first_of("*?[") != std::string::npos; }

}  // namespace skein10::host
