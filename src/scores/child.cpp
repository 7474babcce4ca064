#include "scores/child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace scores {

namespace {

constexpr int MAX_OPEN_FILES = 64;
constexpr rlim_t MAX_FILE_BYTES = 1 << 20;
constexpr int REAP_POLL_MS = 2;
constexpr size_t READ_CHUNK = 4096;

// A descriptor closed when it goes.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

bool makePipe(Fd& readEnd, Fd& writeEnd) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return false;
  readEnd.reset(ends[0]);
  writeEnd.reset(ends[1]);
  return true;
}

// Between fork and exec only async-signal-safe calls: everything the child
// needs is prepared before the fork.
[[noreturn]] void becomeChild(const char* program, char* const* argv, char* const* envp, const char* folder,
                              const ChildLimits& limits, int outFd, int errFd, int reportFd) {
  ::setsid();
  int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull < 0 || ::dup2(devNull, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) _exit(127);
  // Nothing else of the server's reaches the game; the report pipe among
  // them stays open until exec succeeds.
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  struct rlimit cpu = {static_cast<rlim_t>(limits.cpuSeconds), static_cast<rlim_t>(limits.cpuSeconds + 1)};
  struct rlimit memory = {static_cast<rlim_t>(limits.memoryBytes), static_cast<rlim_t>(limits.memoryBytes)};
  struct rlimit files = {MAX_OPEN_FILES, MAX_OPEN_FILES};
  struct rlimit fileSize = {MAX_FILE_BYTES, MAX_FILE_BYTES};
  struct rlimit core = {0, 0};
  ::setrlimit(RLIMIT_CPU, &cpu);
  ::setrlimit(RLIMIT_AS, &memory);
  ::setrlimit(RLIMIT_NOFILE, &files);
  ::setrlimit(RLIMIT_FSIZE, &fileSize);
  ::setrlimit(RLIMIT_CORE, &core);
  ::setpriority(PRIO_PROCESS, 0, limits.nice);
  // Signals the server ignores or blocks must not stay so in the game.
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::signal(SIGPIPE, SIG_DFL);
  if (::chdir(folder) == 0) ::execve(program, argv, envp);
  int error = errno;
  ssize_t ignored = ::write(reportFd, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> list;
  list.reserve(strings.size() + 1);
  for (std::string& s : strings) list.push_back(s.data());
  list.push_back(nullptr);
  return list;
}

}  // namespace

ChildResult runChild(const std::vector<std::string>& args, const std::string& workFolder, const ChildLimits& limits) {
  ChildResult result;
  if (args.empty()) {
    result.why = "no program";
    return result;
  }
  std::vector<std::string> argStrings = args;
  std::vector<std::string> envStrings = {
      "PATH=/usr/bin:/bin", "HOME=" + workFolder,    "XDG_DATA_HOME=" + workFolder, "XDG_CONFIG_HOME=" + workFolder,
      "LANG=C.UTF-8",       "SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=dummy"};
  std::vector<char*> argv = pointers(argStrings), envp = pointers(envStrings);
  Fd outRead, outWrite, errRead, errWrite, reportRead, reportWrite;
  if (!makePipe(outRead, outWrite) || !makePipe(errRead, errWrite) || !makePipe(reportRead, reportWrite)) {
    result.why = std::string("no pipe: ") + std::strerror(errno);
    return result;
  }
  pid_t pid = ::fork();
  if (pid < 0) {
    result.why = std::string("no fork: ") + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    becomeChild(argv[0], argv.data(), envp.data(), workFolder.c_str(), limits, outWrite.get(), errWrite.get(),
                reportWrite.get());
  }
  outWrite.reset();
  errWrite.reset();
  reportWrite.reset();

  int execError = 0;
  ssize_t got;
  do got = ::read(reportRead.get(), &execError, sizeof execError);
  while (got < 0 && errno == EINTR);
  bool started = got != static_cast<ssize_t>(sizeof execError);

  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limits.wallMs);
  auto msLeft = [&] { return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count(); };
  bool outOpen = started, errOpen = started;
  char chunk[READ_CHUNK];
  while (started && (outOpen || errOpen) && result.end == ChildEnd::NotStarted) {
    int64_t left = msLeft();
    if (left <= 0) {
      result.end = ChildEnd::TimedOut;
      break;
    }
    pollfd watched[2] = {{outOpen ? outRead.get() : -1, POLLIN, 0}, {errOpen ? errRead.get() : -1, POLLIN, 0}};
    int ready = ::poll(watched, 2, static_cast<int>(left));
    if (ready < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (watched[i].revents == 0) continue;
      std::string& into = i == 0 ? result.out : result.err;
      ssize_t n = ::read(watched[i].fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        (i == 0 ? outOpen : errOpen) = false;
        continue;
      }
      into.append(chunk, static_cast<size_t>(n));
      if (into.size() > limits.outputBytes) result.end = ChildEnd::TooMuchOutput;
    }
  }

  // Reap it, waiting at most until the deadline; whatever is left of its
  // group then is killed.
  int status = 0;
  pid_t reaped = 0;
  while (result.end == ChildEnd::NotStarted && (reaped = ::waitpid(pid, &status, WNOHANG)) == 0) {
    if (msLeft() <= 0) {
      result.end = ChildEnd::TimedOut;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(REAP_POLL_MS));
  }
  if (reaped != pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (!started) {
    result.end = ChildEnd::NotStarted;
    result.why = args[0] + ": " + std::strerror(execError);
  } else if (result.end == ChildEnd::NotStarted) {
    if (WIFEXITED(status)) {
      result.end = ChildEnd::Exited;
      result.status = WEXITSTATUS(status);
    } else {
      result.end = ChildEnd::Signalled;
      result.status = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
  }
  return result;
}

}  // namespace scores
