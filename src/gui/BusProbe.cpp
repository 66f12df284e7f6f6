// The probe's thread calls the core's ProbeBusPorts and writes only into running_, which
// the window's thread reads once the thread has ended; a request that came meanwhile is
// started then instead of reporting the stale answer.
#include "BusProbe.h"

#include "bus/FromRtl.h"

#include <QThread>

namespace kestrel {

BusProbe::BusProbe(QObject* parent) : QObject(parent) {}

BusProbe::~BusProbe() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
}

void BusProbe::Start(const BusProbeRequest& request) {
    if (thread_) {
        waiting_ = request;
        return;
    }
    running_ = BusProbeAnswer{request, Status::Ok(), {}};
    BusProbeAnswer* answer = &running_;
    thread_ = QThread::create([answer] {
        const BusProbeRequest& asked = answer->request;
        answer->status =
            ProbeBusPorts(asked.rtlFiles, asked.top, asked.protocol, asked.prefix, answer->found);
    });
    connect(thread_, &QThread::finished, this, &BusProbe::OnThreadFinished);
    thread_->start();
}

void BusProbe::OnThreadFinished() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (waiting_) {
        const BusProbeRequest next = *waiting_;
        waiting_.reset();
        if (!(next == running_.request)) {
            Start(next);
            return;
        }
    }
    answer_ = running_;
    Q_EMIT Finished();
}

} // namespace kestrel
