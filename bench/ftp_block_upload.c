/* The upload floor: what the upload rule costs without any library around
 * it. Logs in, sends TYPE I, opens the data connection passively (PASV) or
 * actively (PORT), stores LOCAL_FILE as REMOTE_NAME the way the library
 * must (one 3072-byte block read from the file at a time, each handed to
 * the socket on its own, marked as more to come) and takes the server's 226.
 *
 *   ftp_block_upload HOST PORT USER PASSWORD LOCAL_FILE REMOTE_NAME [PASV|PORT]
 */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
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

/* A listener on HOST for the server's data connection, announced by PORT. */
static int announceListener(int control, const char* host) {
  struct sockaddr_in local = {.sin_family = AF_INET};
  socklen_t size = sizeof local;
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  if (listener < 0 || inet_pton(AF_INET, host, &local.sin_addr) != 1 ||
      bind(listener, (const struct sockaddr*)&local, sizeof local) != 0 || listen(listener, 1) != 0 ||
      getsockname(listener, (struct sockaddr*)&local, &size) != 0) {
    raw_fail("no listener for the data connection");
  }
  const unsigned char* ip = (const unsigned char*)&local.sin_addr;
  const unsigned port = ntohs(local.sin_port);
  char text[64];
  snprintf(text, sizeof text, "PORT %u,%u,%u,%u,%u,%u", ip[0], ip[1], ip[2], ip[3], port / 256, port % 256);
  if (raw_command(control, text) / 100 != 2) raw_fail("PORT was refused");
  return listener;
}

int main(int argc, char** argv) {
  raw_name("ftp_block_upload");
  if (argc != 7 && argc != 8) raw_fail("usage: ftp_block_upload HOST PORT USER PASSWORD LOCAL_FILE REMOTE_NAME [PASV|PORT]");
  const int active = argc == 8 && strcmp(argv[7], "PORT") == 0;
  const int control = raw_login(argv[1], atoi(argv[2]), argv[3], argv[4]);
  if (raw_command(control, "TYPE I") / 100 != 2) raw_fail("TYPE I was refused");
  int data = -1, listener = -1;
  if (active) {
    listener = announceListener(control, argv[1]);
  } else {
    if (raw_command(control, "PASV") != 227) raw_fail("PASV was refused");
    data = raw_connect(argv[1], passivePort(raw_last_reply()));
  }
  char text[512];
  snprintf(text, sizeof text, "STOR %s", argv[6]);
  if (raw_command(control, text) / 100 != 1) raw_fail("STOR was refused");
  if (active) {
    data = accept(listener, NULL, NULL);
    if (data < 0) raw_fail("the server did not connect");
    close(listener);
  }

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
