#pragma once
// IKvFileSink: how the AVI multiplexer gets its output file from the file
// writer downstream of it. The multiplexer writes a RIFF file with sizes and
// indexes filled in afterwards, which needs the file itself rather than a
// stream of samples; the file writer keeps what it is for: the name, the rule
// that no existing file is ever overwritten, and GetCurFile.
#include "platform/com/unknown.h"

struct IKvFileSink : IUnknown {
    // Creates the next output file under the name set with SetFileName (or a
    // numbered variant of it when that is taken) and hands over its descriptor,
    // open for writing; the caller owns and closes it.
    virtual HRESULT CreateOutputFile(int* descriptor) = 0;

protected:
    ~IKvFileSink() = default;
};
KV_DEFINE_IID(IKvFileSink, "{6F3D2A1E-7C4B-4E59-9B1A-2D6C8E0F4A71}");
