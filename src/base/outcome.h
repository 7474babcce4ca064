// The one way a step that can fail says so: an Outcome is either fine or
// holds one line saying what went wrong. Whoever can tell the player reports
// it; everything below the app only passes it on.
#pragma once

#include <string>
#include <utility>

class [[nodiscard]] Outcome {
 public:
  Outcome() = default;  // fine
  static Outcome failure(std::string why) {
    Outcome outcome;
    outcome.why_ = why.empty() ? "failed" : std::move(why);
    return outcome;
  }
  bool ok() const { return why_.empty(); }
  const std::string& why() const { return why_; }

 private:
  std::string why_;
};
