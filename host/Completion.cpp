#include "host/Completion.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <set>

#include "host/CommandTable.h"
#include "host/SynopsisGrammar.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Component.h"
#include "skein10/TypeInfo.h"

namespace skein10::host {
namespace {

// The synopses as grammar: every form of every command and of the program
// itself, and each command's steps.
struct Grammar {
  struct Form {
    SynopsisForm items;
    const CommandHelp* command;  // nullptr: the program's own forms
  };
  std::vector<Form> forms;
  std::map<const CommandHelp*, std::vector<SynopsisForm>> steps;
};

const Grammar& grammar() {
  static const Grammar grammar = [] {
    Grammar built;
    for (const CommandHelp& command : commandHelp()) {
      for (SynopsisForm& form : parseSynopses(command.synopsis)) built.forms.push_back({std::move(form), &command});
      for (const StepHelp& step : command.steps) built.steps[&command].push_back(parseSynopsis(step.synopsis));
    }
    for (SynopsisForm& form : parseSynopses(programSynopsis())) built.forms.push_back({std::move(form), nullptr});
    return built;
  }();
  return grammar;
}

// A place in a form; a step's form sits on top of its command's.
struct Frame {
  const SynopsisForm* form;
  std::size_t item;
  const CommandHelp* command;
};

// One way the words typed so far can be read.
struct Reading {
  std::vector<Frame> frames;
  std::string pendingValue;  // the placeholder of the value the next word is
  std::string progId;        // the word a PROGID took
};

const SynopsisItem& itemAt(const Reading& reading) {
  const Frame& top = reading.frames.back();
  return (*top.form)[top.item];
}

bool isOption(std::string_view word) { return word.size() > 1 && word.starts_with('-'); }

std::vector<std::string> namesOf(const OptionHelp& option) {
  std::vector<std::string> names;
  std::string_view rest = option.names;
  while (!rest.empty()) {
    const auto comma = rest.find(", ");
    names.emplace_back(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 2);
  }
  return names;
}

const OptionHelp* optionNamed(const CommandHelp* command, std::string_view word) {
  if (!command) return nullptr;
  for (const OptionHelp& option : command->options) {
    const auto names = namesOf(option);
    if (std::find(names.begin(), names.end(), word) != names.end()) return &option;
  }
  return nullptr;
}

// The readings that stand before an item that takes a word (or that wait
// for an option's value): optional items may be skipped, a STEP opens each
// step's form, and a finished step goes back to the STEP it came from.
void settle(Reading reading, std::vector<Reading>& settled) {
  if (!reading.pendingValue.empty()) {
    settled.push_back(std::move(reading));
    return;
  }
  const Frame& top = reading.frames.back();
  if (top.item == top.form->size()) {
    if (reading.frames.size() == 1) return;  // the whole form is read: no more words fit
    reading.frames.pop_back();
    settle(std::move(reading), settled);
    return;
  }
  const SynopsisItem& item = itemAt(reading);
  if (item.optional) {
    Reading skipped = reading;
    ++skipped.frames.back().item;
    settle(std::move(skipped), settled);
  }
  if (item.words.empty() && item.placeholder == "STEP") {
    const auto steps = grammar().steps.find(top.command);
    if (steps == grammar().steps.end()) return;
    for (const SynopsisForm& step : steps->second) {
      Reading inStep = reading;
      inStep.frames.push_back(Frame{&step, 0, top.command});
      settle(std::move(inStep), settled);
    }
    return;
  }
  settled.push_back(std::move(reading));
}

// The reading after `word`, when the word fits it.
std::optional<Reading> read(Reading reading, const std::string& word) {
  if (!reading.pendingValue.empty()) {
    reading.pendingValue.clear();
    return reading;
  }
  const SynopsisItem& item = itemAt(reading);
  std::string value;
  if (!item.words.empty()) {
    if (std::find(item.words.begin(), item.words.end(), word) == item.words.end()) return std::nullopt;
    value = item.placeholder;
  } else if (item.placeholder == "OPTION") {
    const OptionHelp* option = optionNamed(reading.frames.back().command, word);
    if (!option) return std::nullopt;
    value = option->value;
  } else {
    if (isOption(word)) return std::nullopt;
    if (item.placeholder == "PROGID") reading.progId = word;
  }
  if (!item.repeated) ++reading.frames.back().item;
  reading.pendingValue = value;
  return reading;
}

// What fits where a placeholder stands.
struct Fits {
  std::vector<std::string> words;
  CompletionAnswer::Local local = CompletionAnswer::Local::None;
};

Fits fitsOf(const std::string& placeholder, const Reading& reading, const CompletionSources& sources) {
  if (auto alternatives = alternativesOf(placeholder); !alternatives.empty()) return {std::move(alternatives)};
  if (placeholder == "LOCAL" || placeholder == "FILE" || placeholder == "PATH")
    return {{}, CompletionAnswer::Local::Files};
  if (placeholder == "LOCAL_DIR") return {{}, CompletionAnswer::Local::Folders};
  if (placeholder == "PROGID") return {sources.progIds()};
  if (placeholder == "MEMBER") return {sources.members(reading.progId)};
  if (placeholder == "COMMAND") {
    Fits commands;
    for (const CommandHelp& command : commandHelp()) commands.words.emplace_back(command.name);
    return commands;
  }
  if (placeholder == "OPTION" && reading.frames.back().command) {
    Fits options;
    for (const OptionHelp& option : reading.frames.back().command->options)
      for (std::string& name : namesOf(option)) options.words.push_back(std::move(name));
    return options;
  }
  return {};
}

Fits fitsAt(const Reading& reading, const CompletionSources& sources) {
  if (!reading.pendingValue.empty()) return fitsOf(reading.pendingValue, reading, sources);
  const SynopsisItem& item = itemAt(reading);
  if (!item.words.empty()) return {item.words};
  return fitsOf(item.placeholder, reading, sources);
}

CompletionAnswer answerFor(const std::vector<Reading>& readings, const std::string& typed,
                           const CompletionSources& sources) {
  CompletionAnswer answer;
  std::set<std::string> seen;
  for (const Reading& reading : readings) {
    Fits fits = fitsAt(reading, sources);
    answer.local = std::max(answer.local, fits.local);
    for (std::string& word : fits.words) {
      if (!word.starts_with(typed) || (isOption(word) && !typed.starts_with('-'))) continue;
      if (seen.insert(word).second) answer.words.push_back(std::move(word));
    }
  }
  return answer;
}

}  // namespace

CompletionAnswer complete(const std::vector<std::string>& words, const CompletionSources& sources) {
  std::vector<Reading> readings;
  for (const Grammar::Form& form : grammar().forms)
    settle(Reading{{Frame{&form.items, 0, form.command}}, {}, {}}, readings);
  std::vector<std::string> typed{"skein10"};
  typed.insert(typed.end(), words.begin(), words.end());
  if (words.empty()) typed.emplace_back();
  for (std::size_t i = 0; i + 1 < typed.size(); ++i) {
    std::vector<Reading> next;
    for (const Reading& reading : readings)
      if (auto after = read(reading, typed[i])) settle(std::move(*after), next);
    readings = std::move(next);
  }
  return answerFor(readings, typed.back(), sources);
}

CompletionSources runtimeSources() {
  return CompletionSources{
      [] {
        std::vector<std::string> progIds;
        for (const String& progId : registeredProgIds()) progIds.push_back(toUtf8(progId));
        return progIds;
      },
      [](const std::string& progId) {
        std::vector<std::string> members;
        try {
          const ObjectRef object = CreateObject(fromUtf8(progId));
          for (const MemberInfo& member : object->interfaceInfo().members)
            if (member.kind == MemberKind::Method || member.kind == MemberKind::Get)
              members.push_back(toUtf8(member.name));
        } catch (const Error&) {
          // A class that can't be created has no members to offer.
        }
        return members;
      },
  };
}

int runComplete(CommandLine& line) {
  std::vector<std::string> words;
  while (!line.empty()) words.push_back(line.take("WORD"));
  CompletionAnswer answer;
  try {
    answer = complete(words, runtimeSources());
  } catch (const std::exception&) {
    // No store, no class: nothing to offer.
  }
  static constexpr const char* kLocal[] = {"words", "folders", "files"};
  std::cout << kLocal[static_cast<int>(answer.local)] << "\n";
  for (const std::string& word : answer.words) std::cout << word << "\n";
  return 0;
}

}  // namespace skein10::host
