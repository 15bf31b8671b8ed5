#include "korvanta/capture/capture_texts.h"
