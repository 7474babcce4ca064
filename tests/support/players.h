// Automated players, one per stage, each steering from its stage's own
// record through the frame hook. Each plays its stage on a record it holds
// exactly as the stage's procedure would; the stage tests and the whole-game
// test share them.
#pragma once

#include <cstdint>
#include <functional>

#include "stage_one/stage_one_internal.h"
#include "stage_three/stage_three_internal.h"
#include "stage_two/stage_two_internal.h"

// `watch`, when given, runs after every presented frame (with its number),
// before the player chooses its keys for the next one.
template <typename Record>
using StageWatcher = std::function<void(const Record& stage, int64_t frame)>;

StageResult playStageOneAutomatically(const StageWatcher<stage_one::StageOneRecord>& watch = {});
StageResult playStageTwoAutomatically(const StageWatcher<stage_two::StageTwoRecord>& watch = {});
StageResult playStageThreeAutomatically(const StageWatcher<stage_three::StageThreeRecord>& watch = {});

// True while an automated player chooses its keys in the frame hook: what it
// presses then must reach a replay after that frame's sleep.
extern bool choosingKeys;
