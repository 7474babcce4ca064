#include "story/story.h"

#include "game/game.h"
#include "story/story_internal.h"

void StoryScene(Game& game, int scene) {
  switch (scene) {
    case 0: story::storySceneZero(game); break;
    case 1: story::storySceneOne(game); break;
    case 2: story::storySceneTwo(game); break;
    case 3: story::storySceneThree(game); break;
    default: break;
  }
}
