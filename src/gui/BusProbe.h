#pragma once
// What a bus slave's Verilog offers, found on a thread of its own: reading the ports runs
// Verilator, a second or two, and the window that asks stays usable meanwhile. One probe
// runs at a time; a request made while one runs replaces any other waiting and starts when
// it ends, so the window always ends up showing the answer to its last question.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

class QThread;

namespace kestrel {

struct BusProbeRequest {
    std::vector<std::string> rtlFiles;
    std::string top;
    BusProtocol protocol = BusProtocol::Axi4Lite;
    std::optional<std::string> prefix;
    friend bool operator==(const BusProbeRequest&, const BusProbeRequest&) = default;
};

struct BusProbeAnswer {
    BusProbeRequest request;
    Status status; // the Verilog could not be read: Verilator's words
    BusPortSet found;
};

class BusProbe : public QObject {
    Q_OBJECT

public:
    explicit BusProbe(QObject* parent = nullptr);
    // Waits for a probe that runs.
    ~BusProbe() override;

    void Start(const BusProbeRequest& request);
    bool IsRunning() const { return thread_ != nullptr; }
    // The answer of the last probe that ended.
    const BusProbeAnswer& Answer() const { return answer_; }

Q_SIGNALS:
    // A probe ended and no other waits: Answer() holds it.
    void Finished();

private:
    void OnThreadFinished();

    QThread* thread_ = nullptr;
    std::optional<BusProbeRequest> waiting_;
    BusProbeAnswer running_; // written by the probe's thread until it ends
    BusProbeAnswer answer_;
};

} // namespace kestrel
