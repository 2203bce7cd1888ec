// The help table and what is made of it: the options and step synopses it
// shows are those the parsers take, the text fills 80 columns, the manual
// page's text is escaped for roff, and the completion reads the synopses as
// its grammar.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/CommandTable.h"
#include "host/Completion.h"
#include "host/FtpCommand.h"
#include "host/FtpSteps.h"
#include "host/ManPage.h"
#include "host/SynopsisGrammar.h"
#include "host/Usage.h"

namespace skein10::host {
namespace {

using Words = std::vector<std::string>;

// A word each placeholder of the help table may stand for.
std::string sampleOf(const std::string& placeholder) {
  static const std::map<std::string, std::string> samples{
      {"USER[:PASS]", "u:p"}, {"PASV|PORT", "PORT"}, {"MS", "1500"},    {"FILE", "/dev/null"},
      {"DIR", "d"},           {"REMOTE", "r"},       {"FROM", "a"},     {"TO", "b"},
      {"binary|ascii", "ascii"}, {"REMOTE_DIR", "sub"}, {"LOCAL", "out"}, {"LOCAL_DIR", "outdir"},
      {"PATTERN", "*.iso"}};
  const auto found = samples.find(placeholder);
  EXPECT_NE(found, samples.end()) << placeholder;
  return found == samples.end() ? "" : found->second;
}

Words namesOf(std::string_view names) {
  Words split;
  std::istringstream in{std::string(names)};
  for (std::string name; std::getline(in, name, ',');) split.push_back(name.substr(name.find_first_not_of(' ')));
  return split;
}

TEST(HelpTableTest, EveryFtpOptionShownIsOneTheParserTakes) {
  for (const OptionHelp& option : findCommandHelp("ftp")->options) {
    for (const std::string& name : namesOf(option.names)) {
      Words words{name};
      if (!option.value.empty()) words.push_back(sampleOf(std::string(option.value)));
      words.insert(words.end(), {"ftp://h", "cd", "x"});
      CommandLine line(words);
      EXPECT_NO_THROW(parseFtpInvocation(line)) << name;
    }
  }
}

// Each step's synopsis, every item written out (the optional ones too),
// reads as one step of its name.
TEST(HelpTableTest, EveryStepSynopsisReadsAsThatStep) {
  for (const StepHelp& step : findCommandHelp("ftp")->steps) {
    Words words;
    for (const SynopsisItem& item : parseSynopsis(step.synopsis)) {
      if (!item.words.empty()) words.push_back(item.words.front());
      if (!item.placeholder.empty()) words.push_back(sampleOf(item.placeholder));
    }
    CommandLine line(words);
    std::vector<FtpStep> steps;
    ASSERT_NO_THROW(steps = parseFtpSteps(line)) << step.synopsis;
    ASSERT_EQ(steps.size(), 1u) << step.synopsis;
    EXPECT_EQ(steps[0].name, words[0]);
  }
}

TEST(SynopsisGrammarTest, ReadsLiteralsAlternativesPlaceholdersAndGroups) {
  const SynopsisForm ls = parseSynopsis("ls [REMOTE_DIR] [-o|--output LOCAL]");
  ASSERT_EQ(ls.size(), 3u);
  EXPECT_EQ(ls[0].words, Words{"ls"});
  EXPECT_EQ(ls[1].placeholder, "REMOTE_DIR");
  EXPECT_TRUE(ls[1].optional);
  EXPECT_EQ(ls[2].words, (Words{"-o", "--output"}));
  EXPECT_EQ(ls[2].placeholder, "LOCAL");

  const SynopsisForm ftp = parseSynopsis(findCommandHelp("ftp")->synopsis);
  ASSERT_EQ(ftp.size(), 6u);
  EXPECT_EQ(ftp[3].placeholder, "ftp://[USER[:PASS]@]HOST[:PORT][/PATH]");  // brackets inside a word stay
  EXPECT_FALSE(ftp[3].optional);
  EXPECT_TRUE(ftp[5].optional && ftp[5].repeated);
  EXPECT_EQ(ftp[5].placeholder, "STEP");

  const SynopsisForm registering = parseSynopsis("skein10 register [--library PATH]...");
  ASSERT_EQ(registering.size(), 3u);
  EXPECT_TRUE(registering[2].optional && registering[2].repeated);
  EXPECT_EQ(registering[2].placeholder, "PATH");

  EXPECT_EQ(parseSynopsis("get 'PATTERN' LOCAL_DIR")[1].placeholder, "PATTERN");
  EXPECT_TRUE(parseSynopsis("skein10 call PROGID MEMBER [ARG...]")[4].repeated);
  EXPECT_EQ(parseSynopses(findCommandHelp("cache")->synopsis).size(), 2u);
  EXPECT_EQ(alternativesOf("has|add|remove"), (Words{"has", "add", "remove"}));
}

const CompletionSources kSources{
    [] { return Words{"Skein10.clsKvInetFTPConnection", "KvMarrow10.clsKvMarrow10A"}; },
    [](const std::string& progId) {
      return progId == "Skein10.clsKvInetFTPConnection" ? Words{"Connect", "GetFile", "TimeOut"} : Words{};
    },
};

struct CompletionCase {
  Words typed;  // the last word is the one being completed
  Words words;
  CompletionAnswer::Local local = CompletionAnswer::Local::None;
};

TEST(CompletionTest, AnswersFromTheSynopsesOptionsAndTheRuntime) {
  using Local = CompletionAnswer::Local;
  const Words commands{"register", "unregister", "call", "ftp", "browser", "cache", "about", "help"};
  const Words steps{"cd", "mkdir", "rmdir", "rm", "mv", "type", "ls", "get", "put"};
  const Words ftpOptions{"-u", "--user", "--netrc", "--ascii", "--mode", "--timeout", "--log",
                         "--progress", "--quiet", "--ssl-reqd", "--cacert"};
  Words ftpOptionsAndHelp = ftpOptions;
  ftpOptionsAndHelp.push_back("--help");
  const CompletionCase cases[] = {
      {{""}, commands},
      {{"c"}, {"call", "cache"}},
      {{"-"}, {"--help", "--version"}},
      {{"--version", ""}, {}},
      {{"help", ""}, commands},
      {{"ftp", "-"}, ftpOptionsAndHelp},
      {{"ftp", "--mode", ""}, {"PASV", "PORT"}},
      {{"ftp", "--cacert", ""}, {}, Local::Files},
      {{"ftp", "-u", "alice", "ftp://h", ""}, steps},           // options are offered after a "-" only
      {{"ftp", "ftp://h", "--log", "-"}, ftpOptions},
      {{"ftp", "ftp://h", "cd", "x", "-"}, {}},                 // no option after the first step
      {{"ftp", "ftp://h", "cd", ""}, {}},                       // a remote folder: no local names
      {{"ftp", "ftp://h", "cd", "x", "mv", "a", "b", ""}, steps},
      {{"ftp", "ftp://h", "get", "-"}, {"-r"}},
      {{"ftp", "ftp://h", "get", "a", ""}, {}, Local::Files},   // LOCAL, or the LOCAL_DIR of a pattern
      {{"ftp", "ftp://h", "get", "-r", "a", ""}, {}, Local::Folders},
      {{"ftp", "ftp://h", "put", ""}, {}, Local::Files},
      {{"ftp", "ftp://h", "put", "-", "r", ""}, steps},         // "-" is standard input, not an option
      {{"ftp", "ftp://h", "ls", ""}, steps},                    // its folder is optional
      {{"ftp", "ftp://h", "ls", "-"}, {"-o", "--output"}},
      {{"ftp", "ftp://h", "ls", "sub", "-o", ""}, {}, Local::Files},
      {{"ftp", "ftp://h", "ls", "sub", "-o", "out", "type", ""}, {"binary", "ascii"}},
      {{"ftp", "--bogus", ""}, {}},
      {{"call", ""}, {"Skein10.clsKvInetFTPConnection", "KvMarrow10.clsKvMarrow10A"}},
      {{"call", "S"}, {"Skein10.clsKvInetFTPConnection"}},
      {{"call", "Skein10.clsKvInetFTPConnection", "G"}, {"GetFile"}},
      {{"call", "Skein10.clsKvInetFTPConnection", "Connect", ""}, {}},
      {{"cache", ""}, {"has", "add", "remove", "list"}},
      {{"register", "-"}, {"--library", "--help"}},
      {{"register", "--library", ""}, {}, Local::Files},
      {{"nothing", ""}, {}},
  };
  for (const CompletionCase& c : cases) {
    std::string line;
    for (const std::string& word : c.typed) line += "[" + word + "]";
    const CompletionAnswer answer = complete(c.typed, kSources);
    Words got = answer.words, wanted = c.words;
    std::sort(got.begin(), got.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(got, wanted) << line;
    EXPECT_EQ(answer.local, c.local) << line;
  }
}

TEST(ManPageTest, EscapesWhatRoffWouldReadAsARequestOrAnEscape) {
  EXPECT_EQ(roffText("./NAME."), "\\&./NAME.");
  EXPECT_EQ(roffText("'a[[]1].txt'"), "\\&'a[[]1].txt'");
  EXPECT_EQ(roffText("--cacert C:\\certs"), "\\-\\-cacert C:\\ecerts");
  EXPECT_EQ(roffText("a.b 'c'"), "a.b 'c'");

  std::ostringstream page;
  writeManPage(page, {"1.0.94", "11 Dec 2026", "/usr/lib/skein10/registry"});
  EXPECT_EQ(page.str().rfind(".\\\"", 0), 0u);
  for (const char* part : {".TH SKEIN10 1 \"11 Dec 2026\" \"skein10 1.0.94\"", ".SH \"EXIT STATUS\"",
                           "\\&./NAME.", "/usr/lib/skein10/registry", "\\fB\\-\\-cacert FILE\\fR"})
    EXPECT_NE(page.str().find(part), std::string::npos) << part;
  // A blank line is no paragraph in roff: paragraphs are macros.
  EXPECT_EQ(page.str().find("\n\n"), std::string::npos);
}

// Only command lines, which can't be broken, may run past 80 columns.
TEST(HelpTextTest, FillsTheTextToEightyColumns) {
  std::ostringstream text;
  printManual(text);
  for (const CommandHelp& command : commandHelp()) printCommandHelp(command.name, text);
  std::istringstream lines(text.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 80) {
      EXPECT_EQ(line.substr(line.find_first_not_of(' '), 8), "skein10 ") << line;
    }
  }
}

}  // namespace
}  // namespace skein10::host
