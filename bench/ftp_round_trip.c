/* The round-trip baseline: a bare FTP control connection on a raw socket.
 *
 * Logs in, sends `CWD /` COUNT times, each after the whole reply to the one
 * before has come, and quits. No buffering layer, no logging: one send and
 * as many receives as the reply takes, per command.
 *
 *   ftp_round_trip HOST PORT USER PASSWORD COUNT
 */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

enum { kTimeoutSeconds = 20 };

static int fail(const char* what) {
  fprintf(stderr, "ftp_round_trip: %s\n", what);
  exit(1);
}

/* Received bytes not yet taken by a reply. */
static char pending[8192];
static size_t held;

/* Takes one whole reply (a multi-line one too) and returns its code. */
static int reply(int fd) {
  for (;;) {
    /* A reply ends at a line that starts with three digits and a space. */
    size_t start = 0;
    for (size_t i = 0; i < held; ++i) {
      if (pending[i] != '\n') continue;
      const char* line = pending + start;
      const size_t length = i + 1 - start;
      start = i + 1;
      if (length >= 4 && line[3] == ' ' && line[0] >= '0' && line[0] <= '9') {
        const int code = atoi(line);
        memmove(pending, pending + start, held - start);
        held -= start;
        return code;
      }
    }
    if (held == sizeof pending) fail("a reply line is too long");
    const ssize_t got = recv(fd, pending + held, sizeof pending - held, 0);
    if (got <= 0) fail("the server closed the connection");
    held += (size_t)got;
  }
}

static int command(int fd, const char* text) {
  char line[512];
  const int length = snprintf(line, sizeof line, "%s\r\n", text);
  if (length <= 0 || (size_t)length >= sizeof line) fail("a command is too long");
  if (send(fd, line, (size_t)length, 0) != length) fail("a send failed");
  return reply(fd);
}

int main(int argc, char** argv) {
  if (argc != 6) fail("usage: ftp_round_trip HOST PORT USER PASSWORD COUNT");
  const long count = atol(argv[5]);
  struct sockaddr_in server = {.sin_family = AF_INET, .sin_port = htons((uint16_t)atoi(argv[2]))};
  if (inet_pton(AF_INET, argv[1], &server.sin_addr) != 1) fail("HOST must be a dotted IPv4 address");

  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) fail("no socket");
  const struct timeval timeout = {.tv_sec = kTimeoutSeconds};
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (connect(fd, (const struct sockaddr*)&server, sizeof server) != 0) fail("connect failed");

  if (reply(fd) / 100 != 2) fail("the server refused the session");
  char text[256];
  snprintf(text, sizeof text, "USER %s", argv[3]);
  const int user = command(fd, text);
  if (user / 100 == 3) {
    snprintf(text, sizeof text, "PASS %s", argv[4]);
    if (command(fd, text) / 100 != 2) fail("the login failed");
  } else if (user / 100 != 2) {
    fail("USER was refused");
  }
  for (long i = 0; i < count; ++i) {
    if (command(fd, "CWD /") / 100 != 2) fail("CWD / was refused");
  }
  command(fd, "QUIT");
  close(fd);
  return 0;
}
