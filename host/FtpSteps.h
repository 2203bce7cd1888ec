#pragma once
// The steps of an `skein10 ftp` session, read from the command line and
// turned into late-bound calls of the FTP session's members.

#include <optional>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/FtpFailure.h"
#include "skein10/String.h"
#include "skein10/Variant.h"

namespace skein10::host {

// Which way a step moves file bytes, for the progress line.
enum class Traffic { None, Download, Upload };

struct FtpStep {
  std::string name;  // the step's word ("get")
  String member;     // the session member it calls ("GetFile")
  std::vector<Variant> args;
  Traffic traffic;
  std::string text;  // the step as written ("get big.bin out.bin")
  StepRole role;
  // Which of args is the local file of a transfer; "-" there stands for
  // standard output (ls, get) or standard input (put).
  std::optional<std::size_t> localArg;
};

// Reads every remaining word as steps; UsageError for an unknown step, a
// missing argument or a transfer type other than binary or ascii.
std::vector<FtpStep> parseFtpSteps(CommandLine& words);

}  // namespace skein10::host
