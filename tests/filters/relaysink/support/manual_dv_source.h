#pragma once
// ManualDvSource: a test filter with one DV output pin whose samples the test
// delivers itself, on its own thread, one call per frame. So a test decides
// exactly what reaches the pin downstream: whole frames, truncated ones,
// discontinuities, end of stream.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/basefilter.h"
#include "platform/media/base/outputpin.h"

namespace kvtest {

class ManualDvSource final : public CBaseFilter {
public:
    // A new filter with one reference, held by the returned pointer.
    static ComPtr<IBaseFilter> Create(ManualDvSource** self);

    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 1; }

    // Copies frame into a sample (its actual length = frame size) and
    // delivers it: the downstream Receive's result. The filter must be
    // paused or running and connected.
    HRESULT DeliverFrame(const std::vector<std::uint8_t>& frame, bool discontinuity = false);
    HRESULT DeliverEndOfStream();

private:
    class Pin;
    ManualDvSource();

    CCritSec lock_;
    std::unique_ptr<Pin> pin_;
};

}  // namespace kvtest
