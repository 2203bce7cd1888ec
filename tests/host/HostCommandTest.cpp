// The `skein10` program run as a child process: each command's success,
// failure and usage exit codes, against a private registration store and a
// real FTP server on loopback.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "HostRun.h"
#include "PyftpdlibServer.h"
#include "TempDir.h"
#include "skein10/String.h"

namespace skein10::test {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

constexpr int kOk = 0;
constexpr int kError = 1;
constexpr int kUsage = 2;

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class HostCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    state_ = std::make_unique<TempDir>();
    const HostResult registered = runHostProgram({"register"}, environment());
    ASSERT_EQ(registered.exitCode, kOk) << registered.err;
  }
  static void TearDownTestSuite() {
    server_.reset();
    state_.reset();
  }

  // A private store, URL cache and configuration folder for every run.
  static std::map<std::string, std::string> environment() {
    return {{"SKEIN10_REGISTRY", (*state_ / "registry").string()},
            {"SKEIN10_URLCACHE", (*state_ / "urlcache").string()},
            {"XDG_CONFIG_HOME", (*state_ / "config").string()},
            {"SKEIN10_FTP_PASSWORD", ""}};
  }

  static HostResult run(const Words& args, std::map<std::string, std::string> extra = {},
                        bool errorOnTerminal = false) {
    auto env = environment();
    for (auto& [name, value] : extra) env[name] = value;
    HostResult result = runHostProgram(args, env, errorOnTerminal);
    EXPECT_FALSE(result.timedOut) << args.front();
    return result;
  }

  static PyftpdlibServer& server() {
    if (!server_) server_ = std::make_unique<PyftpdlibServer>();
    return *server_;
  }
  static std::string url(bool withPassword = true) {
    PyftpdlibServer& s = server();
    // Appended piece by piece: GCC 12 at -O3 misreads a chain of + here (-Wrestrict).
    std::string text = "ftp://";
    text += toUtf8(s.user());
    if (withPassword) {
      text += ':';
      text += toUtf8(s.password());
    }
    text += "@127.0.0.1:";
    text += std::to_string(s.port());
    return text;
  }

  TempDir local_;

 private:
  static inline std::unique_ptr<TempDir> state_;
  static inline std::unique_ptr<PyftpdlibServer> server_;
};

TEST_F(HostCommandTest, UsageMistakesPrintUsageAndExit2) {
  const Words cases[] = {
      {},
      {"frobnicate"},
      {"ftp"},
      {"ftp", "ftp://u@127.0.0.1"},
      {"ftp", "ftp://u@127.0.0.1", "get", "only-remote"},
      {"ftp", "ftp://u@127.0.0.1", "chmod", "x"},
      {"ftp", "--mode", "EPSV", "ftp://u@127.0.0.1", "cd", "x"},
      {"ftp", "--timeout", "never", "ftp://u@127.0.0.1", "cd", "x"},
      {"ftp", "http://u@127.0.0.1", "cd", "x"},
      {"call"},
      {"call", "Skein10.clsKvSkein10A"},
      {"cache"},
      {"cache", "drop", "http://x/"},
      {"cache", "has"},
      {"cache", "list", "extra"},
      {"register", "--everything"},
      {"unregister", "--library"},
      {"browser", "extra"},
      {"about", "extra"},
  };
  for (const Words& args : cases) {
    SCOPED_TRACE(args.empty() ? "(no arguments)" : args.front());
    const HostResult result = run(args);
    EXPECT_EQ(result.exitCode, kUsage) << result.err;
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.rfind("skein10: ", 0), 0u) << result.err;
  }
}

TEST_F(HostCommandTest, HelpPrintsTheManualOrTheCommandsPage) {
  const HostResult manual = run({"--help"});
  EXPECT_EQ(manual.exitCode, kOk);
  for (const char* section : {"NAME", "SYNOPSIS", "COMMANDS", "ENVIRONMENT", "EXIT STATUS"})
    EXPECT_NE(manual.out.find(section), std::string::npos) << section;
  for (const char* command : {"register", "unregister", "call", "ftp", "browser", "cache", "about"}) {
    const HostResult page = run({command, "--help"});
    EXPECT_EQ(page.exitCode, kOk) << command;
    EXPECT_NE(page.out.find(std::string("skein10 ") + command), std::string::npos) << page.out;
  }
}

