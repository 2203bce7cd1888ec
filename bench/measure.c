/* Runs one command (or several copies of it at once) and reports its cost.
 *
 *   measure [--copies N] [--limit SECONDS] [--may-fail] [--log FILE] -- CMD ARG...
 *
 * Prints one line: the wall time in seconds, the CPU time (user + system) in
 * seconds and the peak resident set size in KiB. With --copies, N copies
 * start together; every "{i}" in their arguments becomes the copy's index
 * (0 to N-1), the CPU times add up and the peak is the largest copy's. The
 * copies' output goes to FILE (appended). Exits 1 when a copy fails (unless
 * --may-fail) or outlives the limit (all copies are then killed).
 *
 * Written in C so that its own small footprint is all a child inherits: a
 * process's peak RSS counts the memory of the one that started it.
 */
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kMaxCopies = 64 };

static pid_t children[kMaxCopies];
static int copies = 1;

static void kill_all(int signum) {
  (void)signum;
  for (int i = 0; i < copies; ++i)
    if (children[i] > 0) kill(children[i], SIGKILL);
}

static double seconds(struct timeval t) { return (double)t.tv_sec + (double)t.tv_usec / 1e6; }

static void usage(void) {
  fprintf(stderr, "usage: measure [--copies N] [--limit SECONDS] [--may-fail] [--log FILE] -- CMD ARG...\n");
  exit(2);
}

/* argv of copy `index`: every "{i}" replaced by the index. */
static char** with_index(char** words, int count, int index) {
  char** argv = calloc((size_t)count + 1, sizeof *argv);
  char number[16];
  snprintf(number, sizeof number, "%d", index);
  for (int w = 0; w < count; ++w) {
    const char* mark = strstr(words[w], "{i}");
    if (!mark) {
      argv[w] = words[w];
      continue;
    }
    const size_t head = (size_t)(mark - words[w]);
    argv[w] = malloc(strlen(words[w]) + sizeof number);
    snprintf(argv[w], strlen(words[w]) + sizeof number, "%.*s%s%s", (int)head, words[w], number, mark + 3);
  }
  return argv;
}

int main(int argc, char** argv) {
  int limit = 300, may_fail = 0, arg = 1;
  const char* log = "/dev/null";
  for (; arg < argc && strcmp(argv[arg], "--") != 0; ++arg) {
    if (strcmp(argv[arg], "--may-fail") == 0) may_fail = 1;
    else if (strcmp(argv[arg], "--copies") == 0 && arg + 1 < argc) copies = atoi(argv[++arg]);
    else if (strcmp(argv[arg], "--limit") == 0 && arg + 1 < argc) limit = atoi(argv[++arg]);
    else if (strcmp(argv[arg], "--log") == 0 && arg + 1 < argc) log = argv[++arg];
    else usage();
  }
  if (arg + 1 >= argc || copies < 1 || copies > kMaxCopies || limit < 1) usage();
  char** command = argv + arg + 1;
  const int words = argc - arg - 1;
  const int out = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (out < 0) {
    perror(log);
    return 1;
  }

  signal(SIGALRM, kill_all);
  alarm((unsigned)limit);
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (int i = 0; i < copies; ++i) {
    char** child_argv = with_index(command, words, i);
    children[i] = fork();
    if (children[i] == 0) {
      dup2(out, 1);
      dup2(out, 2);
      execvp(child_argv[0], child_argv);
      perror(child_argv[0]);
      _exit(127);
    }
    if (children[i] < 0) {
      perror("fork");
      kill_all(0);
      return 1;
    }
  }
  double cpu = 0;
  long peak = 0;
  int failed = 0;
  for (int left = copies; left > 0;) {
    int status;
    struct rusage usage;
    const pid_t pid = wait4(-1, &status, 0, &usage);
    if (pid < 0) break;
    for (int i = 0; i < copies; ++i)
      if (children[i] == pid) children[i] = 0;
    --left;
    cpu += seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (usage.ru_maxrss > peak) peak = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) failed = 1;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  alarm(0);
  printf("%.6f %.6f %ld\n", (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) / 1e9, cpu,
         peak);
  if (failed && !may_fail) {
    fprintf(stderr, "measure: %s failed\n", command[0]);
    return 1;
  }
  return 0;
}
