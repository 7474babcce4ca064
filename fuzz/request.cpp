// The score server's readers of outside input: a submission's body and the
// verifier's verdict line. Any bytes are either refused with a reason or
// give a name the table can show, a replay, and a verdict within range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scores/api_json.h"
#include "scores/names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  scores::Submission submission;
  if (scores::parseSubmission(text, submission).ok()) {
    if (!scores::whyBadName(submission.name).empty() || submission.replay.empty()) __builtin_trap();
  }
  scores::Verdict verdict;
  if (scores::parseVerdict(text, verdict).ok()) {
    if (verdict.score < 0 || verdict.frames < 0 || verdict.lastStage < 1 || verdict.lastStage > 4) __builtin_trap();
    if (verdict.claims != "held" && verdict.claims != "none" && verdict.claims != "broken") __builtin_trap();
  }
  return 0;
}
