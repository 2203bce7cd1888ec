/* A bare FTP control connection on a raw socket, for the baselines: no
 * buffering layer and no logging, one send per command and as many
 * receives as its reply takes. Every failure ends the program (exit 1). */
#pragma once

#include <stdnoreturn.h>

/* Ends the program with "NAME: what" on standard error. */
noreturn void raw_fail(const char* what);
/* The program's name in messages (argv[0]'s last part by default). */
void raw_name(const char* name);

/* A TCP connection to a dotted IPv4 address, with no delay and bounded
 * receives. */
int raw_connect(const char* ip, int port);
/* Takes one whole reply (a multi-line one too) and returns its code; the
 * reply's text is in raw_last_reply() until the next one. */
int raw_reply(int fd);
const char* raw_last_reply(void);
/* Sends TEXT and CR LF, then takes the reply. */
int raw_command(int fd, const char* text);
/* Connects, takes the greeting and logs in; the control connection. */
int raw_login(const char* ip, int port, const char* user, const char* password);
