// placeholder until text drawing lands
#include "gfx/text.h"
void drawText(int32_t, int32_t, const std::string&, uint32_t, int32_t) {}
