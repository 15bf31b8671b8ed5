#include "korvanta/capture/scene_threshold.h"
