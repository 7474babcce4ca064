// What a submission may say: names the game's font can draw, and a body that
// is the one JSON object the API takes; the verifier's verdict read strictly.
#include "scores/names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scores/api_json.h"
#include "support/files.h"

using namespace scores;

TEST(Names, TheFontsCharactersUpToTenStand) {
  for (const char* name : {"A", "ACE", "0123456789", "R2-D2", "<I>\"&'</I>", "X');DROP--", "A B", "@[\\]^_!?#$"}) {
    EXPECT_EQ(whyBadName(name), "") << name;
  }
}

TEST(Names, EverythingElseIsRefusedWithItsReason) {
  EXPECT_EQ(whyBadName(""), "the name is empty");
  EXPECT_EQ(whyBadName("ABCDEFGHIJK"), "the name has more than 10 characters");
  EXPECT_EQ(whyBadName("Ace"), "the name has a lower-case letter ('c'); the game shows capitals");
  EXPECT_EQ(whyBadName(" ACE"), "the name begins or ends with a blank");
  EXPECT_EQ(whyBadName("ACE "), "the name begins or ends with a blank");
  // Control characters and bytes past ASCII are named, never echoed.
  EXPECT_EQ(whyBadName(std::string("A\0B", 3)), "the name has a character the game cannot show (\\x00)");
  EXPECT_EQ(whyBadName("A\x1b[2J"), "the name has a character the game cannot show (\\x1B)");
  EXPECT_EQ(whyBadName("\xc3\x84"), "the name has a character the game cannot show (\\xC3)");
  for (const char* name : {"{}", "A|B", "~", "`", "A\x7f"}) EXPECT_NE(whyBadName(name), "") << name;
}

TEST(Submission, TakesTheNameAndTheReplayAsTheyAre) {
  Submission submission;
  ASSERT_TRUE(parseSubmission(R"({"name": "ACE", "replay": "seed 2\n1 down space\n", "extra": 1})", submission).ok());
  EXPECT_EQ(submission.name, "ACE");
  EXPECT_EQ(submission.replay, "seed 2\n1 down space\n");
}

TEST(Submission, RefusesWhatIsNotOneWellFormedObject) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "the request is not JSON"},
      {R"({"name": "ACE", "replay": "x",})", "the request is not JSON"},
      {"{\"name\": \"ACE\", \"replay\": \"\xff\"}", "the request is not JSON"},
      {R"(["ACE", "x"])", "the request is not a JSON object"},
      {R"({"replay": "x"})", "the request has no \"name\" string"},
      {R"({"name": 7, "replay": "x"})", "the request has no \"name\" string"},
      {R"({"name": "ACE", "replay": null})", "the request has no \"replay\" string"},
      {R"({"name": "ACE", "replay": ""})", "the replay is empty"},
      {R"({"name": "ace", "replay": "x"})", "the name has a lower-case letter ('a'); the game shows capitals"},
  };
  for (const auto& [body, why] : cases) {
    Submission submission;
    Outcome parsed = parseSubmission(body, submission);
    EXPECT_EQ(parsed.why(), why) << body;
  }
  Submission submission;
  EXPECT_FALSE(parseSubmission(std::string(REQUEST_MAX_BYTES + 1, ' '), submission).ok());
  // Deep nesting is only an error, never a crash.
  EXPECT_FALSE(parseSubmission(std::string(30000, '[') + std::string(30000, ']'), submission).ok());
}

TEST(Verdict, ReadsTheGamesLine) {
  Verdict verdict;
  ASSERT_TRUE(parseVerdict(R"({"version":1,"seed":2,"frames":8959,"score":43210,"highScore":43210,"lastStage":4,)"
                           R"("lastFrameCrc":"9a0b1c2d","claims":"held","played":"2026-12-09T02:42:36Z"})",
                           verdict)
                  .ok());
  EXPECT_EQ(verdict.version, 1);
  EXPECT_EQ(verdict.frames, 8959);
  EXPECT_EQ(verdict.score, 43210);
  EXPECT_EQ(verdict.lastStage, 4);
  EXPECT_EQ(verdict.claims, "held");
  EXPECT_EQ(verdict.played, "2026-12-09T02:42:36Z");
  ASSERT_TRUE(
      parseVerdict(R"({"version":1,"frames":1,"score":0,"lastStage":1,"claims":"none","played":null})", verdict).ok());
  EXPECT_FALSE(verdict.played.has_value());
}

TEST(Verdict, RefusesALineTheTableCannotTrust) {
  const char* base = R"("version":1,"frames":10,"score":5,"lastStage":2,"claims":"held")";
  for (std::string line :
       {std::string("not json"), std::string("[1]"),
        std::string(R"({"frames":10,"score":5,"lastStage":2,"claims":"held"})"),
        std::string(R"({"version":1,"frames":10,"score":-5,"lastStage":2,"claims":"held"})"),
        std::string(R"({"version":1,"frames":10,"score":5.5,"lastStage":2,"claims":"held"})"),
        std::string(R"({"version":1,"frames":10,"score":"5","lastStage":2,"claims":"held"})"),
        std::string(R"({"version":1,"frames":10,"score":5,"lastStage":5,"claims":"held"})"),
        std::string(R"({"version":1,"frames":10,"score":5,"lastStage":2,"claims":"maybe"})"),
        std::string("{") + base + R"(,"played":"<script>"})", std::string("{") + base + R"(,"played":5})"}) {
    Verdict verdict;
    EXPECT_FALSE(parseVerdict(line, verdict).ok()) << line;
  }
}

TEST(Answers, EntriesAndTheTableAsTheApiHandsThemOut) {
  scores::Run run;
  run.id = 3;
  run.name = "<I>\"&'</I>";
  run.score = 43210;
  run.stage = 4;
  run.frames = 8959;
  run.version = 1;
  run.submittedMs = 1'796'784'156'789;  // 2026-12-09T02:42:36.789Z
  run.link = "#replay=AAAA";
  EXPECT_EQ(runJson(run, 1, true),
            R"({"frames":8959,"id":3,"link":"#replay=AAAA","name":"<I>\"&'</I>","played":null,"rank":1,)"
            R"("score":43210,"stage":4,"submitted":"2026-12-09T02:42:36Z","version":1})");
  run.played = "2026-12-09T02:40:00Z";
  EXPECT_EQ(tableJson({run, run}, 100, 2, true),
            R"({"limit":2,"more":true,"offset":100,"runs":[)"
            R"({"frames":8959,"id":3,"name":"<I>\"&'</I>","played":"2026-12-09T02:40:00Z","rank":101,)"
            R"("score":43210,"stage":4,"submitted":"2026-12-09T02:42:36Z","version":1},)"
            R"({"frames":8959,"id":3,"name":"<I>\"&'</I>","played":"2026-12-09T02:40:00Z","rank":102,)"
            R"("score":43210,"stage":4,"submitted":"2026-12-09T02:42:36Z","version":1}]})");
}

TEST(FuzzCorpus, TheRequestReadersTakeEveryKeptInput) {
  size_t inputs = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(QUARVEL_SOURCE_DIR) / "fuzz" / "corpus" / "request")) {
    std::string text = readFileText(entry.path().string());
    Submission submission;
    if (parseSubmission(text, submission).ok()) {
      EXPECT_EQ(whyBadName(submission.name), "") << entry.path();
    }
    Verdict verdict;
    if (parseVerdict(text, verdict).ok()) {
      EXPECT_GE(verdict.score, 0) << entry.path();
    }
    ++inputs;
  }
  EXPECT_GE(inputs, 3u);
}
