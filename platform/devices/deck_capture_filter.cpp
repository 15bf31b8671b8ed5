#include "platform/devices/deck_capture_filter.h"

#include "platform/devices/virtual_deck.h"
#include "platform/media/uuids.h"

HRESULT DeckCaptureFilter::Create(const std::string& deckName, IBaseFilter** filter) {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    std::shared_ptr<VirtualDeck> deck;
    if (const HRESULT hr = VirtualDeck::Acquire(deckName, &deck); FAILED(hr)) return hr;
    return Create(std::move(deck), CLSID_KorvantaVirtualDeck, filter);
}

HRESULT DeckCaptureFilter::Create(std::shared_ptr<DvDeck> deck, const CLSID& clsid, IBaseFilter** filter) {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    if (!deck) return E_POINTER;
    HRESULT hr = S_OK;
    auto* created = new DeckCaptureFilter(std::move(deck), clsid, &hr);
    created->NonDelegatingAddRef();
    if (SUCCEEDED(hr)) hr = created->NonDelegatingQueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(filter));
    created->NonDelegatingRelease();
    return hr;
}

DeckCaptureFilter::DeckCaptureFilter(std::shared_ptr<DvDeck> deck, const CLSID& clsid, HRESULT* phr)
    : CBaseFilter("DV deck", nullptr, &lock_, clsid, phr),
      deck_(std::move(deck)),
      capture_(this, &lock_, phr, deck_),
      preview_(this, &lock_, phr, deck_->Is625(), static_cast<LONG>(deck_->FrameBytes())) {}

DeckCaptureFilter::~DeckCaptureFilter() { deck_->StopPlayer(this); }

HRESULT DeckCaptureFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IAMExtDevice) return GetInterface(static_cast<IAMExtDevice*>(this), ppv);
    if (riid == IID_IAMExtTransport) return GetInterface(static_cast<IAMExtTransport*>(this), ppv);
    if (riid == IID_IAMTimecodeReader) return GetInterface(static_cast<IAMTimecodeReader*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

// Preview comes first: the program splices its DV video info filter into the
// first connected interleaved output it finds, and only the preview stream
// flows while nothing is being recorded.
CBasePin* DeckCaptureFilter::GetPin(int n) {
    if (n == 0) return &preview_;
    if (n == 1) return &capture_;
    return nullptr;
}

HRESULT DeckCaptureFilter::Stop() {
    CAutoLock lock(&lock_);
    // Decommitting the allocators (the base's Stop) frees a player waiting to
    // deliver; only then can it be waited for.
    deck_->RequestStopPlayer(this);
    const HRESULT hr = CBaseFilter::Stop();
    deck_->StopPlayer(this);
    capture_.NotifyFilterState(State_Stopped);
    MoveTapeUnseen();
    return hr;
}

// A camcorder's tape moves whatever the computer does with its picture: while
// the filter does not stream, the player still runs the transport (winding,
// playing to the tape's end) and shows its frames to no one.
void DeckCaptureFilter::MoveTapeUnseen() {
    deck_->StartPlayer(this, [](std::span<const std::uint8_t>) { return true; });
}

HRESULT DeckCaptureFilter::Pause() {
    CAutoLock lock(&lock_);
    // A paused consumer may hold the player inside a delivery; it ends when
    // the graph runs or stops again.
    deck_->RequestStopPlayer(this);
    const HRESULT hr = CBaseFilter::Pause();
    if (SUCCEEDED(hr)) capture_.NotifyFilterState(State_Paused);
    return hr;
}

HRESULT DeckCaptureFilter::Run(REFERENCE_TIME start) {
    CAutoLock lock(&lock_);
    HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    capture_.NotifyFilterState(State_Running, start);
    discontinuity_ = true;
    hr = deck_->StartPlayer(this, [this](std::span<const std::uint8_t> frame) { return DeliverFrame(frame); });
    if (FAILED(hr)) CBaseFilter::Pause();
    return hr;
}

HRESULT DeckCaptureFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = m_State;
    return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

HRESULT DeckCaptureFilter::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(&lock_);
    const HRESULT hr = CBaseFilter::SetSyncSource(clock);
    if (SUCCEEDED(hr)) capture_.SetSyncSource(clock);
    return hr;
}

HRESULT DeckCaptureFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CAutoLock lock(&lock_);
    const HRESULT hr = CBaseFilter::JoinFilterGraph(graph, name);
    if (SUCCEEDED(hr)) capture_.SetFilterGraph(m_pSink);
    if (SUCCEEDED(hr) && graph && m_State == State_Stopped) MoveTapeUnseen();
    if (SUCCEEDED(hr) && !graph) deck_->StopPlayer(this);
    return hr;
}

bool DeckCaptureFilter::DeliverFrame(std::span<const std::uint8_t> frame) {
    // A camcorder switched to the other television system sends frames the
    // pins' media type does not describe: they are not delivered (and count
    // as dropped) until the program binds the device again.
    if (frame.size() != static_cast<std::size_t>(capture_.FrameBytes())) return false;
    const bool waits = deck_->WaitsForCapture();
    const REFERENCE_TIME period = (waits ? deck_->FramePeriod() : deck_->TickPeriod()).count() / 100;  // 100 ns units
    REFERENCE_TIME start = 0;
    if (FAILED(StreamTime(&start))) start = unclockedTime_;
    unclockedTime_ = start + period;
    const bool discontinuity = discontinuity_.exchange(false);
    const bool captured = capture_.DeliverFrame(frame, start, start + period, discontinuity);
    // A deck that waits for the capture plays faster than any monitor shows:
    // the monitor gets at most one frame a real frame period.
    const auto now = std::chrono::steady_clock::now();
    if (waits && now - lastPreviewed_ < deck_->FramePeriod()) return captured;
    lastPreviewed_ = now;
    const bool previewed = preview_.DeliverFrame(frame, start, start + period, discontinuity);
    return captured && previewed;
}
