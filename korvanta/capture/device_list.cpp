#include "korvanta/capture/device_list.h"
