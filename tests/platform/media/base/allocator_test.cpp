// Samples and the memory allocator: properties, commit/decommit, waiting for
// buffers, and what a sample forgets when it comes home.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/com/com_ptr.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/base/memallocator.h"
#include "platform/media/uuids.h"

namespace {

ComPtr<IMemAllocator> MakeAllocator() {
    HRESULT hr = S_OK;
    ComPtr<IMemAllocator> allocator;
    CMemAllocator::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IMemAllocator,
                                                                              allocator.GetVoidAddress());
    return allocator;
}

ComPtr<IMemAllocator> CommittedAllocator(LONG buffers, LONG size, LONG align = 1, LONG prefix = 0) {
    ComPtr<IMemAllocator> allocator = MakeAllocator();
    ALLOCATOR_PROPERTIES want{buffers, size, align, prefix};
    ALLOCATOR_PROPERTIES actual{};
    EXPECT_EQ(S_OK, allocator->SetProperties(&want, &actual));
    EXPECT_EQ(S_OK, allocator->Commit());
    return allocator;
}

TEST(Allocator, RefusesBadPropertiesAndChangesWhileInUse) {
    ComPtr<IMemAllocator> allocator = MakeAllocator();
    ALLOCATOR_PROPERTIES actual{};
    ALLOCATOR_PROPERTIES badAlign{2, 100, 3, 0};
    EXPECT_EQ(VFW_E_BADALIGN, allocator->SetProperties(&badAlign, &actual));
    EXPECT_EQ(E_POINTER, allocator->SetProperties(nullptr, &actual));
    EXPECT_EQ(E_POINTER, allocator->GetProperties(nullptr));
    EXPECT_EQ(VFW_E_SIZENOTSET, allocator->Commit());

    ALLOCATOR_PROPERTIES good{2, 100, 16, 8};
    ASSERT_EQ(S_OK, allocator->SetProperties(&good, &actual));
    EXPECT_EQ(2, actual.cBuffers);
    EXPECT_EQ(100, actual.cbBuffer);
    ASSERT_EQ(S_OK, allocator->Commit());
    EXPECT_EQ(VFW_E_ALREADY_COMMITTED, allocator->SetProperties(&good, &actual));

    ComPtr<IMediaSample> out;
    ASSERT_EQ(S_OK, allocator->GetBuffer(out.GetAddressOf(), nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->Decommit());
    EXPECT_EQ(VFW_E_BUFFERS_OUTSTANDING, allocator->SetProperties(&good, &actual));
    out.Reset();
    EXPECT_EQ(S_OK, allocator->SetProperties(&good, &actual));
}

TEST(Allocator, BuffersAreAlignedWithRoomForThePrefix) {
    ComPtr<IMemAllocator> allocator = CommittedAllocator(3, 1001, 64, 24);
    ComPtr<IMediaSample> samples[3];
    for (auto& sample : samples) {
        ASSERT_EQ(S_OK, allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
        BYTE* data = nullptr;
        ASSERT_EQ(S_OK, sample->GetPointer(&data));
        EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(data) % 64);
        EXPECT_EQ(1001, sample->GetSize());
        // The prefix and the whole buffer are ours to write (ASan checks the bounds).
        std::fill(data - 24, data + 1001, BYTE{0xEE});
    }
}

TEST(Allocator, GetBufferWaitsForAFreeBufferOrFailsAtOnceWhenAsked) {
    ComPtr<IMemAllocator> allocator = CommittedAllocator(1, 16);
    ComPtr<IMediaSample> held;
    ASSERT_EQ(S_OK, allocator->GetBuffer(held.GetAddressOf(), nullptr, nullptr, 0));
    ComPtr<IMediaSample> none;
    EXPECT_EQ(VFW_E_TIMEOUT, allocator->GetBuffer(none.GetAddressOf(), nullptr, nullptr, AM_GBF_NOWAIT));
    EXPECT_EQ(nullptr, none.Get());

    std::atomic<bool> got{false};
    BYTE* heldData = nullptr;
    held->GetPointer(&heldData);
    BYTE* reusedData = nullptr;
    std::thread waiter([&] {
        ComPtr<IMediaSample> next;
        if (allocator->GetBuffer(next.GetAddressOf(), nullptr, nullptr, 0) == S_OK) next->GetPointer(&reusedData);
        got = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(got);
    held.Reset();
    waiter.join();
    EXPECT_TRUE(got);
    EXPECT_EQ(heldData, reusedData);
}

TEST(Allocator, DecommitWakesWaitersAndFreesOnlyWhenSamplesComeHome) {
    ComPtr<IMemAllocator> allocator = CommittedAllocator(1, 16);
    ComPtr<IMediaSample> held;
    ASSERT_EQ(S_OK, allocator->GetBuffer(held.GetAddressOf(), nullptr, nullptr, 0));
    HRESULT waited = S_OK;
    std::thread waiter([&] {
        ComPtr<IMediaSample> next;
        waited = allocator->GetBuffer(next.GetAddressOf(), nullptr, nullptr, 0);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(S_OK, allocator->Decommit());
    waiter.join();
    EXPECT_EQ(VFW_E_NOT_COMMITTED, waited);

    // The outstanding sample still owns valid memory until it is released.
    BYTE* data = nullptr;
    held->GetPointer(&data);
    std::fill(data, data + 16, BYTE{1});
    held.Reset();
    ComPtr<IMediaSample> after;
    EXPECT_EQ(VFW_E_NOT_COMMITTED, allocator->GetBuffer(after.GetAddressOf(), nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->Commit());
    EXPECT_EQ(S_OK, allocator->GetBuffer(after.GetAddressOf(), nullptr, nullptr, 0));
}

TEST(Allocator, OutstandingSampleKeepsTheAllocatorAlive) {
    ComPtr<IMediaSample> sample;
    {
        ComPtr<IMemAllocator> allocator = CommittedAllocator(2, 32);
        ASSERT_EQ(S_OK, allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
        allocator->Decommit();
    }
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::fill(data, data + 32, BYTE{7});
    sample.Reset();  // frees the pool and the allocator (ASan reports a leak or a use after free otherwise)
}

TEST(Sample, TimesFlagsLengthAndType) {
    ComPtr<IMemAllocator> allocator = CommittedAllocator(1, 100);
    ComPtr<IMediaSample> sample;
    REFERENCE_TIME start = 10;
    REFERENCE_TIME end = 20;
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.GetAddressOf(), &start, &end, 0));

    REFERENCE_TIME s = 0;
    REFERENCE_TIME e = 0;
    EXPECT_EQ(S_OK, sample->GetTime(&s, &e));
    EXPECT_EQ(10, s);
    EXPECT_EQ(20, e);
    EXPECT_EQ(E_POINTER, sample->GetTime(nullptr, &e));
    REFERENCE_TIME onlyStart = 30;
    sample->SetTime(&onlyStart, nullptr);
    EXPECT_EQ(VFW_S_NO_STOP_TIME, sample->GetTime(&s, &e));
    EXPECT_EQ(30, s);
    EXPECT_EQ(31, e);
    sample->SetTime(nullptr, nullptr);
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, sample->GetTime(&s, &e));

    LONGLONG ms = 0;
    LONGLONG me = 0;
    EXPECT_EQ(VFW_E_MEDIA_TIME_NOT_SET, sample->GetMediaTime(&ms, &me));
    LONGLONG frame = 5;
    LONGLONG next = 6;
    sample->SetMediaTime(&frame, &next);
    EXPECT_EQ(S_OK, sample->GetMediaTime(&ms, &me));
    EXPECT_EQ(5, ms);

    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, sample->SetActualDataLength(101));
    EXPECT_EQ(S_OK, sample->SetActualDataLength(100));
    EXPECT_EQ(100, sample->GetActualDataLength());

    EXPECT_EQ(S_FALSE, sample->IsSyncPoint());
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(TRUE);
    sample->SetPreroll(TRUE);
    EXPECT_EQ(S_OK, sample->IsSyncPoint());
    EXPECT_EQ(S_OK, sample->IsDiscontinuity());
    EXPECT_EQ(S_OK, sample->IsPreroll());

    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_EQ(S_FALSE, sample->GetMediaType(&type));
    EXPECT_EQ(nullptr, type);
    CMediaType video(&MEDIATYPE_Video);
    video.SetSubtype(&MEDIASUBTYPE_RGB32);
    ASSERT_EQ(S_OK, sample->SetMediaType(&video));
    ASSERT_EQ(S_OK, sample->GetMediaType(&type));
    EXPECT_EQ(MEDIASUBTYPE_RGB32, type->subtype);
    DeleteMediaType(type);

    // Home and out again: the per-use state is gone, the buffer is the same.
    BYTE* first = nullptr;
    sample->GetPointer(&first);
    sample.Reset();
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
    BYTE* second = nullptr;
    sample->GetPointer(&second);
    EXPECT_EQ(first, second);
    EXPECT_EQ(S_FALSE, sample->IsSyncPoint());
    EXPECT_EQ(S_FALSE, sample->IsDiscontinuity());
    EXPECT_EQ(0, sample->GetActualDataLength());
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, sample->GetTime(&s, &e));
    EXPECT_EQ(S_FALSE, sample->GetMediaType(&type));
}

}  // namespace
