// Several FTP sessions at once in one process: each on a thread of its own,
// each downloading one file, all started together.
//
//   ftp_parallel HOST PORT USER PASSWORD FOLDER REMOTE LOCAL_PREFIX SESSIONS PASV|PORT
//
// FOLDER is changed into first ("-" for none); session i stores REMOTE in
// LOCAL_PREFIX followed by i. Exits 1 when any session fails.

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/Enums.h"
#include "skein10/Error.h"
#include "skein10/Identifiers.h"

namespace {

using namespace skein10;

struct Job {
  std::vector<String> login;  // host, port, user, password
  String folder;
  String remote;
  std::string localPrefix;
  String mode;
};

void download(const Job& job, int index) {
  const ObjectRef session = CreateObject(ids::kProgIdKvInetFTPConnection);
  assign(*session, u"ConnectionMode", job.mode);
  call(*session, u"Connect", {job.login[0], job.login[1], job.login[2], job.login[3]});
  if (job.folder != u"-") call(*session, u"ChangeDirectory", {job.folder});
  call(*session, u"TransferType", {Variant(int32_t{ftp_BINARY})});
  call(*session, u"GetFile", {job.remote, fromUtf8(job.localPrefix + std::to_string(index))});
  call(*session, u"Disconnect");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 10) {
    std::cerr << "usage: ftp_parallel HOST PORT USER PASSWORD FOLDER REMOTE LOCAL_PREFIX SESSIONS PASV|PORT\n";
    return 2;
  }
  Job job{{fromUtf8(argv[1]), fromUtf8(argv[2]), fromUtf8(argv[3]), fromUtf8(argv[4])},
          fromUtf8(argv[5]), fromUtf8(argv[6]), argv[7], fromUtf8(argv[9])};
  const int sessions = std::atoi(argv[8]);
  std::atomic<bool> failed{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < sessions; ++i) {
    threads.emplace_back([&, i] {
      try {
        download(job, i);
      } catch (const Error& e) {
        std::cerr << "ftp_parallel: session " << i << ": " << e.what() << "\n";
        failed = true;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  return failed ? 1 : 0;
}
