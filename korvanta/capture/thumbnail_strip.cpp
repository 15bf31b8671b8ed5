#include "korvanta/capture/thumbnail_strip.h"
