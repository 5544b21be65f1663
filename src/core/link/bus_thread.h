#pragma once
// BusThread: the one thread that talks on a serial port shared by several instruments (an
// RS-485 bus is half duplex: one request on the line at a time). It takes the stations in
// turn: reads a waiting station's configuration when its retry is due, polls each live
// station about once a second. A port that has gone is closed and opened again when a
// station's retry comes due.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/link/bus_station.h"
#include "core/link/cxlink.h"
#include "core/settings/com_param.h"

namespace kvr {

class BusThread {
public:
    // The stations must outlive the thread; param names the port and its line settings.
    BusThread(const ComParam& param, std::vector<BusStation*> stations, int delayScale = 100,
              int pollPeriodMs = 1000);
    // Stops and joins.
    ~BusThread();
    BusThread(const BusThread&) = delete;
    BusThread& operator=(const BusThread&) = delete;

    void Start();
    void Stop();

private:
    struct Slot {
        BusStation* station;
        SteadyTime nextPoll{};
        double pollMs = 0;  // running average of an answered poll
    };
    void Run();
    // One turn over the stations; false when the port has gone.
    bool Turn();
    void Poll(Slot& slot, LiveValues& values);
    // Says once, with the numbers, when a round of polls takes longer than a record interval.
    void CheckSpeed();
    void WaitUntil(SteadyTime deadline);

    const ComParam param_;
    const int pollPeriodMs_;
    std::vector<Slot> slots_;
    CXLink link_;
    bool slowReported_ = false;

    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable stopChanged_;
    std::thread thread_;
};

}  // namespace kvr
