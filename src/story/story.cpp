#include "story/story.h"

#include "story/story_common.h"

void StoryScene(int scene) {
  switch (scene) {
    case 0: storySceneZero(); break;
    case 1: storySceneOne(); break;
    case 2: storySceneTwo(); break;
    case 3: storySceneThree(); break;
    default: break;
  }
}
