#pragma once
// The steps of an `skein10 ftp` session, read from the command line. Each
// step is one action of the session: a command that calls one member of the
// FTP session, a file transfer (GetFile, PutFile), a listing (ListContents
// between cd steps), or a transfer of many files (a tree, or the files that
// match a pattern) made of those same members.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/CommandLine.h"
#include "host/FtpFailure.h"
#include "skein10/String.h"
#include "skein10/Variant.h"

namespace skein10::host {

// Which way a step moves file bytes, for the progress line.
enum class Traffic { None, Download, Upload };

// A remote folder path given to ls, get -r and put -r: its names, each
// entered with one cd and left with one "cd ..". Empty: the current folder.
using RemotePath = std::vector<std::string>;

// cd, mkdir, rmdir, rm, mv, type: one member call.
struct RemoteCommand {
  String member;  // "ChangeDirectory"
  std::vector<Variant> args;
  StepRole role;
};

// get REMOTE LOCAL, put LOCAL REMOTE: one file; a LOCAL of "-" is standard
// output (get) or standard input (put).
struct FileTransfer {
  Traffic traffic;
  std::string remote;
  std::string local;
};

// ls [REMOTE_DIR] [-o LOCAL]: the listing of a folder, written to LOCAL
// ("-": standard output).
struct Listing {
  RemotePath folder;
  std::string output = "-";
};

// get -r REMOTE_DIR LOCAL_DIR
struct TreeDownload {
  RemotePath remote;
  std::string local;
};

// get 'PATTERN' LOCAL_DIR
struct MatchingDownload {
  std::string pattern;
  std::string local;
};

// put -r LOCAL_DIR REMOTE_DIR
struct TreeUpload {
  std::string local;
  RemotePath remote;
};

using StepAction = std::variant<RemoteCommand, FileTransfer, Listing, TreeDownload, MatchingDownload, TreeUpload>;

struct FtpStep {
  std::string name;  // the step's word ("get")
  std::string text;  // the step as written ("get big.bin out.bin")
  StepAction action;
  bool fromUrl = false;  // made from the URL's path, not written as a step
};

// Reads every remaining word as steps; UsageError for an unknown step, a
// missing argument, a transfer type other than binary or ascii, or a
// REMOTE_DIR that is not a relative path of folder names.
std::vector<FtpStep> parseFtpSteps(CommandLine& words);

// The steps a URL's path stands for (see FtpUrl.h): a cd per name when
// steps follow the URL; without steps, a cd per folder, then `ls` for a path
// that ends in "/" or `get NAME NAME` for one that ends in a file NAME.
std::vector<FtpStep> urlSteps(const std::vector<std::string>& path, bool folderPath, bool stepsFollow);

// Whether a get step's REMOTE is a shell pattern: it holds *, ? or [.
bool isPattern(const std::string& remote);

}  // namespace skein10::host
