#pragma once
// The name of a scene's file, made from the recording date and time of its
// first frame: prefix + " " + "YYYYMMDD HHMMSS" + ".avi", or with the date
// text "--  --" when the frame carries no valid calendar date. The folder is
// not part of the name. Names are not made unique: two scenes that start in
// the same recording second get the same name.
#include "dvshared/dv_frame_info.h"
#include "platform/com/bstr.h"

bstr_t SceneFileName(const bstr_t& prefix, const DvFrameInfo& info);