TEST_F(HostCommandTest, ErrorsPrintNumberSourceAndDescriptionAndExit1) {
  const struct {
    Words args;
    const char* message;
  } cases[] = {
      {{"call", "Nothing.Here", "Member"}, "skein10: error 429 (skein10): Can't create object\n"},
      {{"call", "Skein10.clsKvSkein10A", "NoSuchMember"}, "skein10: error 438 (skein10): "},
      {{"call", "Skein10.clsKvSkein10A", "GetProResStrings", "1"}, "skein10: error 326 "},
      {{"call", "Skein10.clsKvSkein10A", "GetProResStrings", "one"}, "skein10: error 13 (skein10): "},
      {{"call", "Skein10.clsKvInetGeneralA", "Anything"}, "skein10: error 438 (skein10): "},
      {{"register", "--library", "/nonexistent/libnothing.so"}, "skein10: error "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const HostResult result = run(c.args);
    EXPECT_EQ(result.exitCode, kError);
    EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
  }
}

TEST_F(HostCommandTest, CallPrintsTheResult) {
  const HostResult about = run({"call", "Skein10.clsKvSkein10A", "About"});
  EXPECT_EQ(about.exitCode, kOk) << about.err;
  EXPECT_TRUE(about.out.ends_with("\n0\n")) << about.out;

  const HostResult app = run({"call", "Skein10.clsKvSkein10A", "GetProStdProperties"});
  EXPECT_EQ(app.exitCode, kOk) << app.err;
  EXPECT_FALSE(app.out.empty());

  const HostResult folders = run({"call", "Skein10.clsKvInetURLCacheA", "colUserInformation"});
  EXPECT_EQ(folders.exitCode, kOk) << folders.err;
  EXPECT_NE(folders.out.find("\\Cookies\n"), std::string::npos) << folders.out;

  const HostResult data = run({"call", "Skein10.clsKvSkein10A", "GetProResData", "1", "16"});
  EXPECT_EQ(data.exitCode, kOk) << data.err;
  EXPECT_EQ(data.out.find_first_not_of("0123456789abcdef\n"), std::string::npos) << data.out;
}

TEST_F(HostCommandTest, BrowserPrintsTheFourFoldersInOrder) {
  const HostResult result = run({"browser"});
  ASSERT_EQ(result.exitCode, kOk) << result.err;
  std::istringstream lines(result.out);
  std::string line;
  for (const char* key : {"UserProfileDir=", "CookiesDir=", "History=", "TempInternetFiles="}) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(key, 0), 0u) << line;
  }
}

TEST_F(HostCommandTest, AboutPrintsTheAboutBox) {
  const HostResult result = run({"about"});
  EXPECT_EQ(result.exitCode, kOk) << result.err;
  EXPECT_NE(result.out.find("Version 1.0.94"), std::string::npos) << result.out;
}

TEST_F(HostCommandTest, CacheAddsFindsListsAndRemovesAnEntry) {
  const std::string entry = "http://example.org/a b?c=1";
  const struct {
    Words args;
    const char* out;
  } steps[] = {
      {{"cache", "has", entry}, "False\n"}, {{"cache", "add", entry}, ""},
      {{"cache", "has", entry}, "True\n"},  {{"cache", "list"}, "http://example.org/a b?c=1\n"},
      // The browser-data class asks the same store.
      {{"call", "Skein10.clsKvInetURLCacheA", "GetCacheEntryInfoPro", "0", entry}, "True\n"},
      {{"cache", "remove", entry}, ""},     {{"cache", "has", entry}, "False\n"},
      {{"cache", "list"}, ""},
  };
  for (const auto& step : steps) {
    const HostResult result = run(step.args);
    EXPECT_EQ(result.exitCode, kOk) << step.args[1] << ": " << result.err;
    EXPECT_EQ(result.out, step.out) << step.args[1];
  }
}

TEST_F(HostCommandTest, UnregisterMakesTheClassesUncreatableUntilRegisteredAgain) {
  EXPECT_EQ(run({"unregister"}).exitCode, kOk);
  EXPECT_EQ(run({"about"}).exitCode, kError);
  EXPECT_EQ(run({"register"}).exitCode, kOk);
  EXPECT_EQ(run({"about"}).exitCode, kOk);
}

