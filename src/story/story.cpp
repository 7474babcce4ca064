// placeholder until the story scenes land
#include "story/story.h"
void StoryScene(int) {}
