#include "scores/verifier.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace scores {

namespace {

constexpr size_t REASON_MAX_LENGTH = 200;
constexpr size_t LINK_MAX_LENGTH = 16 * 1024;
constexpr char LINK_PREFIX[] = "#replay=";

// The link is base64url after its prefix: nothing the page must escape.
bool isLink(const std::string& line) {
  if (line.rfind(LINK_PREFIX, 0) != 0 || line.size() > LINK_MAX_LENGTH) return false;
  for (size_t i = sizeof LINK_PREFIX - 1; i < line.size(); ++i) {
    char c = line[i];
    bool base64url =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '=';
    if (!base64url) return false;
  }
  return true;
}

// The game's exit codes under --verify.
constexpr int VERIFY_HELD = 0;
constexpr int VERIFY_BROKEN_CLAIM = 1;
constexpr int VERIFY_NOT_PLAYABLE = 2;

// A replay written to a file of its own, removed when it goes.
class ReplayFile {
 public:
  ReplayFile(const std::string& folder, const std::string& bytes) {
    std::string pattern = folder + "/replay-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
      why_ = "cannot write the replay into " + folder + ": " + std::strerror(errno);
      return;
    }
    size_t written = 0;
    while (written < bytes.size()) {
      ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        why_ = "cannot write the replay into " + folder + ": " + std::strerror(errno);
        break;
      }
      written += static_cast<size_t>(n);
    }
    ::close(fd);
    path_ = pattern;
  }
  ~ReplayFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  ReplayFile(const ReplayFile&) = delete;
  ReplayFile& operator=(const ReplayFile&) = delete;
  const std::string& path() const { return path_; }
  const std::string& why() const { return why_; }

 private:
  std::string path_, why_;
};

Verification refused(std::string why) {
  Verification verification;
  verification.result = VerifyResult::Refused;
  verification.why = std::move(why);
  return verification;
}

// Why a child that did not end with a verdict was refused.
Verification refusedChild(const ChildResult& child, const ChildLimits& limits) {
  switch (child.end) {
    case ChildEnd::TimedOut:
      return refused("the game took longer than " + std::to_string(limits.wallMs / 1000) + " s on the replay");
    case ChildEnd::TooMuchOutput:
      return refused("the game printed more than " + std::to_string(limits.outputBytes / 1024) + " KB on the replay");
    case ChildEnd::Signalled:
      if (child.status == SIGXCPU || child.status == SIGKILL) {
        return refused("the game used up its " + std::to_string(limits.cpuSeconds) + " CPU seconds on the replay");
      }
      return refused("the game crashed on the replay (signal " + std::to_string(child.status) + ")");
    default: return refused("the game ended with status " + std::to_string(child.status) + " on the replay");
  }
}

}  // namespace

std::string firstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (size_t colon = line.find(": "); colon != std::string::npos && line.find(' ') > colon) {
    line.erase(0, colon + 2);
  }
  std::string safe;
  for (char c : line) {
    if (safe.size() == REASON_MAX_LENGTH) break;
    safe += (c >= ' ' && c < 0x7f) ? c : '?';
  }
  return safe;
}

Verification verifyReplay(const VerifierConfig& config, const std::string& replay) {
  Verification verification;
  ReplayFile file(config.scratchFolder, replay);
  if (!file.why().empty()) {
    verification.why = file.why();
    return verification;
  }
  ChildResult child = runChild({config.program, "--verify", file.path()}, config.scratchFolder, config.limits);
  if (child.end == ChildEnd::NotStarted) {
    verification.why = "cannot run the game: " + child.why;
    return verification;
  }
  if (child.end != ChildEnd::Exited) return refusedChild(child, config.limits);
  // The game names the file it read; the player knows it as the replay.
  std::string said = child.err;
  for (size_t at; (at = said.find(file.path())) != std::string::npos;) said.replace(at, file.path().size(), "replay");
  said = firstLine(said);
  if (child.status == VERIFY_BROKEN_CLAIM) {
    return refused("a claim of the replay does not hold" + (said.empty() ? "" : ": " + said));
  }
  if (child.status == VERIFY_NOT_PLAYABLE) {
    return refused("not a replay this game can play" + (said.empty() ? "" : ": " + said));
  }
  if (child.status != VERIFY_HELD) return refusedChild(child, config.limits);
  Outcome read = parseVerdict(child.out.substr(0, child.out.find('\n')), verification.verdict);
  if (!read.ok()) return refused("the game's verdict could not be read: " + read.why());
  if (verification.verdict.claims == "broken") return refused("a claim of the replay does not hold");

  ChildResult link = runChild({config.program, "--replay-link", file.path()}, config.scratchFolder, config.limits);
  std::string line = link.out.substr(0, link.out.find('\n'));
  if (link.end == ChildEnd::Exited && link.status == 0 && isLink(line)) verification.link = line;
  verification.result = VerifyResult::Accepted;
  return verification;
}

}  // namespace scores