TEST_F(HostCommandTest, FtpSessionRunsEveryStepInBothModes) {
  std::string payload;
  for (int i = 0; i < 5000; ++i) payload += static_cast<char>((i * 7919) % 251);
  std::ofstream(local_ / "payload.bin", std::ios::binary) << payload;
  for (const char* mode : {"PASV", "PORT"}) {
    SCOPED_TRACE(mode);
    const std::string folder = std::string("dir-") + mode;
    const HostResult result =
        run({"ftp", "--mode", mode, "--log", url(), "mkdir", folder, "cd", folder, "type", "binary", "put",
             (local_ / "payload.bin").string(), "up.bin", "ls", (local_ / "list.txt").string(), "get", "up.bin",
             (local_ / "down.bin").string(), "mv", "up.bin", "renamed.bin"});
    ASSERT_EQ(result.exitCode, kOk) << result.err << result.out;
    EXPECT_EQ(contentOf(local_ / "down.bin"), payload);
    EXPECT_NE(contentOf(local_ / "list.txt").find("up.bin"), std::string::npos);
    EXPECT_EQ(contentOf(server().root() / folder / "renamed.bin"), payload);
    EXPECT_NE(result.out.find("RNTO renamed.bin"), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "");  // no progress line when standard error is no terminal
  }
}

TEST_F(HostCommandTest, FtpDrawsAProgressLineOnATerminalUnlessQuiet) {
  std::ofstream(local_ / "big.bin", std::ios::binary) << std::string(4 << 20, 'p');
  const std::string rewind = "\r\x1b[K";
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "--quiet" : "terminal");
    Words args{"ftp", url(), "put", (local_ / "big.bin").string(), "big.bin", "get", "big.bin",
               (local_ / "back.bin").string(), "rm", "big.bin"};
    if (quiet) args.insert(args.begin() + 1, "--quiet");
    const HostResult result = run(args, {}, true);
    ASSERT_EQ(result.exitCode, kOk) << result.err;
    EXPECT_EQ(fs::file_size(local_ / "back.bin"), 4u << 20);
    // Each transfer step clears its line when it ends, whether or not the
    // 200 ms timer has drawn it yet.
    EXPECT_EQ(result.err.find(rewind) != std::string::npos, !quiet) << result.err;
    EXPECT_EQ(result.err.find("skein10: error"), std::string::npos) << result.err;
  }
}

TEST_F(HostCommandTest, FtpStopsAtTheFirstFailingStepAndStillPrintsTheLog) {
  const HostResult result =
      run({"ftp", "--log", url(), "rm", "no-such-file", "mkdir", "never-made"});
  EXPECT_EQ(result.exitCode, kError);
  EXPECT_EQ(result.err.rfind("skein10: error 8 (FTP Command): ", 0), 0u) << result.err;
  EXPECT_FALSE(fs::exists(server().root() / "never-made"));
  EXPECT_NE(result.out.find("DELE no-such-file"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("MKD never-made"), std::string::npos) << result.out;
}

TEST_F(HostCommandTest, FtpTakesThePasswordFromTheEnvironment) {
  const PyftpdlibServer& s = server();
  const HostResult withVariable =
      run({"ftp", url(false), "mkdir", "by-env"}, {{"SKEIN10_FTP_PASSWORD", toUtf8(s.password())}});
  EXPECT_EQ(withVariable.exitCode, kOk) << withVariable.err;
  EXPECT_TRUE(fs::is_directory(s.root() / "by-env"));

  const HostResult without = run({"ftp", url(false), "mkdir", "no-password"});
  EXPECT_EQ(without.exitCode, kError);
  EXPECT_EQ(without.err.rfind("skein10: error 8 (FTP Command): ", 0), 0u) << without.err;
}

TEST_F(HostCommandTest, FtpReportsAServerThatIsNotThere) {
  // A port nobody listens on: the session fails within its time-out.
  const HostResult result = run({"ftp", "--timeout", "3000", "ftp://u:p@127.0.0.1:1", "cd", "x"});
  EXPECT_EQ(result.exitCode, kError);
  EXPECT_EQ(result.err.rfind("skein10: error ", 0), 0u) << result.err;
}

}  // namespace
}  // namespace skein10::test
