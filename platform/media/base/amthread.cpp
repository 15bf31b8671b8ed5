#include "platform/media/base/amthread.h"

CAMThread::~CAMThread() { Close(); }

bool CAMThread::Create() {
    if (worker_.joinable()) return false;
    worker_ = std::thread([this] { ThreadProc(); });
    return true;
}

void CAMThread::Close() {
    if (worker_.joinable()) worker_.join();
}

DWORD CAMThread::CallWorker(DWORD request) {
    std::scoped_lock lock(callLock_);
    if (!ThreadExists()) return static_cast<DWORD>(E_FAIL);
    request_ = request;
    requestSent_.Set();
    replyReady_.Wait();
    return reply_;
}

DWORD CAMThread::GetRequest() {
    requestSent_.Wait();
    return request_;
}

bool CAMThread::CheckRequest(DWORD* request) {
    if (!requestSent_.Check()) return false;
    if (request) *request = request_;
    return true;
}

void CAMThread::Reply(DWORD reply) {
    reply_ = reply;
    requestSent_.Reset();
    replyReady_.Set();
}
