#include "host/HelpDocument.h"

namespace skein10::host {
namespace {

// The columns where the meanings of the definition lists start.
constexpr std::size_t kOptionWidth = 24;
constexpr std::size_t kStepWidth = 19;
constexpr std::size_t kStatusWidth = 4;
constexpr std::size_t kVariableWidth = 22;

HelpBlock block(HelpBlock::Kind kind, std::string_view text) {
  HelpBlock block;
  block.kind = kind;
  block.text = text;
  return block;
}

HelpBlock paragraphs(std::string_view text) { return block(HelpBlock::Kind::Paragraphs, text); }

HelpBlock lines(std::string_view text) { return block(HelpBlock::Kind::Lines, text); }

HelpBlock list(std::vector<HelpEntry> entries, std::size_t termWidth, bool spaced = false) {
  HelpBlock block = host::block(HelpBlock::Kind::Entries, {});
  block.entries = std::move(entries);
  block.termWidth = termWidth;
  block.spaced = spaced;
  return block;
}

HelpEntry entry(std::string_view term, std::string_view meaning) {
  return HelpEntry{std::string(term), {paragraphs(meaning)}};
}

HelpBlock optionList(std::span<const OptionHelp> options) {
  std::vector<HelpEntry> entries;
  for (const OptionHelp& option : options) {
    std::string term(option.names);
    if (!option.value.empty()) term.append(" ").append(option.value);
    entries.push_back(entry(term, option.meaning));
  }
  return list(std::move(entries), kOptionWidth);
}

HelpBlock termList(std::span<const Term> terms, std::size_t width) {
  std::vector<HelpEntry> entries;
  for (const Term& term : terms) entries.push_back(entry(term.name, term.meaning));
  return list(std::move(entries), width);
}

HelpBlock exampleList(std::span<const Example> examples) {
  std::vector<HelpEntry> entries;
  for (const Example& example : examples) entries.push_back(entry(example.command, example.meaning));
  return list(std::move(entries), 0);
}

std::string synopsisLines() {
  std::string text;
  for (const CommandHelp& command : commandHelp()) text += std::string(command.synopsis) + "\n";
  return text + std::string(programSynopsis());
}

// What a command does: its description, its steps with how they behave,
// the rest of its description.
std::vector<HelpBlock> commandBody(const CommandHelp& command) {
  std::vector<HelpBlock> body{paragraphs(command.description)};
  if (!command.steps.empty()) {
    std::vector<HelpEntry> steps;
    for (const StepHelp& step : command.steps) steps.push_back(entry(step.synopsis, step.meaning));
    body.push_back(list(std::move(steps), kStepWidth));
    body.back().text = "Steps:";
    body.push_back(paragraphs(command.stepNotes));
  }
  if (!command.details.empty()) body.push_back(paragraphs(command.details));
  return body;
}

HelpSection commandsSection() {
  std::vector<HelpEntry> commands;
  for (const CommandHelp& command : commandHelp())
    commands.push_back(HelpEntry{std::string(command.name), commandBody(command)});
  return HelpSection{"COMMANDS", {list(std::move(commands), 0, true)}};
}

// The program's own options, then each command's under its name.
HelpSection optionsSection() {
  std::vector<HelpEntry> byCommand;
  for (const CommandHelp& command : commandHelp())
    if (!command.options.empty())
      byCommand.push_back(HelpEntry{std::string(command.name), {optionList(command.options)}});
  return HelpSection{"OPTIONS", {optionList(programOptions()), list(std::move(byCommand), 0, true)}};
}

HelpSection filesSection(std::string_view installedStore) {
  std::vector<HelpEntry> entries;
  for (const Term& file : files())
    entries.push_back(entry(file.name.empty() ? installedStore : file.name, file.meaning));
  return HelpSection{"FILES", {list(std::move(entries), 0)}};
}

HelpSection examplesSection() {
  std::vector<Example> all;
  for (const CommandHelp& command : commandHelp()) all.insert(all.end(), command.examples.begin(), command.examples.end());
  return HelpSection{"EXAMPLES", {exampleList(all)}};
}

}  // namespace

HelpDocument manualDocument(std::string_view installedStore) {
  return {
      HelpSection{"NAME", {paragraphs(programSummary())}},
      HelpSection{"SYNOPSIS", {lines(synopsisLines())}},
      HelpSection{"DESCRIPTION", {paragraphs(programDescription())}},
      commandsSection(),
      optionsSection(),
      HelpSection{"EXIT STATUS", {termList(exitStatuses(), kStatusWidth), paragraphs(exitStatusNotes())}},
      HelpSection{"ENVIRONMENT", {termList(environmentVariables(), kVariableWidth)}},
      filesSection(installedStore),
      examplesSection(),
  };
}

HelpDocument commandDocument(const CommandHelp& command) {
  HelpDocument page{
      HelpSection{"SYNOPSIS", {lines(command.synopsis)}},
      HelpSection{"DESCRIPTION", commandBody(command)},
  };
  if (!command.options.empty()) page.push_back(HelpSection{"OPTIONS", {optionList(command.options)}});
  if (!command.examples.empty()) page.push_back(HelpSection{"EXAMPLES", {exampleList(command.examples)}});
  return page;
}

}  // namespace skein10::host
