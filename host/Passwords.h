#pragma once
// Keeping passwords of the command line out of sight: out of the messages
// that repeat the command line, and out of the process's own argument list,
// which `ps` and /proc/PID/cmdline show to every user of the machine.

#include <string>

namespace skein10::host {

// The text with the password of each URL in it (SCHEME://USER:PASS@) shown
// as "***".
std::string withoutPasswords(const std::string& text);

// Overwrites, in the argument list itself, each byte of the PASS of the word
// after "-u" or "--user" (USER:PASS) and of a URL's SCHEME://USER:PASS@ with
// "*". Call it once the program has its own copy of the words.
void hidePasswords(int argc, char** argv);

}  // namespace skein10::host
