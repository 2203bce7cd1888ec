/* The upload floor: what the upload rule costs without any library around
 * it. Logs in, sends TYPE I and PASV, stores LOCAL_FILE as REMOTE_NAME the
 * way the library must (one 3072-byte block read from the file at a time,
 * each handed to the socket on its own, marked as more to come) and takes
 * the server's 226.
 *
 *   ftp_block_upload HOST PORT USER PASSWORD LOCAL_FILE REMOTE_NAME
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include "raw_ftp.h"

enum { kBlock = 3072 };

/* The data port of a 227 reply ("... (h1,h2,h3,h4,p1,p2)"). */
static int passivePort(const char* reply) {
  const char* open = strchr(reply, '(');
  int h[4], p1, p2;
  if (!open || sscanf(open, "(%d,%d,%d,%d,%d,%d", &h[0], &h[1], &h[2], &h[3], &p1, &p2) != 6) {
    raw_fail("PASV gave no address");
  }
  return p1 * 256 + p2;
}

int main(int argc, char** argv) {
  raw_name("ftp_block_upload");
  if (argc != 7) raw_fail("usage: ftp_block_upload HOST PORT USER PASSWORD LOCAL_FILE REMOTE_NAME");
  const int control = raw_login(argv[1], atoi(argv[2]), argv[3], argv[4]);
  if (raw_command(control, "TYPE I") / 100 != 2) raw_fail("TYPE I was refused");
  if (raw_command(control, "PASV") != 227) raw_fail("PASV was refused");
  const int data = raw_connect(argv[1], passivePort(raw_last_reply()));
  char text[512];
  snprintf(text, sizeof text, "STOR %s", argv[6]);
  if (raw_command(control, text) / 100 != 1) raw_fail("STOR was refused");

  const int file = open(argv[5], O_RDONLY);
  if (file < 0) raw_fail("the local file can't be read");
  char block[kBlock];
  for (;;) {
    const ssize_t got = read(file, block, sizeof block);
    if (got < 0) raw_fail("a read failed");
    if (got == 0) break;
    if (send(data, block, (size_t)got, MSG_MORE) != got) raw_fail("a send failed");
  }
  close(file);
  close(data);
  if (raw_reply(control) / 100 != 2) raw_fail("the server did not take the file");
  raw_command(control, "QUIT");
  close(control);
  return 0;
}
