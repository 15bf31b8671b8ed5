// libFuzzer target for the AVI reader: any bytes as a file, opened and read
// through. Built with clang (-DCMAKE_CXX_COMPILER=clang++); run as
//     fuzz_avi_reader -max_total_time=600 corpus/
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/media/filters/avi/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int memory = ::memfd_create("fuzz.avi", MFD_CLOEXEC);
    if (memory < 0) return 0;
    UniqueFd file(memory);
    if (size != 0 && ::write(memory, data, size) != ssize_t(size)) return 0;
    AviReader reader;
    if (reader.Open(std::move(file)) != S_OK) return 0;
    std::vector<BYTE> frame, pcm;
    for (std::uint64_t i = 0; i < reader.FrameCount(); ++i) reader.ReadFrame(i, frame, &pcm);
    return 0;
}
