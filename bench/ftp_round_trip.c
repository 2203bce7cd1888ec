/* The round-trip baseline: a bare FTP control connection on a raw socket.
 *
 * Logs in, sends `CWD /` COUNT times, each after the whole reply to the one
 * before has come, and quits.
 *
 *   ftp_round_trip HOST PORT USER PASSWORD COUNT
 */
#include <stdlib.h>
#include <unistd.h>

#include "raw_ftp.h"

int main(int argc, char** argv) {
  raw_name("ftp_round_trip");
  if (argc != 6) raw_fail("usage: ftp_round_trip HOST PORT USER PASSWORD COUNT");
  const long count = atol(argv[5]);
  const int fd = raw_login(argv[1], atoi(argv[2]), argv[3], argv[4]);
  for (long i = 0; i < count; ++i) {
    if (raw_command(fd, "CWD /") / 100 != 2) raw_fail("CWD / was refused");
  }
  raw_command(fd, "QUIT");
  close(fd);
  return 0;
}
