#pragma once
// Samples from a real memory allocator, filled with chosen bytes, for driving
// a filter's Transform directly, without a graph. Shared by the filter tests
// and benchmarks; when the allocator cannot be had, Next hands out nothing.
#include <algorithm>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/memallocator.h"

namespace kvtest {

class MemorySamples {
public:
    // A committed pool of a few buffers of bufferSize bytes each.
    explicit MemorySamples(LONG bufferSize) {
        HRESULT hr = S_OK;
        CUnknown* allocator = CMemAllocator::CreateInstance(nullptr, &hr);
        if (!allocator || FAILED(allocator->NonDelegatingQueryInterface(IID_IMemAllocator, allocator_.GetVoidAddress())))
            return;
        ALLOCATOR_PROPERTIES request{4, bufferSize, 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        if (FAILED(allocator_->SetProperties(&request, &actual)) || FAILED(allocator_->Commit())) allocator_.Reset();
    }
    ~MemorySamples() {
        if (allocator_) allocator_->Decommit();
    }
    MemorySamples(const MemorySamples&) = delete;
    MemorySamples& operator=(const MemorySamples&) = delete;

    // A sample whose data is data (cut to the buffer), the rest of the buffer zero.
    ComPtr<IMediaSample> Next(const std::vector<BYTE>& data, bool discontinuity = false) {
        ComPtr<IMediaSample> sample;
        if (!allocator_ || FAILED(allocator_->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0))) return nullptr;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        const auto length = std::min<std::size_t>(data.size(), static_cast<std::size_t>(sample->GetSize()));
        std::fill(buffer, buffer + sample->GetSize(), BYTE{0});
        std::copy_n(data.begin(), length, buffer);
        sample->SetActualDataLength(static_cast<LONG>(length));
        sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
        return sample;
    }

private:
    ComPtr<IMemAllocator> allocator_;
};

}  // namespace kvtest
