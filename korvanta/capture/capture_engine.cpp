#include "korvanta/capture/capture_engine.h"
