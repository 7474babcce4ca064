#include "story/story.h"

#include "game/game.h"
#include "story/story_internal.h"

Task<> StoryScene(Game& game, int scene) {
  switch (scene) {
    case 0: co_await story::storySceneZero(game); break;
    case 1: co_await story::storySceneOne(game); break;
    case 2: co_await story::storySceneTwo(game); break;
    case 3: co_await story::storySceneThree(game); break;
    default: break;
  }
}
