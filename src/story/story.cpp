#include "story/story.h"

#include "story/story_internal.h"

void StoryScene(int scene) {
  switch (scene) {
    case 0: story::storySceneZero(); break;
    case 1: story::storySceneOne(); break;
    case 2: story::storySceneTwo(); break;
    case 3: story::storySceneThree(); break;
    default: break;
  }
}
