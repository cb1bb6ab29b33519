#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tools/pagingsim/data_peer.h"
#include "tools/pagingsim/line_drop.h"
#include "tools/pagingsim/sim_clock.h"

namespace pagingsim {

enum class DialOutcome { kConnect, kBusy, kNoCarrier, kNoDialtone };

struct ModemConfig {
    int baud = 2400;
    Duration ring{1000};   // from ATD to the result
    Duration guard{1000};  // escape guard time; the power-on value of S12 (in 1/50 s)
    DialOutcome outcome = DialOutcome::kConnect;
    int fault_calls = 0;  // the dial fault and the line drop hit only the first N calls; 0: all
    LineDropConfig drop;
};

// A Hayes-compatible modem seen from the computer's side of the serial line. Bytes
// from the computer go in through Receive; the modem's echo, result codes and, while a
// call is online, the remote's data come out of TakeOutput.
class HayesModem {
public:
    enum class Mode { kCommand, kDialing, kOnline };
    using PeerFactory = std::function<std::unique_ptr<DataPeer>(TimePoint now)>;

    HayesModem(ModemConfig config, PeerFactory connect, Tracer trace);

    void Receive(std::string_view bytes, TimePoint now);
    void Poll(TimePoint now);
    std::string TakeOutput();
    std::optional<TimePoint> NextWakeup() const;
    // The computer closed the port: the call (if any) ends and the settings return to
    // their power-on values, as a modem that sees DTR fall with &D3.
    void ComputerClosed(TimePoint now);

    Mode mode() const { return mode_; }
    bool CallUp() const { return peer_ != nullptr; }
    int CallsEnded() const { return calls_ended_; }

private:
    struct Settings {
        bool echo = true;
        bool quiet = false;
        bool verbose = true;
        int x_level = 4;
        std::array<int, 100> s{};
    };
    enum class Result { kOk, kConnect, kRing, kNoCarrier, kError, kNoDialtone, kBusy };

    Settings FactorySettings() const;
    void CommandByte(char c, TimePoint now);
    void ExecuteLine(const std::string& line, TimePoint now);
    // Runs the commands after "AT"; returns false on the first one it cannot take.
    bool ExecuteCommands(std::string_view body, TimePoint now, bool& result_pending);
    bool StartDial(std::string_view dial_string, TimePoint now);
    // Returns how many bytes were taken before the line dropped (all when it did not).
    std::size_t OnlineBytes(std::string_view bytes, TimePoint now);
    void Pump(TimePoint now);
    void HangUp(const char* why);
    void SendResult(Result result);
    Duration Guard() const { return Duration(settings_.s[12] * 20); }
    bool FaultsApply() const { return config_.fault_calls == 0 || calls_dialled_ <= config_.fault_calls; }
    void Trace(const std::string& line) const;

    ModemConfig config_;
    PeerFactory connect_;
    Tracer trace_;
    Settings settings_;
    Mode mode_ = Mode::kCommand;
    std::string line_;
    bool line_overflow_ = false;
    std::string out_;

    std::unique_ptr<DataPeer> peer_;
    std::optional<LineDrop> drop_;
    int calls_dialled_ = 0;
    int calls_ended_ = 0;
    TimePoint dial_done_{};

    TimePoint last_online_byte_{};
    int plus_count_ = 0;
    TimePoint last_plus_{};
    std::optional<TimePoint> escape_at_;
};

}  // namespace pagingsim
