#include "raw_ftp.h"

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

static const char* program = "raw_ftp";

void raw_name(const char* name) { program = name; }

void raw_fail(const char* what) {
  fprintf(stderr, "%s: %s\n", program, what);
  exit(1);
}

int raw_connect(const char* ip, int port) {
  struct sockaddr_in server = {.sin_family = AF_INET, .sin_port = htons((uint16_t)port)};
  if (inet_pton(AF_INET, ip, &server.sin_addr) != 1) raw_fail("HOST must be a dotted IPv4 address");
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) raw_fail("no socket");
  const struct timeval timeout = {.tv_sec = kTimeoutSeconds};
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (connect(fd, (const struct sockaddr*)&server, sizeof server) != 0) raw_fail("connect failed");
  return fd;
}

/* Received bytes not yet taken by a reply, and the last reply's line. */
static char pending[8192];
static size_t held;
static char last[512];

int raw_reply(int fd) {
  for (;;) {
    /* A reply ends at a line that starts with three digits and a space. */
    size_t start = 0;
    for (size_t i = 0; i < held; ++i) {
      if (pending[i] != '\n') continue;
      const char* line = pending + start;
      const size_t length = i + 1 - start;
      start = i + 1;
      if (length >= 4 && line[3] == ' ' && line[0] >= '0' && line[0] <= '9') {
        const size_t kept = length < sizeof last ? length : sizeof last - 1;
        memcpy(last, line, kept);
        last[kept] = '\0';
        const int code = atoi(line);
        memmove(pending, pending + start, held - start);
        held -= start;
        return code;
      }
    }
    if (held == sizeof pending) raw_fail("a reply line is too long");
    const ssize_t got = recv(fd, pending + held, sizeof pending - held, 0);
    if (got <= 0) raw_fail("the server closed the connection");
    held += (size_t)got;
  }
}

const char* raw_last_reply(void) { return last; }

int raw_command(int fd, const char* text) {
  char line[512];
  const int length = snprintf(line, sizeof line, "%s\r\n", text);
  if (length <= 0 || (size_t)length >= sizeof line) raw_fail("a command is too long");
  if (send(fd, line, (size_t)length, 0) != length) raw_fail("a send failed");
  return raw_reply(fd);
}

int raw_login(const char* ip, int port, const char* user, const char* password) {
  const int fd = raw_connect(ip, port);
  if (raw_reply(fd) / 100 != 2) raw_fail("the server refused the session");
  char text[256];
  snprintf(text, sizeof text, "USER %s", user);
  const int answer = raw_command(fd, text);
  if (answer / 100 == 3) {
    snprintf(text, sizeof text, "PASS %s", password);
    if (raw_command(fd, text) / 100 != 2) raw_fail("the login failed");
  } else if (answer / 100 != 2) {
    raw_fail("USER was refused");
  }
  return fd;
}
