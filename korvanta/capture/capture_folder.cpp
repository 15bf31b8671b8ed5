#include "korvanta/capture/capture_folder.h"
