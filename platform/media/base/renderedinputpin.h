#pragma once
// CRenderedInputPin: the input pin of a filter that ends a stream (a sink
// without a renderer's clock). Its end of stream is reported to the graph as
// EC_COMPLETE, once per run: at once while running, else when the filter runs.
#include "platform/media/base/inputpin.h"

class CRenderedInputPin : public CBaseInputPin {
public:
    CRenderedInputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr,
                      LPCWSTR pinName);

    // Streaming thread. Derived pins that override it call this after their own work.
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT Active() override;
    HRESULT Run(REFERENCE_TIME start) override;

private:
    void DoCompleteHandling();

    std::atomic<bool> m_bCompleteNotified{false};  // EC_COMPLETE sent in this run
};
